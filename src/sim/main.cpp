// ostra-plcsim: a simulated controller on a pseudo-terminal. Prints the
// device path to connect to and serves until stopped (Ctrl+C).
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/posix/PosixSerialPort.h"
#include "sim/CSimController.h"

namespace {

volatile std::sig_atomic_t stop = 0;
void OnSignal(int) { stop = 1; }

const char* const kUsage =
    "usage: ostra-plcsim [--code HEX] [--box N] [--slot N] [--echo] [--no-plant]\n"
    "                    [--faults KINDS] [--fault-rate R] [--seed N]\n"
    "  KINDS: all, or any of no-answer,drop,corrupt,extra,late,header,echo\n"
    "  serves a simulated controller on a new pseudo-terminal, whose path it prints\n";

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    ostra::sim::SimOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "ostra-plcsim: " << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        try {
            if (a == "--code") o.procCode = static_cast<int32_t>(std::stoul(value(), nullptr, 16));
            else if (a == "--box") o.box = std::stoi(value());
            else if (a == "--slot") o.slot = std::stoi(value());
            else if (a == "--echo") o.echo = true;
            else if (a == "--no-plant") o.plant = false;
            else if (a == "--faults") {
                if (!ostra::sim::ParseFaults(value(), o.faults.kinds)) {
                    std::cerr << "ostra-plcsim: unknown fault kind\n";
                    return 2;
                }
            } else if (a == "--fault-rate") o.faults.rate = std::stod(value());
            else if (a == "--seed") o.faults.seed = static_cast<uint32_t>(std::stoul(value()));
            else if (a == "--help" || a == "-h") {
                std::cout << kUsage;
                return 0;
            } else {
                std::cerr << kUsage << "ostra-plcsim: unknown option " << a << "\n";
                return 2;
            }
        } catch (const std::exception&) {
            std::cerr << "ostra-plcsim: bad value for " << a << "\n";
            return 2;
        }
    }

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::cerr << "ostra-plcsim: cannot open a pseudo-terminal\n";
        return 2;
    }
    const char* name = ptsname(master);
    if (!name) {
        std::cerr << "ostra-plcsim: cannot name the pseudo-terminal\n";
        return 2;
    }
    const std::string device = name;
    // Holding the other side open keeps the line up between clients; raw
    // mode on it stops the terminal from echoing or editing.
    const int keep = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (keep < 0 || !ostra::PosixSerialPort::MakeRaw(keep)) {
        std::cerr << "ostra-plcsim: cannot set up " << device << "\n";
        return 2;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    ostra::sim::CSimController controller(o);
    std::cout << device << std::endl;

    int64_t last = NowMs();
    std::string out;
    const auto flush = [&] {
        while (controller.HasOutput()) out += static_cast<char>(controller.TakeOutput());
        while (!out.empty()) {
            const ssize_t w = ::write(master, out.data(), out.size());
            if (w <= 0) break;
            out.erase(0, static_cast<std::size_t>(w));
        }
    };
    while (!stop) {
        // Asleep until a request comes or the next scan is due; a request is
        // answered before the scans that fell behind are caught up, so that
        // a busy machine delays the plant, not the answers.
        const int64_t due = last + 10 - NowMs();
        pollfd p{master, POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(due, 10))));
        char buf[512];
        for (;;) {
            const ssize_t r = ::read(master, buf, sizeof buf);
            if (r <= 0) break;
            controller.Receive(std::string(buf, static_cast<std::size_t>(r)));
        }
        flush();
        const int64_t now = NowMs();
        if (now > last) {
            controller.Advance(now - last);
            last = now;
        }
        flush();
    }
    ::close(keep);
    ::close(master);
    return 0;
}
