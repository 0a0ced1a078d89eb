// A serial port (or pseudo-terminal) through POSIX termios, for the command
// line and the simulator; the desktop application uses QSerialPort.
#pragma once

#include "platform/ISerialPort.h"

namespace ostra {

class PosixSerialPort : public ISerialPort {
public:
    ~PosixSerialPort() override;
    bool Open(const std::string& device, std::string* error) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    void Purge() override;
    std::size_t Write(const uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(uint8_t& byte) override;

    // Raw 115200 8N1 on an open descriptor; false when it is no terminal.
    static bool MakeRaw(int fd);

private:
    int fd_ = -1;
    // A pseudo-terminal's other end is a program, which a busy machine may
    // keep waiting: the first byte of each answer gets longer there.
    bool pseudoTerminal_ = false;
    bool awaitingAnswer_ = false;
};

}  // namespace ostra
