// The simulated controller.
#include "sim/CSimController.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "comm/NumberCodec.h"

namespace ostra::sim {
namespace {

constexpr double kDt = 0.01;  // seconds per scan
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kUnconnected = 0xFFF;

uint64_t RegKey(int32_t x, int32_t s, int32_t u, int32_t r) {
    return (static_cast<uint64_t>(x & 0xFFFF) << 48) | (static_cast<uint64_t>(s & 0xFFFF) << 32) |
           (static_cast<uint64_t>(u & 0xFFFF) << 16) | static_cast<uint64_t>(r & 0xFFFF);
}

uint32_t Word(double v) {
    if (std::isnan(v)) return 0;
    const double t = std::trunc(v);
    if (t >= 4294967296.0 || t <= -4294967296.0) return static_cast<uint32_t>(std::fmod(t, 4294967296.0));
    return static_cast<uint32_t>(static_cast<int64_t>(t));
}

int64_t Scans(double seconds) {
    if (!(seconds > 0)) return 0;
    return static_cast<int64_t>(std::llround(std::min(seconds, 1e12) * 100));
}

}  // namespace

bool ParseFaults(const std::string& names, std::vector<Fault>& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos <= names.size()) {
        const std::size_t comma = names.find(',', pos);
        const std::string n = names.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        if (n == "all") {
            out = {Fault::kNoAnswer, Fault::kDrop,        Fault::kCorrupt, Fault::kExtra,
                   Fault::kLate,     Fault::kWrongHeader, Fault::kEcho};
        } else if (n == "no-answer") out.push_back(Fault::kNoAnswer);
        else if (n == "drop") out.push_back(Fault::kDrop);
        else if (n == "corrupt") out.push_back(Fault::kCorrupt);
        else if (n == "extra") out.push_back(Fault::kExtra);
        else if (n == "late") out.push_back(Fault::kLate);
        else if (n == "header") out.push_back(Fault::kWrongHeader);
        else if (n == "echo") out.push_back(Fault::kEcho);
        else return false;
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return true;
}

CSimController::CSimController(const SimOptions& options)
    : o_(options), faultRng_(options.faults.seed) {
    kfactors_.assign(64, 0.0);
    if (o_.faults.kinds.empty()) ParseFaults("all", o_.faults.kinds);
}

double CSimController::Register(int32_t x, int32_t s, int32_t u, int32_t r) const {
    const auto it = registers_.find(RegKey(x, s, u, r));
    return it == registers_.end() ? 0 : it->second;
}

void CSimController::SetRegister(int32_t x, int32_t s, int32_t u, int32_t r, double v) {
    registers_[RegKey(x, s, u, r)] = v;
}

uint8_t CSimController::TakeOutput() {
    const uint8_t b = output_.front();
    output_.pop_front();
    return b;
}

void CSimController::SetFaults(const FaultOptions& faults) {
    o_.faults = faults;
    if (o_.faults.kinds.empty()) ParseFaults("all", o_.faults.kinds);
    faultRng_.seed(faults.seed);
}

void CSimController::Receive(const std::string& bytes) {
    if (o_.echo)
        for (char c : bytes) output_.push_back(static_cast<uint8_t>(c));
    for (char c : bytes) {
        if (c == '\r') {
            lastRequest_ = input_;
            HandleFrame(input_);
            input_.clear();
        } else if (input_.size() < 512) {
            input_ += c;
        } else {
            ++format_;
        }
    }
}

void CSimController::Answer(const std::string& body) {
    std::string f = body + "\n";
    char check[8];
    std::snprintf(check, sizeof check, "%04X", Checkword(f));
    f += check;
    f += '\r';
    Emit(f);
}

// Sends an answer, or what a faulty line makes of it.
void CSimController::Emit(std::string f) {
    std::uniform_real_distribution<double> chance(0, 1);
    if (o_.faults.rate > 0 && chance(faultRng_) < o_.faults.rate) {
        const Fault kind = o_.faults.kinds[std::uniform_int_distribution<std::size_t>(
            0, o_.faults.kinds.size() - 1)(faultRng_)];
        std::uniform_int_distribution<std::size_t> at(0, f.size() - 1);
        std::uniform_int_distribution<int> byte(0, 255);
        switch (kind) {
            case Fault::kNoAnswer: ++noResponses_; return;
            case Fault::kDrop: f.erase(at(faultRng_), 1); break;
            case Fault::kCorrupt: {
                const std::size_t i = at(faultRng_);
                f[i] = static_cast<char>(f[i] ^ (1 + byte(faultRng_) % 255));
                break;
            }
            case Fault::kExtra: f.insert(at(faultRng_), 1, static_cast<char>(byte(faultRng_))); break;
            case Fault::kLate:
                // After the link has stopped waiting for this attempt.
                late_.push_back({timeMs_ + 20 + byte(faultRng_) % 40, f});
                return;
            case Fault::kWrongHeader: {
                // Another value in one of the five header tokens.
                std::size_t pos = 1;
                const int field = std::uniform_int_distribution<int>(0, 4)(faultRng_);
                for (int k = 0; k < field; ++k) {
                    double v = 0;
                    const int len = DecodeNumber(f.data(), pos, f.size(), v);
                    if (len <= 0) break;
                    pos += static_cast<std::size_t>(len);
                }
                double v = 0;
                const int len = DecodeNumber(f.data(), pos, f.size(), v);
                if (len > 0) f.replace(pos, static_cast<std::size_t>(len), EncodeNumber(v + 1 + byte(faultRng_) % 7));
                break;
            }
            case Fault::kEcho:
                for (char c : lastRequest_) output_.push_back(static_cast<uint8_t>(c));
                output_.push_back('\r');
                break;
        }
    }
    for (char c : f) output_.push_back(static_cast<uint8_t>(c));
}

void CSimController::HandleFrame(const std::string& frame) {
    ++transactions_;
    if (frame.empty() || (frame[0] != '+' && frame[0] != '-')) {
        ++sentinel_;
        ++errors_;
        return;
    }
    // Tokens up to the line feed; a short read request has none.
    const std::size_t lf = frame.find('\n');
    const std::size_t end = lf == std::string::npos ? frame.size() : lf;
    if (lf != std::string::npos) {
        const std::string check = frame.substr(lf + 1);
        char expected[8];
        std::snprintf(expected, sizeof expected, "%04X", Checkword(frame.substr(0, lf + 1)));
        if (check.size() != 4 || !std::equal(check.begin(), check.end(), expected, [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == b;
            })) {
            ++checkword_;
            ++errors_;
            return;  // a controller stays silent on a damaged frame
        }
    }
    std::vector<double> t;
    std::size_t pos = 1;
    while (pos < end) {
        double v = 0;
        const int len = DecodeNumber(frame.data(), pos, end, v);
        if (len <= 0) {
            ++format_;
            ++errors_;
            return;
        }
        t.push_back(v);
        pos += static_cast<std::size_t>(len);
    }
    if (t.size() < 5) {
        ++format_;
        ++errors_;
        return;
    }
    const auto box = SaturatedInt32(t[0]);
    const auto slot = SaturatedInt32(t[1]);
    if (box != o_.box || slot != o_.slot) return;  // another module's frame
    const auto sub = SaturatedInt32(t[2]);
    const auto base = SaturatedInt32(t[3]);
    const auto n = SaturatedInt32(t[4]);
    if (base < 0 || n < 0 || n > 64) {
        ++format_;
        ++errors_;
        return;
    }
    if (frame[0] == '+') {
        if (t.size() != static_cast<std::size_t>(n) + 5) {
            ++format_;
            ++errors_;
            return;
        }
        WriteRegs(sub, base, std::vector<double>(t.begin() + 5, t.end()));
        Answer("*" + EncodeNumber(box) + EncodeNumber(slot) + EncodeNumber(sub) +
               EncodeNumber(base + n) + EncodeNumber(0));
        return;
    }
    std::vector<double> values;
    ReadRegs(sub, base, n, values);
    std::string body = "!" + EncodeNumber(box) + EncodeNumber(slot) + EncodeNumber(sub) +
                       EncodeNumber(base) + EncodeNumber(n);
    for (double v : values) body += EncodeNumber(v);
    Answer(body);
}

void CSimController::ResetRun() {
    signals_.fill(0);
    states_.assign(blocks_.size(), State{});
    runMs_ = 0;
}

void CSimController::WriteRegs(int32_t sub, int32_t base, const std::vector<double>& v) {
    auto reg = [&](int32_t r, double fallback) {
        const int32_t i = r - base;
        return i >= 0 && i < static_cast<int32_t>(v.size()) ? v[static_cast<std::size_t>(i)]
                                                            : fallback;
    };
    switch (sub) {
        case 1:
            selSignal_ = SaturatedInt32(reg(0, selSignal_));
            break;
        case 2:
            if (base == 0 && !v.empty()) {
                const bool run = v[0] == 0;
                if (run && !running_) ResetRun();
                running_ = run;
            }
            break;
        case 3:
            selConst_ = SaturatedInt32(reg(0, selConst_));
            if (base <= 1 && base + static_cast<int32_t>(v.size()) > 1)
                constants_[selConst_] = reg(1, 0);
            break;
        case 4: {
            selBlock_ = SaturatedInt32(reg(0, selBlock_));
            if (v.size() + static_cast<std::size_t>(base) > 1 && selBlock_ >= 0 && selBlock_ < 65536) {
                if (blocks_.size() <= static_cast<std::size_t>(selBlock_)) {
                    blocks_.resize(static_cast<std::size_t>(selBlock_) + 1);
                    states_.resize(blocks_.size());
                }
                Block& b = blocks_[static_cast<std::size_t>(selBlock_)];
                b.typeNum = SaturatedInt32(reg(1, b.typeNum));
                for (int k = 0; k < 16; ++k) b.pins[k] = SaturatedInt32(reg(2 + k, b.pins[k]));
            }
            break;
        }
        case 6:
            if (base == 0 && v.size() == 1 && v[0] == 0) {
                kfNext_ = 0;
            } else if (base == 0 && v.size() >= 2) {
                const int32_t i = SaturatedInt32(v[0]);
                if (i >= 0 && i < static_cast<int32_t>(kfactors_.size()))
                    kfactors_[static_cast<std::size_t>(i)] = v[1];
            }
            break;
        default:
            break;
    }
}

bool CSimController::ReadRegs(int32_t sub, int32_t base, int32_t n, std::vector<double>& out) {
    out.assign(static_cast<std::size_t>(n), 0.0);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t r = base + i;
        double v = 0;
        switch (sub) {
            case 0: v = r == 0 ? o_.procCode : 0; break;
            case 1: v = r == 0 ? selSignal_ : Signal(selSignal_ + r - 1); break;
            case 2:
                switch (r) {
                    case 0: v = running_ ? 0 : 1; break;
                    case 1: v = running_ ? 2.56 * 12 : 0; break;  // 12 % of the scan
                    case 2: v = static_cast<double>(transactions_ / 1000000); break;
                    case 3: v = static_cast<double>(transactions_ % 1000000); break;
                    case 4: v = static_cast<double>(errors_); break;
                    case 5: v = static_cast<double>(noResponses_); break;
                    case 6: v = static_cast<double>(timeouts_); break;
                    case 7: v = static_cast<double>(sentinel_); break;
                    case 8: v = static_cast<double>(format_); break;
                    case 9: v = static_cast<double>(checkword_); break;
                    default: break;
                }
                break;
            case 3:
                if (r == 0) v = selConst_;
                if (r == 1) {
                    const auto it = constants_.find(selConst_);
                    v = it == constants_.end() ? 0 : it->second;
                }
                break;
            case 4:
                if (r == 0) {
                    v = selBlock_;
                } else if (selBlock_ >= 0 && static_cast<std::size_t>(selBlock_) < blocks_.size()) {
                    const Block& b = blocks_[static_cast<std::size_t>(selBlock_)];
                    v = r == 1 ? b.typeNum : (r <= 17 ? b.pins[r - 2] : 0);
                }
                break;
            case 6:
                if (r == 0) v = kfNext_;
                if (r == 1)
                    v = kfNext_ < static_cast<int32_t>(kfactors_.size())
                            ? kfactors_[static_cast<std::size_t>(kfNext_)]
                            : 0;
                if (r == 2) v = static_cast<double>(kfactors_.size());
                break;
            case 255: v = r == 0 ? o_.firmware : (r == 1 ? o_.serial : 0); break;
            default: break;
        }
        out[static_cast<std::size_t>(i)] = v;
    }
    // A read of the K-factor port moves on to the next factor.
    if (sub == 6 && base == 0 && n >= 2) ++kfNext_;
    return true;
}

