// The date panel's text: the locale's short date and long time, without the
// time zone the long time format carries, whichever place the locale gives
// the zone (after the time, before it, in brackets) and leaving quoted text.

#include "acquisition/status_date.h"

#include <QtTest>

class StatusDateTest : public QObject {
    Q_OBJECT

private slots:
    void theTimeHasNoZone()
    {
        const QDateTime when(QDate(2024, 3, 9), QTime(13, 4, 5));
        QCOMPARE(StatusDateTimeText(when, QLocale::c()), QString("9 Mar 2024 13:04:05"));
        QCOMPARE(StatusDateTimeText(when, QLocale("de_DE")), QString("09.03.24 13:04:05"));
        QCOMPARE(StatusDateTimeText(when, QLocale("zh_CN")), QString("2024/3/9 13:04:05"));

        QCOMPARE(TimeFormatWithoutZone("h:mm:ss AP t"), QString("h:mm:ss AP"));
        QCOMPARE(TimeFormatWithoutZone("t HH:mm:ss"), QString("HH:mm:ss"));
        QCOMPARE(TimeFormatWithoutZone("H:mm:ss (t)"), QString("H:mm:ss"));
        QCOMPARE(TimeFormatWithoutZone("APh:mm:ss [t]"), QString("APh:mm:ss"));
        QCOMPARE(TimeFormatWithoutZone("AP h시 m분 s초 tttt"), QString("AP h시 m분 s초"));
        QCOMPARE(TimeFormatWithoutZone("'Klock' H.mm:ss (t)"), QString("'Klock' H.mm:ss"));
        QCOMPARE(TimeFormatWithoutZone("HH 'at' mm 'it''s' ss t"), QString("HH 'at' mm 'it''s' ss"));
    }
};

QTEST_GUILESS_MAIN(StatusDateTest)
#include "test_status_date.moc"
