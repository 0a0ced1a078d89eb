// Trend samples and their CSV.
#include "comm/TrendLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ostra {

void CTrendLog::Add(int64_t ms, const std::vector<std::pair<int32_t, double>>& values) {
    if (values.empty()) return;
    // Time never runs backwards in a series: a clock step back is taken as now.
    ms = std::max(ms, lastMs_);
    lastMs_ = ms;
    for (const auto& [signal, value] : values) {
        std::vector<TrendSample>& s = series_[signal];
        if (!s.empty() && s.back().ms == ms)
            s.back().value = value;
        else
            s.push_back({ms, value});
    }
    const int64_t oldest = ms - kKeepMs;
    for (auto& [signal, s] : series_) {
        // Keep the last sample before the window: it holds the value at its start.
        auto first = std::lower_bound(s.begin(), s.end(), oldest,
                                      [](const TrendSample& a, int64_t t) { return a.ms < t; });
        if (first != s.begin()) --first;
        if (first != s.begin()) s.erase(s.begin(), first);
    }
}

void CTrendLog::Clear() {
    series_.clear();
    lastMs_ = 0;
}

const std::vector<TrendSample>& CTrendLog::Of(int32_t signal) const {
    static const std::vector<TrendSample> none;
    const auto it = series_.find(signal);
    return it == series_.end() ? none : it->second;
}

std::string CsvNumber(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char text[32];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v) break;
    }
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string CTrendLog::Csv(const std::vector<std::pair<int32_t, std::string>>& columns,
                           int64_t fromMs, int64_t toMs) const {
    std::string out = "time_ms";
    for (const auto& column : columns) out += "," + CsvField(column.second);
    out += "\r\n";
    std::vector<int64_t> times;
    for (const auto& column : columns)
        for (const TrendSample& s : Of(column.first))
            if (s.ms >= fromMs && s.ms <= toMs) times.push_back(s.ms);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    // For each column, the index of the next sample not yet written.
    std::vector<std::size_t> next(columns.size(), 0);
    std::vector<std::string> held(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto& s = Of(columns[c].first);
        while (next[c] < s.size() && s[next[c]].ms < fromMs) held[c] = CsvNumber(s[next[c]++].value);
    }
    for (int64_t t : times) {
        out += std::to_string(t);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const auto& s = Of(columns[c].first);
            while (next[c] < s.size() && s[next[c]].ms <= t) held[c] = CsvNumber(s[next[c]++].value);
            out += "," + held[c];
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace ostra
