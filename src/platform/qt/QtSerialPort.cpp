// QSerialPort behind the link's serial-port interface.
#include "platform/qt/QtSerialPort.h"

#include <QSerialPort>

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace ostra {
namespace {

// A silent read gives up after this long (the link's time-outs).
constexpr int kReadTimeoutMs = 8;
constexpr int kWriteTimeoutMs = 1000;

}  // namespace

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {}
QtSerialPort::~QtSerialPort() {
    Close();
}

bool QtSerialPort::Open(const std::string& device, std::string* error) {
    Close();
    port_->setPortName(QString::fromStdString(device));
    if (!port_->open(QIODevice::ReadWrite)) {
        if (error) *error = port_->errorString().toStdString();
        return false;
    }
    port_->setBaudRate(QSerialPort::Baud115200);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
#ifdef __linux__
    // USB adapters otherwise hold received bytes back for up to 16 ms,
    // longer than the link waits. Ports without the setting ignore it.
    const int fd = static_cast<int>(port_->handle());
    serial_struct ss{};
    if (fd >= 0 && ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &ss);
    }
#endif
    return true;
}

void QtSerialPort::Close() {
    if (port_->isOpen()) port_->close();
}

bool QtSerialPort::IsOpen() const {
    return port_->isOpen();
}

void QtSerialPort::Purge() {
    if (!port_->isOpen()) return;
    port_->clear(QSerialPort::Input);
    port_->readAll();
}

std::size_t QtSerialPort::Write(const uint8_t* data, std::size_t n) {
    if (!port_->isOpen()) return 0;
    const qint64 w = port_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(n));
    if (w < 0) return 0;
    while (port_->bytesToWrite() > 0)
        if (!port_->waitForBytesWritten(kWriteTimeoutMs)) break;
    return static_cast<std::size_t>(w);
}

ISerialPort::ReadResult QtSerialPort::ReadByte(uint8_t& byte) {
    if (!port_->isOpen()) return kFailed;
    if (port_->bytesAvailable() == 0 && !port_->waitForReadyRead(kReadTimeoutMs)) {
        return port_->error() == QSerialPort::TimeoutError || port_->error() == QSerialPort::NoError
                   ? kTimeout
                   : kFailed;
    }
    char c = 0;
    if (!port_->getChar(&c)) return kTimeout;
    byte = static_cast<uint8_t>(c);
    return kByte;
}

}  // namespace ostra
