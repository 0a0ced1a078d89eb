// A serial port that answers each written frame with the next scripted
// answer, and the provider that makes it; for the link's tests.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm/COxComm.h"
#include "platform/ISerialPort.h"

namespace ostra::test {

// Answers each written frame with the next scripted answer (none: silence).
// A "late" answer arrives only after the next frame is written.
class FakePort : public ISerialPort {
public:
    struct Answer {
        std::optional<std::string> bytes;
        bool late = false;
    };
    bool Open(const std::string&, std::string*) override { return open = opens; }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    void Purge() override { input.clear(); }
    std::size_t Write(const uint8_t* data, std::size_t n) override {
        written.emplace_back(reinterpret_cast<const char*>(data), n);
        if (!lateBytes.empty()) input.insert(input.end(), lateBytes.begin(), lateBytes.end());
        lateBytes.clear();
        if (echo) input.insert(input.end(), data, data + n);
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            if (a.bytes) {
                if (a.late)
                    lateBytes = *a.bytes;
                else
                    input.insert(input.end(), a.bytes->begin(), a.bytes->end());
            }
        }
        return n;
    }
    ReadResult ReadByte(uint8_t& b) override {
        if (input.empty()) return kTimeout;
        b = static_cast<uint8_t>(input.front());
        input.pop_front();
        return kByte;
    }

    bool opens = true;
    bool open = false;
    bool echo = false;
    std::deque<Answer> answers;
    std::deque<char> input;
    std::string lateBytes;
    std::vector<std::string> written;
};

class FakeClock : public ILinkClock {
public:
    void BusyWaitMs(int ms) override { busy.push_back(ms); }
    void SleepMs(int ms) override { sleeps.push_back(ms); }
    std::vector<int> busy, sleeps;
};

class ScriptedPorts : public IPortProvider {
public:
    std::string DeviceFor(int n) override { return "COM" + std::to_string(n); }
    std::unique_ptr<ISerialPort> Create(const std::string&) override {
        auto p = std::make_unique<FakePort>();
        p->opens = opens;
        last = p.get();
        return p;
    }
    bool opens = true;
    FakePort* last = nullptr;
};

}  // namespace ostra::test
