// The publisher's queue and broker addresses: what a full queue gives up,
// that nothing handed to the library is given up or handed over twice,
// and that a dropped connection keeps the order.

#include "publishing/broker_address.h"
#include "publishing/publish_queue.h"

#include <QtTest>

namespace {

QList<QByteArray> Drain(PublishQueue& queue, int firstMid)
{
    QList<QByteArray> out;
    while (const QByteArray* next = queue.next()) {
        out << *next;
        queue.handedOver(firstMid);
        queue.confirm(firstMid++);
    }
    return out;
}

} // namespace

class PublishQueueTest : public QObject {
    Q_OBJECT

private slots:
    void fullQueueDropsTheOldestNotInFlight()
    {
        PublishQueue queue(4);
        for (const char* p : {"a", "b", "c", "d"}) queue.push(p);
        queue.handedOver(10);  // "a" is with the library
        queue.push("e");       // "b" goes, not "a"
        queue.push("f");       // then "c"
        QCOMPARE(queue.lost(), 2ull);
        QCOMPARE(queue.size(), size_t(4));
        QVERIFY(queue.confirm(10));
        QCOMPARE(Drain(queue, 20), (QList<QByteArray>{"d", "e", "f"}));
        QCOMPARE(queue.confirmed(), 4ull);
        QCOMPARE(queue.size(), size_t(0));
    }

    void confirmationsOutOfOrderAndADroppedConnection()
    {
        PublishQueue queue(100);
        for (const char* p : {"a", "b", "c", "d"}) queue.push(p);
        for (int mid = 1; mid <= 3; ++mid) queue.handedOver(mid);
        QVERIFY(!queue.confirm(99));  // a status message's, not ours
        QVERIFY(queue.confirm(2));
        QCOMPARE(queue.size(), size_t(4));  // "a" still in flight holds the front
        QVERIFY(!queue.confirm(2));         // and "b" counts once
        // The connection goes: "a" and "c" are handed over again, in order, "b" not.
        queue.takeBackInFlight();
        QCOMPARE(queue.inFlight(), size_t(0));
        QCOMPARE(Drain(queue, 50), (QList<QByteArray>{"a", "c", "d"}));
        QCOMPARE(queue.confirmed(), 4ull);
    }

    void brokerAddresses()
    {
        QString error;
        std::optional<BrokerAddress> a = ParseBrokerAddress(QStringLiteral("mqtt://127.0.0.1"), &error);
        QVERIFY(a && !a->tls && a->port == 1883 && a->host == QStringLiteral("127.0.0.1"));
        a = ParseBrokerAddress(QStringLiteral("mqtts://broker.lab"), &error);
        QVERIFY(a && a->tls && a->port == 8883);
        QCOMPARE(a->text(), QStringLiteral("mqtts://broker.lab:8883"));
        a = ParseBrokerAddress(QStringLiteral("mqtt://[::1]:1884"), &error);
        QVERIFY(a && a->host == QStringLiteral("::1") && a->port == 1884);
        QCOMPARE(a->text(), QStringLiteral("mqtt://[::1]:1884"));
        QVERIFY(ParseBrokerAddress(QStringLiteral("broker.lab:1999"), &error)->port == 1999);
        for (const char* bad : {"http://x", "mqtt://", "mqtt://x:0", "mqtt://x:70000", "mqtt://user@x", "mqtt://x/y"}) {
            QVERIFY2(!ParseBrokerAddress(QString::fromLatin1(bad), &error), bad);
            QVERIFY(!error.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(PublishQueueTest)
#include "test_publish_queue.moc"
