// The processor list and the built-in table.
#include <gtest/gtest.h>

#include "project/ProcessorList.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

TEST(ProcessorList, MissingFileGivesTheBuiltInTable) {
    CProcTable t;
    t.ReadProcessorList("/nonexistent/processors.lst");
    ASSERT_EQ(t.ProcTable.size(), 4u);
    EXPECT_EQ(t.ProcTable[0].ProcID, 0xA501);
    EXPECT_EQ(t.ProcTable[0].ProcName, "KMRU-01");
    EXPECT_EQ(t.ProcTable[1].ProcName, "KMRU-02");
    EXPECT_EQ(t.ProcTable[2].ProcID, 0xA5FF);
    EXPECT_EQ(t.ProcTable[3].ProcID, 0);
    EXPECT_EQ(t.ProcTable[3].ProcName, "");
    ASSERT_NE(t.Find(0xA522), nullptr);
    EXPECT_EQ(t.Find(0xA522)->ProcName, "KMRU-02");
    EXPECT_EQ(t.Find(0x1234), nullptr);
    EXPECT_EQ(t.Find(0), nullptr);
}

TEST(ProcessorList, SeparatorsCaseAndTheEndMarker) {
    CProcTable t;
    t.ParseProcessorList("A501 KMRU-01\r\nb0c1,KMRU-07\r\n\tC2\tPROC C2\r\n0\r\nD3 AFTER\r\n");
    ASSERT_EQ(t.ProcTable.size(), 4u);
    EXPECT_EQ(t.ProcTable[1].ProcID, 0xB0C1);
    EXPECT_EQ(t.ProcTable[1].ProcName, "KMRU-07");
    EXPECT_EQ(t.ProcTable[2].ProcName, "PROC");
    EXPECT_EQ(t.Find(0xD3), nullptr);
}

TEST(ProcessorList, ListStopsAtAnEmptyLineOrAWord) {
    CProcTable t;
    t.ParseProcessorList("A501 KMRU-01\r\n\r\nA522 KMRU-02\r\n");
    EXPECT_EQ(t.ProcTable.size(), 2u);
    t.ParseProcessorList("KMRU A501\r\n");
    EXPECT_EQ(t.ProcTable.size(), 1u);         // only the terminator
    t.ParseProcessorList("FFFFFFFF NEG\r\n");  // a code below 1
    EXPECT_EQ(t.ProcTable.size(), 1u);
}

TEST(ProcessorList, AtMost63Processors) {
    std::string text;
    for (int i = 1; i <= 70; ++i) text += std::to_string(i) + " P" + std::to_string(i) + "\r\n";
    CProcTable t;
    t.ParseProcessorList(text);
    ASSERT_EQ(t.ProcTable.size(), 64u);
    EXPECT_EQ(t.ProcTable[62].ProcName, "P63");
    EXPECT_EQ(t.ProcTable[63].ProcName, "");
}

TEST(ProcessorList, ShippedList) {
    CProcTable t;
    t.ReadProcessorList(test::Examples() / "processors.lst");
    ASSERT_NE(t.Find(0xA501), nullptr);
    ASSERT_NE(t.Find(0xA522), nullptr);
    ASSERT_NE(t.Find(0xA5FF), nullptr);
    EXPECT_EQ(t.Find(0xA5FF)->ProcName, "KMRU-99");
}

}  // namespace
}  // namespace ostra
