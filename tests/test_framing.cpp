// Request frames byte for byte and the CRC, against frames captured from
// the instrument's protocol; the register map's senders through the link.

#include "acquisition/acquisition_state.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/register_map.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <QtTest>

#include <cstring>
#include <memory>

class FramingTest : public QObject {
    Q_OBJECT

private:
    AcquisitionState state;
    ScriptedPort port;
    ModbusMaster master{state, port};
    RecordingMainWindowView view;
    // A link of its own for each request, so that each goes out at once
    // rather than waiting for the one before to be answered.
    std::unique_ptr<LinkMaster> link;
    std::unique_ptr<InstrumentRequests> requestsOf;

    InstrumentRequests& requests()
    {
        requestsOf.reset();
        link = std::make_unique<LinkMaster>(state, master, view);
        requestsOf = std::make_unique<InstrumentRequests>(state, *link);
        return *requestsOf;
    }

    QString lastWritten() const { return port.written.isEmpty() ? QString() : ToHex(port.written.last()); }

private slots:
    void init()
    {
        state = AcquisitionState();
        state.SlaveAddress = 2;
        port = ScriptedPort();
    }

    void crcCheckValue()
    {
        const char* text = "123456789";
        QCOMPARE(ModbusCrc16(reinterpret_cast<const uint8_t*>(text), 9), uint16_t(0x4B37));
        const QByteArray frame = FromHex("02 03 00 94 00 02 85 D4");
        QVERIFY(HasValidCrc(reinterpret_cast<const uint8_t*>(frame.constData()), frame.size()));
        QByteArray corrupt = frame;
        corrupt[3] = char(0x95);
        QVERIFY(!HasValidCrc(reinterpret_cast<const uint8_t*>(corrupt.constData()), corrupt.size()));
    }

    void bytesToFloatIsLittleEndian()
    {
        const uint8_t bytes[4] = {0x00, 0x00, 0x96, 0x43};
        QCOMPARE(BytesToFloat(bytes), 300.0f);
    }

