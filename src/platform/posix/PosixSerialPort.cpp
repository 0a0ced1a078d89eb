// termios serial port with the link's short read time-outs.
#include "platform/posix/PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace ostra {
namespace {

// A silent read gives up after this long: the link's interval, per-byte and
// constant time-outs (4 + 2 + 6 ms) rounded down to what a reply needs.
constexpr int kReadTimeoutMs = 8;
constexpr int kPseudoTerminalFirstByteMs = 250;
constexpr int kWriteTimeoutMs = 1000;

}  // namespace

PosixSerialPort::~PosixSerialPort() { Close(); }

bool PosixSerialPort::MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool PosixSerialPort::Open(const std::string& device, std::string* error) {
    Close();
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    if (!MakeRaw(fd_)) {
        if (error) *error = "not a serial port";
        Close();
        return false;
    }
    const char* name = ttyname(fd_);
    pseudoTerminal_ = name && std::string(name).rfind("/dev/pts/", 0) == 0;
    awaitingAnswer_ = false;
#ifdef __linux__
    // USB adapters otherwise hold received bytes back for up to 16 ms,
    // longer than the link waits. Ports without the setting ignore it.
    serial_struct ss{};
    if (ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd_, TIOCSSERIAL, &ss);
    }
#endif
    return true;
}

void PosixSerialPort::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void PosixSerialPort::Purge() {
    if (fd_ < 0) return;
    tcflush(fd_, TCIFLUSH);
    // A pseudo-terminal may not flush; read what is there.
    uint8_t buf[256];
    while (::read(fd_, buf, sizeof buf) > 0) {
    }
}

std::size_t PosixSerialPort::Write(const uint8_t* data, std::size_t n) {
    if (fd_ < 0) return 0;
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd_, data + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) break;
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, kWriteTimeoutMs) <= 0) break;
    }
    awaitingAnswer_ = done > 0;
    return done;
}

ISerialPort::ReadResult PosixSerialPort::ReadByte(uint8_t& byte) {
    if (fd_ < 0) return kFailed;
    for (;;) {
        const ssize_t r = ::read(fd_, &byte, 1);
        if (r == 1) return awaitingAnswer_ = false, kByte;
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno != EAGAIN) return kFailed;
        pollfd p{fd_, POLLIN, 0};
        const int ready =
            poll(&p, 1, pseudoTerminal_ && awaitingAnswer_ ? kPseudoTerminalFirstByteMs : kReadTimeoutMs);
        if (ready == 0) return awaitingAnswer_ = false, kTimeout;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return kFailed;
        }
        if (p.revents & (POLLERR | POLLNVAL)) return kFailed;
        const ssize_t again = ::read(fd_, &byte, 1);
        if (again == 1) return awaitingAnswer_ = false, kByte;
        if (again < 0 && (errno == EAGAIN || errno == EINTR)) return kTimeout;
        return kFailed;
    }
}

}  // namespace ostra
