// The processor list and the built-in table.
#include <gtest/gtest.h>

#include "project/ProcessorList.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

// Texts of the list and the table they give: separators, case, the end
// marker, what stops the list, and its room for 63 processors.
TEST(ProcessorList, ParsedTables) {
    std::string seventy;
    for (int i = 1; i <= 70; ++i) seventy += std::to_string(i) + " P" + std::to_string(i) + "\r\n";
    const struct {
        std::string text;
        std::vector<std::string> names;  // the table's names, the terminator's "" last
    } cases[] = {
        {"A501 KMRU-01\r\nb0c1,KMRU-07\r\n\tC2\tPROC C2\r\n0\r\nD3 AFTER\r\n",
         {"KMRU-01", "KMRU-07", "PROC", ""}},
        {"A501 KMRU-01\r\n\r\nA522 KMRU-02\r\n", {"KMRU-01", ""}},  // an empty line ends it
        {"KMRU A501\r\n", {""}},                                     // so does a word
        {"FFFFFFFF NEG\r\n", {""}},                                   // and a code below 1
        {"A501\r\nA522 KMRU-02\r\n", {"", "KMRU-02", ""}},            // a code without a name
    };
    for (const auto& c : cases) {
        CProcTable t;
        t.ParseProcessorList(c.text);
        std::vector<std::string> names;
        for (const auto& p : t.ProcTable) names.push_back(p.ProcName);
        EXPECT_EQ(names, c.names) << c.text;
    }
    CProcTable t;
    t.ParseProcessorList("A501 KMRU-01\r\nb0c1,KMRU-07\r\n");
    EXPECT_EQ(t.ProcTable[1].ProcID, 0xB0C1);
    t.ParseProcessorList(seventy);
    ASSERT_EQ(t.ProcTable.size(), 64u);
    EXPECT_EQ(t.ProcTable[62].ProcName, "P63");
    EXPECT_EQ(t.ProcTable[63].ProcName, "");
    // Without a list the built-in table serves.
    t.ReadProcessorList("/nonexistent/processors.lst");
    ASSERT_EQ(t.ProcTable.size(), 4u);
    EXPECT_EQ(t.Find(0xA522)->ProcName, "KMRU-02");
    EXPECT_EQ(t.Find(0xA5FF), &t.ProcTable[2]);
    EXPECT_EQ(t.Find(0x1234), nullptr);
    EXPECT_EQ(t.Find(0), nullptr);
}

}  // namespace
}  // namespace ostra
