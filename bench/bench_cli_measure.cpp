// qzr6100-cli measure --simulate --count 100, as a user runs it, five times:
// the rate of measurements from the first to the last (the link's pace) and
// the whole command's time with start-up. Target: at least 9.5
// measurements a second.
//
//   bench_cli_measure [count]   (default 100)

#include "cli_bench_process.h"

#include <QDateTime>
#include <QList>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(2, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    const QStringList arguments{QStringLiteral("measure"), QStringLiteral("--simulate"), QStringLiteral("--count"),
                                QString::number(count), QStringLiteral("--format"), QStringLiteral("csv")};
    std::printf("%s %s\n", qPrintable(clibench::CliBinary()), qPrintable(arguments.join(u' ')));
    QList<double> rates;
    for (int round = 1; round <= 5; ++round) {
        const clibench::Run run = clibench::RunCli(arguments, 120000);
        const QList<QByteArray> rows = run.out.trimmed().split('\n');
        if (run.status != 0 || rows.size() != count + 1) {
            std::printf("round %d failed: status %d, %lld rows\n%s", round, run.status, qint64(rows.size()) - 1,
                        run.err.constData());
            return 1;
        }
        const QDateTime first = QDateTime::fromString(QString::fromLatin1(rows[1].split(',').first()), Qt::ISODateWithMs);
        const QDateTime last = QDateTime::fromString(QString::fromLatin1(rows.last().split(',').first()), Qt::ISODateWithMs);
        const double span = double(first.msecsTo(last)) / 1000.0;
        const double rate = (count - 1) / span;
        rates << rate;
        std::printf("round %d: %d measurements, first to last %.3f s = %.2f /s; whole command %.3f s = %.2f /s\n",
                    round, count, span, rate, run.seconds, count / run.seconds);
    }
    std::sort(rates.begin(), rates.end());
    std::printf("median %.2f measurements/s (lowest %.2f, highest %.2f); target >= 9.5 /s: %s\n", rates[2],
                rates.first(), rates.last(), rates[2] >= 9.5 ? "met" : "NOT met");
    return 0;
}
