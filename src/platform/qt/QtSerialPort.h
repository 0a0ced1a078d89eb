// A serial port through QSerialPort, opened by device path, for the desktop
// application.
#pragma once

#include <memory>

#include "platform/ISerialPort.h"

class QSerialPort;

namespace ostra {

class QtSerialPort : public ISerialPort {
  public:
    QtSerialPort();
    ~QtSerialPort() override;
    bool Open(const std::string& device, std::string* error) override;
    void Close() override;
    bool IsOpen() const override;
    void Purge() override;
    std::size_t Write(const uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(uint8_t& byte) override;

  private:
    std::unique_ptr<QSerialPort> port_;
};

}  // namespace ostra
