// The serial line to a controller, as the link needs it: 115200 baud 8N1,
// discarding pending input, writing, and reading one byte at a time with
// short time-outs (a silent read returns after about 8 ms).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ostra {

class ISerialPort {
  public:
    enum ReadResult { kByte = 1, kTimeout = 0, kFailed = -1 };

    virtual ~ISerialPort() = default;
    // Opens `device` and sets the line; false with a reason when it cannot.
    virtual bool Open(const std::string& device, std::string* error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Throws away whatever has arrived and not been read.
    virtual void Purge() = 0;
    // Returns the number of bytes written.
    virtual std::size_t Write(const uint8_t* data, std::size_t n) = 0;
    virtual ReadResult ReadByte(uint8_t& byte) = 0;
    // A controller at the end of a line needs time to take in each byte and
    // to store what it was sent; one inside this program does not.
    virtual bool Wired() const { return true; }
};

// Time as the link uses it: the wait of at least one millisecond per byte
// sent that the controller needs before it answers, and plain sleeps.
class ILinkClock {
  public:
    virtual ~ILinkClock() = default;
    virtual void BusyWaitMs(int ms) = 0;
    virtual void SleepMs(int ms) = 0;
};

// The real clock.
class SteadyLinkClock : public ILinkClock {
  public:
    void BusyWaitMs(int ms) override;
    void SleepMs(int ms) override;
};

}  // namespace ostra
