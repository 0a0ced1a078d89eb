// The project control file: exact layout, fixed value positions, last wins.
#include <gtest/gtest.h>

#include "project/CProjCtrl.h"
#include "project/TextLines.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

TEST(CProjCtrl, WrittenLayout) {
    CProjCtrl c;
    c.Folder = 1;
    c.Processor = "KMRU-01";
    c.Compile = -1;
    c.CommPort = 2;
    c.boX = 3;
    c.Slot = 12;
    EXPECT_EQ(c.Format(),
              "Folder = 1\r\nProcessor = KMRU-01\r\nWireCheck = 0\r\nCompile = -1\r\n"
              "CommPort = 2\r\nboX = 3\r\nSlot = 12\r\n");
    CProjCtrl d;
    EXPECT_EQ(d.Read(c.Format()), 1);
    EXPECT_EQ(d.Format(), c.Format());
    // The processor's name: sixteen characters at most, one byte each.
    c.Processor = "ABCDEFGHIJKLMNOPQRST";
    EXPECT_NE(c.Format().find("Processor = ABCDEFGHIJKLMNOP\r\n"), std::string::npos);
    d.Read(c.Format());
    EXPECT_EQ(d.Processor, "ABCDEFGHIJKLMNOP");
    c.Processor = "K\xC3\xA9";  // Ké
    EXPECT_NE(c.Format().find("Processor = K\xE9\r\n"), std::string::npos);
    d.Read(c.Format());
    EXPECT_EQ(d.Processor, "K\xC3\xA9");
    // Stored as "project.oxp" in a folder; a folder that cannot take it is told.
    test::TempDir dir;
    test::RecordingMessageBox msg;
    EXPECT_EQ(StoreProjectControl(c, msg, dir.Path()), 1);
    EXPECT_EQ(test::ReadBytes(dir / "project.oxp"), c.Format());
    EXPECT_TRUE(msg.messages.empty());
    EXPECT_EQ(StoreProjectControl(c, msg, dir / "missing"), 0);
    ASSERT_EQ(msg.messages.size(), 1u);
    EXPECT_EQ(msg.messages[0].text, "Project Control File cannot be written");
}

TEST(CProjCtrl, ValuesAreReadFromFixedPositions) {
    // Each value is read from the place after "Key =": glued to the "=" too.
    const struct {
        const char* key;
        int32_t CProjCtrl::*field;
    } keys[] = {{"Folder", &CProjCtrl::Folder},     {"WireCheck", &CProjCtrl::WireCheck},
                {"Compile", &CProjCtrl::Compile},   {"CommPort", &CProjCtrl::CommPort},
                {"boX", &CProjCtrl::boX},           {"Slot", &CProjCtrl::Slot}};
    for (const auto& k : keys) {
        CProjCtrl glued;
        glued.Read(std::string(k.key) + " =47\r\n");
        EXPECT_EQ(glued.*k.field, 47) << k.key;
    }
    CProjCtrl c;
    c.Compile = 5;
    c.Read("Compile=1\r\n");
    EXPECT_EQ(c.Compile, 5);  // no blanks: read from the wrong place
    c.Read("Compile = -1\r\n");
    EXPECT_EQ(c.Compile, -1);
    c.Read("Compile =\r\n");
    EXPECT_EQ(c.Compile, -1);  // ends before the value
    c.Read("Compile = x\r\n");
    EXPECT_EQ(c.Compile, -1);
    c.Read("Compile =   7 trailing\r\n");
    EXPECT_EQ(c.Compile, 7);
    c.Read("Processor=KMRU-01\r\n");
    EXPECT_EQ(c.Processor, "RU-01");
    c.Read("Processor = \r\n");
    EXPECT_EQ(c.Processor, "");
    c.Read("Processor =  X\r\n");
    EXPECT_EQ(c.Processor, " X");
}

TEST(CProjCtrl, LongLinesAreCutTo59Characters) {
    CProjCtrl c;
    c.Read("Processor = " + std::string(60, 'P') + "\r\nSlot = 3\r\n");
    EXPECT_EQ(c.Processor, std::string(59 - 12, 'P'));
    EXPECT_EQ(c.Slot, 3);
    // Text lines with a limit go on in pieces, as a line read in chunks does.
    EXPECT_EQ(SplitTextLines("abcdefg\r\nhi\n\r\n\nj\r", 3),
              (std::vector<std::string>{"abc", "def", "g", "hi", "", "", "j\r"}));
    EXPECT_EQ(SplitTextLines("abc\ndef", 3), (std::vector<std::string>{"abc", "def"}));
}

}  // namespace
}  // namespace ostra