void CSimController::Advance(int64_t ms) {
    if (ms <= 0) return;
    timeMs_ += ms;
    while (!late_.empty() && late_.front().first <= timeMs_) {
        for (char c : late_.front().second) output_.push_back(static_cast<uint8_t>(c));
        late_.pop_front();
    }
    scanDebt_ += ms;
    // After a long silence only the last second of scans is worth running.
    if (scanDebt_ > 1000) scanDebt_ = 1000;
    while (scanDebt_ >= kScanMs) {
        scanDebt_ -= kScanMs;
        if (o_.plant) Plant(kDt);
        if (running_) Scan();
    }
}

void CSimController::Scan() {
    if (states_.size() < blocks_.size()) states_.resize(blocks_.size());
    for (std::size_t i = 0; i < blocks_.size(); ++i) Execute(i);
    runMs_ += kScanMs;
}

double CSimController::In(const Block& b, int k) const {
    const int32_t w = b.pins[k];
    if (w == 0xFFFF) return 0;
    const int32_t type = (w >> 12) & 0xF;
    const int32_t ref = w & 0xFFF;
    switch (type) {
        case 1:
        case 2:
        case 3: {
            const double v = ref == kUnconnected ? 0 : signals_[static_cast<std::size_t>(ref)];
            if (type == 2) return v == 0 ? 1 : 0;
            return v;
        }
        case 4: {
            const auto it = constants_.find(ref);
            return it == constants_.end() ? 0 : it->second;
        }
        case 5: return ref;
        default: return 0;
    }
}

