// qzr6100-sim: the simulated power analyser on a pseudo-terminal, for trying
// the program without an instrument. The slave device's path is the first
// line on standard output; point the program (or its link) at it.

#include "pty_simulator.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: qzr6100-sim [options]\n"
    "Serves a simulated QZR6100 power analyser (Modbus RTU slave) on a pseudo-terminal.\n"
    "The first line printed is the slave device to open; a new one is printed after each replug.\n"
    "\n"
    "  --address N        slave address answered (1-255, default 2)\n"
    "  --frequency F      line frequency in Hz (default 50)\n"
    "  --baud N           pace replies at N baud, 10 bits a byte; 0 sends at once as on USB (default 0)\n"
    "  --turnaround MS    each reply begins MS milliseconds after its request, or after the\n"
    "                     reply before it (0-5000, default 0)\n"
    "  --link PATH        keep a symbolic link at PATH pointing at the current slave device\n"
    "  --drop P           share (0-1) of replies not sent\n"
    "  --bad-crc P        share of replies with a corrupt CRC\n"
    "  --truncate P       share of replies cut to their first half\n"
    "  --split P          share of replies sent in two parts with a pause between\n"
    "  --split-pause MS   that pause in milliseconds (default 150)\n"
    "  --nan P            share of measurement images with NaN in every readout\n"
    "  --foreign P        share of register replies naming another slave address\n"
    "  --double P         share of replies sent twice, back to back\n"
    "  --late P           share of replies sent whole but late; later replies wait behind them\n"
    "  --late-delay MS    how late, in milliseconds from the request (default 800)\n"
    "  --babble           noise bytes on the line every few milliseconds between replies\n"
    "  --unplug-every S   after S seconds plugged in, the device vanishes ...\n"
    "  --unplug-for S     ... for S seconds (default 2) and comes back as a new device\n"
    "  --seed N           seed of the simulated signal and of the fault draws (default 1)\n"
    "  --verbose          print one line per request received\n"
    "  --help             show this text\n"
    "Runs until interrupted (SIGINT or SIGTERM).\n";

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "qzr6100-sim: %s\n(try --help)\n", message.c_str());
    std::exit(2);
}

double number(const std::string& option, const std::string& text, double low, double high)
{
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value >= low && value <= high))
    {
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g", low, high);
        fail(option + " wants a number from " + range + ", not '" + text + "'");
    }
    return value;
}

int integer(const std::string& option, const std::string& text, long low, long high)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        fail(option + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high)
             + ", not '" + text + "'");
    return int(value);
}

struct CommandLine {
    sim::Options options;
    bool verbose = false;
};

CommandLine parse(int argc, char** argv)
{
    CommandLine cl;
    sim::Options& o = cl.options;
    bool unplugForGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        std::string value;
        bool inlineValue = false;
        const auto eq = option.find('=');
        if (option.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option = option.substr(0, eq);
            inlineValue = true;
        }
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (option == "--verbose" || option == "-v") {
            cl.verbose = true;
            continue;
        }
        if (option == "--babble") {
            o.babble = true;
            continue;
        }
        static const char* const valued[] = {"--address",   "--frequency",    "--baud",       "--turnaround",
                                             "--link",      "--drop",         "--bad-crc",    "--truncate",
                                             "--split",     "--split-pause",  "--nan",        "--foreign",
                                             "--double",    "--late",         "--late-delay", "--unplug-every",
                                             "--unplug-for", "--seed"};
        if (std::find(std::begin(valued), std::end(valued), option) == std::end(valued))
            fail("unknown option " + option);
        if (!inlineValue) {
            if (i + 1 >= argc)
                fail(option + " needs a value");
            value = argv[++i];
        }
        if (option == "--address")
            o.address = integer(option, value, 1, 255);
        else if (option == "--frequency")
            o.frequency = number(option, value, 1.0, 1000.0);
        else if (option == "--baud")
            o.baud = integer(option, value, 0, 4000000);
        else if (option == "--turnaround")
            o.turnaroundMs = integer(option, value, 0, 5000);
        else if (option == "--link")
            o.linkPath = value;
        else if (option == "--drop")
            o.dropShare = number(option, value, 0, 1);
        else if (option == "--bad-crc")
            o.badCrcShare = number(option, value, 0, 1);
        else if (option == "--truncate")
            o.truncateShare = number(option, value, 0, 1);
        else if (option == "--split")
            o.splitShare = number(option, value, 0, 1);
        else if (option == "--split-pause")
            o.splitPauseMs = integer(option, value, 0, 60000);
        else if (option == "--nan")
            o.nanShare = number(option, value, 0, 1);
        else if (option == "--foreign")
            o.foreignAddressShare = number(option, value, 0, 1);
        else if (option == "--double")
            o.doubleShare = number(option, value, 0, 1);
        else if (option == "--late")
            o.lateShare = number(option, value, 0, 1);
        else if (option == "--late-delay")
            o.lateMs = integer(option, value, 0, 60000);
        else if (option == "--unplug-every")
            o.unplugEverySeconds = number(option, value, 0, 1e6);
        else if (option == "--unplug-for") {
            o.unplugForSeconds = number(option, value, 0, 1e6);
            unplugForGiven = true;
        } else if (option == "--seed")
            o.seed = unsigned(integer(option, value, 0, 2147483647));
        else
            fail("unknown option " + option);
    }
    if (o.unplugEverySeconds > 0 && !unplugForGiven)
        o.unplugForSeconds = 2.0;
    return cl;
}

