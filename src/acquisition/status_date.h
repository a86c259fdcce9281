#pragma once
// The text of the main window's date panel: the date and time of the last
// measurement in the locale's short date and long time formats, without the
// time zone that the long time format carries ("13:04:05 UTC"): the time is
// the computer's own clock time, and a zone name only takes room.

#include <QDateTime>
#include <QLocale>
#include <QString>

// "d MMM yyyy" and "HH:mm:ss" for the C locale, "M/d/yy h:mm:ss AP" for
// en_US; the text after "Date: " in status panel 4.
QString StatusDateTimeText(const QDateTime& when, const QLocale& locale = QLocale::system());

// A Qt time format without its time-zone fields ('t' runs outside quoted
// text), without the brackets that held them and without the blanks left
// over: "HH:mm:ss t" -> "HH:mm:ss", "t HH:mm:ss" -> "HH:mm:ss",
// "H:mm:ss (t)" -> "H:mm:ss".
QString TimeFormatWithoutZone(const QString& format);