bool CSimController::Digital(const Block& b, int k) const { return In(b, k) != 0; }

void CSimController::Out(const Block& b, double v) {
    const int32_t w = b.pins[0];
    if (w == 0xFFFF) return;
    const int32_t type = (w >> 12) & 0xF;
    const int32_t ref = w & 0xFFF;
    if (ref == kUnconnected || type < 1 || type > 3) return;
    signals_[static_cast<std::size_t>(ref)] = type == 2 ? (v == 0 ? 1 : 0) : v;
}

void CSimController::Execute(std::size_t index) {
    const Block& b = blocks_[index];
    State& st = states_[index];
    auto inputs = [&](auto fn) {
        for (int k = 1; k < 16; ++k)
            if (Present(b, k)) fn(k);
    };
    auto address = [&](int first) {
        return std::array<int32_t, 4>{SaturatedInt32(In(b, first)),
                                      SaturatedInt32(In(b, first + 1)),
                                      SaturatedInt32(In(b, first + 2)),
                                      SaturatedInt32(In(b, first + 3))};
    };
    switch (b.typeNum) {
        case 4: {  // TERMIN
            const auto a = address(1);
            const double v = Register(a[0], a[1], a[2], a[3]);
            const uint32_t mask = Word(In(b, 5));
            Out(b, mask == 0 ? v : ((Word(v) & mask) != 0 ? 1 : 0));
            break;
        }
        case 5: {  // TERMOUT
            const auto a = address(2);
            const uint32_t mask = Word(In(b, 6));
            const double in = In(b, 1);
            if (mask == 0) {
                SetRegister(a[0], a[1], a[2], a[3], in);
            } else {
                uint32_t w = Word(Register(a[0], a[1], a[2], a[3]));
                w = in != 0 ? (w | mask) : (w & ~mask);
                SetRegister(a[0], a[1], a[2], a[3], w);
            }
            break;
        }
        case 1: Out(b, In(b, 1)); break;  // DIRCON
        case 2: {                         // BUSIN
            const auto a = address(1);
            Out(b, Word(Register(a[0], a[1], a[2], a[3])));
            break;
        }
        case 3: {  // BUSOUT
            const auto a = address(2);
            SetRegister(a[0], a[1], a[2], a[3], Word(In(b, 1)));
            break;
        }
        case 12: Out(b, (Word(In(b, 1)) & Word(In(b, 2))) != 0 ? 1 : 0); break;  // MASKIN
        case 13: Out(b, In(b, 1) != 0 ? Word(In(b, 2)) : 0); break;              // MASKOUT
        case 6: Out(b, In(b, 1)); break;                                          // PREVSCAN
        case 7: {                                                                 // KFACT
            const int64_t i = SaturatedInt64(In(b, 1));
            Out(b, i >= 0 && i < static_cast<int64_t>(kfactors_.size())
                       ? kfactors_[static_cast<std::size_t>(i)]
                       : 0);
            break;
        }
        case 20: {  // AND
            bool all = true;
            inputs([&](int k) { all = all && Digital(b, k); });
            Out(b, all ? 1 : 0);
            break;
        }
        case 21: {  // OR
            bool any = false;
            inputs([&](int k) { any = any || Digital(b, k); });
            Out(b, any ? 1 : 0);
            break;
        }
        case 22: {  // XOR
            int n = 0;
            inputs([&](int k) { n += Digital(b, k) ? 1 : 0; });
            Out(b, n % 2);
            break;
        }
        case 23: Out(b, Digital(b, 1) ? 0 : 1); break;                    // NOT
        case 25: Out(b, Digital(b, 1) && Digital(b, 2) ? 1 : 0); break;  // INHIBIT
        case 26:
        case 27: {  // RTRIG, FTRIG
            const bool in = Digital(b, 1);
            Out(b, b.typeNum == 26 ? (in && !st.prev) : (!in && st.prev));
            st.prev = in;
            break;
        }
        case 24:
        case 11: {  // BITAND, BITOR
            bool first = true;
            uint32_t w = 0;
            inputs([&](int k) {
                const uint32_t v = Word(In(b, k));
                w = first ? v : (b.typeNum == 24 ? (w & v) : (w | v));
                first = false;
            });
            Out(b, w);
            break;
        }
        case 30:
        case 32: {  // ADD, MULT
            double acc = b.typeNum == 30 ? 0 : 1;
            inputs([&](int k) { acc = b.typeNum == 30 ? acc + In(b, k) : acc * In(b, k); });
            Out(b, acc);
            break;
        }
        case 31: Out(b, In(b, 1) - In(b, 2)); break;
        case 33: Out(b, In(b, 2) == 0 ? 0 : In(b, 1) / In(b, 2)); break;
        case 34: Out(b, std::fabs(In(b, 1))); break;
        case 35:
        case 36: {  // MAX, MIN
            bool first = true;
            double m = 0;
            inputs([&](int k) {
                const double v = In(b, k);
                if (first || (b.typeNum == 35 ? v > m : v < m)) m = v;
                first = false;
            });
            Out(b, m);
            break;
        }
        case 84: Out(b, In(b, 1) < 0 ? 0 : std::sqrt(In(b, 1))); break;  // SQRT
        case 85: {                                                         // AVG
            double sum = 0;
            int n = 0;
            inputs([&](int k) { sum += In(b, k), ++n; });
            Out(b, n ? sum / n : 0);
            break;
        }
        case 40: Out(b, In(b, 1) > In(b, 2)); break;
        case 41: Out(b, In(b, 1) >= In(b, 2)); break;
        case 42: Out(b, In(b, 1) < In(b, 2)); break;
        case 43: Out(b, In(b, 1) <= In(b, 2)); break;
        case 44: Out(b, In(b, 1) == In(b, 2)); break;
        case 45: Out(b, In(b, 1) != In(b, 2)); break;
        case 46: {  // HYST
            const double in = In(b, 1);
            if (in >= In(b, 2))
                st.q = 1;
            else if (in <= In(b, 3))
                st.q = 0;
            Out(b, st.q);
            break;
        }
        case 50:
        case 51: {  // SRLATCH, RSLATCH
            const bool s = Digital(b, 1);
            const bool r = Digital(b, 2);
            if (b.typeNum == 50) {
                if (s) st.q = 1;
                else if (r) st.q = 0;
            } else {
                if (r) st.q = 0;
                else if (s) st.q = 1;
            }
            Out(b, st.q);
            break;
        }
        case 60: {  // TON
            const int64_t n = Scans(In(b, 2));
            if (Digital(b, 1)) {
                ++st.count;
                Out(b, st.count >= n ? 1 : 0);
            } else {
                st.count = 0;
                Out(b, 0);
            }
            break;
        }
        case 61: {  // TOF
            const int64_t n = Scans(In(b, 2));
            if (Digital(b, 1)) {
                st.count = 0;
                st.started = true;
                Out(b, 1);
            } else {
                ++st.count;
                Out(b, st.started && st.count < n ? 1 : 0);
            }
            break;
        }
        case 62: {  // TPULSE
            const int64_t n = std::max<int64_t>(Scans(In(b, 2)), 1);
            const bool in = Digital(b, 1);
            if (in && !st.prev && !st.running) {
                st.running = true;
                st.count = 0;
            }
            st.prev = in;
            if (st.running) {
                ++st.count;
                Out(b, 1);
                if (st.count >= n) st.running = false;
            } else {
                Out(b, 0);
            }
            break;
        }
        case 70: {  // CTU
            const bool cu = Digital(b, 1);
            if (cu && !st.prev) ++st.count;
            st.prev = cu;
            if (Digital(b, 2)) st.count = 0;
            Out(b, static_cast<double>(st.count) >= In(b, 3) ? 1 : 0);
            break;
        }
        case 71: {  // CTD
            const bool cd = Digital(b, 1);
            if (Digital(b, 2))
                st.count = static_cast<int64_t>(std::trunc(In(b, 3)));
            else if (cd && !st.prev && st.count > 0)
                --st.count;
            st.prev = cd;
            Out(b, st.count <= 0 ? 1 : 0);
            break;
        }
        case 80: Out(b, std::min(std::max(In(b, 1), In(b, 2)), In(b, 3))); break;  // LIMIT
        case 81: Out(b, In(b, 1) * In(b, 2) + In(b, 3)); break;                     // SCALE
        case 82: Out(b, Digital(b, 1) ? In(b, 3) : In(b, 2)); break;                // SELECT
        case 83: {                                                                   // FILTER
            const double in = In(b, 1);
            const double tc = In(b, 2);
            if (!st.started || tc <= 0)
                st.q = in;
            else
                st.q += (in - st.q) * kDt / (tc + kDt);
            st.started = true;
            Out(b, st.q);
            break;
        }
        default: break;
    }
}