std::string percent(double share)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g%%", share * 100.0);
    return text;
}

void describe(const sim::Options& o)
{
    std::printf("address %d, line %g Hz, about 230 V and 5 A\n", o.address, o.frequency);
    if (o.baud > 0)
        std::printf("baud %d: replies paced at the line rate (10 bits a byte)\n", o.baud);
    else
        std::printf("baud 0: replies sent at once, as on the USB link\n");
    if (o.turnaroundMs > 0)
        std::printf("turnaround %d ms before each reply\n", o.turnaroundMs);
    std::printf("link %s\n", o.linkPath.empty() ? "none" : o.linkPath.c_str());

    std::string faults;
    const std::pair<const char*, double> shares[] = {
        {"drop", o.dropShare},   {"bad-crc", o.badCrcShare}, {"truncate", o.truncateShare},
        {"split", o.splitShare}, {"nan", o.nanShare},        {"foreign", o.foreignAddressShare},
        {"double", o.doubleShare}, {"late", o.lateShare},
    };
    for (const auto& [name, share] : shares) {
        if (share > 0)
            faults += std::string(faults.empty() ? "" : ", ") + name + " " + percent(share);
    }
    std::printf("faults: %s\n", faults.empty() ? "none" : faults.c_str());
    if (o.lateShare > 0)
        std::printf("late replies go out %d ms after their request\n", o.lateMs);
    if (o.babble)
        std::printf("babbling: noise bytes on the line between replies\n");
    if (o.unplugEverySeconds > 0)
        std::printf("unplugging: after %g s plugged in, gone for %g s\n", o.unplugEverySeconds, o.unplugForSeconds);
    std::printf("registers: 148 measurement image; 147 starting test (trigger, blocks 1-6); "
                "118-125 alarm limits, 126 alarm enables; 188 instrument settings; "
                "154 158 166 167 168 185 calibration; 186 close; 187 keep-alive\n");
    std::fflush(stdout);
}

std::string describeRequest(const std::vector<uint8_t>& f, int ownAddress)
{
    char text[160];
    const int reg = (f[2] << 8) | f[3];
    if (f[1] == 0x03) {
        const int count = (f[4] << 8) | f[5];
        std::snprintf(text, sizeof text, "read %d count 0x%04X", reg, count);
    } else {
        std::snprintf(text, sizeof text, "write %d, %d bytes", reg, f[6]);
    }
    std::string line = text;
    if (f[0] != ownAddress)
        line += " (for address " + std::to_string(f[0]) + ", ignored)";
    return line;
}

std::string timeOfDay()
{
    char text[16];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine cl = parse(argc, argv);

    // Signals are taken synchronously below; blocking them first keeps them
    // away from the simulator's thread, which inherits this mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    sim::PtySimulator simulator(cl.options);
    std::string error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "qzr6100-sim: %s\n", error.c_str());
        return 1;
    }
    std::string path = simulator.slavePath();
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    describe(cl.options);

    const timespec tick{0, 100 * 1000 * 1000};
    for (;;) {
        const int sig = sigtimedwait(&stopSignals, nullptr, &tick);
        if (sig == SIGINT || sig == SIGTERM)
            break;

        // The request log is only for the verbose listing; emptying it keeps
        // a long run from growing without bound.
        const std::vector<std::vector<uint8_t>> requests = simulator.requests();
        simulator.clearRequests();
        if (cl.verbose) {
            for (const auto& frame : requests)
                std::printf("%s %s\n", timeOfDay().c_str(), describeRequest(frame, cl.options.address).c_str());
        }

        const std::string now = simulator.slavePath();
        if (now != path) {
            if (now.empty())
                std::printf("unplugged\n");
            else
                std::printf("%s\n", now.c_str());
            path = now;
        }
        std::fflush(stdout);
    }
    simulator.stop();  // closes the device and removes the link
    return 0;
}
