// The K-factor table of the "Edit K-Factors" dialog: read from a K-factor
// file, refreshed from and written to the controller, shown nine rows at a
// time. The dialog drives it; nothing here needs a window.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ostra {

class COxComm;

struct ts_kfrec {
    int32_t address = 0;
    std::string name;
    double minimum = 0;
    double maximum = 0;
    double startValue = 0;
    double actual = 0;
};

class CKFactorTable {
public:
    static constexpr int kRows = 9;
    using Row = std::array<std::string, 6>;  // address, name, min, max, start, actual

    // Lines "address name min max start"; room for `room` records, further
    // lines are ignored.
    void Read(const std::string& text, int room);
    bool ReadFile(const std::filesystem::path& path, int room, std::string* error = nullptr);

    void RefreshFromPLC(COxComm& link, int32_t maxKFacts);
    // True when every value was written and the controller started again.
    bool UpdateToPLC(COxComm& link);
    std::array<Row, kRows> ShowRows() const;
    // The actual field of row `row` left with `text`.
    void EditActual(int row, const std::string& text);
    void Up();
    void Down();
    void LoadStartVals();

    std::vector<ts_kfrec> records;  // the records read, within the table's room
    int count = 0;
    int topRow = 0;
    bool changed = false;
};

}  // namespace ostra
