#include "pty_device.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {
namespace {

void setError(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
}

} // namespace

PtyDevice::~PtyDevice()
{
    close();
}

bool PtyDevice::open(std::string* error)
{
    close();
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        setError(error, "posix_openpt");
        return false;
    }
    char name[PATH_MAX];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        setError(error, "preparing the pseudo-terminal");
        ::close(master);
        return false;
    }
    const int inner = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (inner < 0) {
        setError(error, std::string("opening ") + name);
        ::close(master);
        return false;
    }
    // Raw line: no echo, no translation of CR/LF, no signal characters, so
    // binary frames pass untouched until the program sets its own mode.
    termios tio{};
    if (tcgetattr(inner, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(inner, TCSANOW, &tio);
    }
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);

    master_ = master;
    innerSlave_ = inner;
    slavePath_ = name;
    return true;
}

void PtyDevice::close()
{
    if (master_ >= 0)
        ::close(master_);
    if (innerSlave_ >= 0)
        ::close(innerSlave_);
    master_ = innerSlave_ = -1;
    slavePath_.clear();
}

bool DeviceLink::pointAt(const std::string& target, std::string* error)
{
    if (path_.empty())
        return true;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        errno = EEXIST;
        setError(error, path_ + " exists and is not a symbolic link");
        return false;
    }
    const std::string temporary = path_ + ".tmp" + std::to_string(getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        setError(error, "creating link " + temporary);
        return false;
    }
    if (::rename(temporary.c_str(), path_.c_str()) != 0) {
        setError(error, "renaming link to " + path_);
        ::unlink(temporary.c_str());
        return false;
    }
    target_ = target;
    return true;
}

void DeviceLink::remove()
{
    if (path_.empty())
        return;
    if (target_.empty())
        return;
    char current[PATH_MAX];
    const ssize_t n = ::readlink(path_.c_str(), current, sizeof current - 1);
    if (n > 0 && std::string(current, size_t(n)) == target_)
        ::unlink(path_.c_str());
    target_.clear();
}

} // namespace sim