    void readFrames_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("frame");
        QTest::newRow("measurement") << 148 << 2 << "02 03 00 94 00 02 85 D4";
        QTest::newRow("starting block 2") << 147 << 0x0200 << "02 03 00 93 02 00 B4 B4";
        QTest::newRow("starting trigger code 0") << 147 << 0 << "02 03 00 93 00 00 B5 D4";
        QTest::newRow("starting block 1") << 147 << 0x0100 << "02 03 00 93 01 00 B4 44";
        QTest::newRow("alarm AL1H") << 118 << 2 << "02 03 00 76 00 02 25 E2";
        QTest::newRow("alarm AL1L") << 119 << 2 << "02 03 00 77 00 02 74 22";
        QTest::newRow("settings, 18") << 188 << 18 << "02 03 00 BC 00 12 04 10";
    }
    void readFrames()
    {
        QFETCH(int, reg);
        QFETCH(int, count);
        QFETCH(QString, frame);
        QVERIFY(master.ReadRegisters(2, uint16_t(reg), uint16_t(count)));
        QCOMPARE(lastWritten(), frame);
        QCOMPARE(int(state.RequestBuffer[3]), reg & 0xFF);
    }

    void writeFrames()
    {
        QVERIFY(master.WriteFloatRegister(2, 118, 300.0f));
        QCOMPARE(lastWritten(), QString("02 10 00 76 00 02 04 00 00 96 43 55 B4"));

        const uint8_t enable5[4] = {0x05, 0, 0, 0};
        QVERIFY(master.WriteFourBytes(2, 126, enable5));
        QCOMPARE(lastWritten(), QString("02 10 00 7E 00 02 04 05 00 00 00 7A 8F"));

        QVERIFY(requests().WriteAlarmEnableBits(0x0F));
        QCOMPARE(lastWritten(), QString("02 10 00 7E 00 02 04 0F 00 00 00 79 57"));

        QVERIFY(requests().WriteCalibrationValue(Reg::VoltageCalibration, 220.0f));
        QCOMPARE(lastWritten(), QString("02 10 00 9A 00 02 04 00 00 5C 43 0D 09"));
    }

    void settingsBlockWriteCarriesNineRegisters()
    {
        CtSettingsBlock block{};
        block.AngleDifference.set(0.0f);
        block.CurrentRatio.set(1.0f);
        block.VoltageRatio.set(1.0f);
        block.FilterCoefficient = 10;
        block.FilterOff = 1;
        block.Range = 4;
        QVERIFY(requests().WriteInstrumentSettings(block));
        QCOMPARE(port.written.last().size(), 28);
        QCOMPARE(lastWritten(),
                 QString("02 10 00 BC 00 09 13 00 00 00 00 00 00 80 3F 00 00 80 3F 00 00 0A 01 00 00 04 A1 EA"));
    }

    void floatWriteLeavesRoutingByteAlone()
    {
        QVERIFY(master.ReadRegisters(2, 188, 2));
        QVERIFY(master.WriteFloatRegister(2, 119, 1.5f));
        QCOMPARE(int(state.RequestBuffer[3]), 188);
        QVERIFY(requests().WritePhaseCorrection(Reg::BroadbandPhase, 0.25f));
        QCOMPARE(int(state.RequestBuffer[3]), 188);
        QVERIFY(requests().WriteCalibrationValue(Reg::CurrentCalibration, 5.0f));
        QCOMPARE(int(state.RequestBuffer[3]), 188);
    }

    void closedPortSendsNothingAndKeepsTheBuffer()
    {
        QVERIFY(master.ReadRegisters(2, 148, 2));
        uint8_t before[kRequestBufferSize];
        std::memcpy(before, state.RequestBuffer, sizeof before);
        port.written.clear();
        port.open = false;
        const uint8_t data[4] = {1, 2, 3, 4};
        const uint8_t block[19] = {};
        QVERIFY(!master.ReadRegisters(2, 118, 2));
        QVERIFY(!master.WriteFloatRegister(2, 118, 1.0f));
        QVERIFY(!master.WriteFourBytes(2, 126, data));
        QVERIFY(!master.WriteRegisterBytes(2, 188, block, 19));
        QVERIFY(!requests().WriteCalibrationValue(Reg::VoltageCalibration, 1.0f));
        QVERIFY(port.written.isEmpty());
        QVERIFY(std::memcmp(before, state.RequestBuffer, sizeof before) == 0);
    }

    void oversizedBlockWriteIsClippedToTheBuffer()
    {
        uint8_t big[200];
        std::memset(big, 0xAB, sizeof big);
        QVERIFY(master.WriteRegisterBytes(2, 188, big, 200));
        QCOMPARE(port.written.last().size(), 9 + kMaxBlockWriteBytes);
        QCOMPARE(uint8_t(port.written.last()[6]), uint8_t(kMaxBlockWriteBytes));
    }

    void registerMapSenders()
    {
        QVERIFY(requests().ReadMeasurement());
        QCOMPARE(lastWritten(), QString("02 03 00 94 00 02 85 D4"));
        QVERIFY(requests().SendKeepAlive());
        QCOMPARE(lastWritten(), ToHex(WithCrc(FromHex("02 03 00 BB 00 0F"))));
        QVERIFY(requests().SendClosingNotice());
        QCOMPARE(lastWritten(), ToHex(WithCrc(FromHex("02 03 00 BA 00 00"))));
        QVERIFY(requests().RequestStartingBlock(1));
        QCOMPARE(lastWritten(), QString("02 03 00 93 01 00 B4 44"));
        QVERIFY(requests().WriteUnlock());
        QCOMPARE(lastWritten(), ToHex(WithCrc(FromHex("02 10 00 B9 00 02 04 6B 00 00 00"))));
        QVERIFY(requests().WriteTemperatureMode(3));
        QCOMPARE(lastWritten(), ToHex(WithCrc(FromHex("02 10 00 A6 00 02 04 03 00 00 00"))));

        // Every register of the map appears with an expected reply, and the
        // settings write is the only 19-byte block.
        int blockWrites = 0;
        for (const RegisterEntry& e : RegisterMap()) {
            QVERIFY(e.reg >= 118 && e.reg <= 188);
            if (e.form == RequestForm::BlockWrite) {
                ++blockWrites;
                QCOMPARE(e.count, uint16_t(9));
            }
        }
        QCOMPARE(blockWrites, 1);
        QVERIFY(FindRegister(Reg::Measurement, RegisterAccess::Write) == nullptr);
        QCOMPARE(FindRegister(Reg::Measurement, RegisterAccess::Read)->reply, ExpectedReply::BulkImage);
    }
};

QTEST_GUILESS_MAIN(FramingTest)
#include "test_framing.moc"
