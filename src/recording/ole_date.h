#pragma once
// Sample times of record files: OLE Automation dates, the local wall-clock
// date and time as days since 1899-12-30 00:00 with the time of day as the
// fraction. Before that day the integer part counts days backwards while the
// fraction still adds time of day: -1.25 is 1899-12-29 06:00.
//
// The format holds no time zone, so the hour repeated when summer time ends
// maps to the same values twice; what it stores is what the wall clock read.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

// The wall-clock time of dt (converted to local time first) as an OLE date;
// 0 (a time never written) for an invalid dt.
double OleDateFromLocal(const QDateTime& dt);

// The current local time as an OLE date.
double OleDateNow();

// The wall-clock date and time an OLE date stands for, to the millisecond.
// False for values that are not finite or fall outside the years 100..9999
// (a file may hold anything there).
bool OleDateToWallClock(double oleDate, QDate* date, QTime* time);

// The local QDateTime of an OLE date; invalid where OleDateToWallClock fails.
// A wall-clock time skipped by a summer-time change (02:30 on the morning the
// clocks go forward) is read with the offset in force before the change, so
// it lands as far past the change as it was past the hour: 03:30.
QDateTime LocalFromOleDate(double oleDate);

// A sample time in the system's short date and long time format, without a
// time zone name ("3/14/24 9:26:53 AM"). Empty when the value is no date.
QString FormatRecordStamp(double oleDate, const QLocale& locale = QLocale::system());
// Its two halves, for readouts that show them apart: the date in the short
// date format ("3/14/24") and the time of day in the long time format without
// a time zone ("6:00:00 PM"). Empty when the value is no date.
QString FormatRecordDate(double oleDate, const QLocale& locale = QLocale::system());
QString FormatRecordTimeOfDay(double oleDate, const QLocale& locale = QLocale::system());
