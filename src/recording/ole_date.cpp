#include "recording/ole_date.h"

#include "acquisition/status_date.h"

#include <cmath>

namespace {

constexpr qint64 kMsPerDay = 86400000;

qint64 epochJulianDay() { return QDate(1899, 12, 30).toJulianDay(); }
qint64 firstDay() { return QDate(100, 1, 1).toJulianDay() - epochJulianDay(); }
qint64 lastDay() { return QDate(9999, 12, 31).toJulianDay() - epochJulianDay(); }

// The locale's long time format without its time zone field: a sample time
// is wall-clock time and carries no zone.
QString timeFormatWithoutZone(const QLocale& locale)
{
    return TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
}

} // namespace

double OleDateFromLocal(const QDateTime& dt)
{
    if (!dt.isValid()) return 0.0;
    const QDateTime local = dt.timeSpec() == Qt::LocalTime ? dt : dt.toLocalTime();
    const double days = double(local.date().toJulianDay() - epochJulianDay());
    const double fraction = double(local.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    return days >= 0 ? days + fraction : days - fraction;
}

double OleDateNow() { return OleDateFromLocal(QDateTime::currentDateTime()); }

bool OleDateToWallClock(double oleDate, QDate* date, QTime* time)
{
    if (!std::isfinite(oleDate)) return false;
    const double whole = std::trunc(oleDate);
    if (whole < double(firstDay()) || whole > double(lastDay())) return false;
    qint64 day = qint64(whole);
    qint64 ms = std::llround(std::fabs(oleDate - whole) * double(kMsPerDay));
    if (ms >= kMsPerDay) {  // rounds up to the next midnight
        ++day;
        ms = 0;
        if (day > lastDay()) return false;
    }
    *date = QDate::fromJulianDay(epochJulianDay() + day);
    *time = QTime::fromMSecsSinceStartOfDay(int(ms));
    return true;
}

QDateTime LocalFromOleDate(double oleDate)
{
    QDate date;
    QTime time;
    if (!OleDateToWallClock(oleDate, &date, &time)) return {};
    const QDateTime local(date, time, Qt::LocalTime);
    if (local.isValid()) return local;
    // Skipped by a summer-time change: read it with the offset of the day
    // before, which is the offset in force before the change.
    for (int back = 1; back <= 2; ++back) {
        const QDateTime before(date.addDays(-back), time, Qt::LocalTime);
        if (before.isValid())
            return QDateTime(date, time, Qt::OffsetFromUTC, before.offsetFromUtc()).toLocalTime();
    }
    return {};
}

QString FormatRecordStamp(double oleDate, const QLocale& locale)
{
    QDate date;
    QTime time;
    if (!OleDateToWallClock(oleDate, &date, &time)) return {};
    return locale.toString(date, locale.dateFormat(QLocale::ShortFormat)) + QLatin1Char(' ')
           + locale.toString(time, timeFormatWithoutZone(locale));
}

QString FormatRecordDate(double oleDate, const QLocale& locale)
{
    QDate date;
    QTime time;
    if (!OleDateToWallClock(oleDate, &date, &time)) return {};
    return locale.toString(date, locale.dateFormat(QLocale::ShortFormat));
}

QString FormatRecordTimeOfDay(double oleDate, const QLocale& locale)
{
    QDate date;
    QTime time;
    if (!OleDateToWallClock(oleDate, &date, &time)) return {};
    return locale.toString(time, timeFormatWithoutZone(locale));
}
