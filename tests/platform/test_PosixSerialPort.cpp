// The POSIX serial port on a pseudo-terminal: bytes both ways, time-outs,
// and Close giving the descriptor back.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/posix/PosixSerialPort.h"

namespace ostra {
namespace {

std::size_t OpenDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST(PosixSerialPort, BytesBothWaysAndClose) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_TRUE(grantpt(master) == 0 && unlockpt(master) == 0);
    ASSERT_TRUE(PosixSerialPort::MakeRaw(master));
    // The line's settings, seen from another descriptor on it.
    const auto line = [&master](const std::function<void(termios&)>& change) {
        const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        termios t{};
        EXPECT_EQ(tcgetattr(slave, &t), 0);
        change(t);
        EXPECT_EQ(tcsetattr(slave, TCSANOW, &t), 0);
        ::close(slave);
        return t.c_cflag;
    };
    line([](termios& t) { t.c_cflag |= CSTOPB | PARENB; });  // left so by another program
    const std::size_t before = OpenDescriptors();
    PosixSerialPort port;
    std::string error;
    ASSERT_TRUE(port.Open(ptsname(master), &error) && port.IsOpen()) << error;
    // As the port set it: 8 bits, one stop bit, no parity, no modem control, receiving.
    EXPECT_EQ(line([](termios&) {}) & (CSIZE | CSTOPB | PARENB | CLOCAL | CREAD),
              static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));
    const uint8_t out[] = {'-', 'n', '\r'};
    EXPECT_EQ(port.Write(out, 3), 3u);
    char got[3] = {};
    ASSERT_EQ(::read(master, got, 3), 3);
    EXPECT_EQ(std::string(got, 3), "-n\r");
    ASSERT_EQ(::write(master, "!x", 2), 2);
    uint8_t b = 0;
    ASSERT_TRUE(port.ReadByte(b) == ISerialPort::kByte && b == '!');
    port.Purge();  // the 'x' goes
    EXPECT_EQ(port.ReadByte(b), ISerialPort::kTimeout);

    port.Close();
    EXPECT_TRUE(!port.IsOpen() && OpenDescriptors() == before);
    EXPECT_TRUE(port.ReadByte(b) == ISerialPort::kFailed && port.Write(out, 3) == 0u);
    // A device that is no terminal is refused and not kept open.
    EXPECT_FALSE(port.Open("/dev/null", &error));
    EXPECT_TRUE(error == "not a serial port" && OpenDescriptors() == before) << error;
    port.Close();  // twice is harmless
    EXPECT_FALSE(port.Open("/dev/ostra-nonexistent", &error) || error.empty());
    ::close(master);
}

}  // namespace
}  // namespace ostra
