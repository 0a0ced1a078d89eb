// K-factor table.
#include "comm/CKFactorTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "comm/COxComm.h"
#include "comm/NumberCodec.h"
#include "platform/FileIO.h"
#include "platform/Scan.h"
#include "platform/TextCodec.h"
#include "project/TextLines.h"

namespace ostra {
namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\r') {
            if (!cur.empty()) out.push_back(cur), cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::string G(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%5.5g", v);
    return buf;
}

}  // namespace

void CKFactorTable::Read(const std::string& text, int room) {
    const std::vector<std::string> lines = SplitTextLines(text, std::string::npos);
    // The room comes from the library and may be anything: only the lines
    // there are get a record.
    records.assign(std::min(static_cast<std::size_t>(std::max(room, 0)), lines.size()), ts_kfrec{});
    count = 0;
    topRow = 0;
    changed = false;
    for (const std::string& line : lines) {
        if (count >= room) break;
        ts_kfrec& r = records[static_cast<std::size_t>(count++)];
        const std::vector<std::string> f = Fields(line);
        if (f.size() > 0) ScanF(f[0], "%d", {&r.address});
        if (f.size() > 1) r.name = Cp1252ToUtf8(f[1]);
        if (f.size() > 2) ScanF(f[2], "%lf", {&r.minimum});
        if (f.size() > 3) ScanF(f[3], "%lf", {&r.maximum});
        if (f.size() > 4) ScanF(f[4], "%lf", {&r.startValue});
    }
}

bool CKFactorTable::ReadFile(const std::filesystem::path& path, int room, std::string* error) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    Read(bytes, room);
    return true;
}

void CKFactorTable::RefreshFromPLC(COxComm& link, int32_t maxKFacts) {
    if (!link.Connected) return;
    std::vector<double> v(3, 0.0);
    if (link.Transact('+', 6, 0, 1, v) != kLinkOk) return;
    if (count >= static_cast<int>(records.size())) records.resize(static_cast<std::size_t>(count) + 16);
    for (int i = 0; i < count; ++i) {
        if (i >= maxKFacts) {
            records.resize(static_cast<std::size_t>(std::max(maxKFacts, 0)));
            count = std::max(maxKFacts, 0);
            break;
        }
        if (link.Transact('-', 6, 0, 3, v) == kLinkOk && SaturatedInt64(v[0]) == i)
            records[static_cast<std::size_t>(i)].actual = v[1];
    }
}

bool CKFactorTable::UpdateToPLC(COxComm& link) {
    if (!link.Connected) return false;
    std::vector<double> v(2, 0.0);
    v[0] = 1;
    link.Transact('+', 2, 0, 1, v);  // stop the controller
    v[0] = 0;
    if (link.Transact('+', 6, 0, 1, v) != kLinkOk) return false;
    for (int i = 0; i < count; ++i) {
        v[0] = i;
        v[1] = records[static_cast<std::size_t>(i)].actual;
        if (link.Transact('+', 6, 0, 2, v) != kLinkOk) return false;  // stays stopped
    }
    v[0] = 0;
    const bool started = link.Transact('+', 2, 0, 1, v) == kLinkOk;
    changed = false;
    return started;
}

std::array<CKFactorTable::Row, CKFactorTable::kRows> CKFactorTable::ShowRows() const {
    std::array<Row, kRows> rows{};
    for (int r = 0; r < kRows; ++r) {
        const int i = topRow + r;
        if (r >= count || i >= count) continue;
        const ts_kfrec& k = records[static_cast<std::size_t>(i)];
        rows[static_cast<std::size_t>(r)] = {std::to_string(k.address), k.name, G(k.minimum),
                                             G(k.maximum), G(k.startValue), G(k.actual)};
    }
    return rows;
}

void CKFactorTable::EditActual(int row, const std::string& text) {
    const int i = topRow + row;
    if (row < 0 || row >= kRows || i >= count) return;
    double v = 0;
    std::size_t start = 0;
    while (start < text.size() && IsCSpace(text[start])) ++start;
    ScanF(std::string_view(text).substr(start), "%lf", {&v});
    ts_kfrec& k = records[static_cast<std::size_t>(i)];
    // A text that repeats the shown, rounded value is no change.
    const double tolerance = std::fabs(v) * 6.103515625e-5;
    if (k.actual < v - tolerance || k.actual > v + tolerance) {
        k.actual = v;
        changed = true;
    }
}

void CKFactorTable::Up() {
    if (topRow > 0) --topRow;
}

void CKFactorTable::Down() {
    if (topRow < count - kRows) ++topRow;
}

void CKFactorTable::LoadStartVals() {
    for (int i = 0; i < count; ++i) records[static_cast<std::size_t>(i)].actual = records[static_cast<std::size_t>(i)].startValue;
}

}  // namespace ostra
