#pragma once
// The serial-port component the main window holds as Comm1. It opens a port
// by device path, applies the line settings, writes byte blocks and tells its
// owner about received bytes by polling: a 100 ms timer checks the input
// queue and raises OnReceiveData when at least RThreshold bytes wait. All of
// it runs on the thread that owns the object; there is no I/O thread.

#include "link/serial_platform.h"
#include "link/serial_port.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

class Notifier;

// Raised when a port cannot be opened.
class ECommError : public std::runtime_error {
public:
    explicit ECommError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

class TComm : public QObject, public SerialPort {
    Q_OBJECT

public:
    enum TBaudRate {
        br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
        br19200, br38400, br56000, br57600, br76800, br115200, br230400
    };
    enum THWHandShaking { hhNone, hhNoneRTSON, hhRTSCTS };
    enum TSWHandShaking { shNone, shXonXoff };
    enum TDataBits { DB5, DB6, DB7, DB8 };
    enum class TParity { None, Odd, Even, Mark, Space };
    enum TStopBits { SB1, SB1_5, SB2 };

    // Bits of CommEvent: which modem line changed since the previous poll.
    enum ModemEvent : uint32_t { evCTS = 8, evDSR = 16, evRLSD = 32, evRing = 256 };

    // One read takes at most this many bytes; a fuller input queue is
    // discarded unread (nothing the instrument sends is that long).
    static constexpr int kReadLimit = 16384;
    static constexpr int kPollIntervalMs = 100;

    // Error boxes go through notifier, which must outlive the component.
    explicit TComm(Notifier& notifier, QObject* parent = nullptr);
    // The same on a given device (another platform's, or a scripted one).
    TComm(Notifier& notifier, std::unique_ptr<serial::Device> device, QObject* parent = nullptr);
    ~TComm() override;  // closes an open port

    // The line speed of a TBaudRate; values outside the enumeration give 230400.
    static uint32_t BaudRateSpeed(TBaudRate rate);
    // The rate of a line speed; false for speeds that have none.
    static bool RateForSpeed(uint32_t speed, TBaudRate* rate);
    // COM n is the n-th on-board port, /dev/ttyS(n-1); empty for n < 1.
    static QString PortPathForNumber(int n);

    // Device path opened by the next open. A text that reads as a decimal
    // number is a COM port number (see setCommPortNumber).
    QString commPort() const { return commPort_; }
    void setCommPort(const QString& portOrNumber);
    // COM n for n = 1..255; other numbers leave the port unchanged.
    void setCommPortNumber(int n);

    bool portOpen() const;
    // true opens (ECommError on failure; on an open port only the box "COM
    // Port has been opened!"), false closes.
    void setPortOpen(bool open);

    TBaudRate baudRate() const { return baudRate_; }
    void setBaudRate(TBaudRate rate);
    THWHandShaking hwHandShaking() const { return hwHandShaking_; }
    void setHwHandShaking(THWHandShaking value);
    TSWHandShaking swHandShaking() const { return swHandShaking_; }
    void setSwHandShaking(TSWHandShaking value);
    TDataBits dataBits() const { return dataBits_; }
    void setDataBits(TDataBits value);
    TParity parity() const { return parity_; }
    void setParity(TParity value);
    TStopBits stopBits() const { return stopBits_; }
    void setStopBits(TStopBits value);

    uint32_t commEvent() const { return commEvent_; }
    uint32_t commError() const { return commError_; }

    // Performs a read; the bytes of the last successful read.
    QByteArray input();
    int inputLen() const { return inputLen_; }
    void setInputLen(int bytes);  // 0 takes all queued bytes
    int rThreshold() const { return rThreshold_; }
    void setRThreshold(int bytes);  // 0 disables OnReceiveData

    bool cdHolding() const { return lines_.cd; }
    bool dsrHolding() const { return lines_.dsr; }
    bool riHolding() const { return lines_.ri; }
    bool ctsHolding() const { return lines_.cts; }

    bool dtrEnabled() const { return dtrEnabled_; }
    void setDtrEnabled(bool on);  // ignored while closed
    bool rtsEnabled() const { return rtsEnabled_; }
    void setRtsEnabled(bool on);  // ignored while closed

    // Bytes in the input queue (0 while closed).
    int dataCount() const;
    // 0 discards the input queue; other values are ignored.
    void setDataCount(int value);

    // SerialPort
    bool isOpen() const override { return portOpen(); }
    // false, after the box "COM Port is not opened yet!", only when closed; a
    // failed write on an open port is not reported.
    bool writeBytes(const uint8_t* data, int length) override;
    // Reads what is queued; the bytes of the last successful read when
    // nothing new could be read.
    QByteArray readInputBytes() override;
    QByteArray readReply(int maxBytes = 0) override;
    int bytesQueued() const override { return dataCount(); }
    void discardInput() override { setDataCount(0); }
    QByteArray lastWritten() const override { return lastWritten_; }
    uint32_t lineSpeed() const override { return BaudRateSpeed(baudRate_); }

    // One poll: looks at the input queue, the modem lines and the line
    // errors, and posts the notifications they call for. Runs every 100 ms
    // by the internal timer; public so owners can drive it.
    //
    // The notifications are delivered from the event loop, after the tick
    // has returned: a handler that opens a modal dialog (or a command the
    // user gives while one runs) must not hold the poll timer, or the port
    // goes unread until the dialog closes. A receive notification still
    // waiting to be delivered is not posted twice.
    void pollTick();

    std::function<void()> OnReceiveData;
    std::function<void(uint32_t)> OnReceiveError;
    std::function<void(uint32_t)> OnModemStateChange;
    // Sees every block written (sent = true) and every successful read, for
    // the communication log.
    std::function<void(bool sent, const uint8_t* data, int length)> OnFrame;

private:
    void openPort();
    void closePort();
    void applySettings();
    bool readInput(int maxBytes = 0);  // true when a new read replaced the last one
    void showError(const QString& text);
    void deliverReceiveData();

    Notifier& notifier_;
    std::unique_ptr<serial::Device> device_;
    QTimer pollTimer_;

    QString commPort_;
    TBaudRate baudRate_ = br9600;
    THWHandShaking hwHandShaking_ = hhNone;
    TSWHandShaking swHandShaking_ = shNone;
    TDataBits dataBits_ = DB8;
    TParity parity_ = TParity::None;
    TStopBits stopBits_ = SB1;
    uint32_t commEvent_ = 0;
    uint32_t commError_ = 0;
    int inputLen_ = 0;
    int rThreshold_ = 0;
    bool dtrEnabled_ = false;
    bool rtsEnabled_ = false;
    serial::ModemLines lines_;  // as seen by the last poll
    QByteArray lastRead_;
    QByteArray lastWritten_;
    bool receivePosted_ = false;
};