void CSimController::Plant(double dt) {
    // TankPlant: inflow 0.5 + 0.4 sin(2 pi t / 120) %/s, the pump drains 1.5 %/s.
    const double t = static_cast<double>(timeMs_) / 1000.0;
    const bool pump = (Word(Register(1, 3, 0, 0)) & 1) != 0;
    level_ += (0.5 + 0.4 * std::sin(2 * kPi * t / 120.0) - (pump ? 1.5 : 0)) * dt;
    level_ = std::clamp(level_, 0.0, 100.0);
    std::uniform_int_distribution<int> noise(-2, 2);
    SetRegister(1, 0, 0, 0, std::round(level_ * 40) + noise(noise_));
    // The operator: START for half a second 20 s after a start and every 90 s,
    // STOP (normally closed) 60 s after a start and every 90 s.
    const int64_t runS = runMs_ / 100;  // tenths of a second
    auto pressed = [&](int64_t firstTenths) {
        if (runS < firstTenths) return false;
        return (runS - firstTenths) % 900 < 5;
    };
    uint32_t buttons = 0;
    if (running_ && pressed(200)) buttons |= 1;
    if (!(running_ && pressed(600))) buttons |= 2;
    SetRegister(1, 2, 0, 0, buttons);
}

}  // namespace ostra::sim
