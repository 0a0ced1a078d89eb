// The samples of monitored signals over time, for the trend window and the
// command line's CSV: what the monitor's round robin read, with the time it
// was read. Nothing is polled for it; it only keeps what monitoring gives.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ostra {

struct TrendSample {
    int64_t ms = 0;  // since the log began
    double value = 0;
};

class CTrendLog {
  public:
    // Samples older than this behind the newest are dropped: the longest
    // window a trend shows.
    static constexpr int64_t kKeepMs = 10 * 60 * 1000;

    // The values one monitor tick read, at `ms`.
    void Add(int64_t ms, const std::vector<std::pair<int32_t, double>>& values);
    void Clear();

    const std::vector<TrendSample>& Of(int32_t signal) const;
    // The newest sample's time, or 0 when there is none.
    int64_t LastMs() const { return lastMs_; }
    bool Empty() const { return series_.empty(); }

    // Columns of (signal number, heading). One row per time at which any of
    // them was read within [fromMs, toMs]: the time in ms, then each value,
    // the last read value held where a signal was not read at that time,
    // empty before its first.
    std::string Csv(const std::vector<std::pair<int32_t, std::string>>& columns, int64_t fromMs,
                    int64_t toMs) const;

  private:
    std::map<int32_t, std::vector<TrendSample>> series_;
    int64_t lastMs_ = 0;
};

// A value as CSV writes it: shortest text that reads back as the same double.
std::string CsvNumber(double v);
// A heading quoted where it holds a comma, quote or line end.
std::string CsvField(const std::string& text);

}  // namespace ostra
