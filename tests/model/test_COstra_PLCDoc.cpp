// The sheet document: file layout, byte-exact round trips, refusal of damaged files, numbering and
// selection operations; and the archive framing beneath it: counts, class tags, the shared index
// counter, text lines with their limits, and the refusal of damaged data.
#include <gtest/gtest.h>

#include "model/CArchive.h"
#include "model/COstra_PLCDoc.h"
#include "platform/FileIO.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

std::string U16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string U32(uint32_t v) {
    return U16(v & 0xFFFF) + U16(v >> 16);
}
std::string NewClass(const std::string& name) {
    return U16(0xFFFF) + U16(1) + U16(static_cast<uint16_t>(name.size())) + name;
}
const std::string kEmptyLists = U16(0) + U16(0) + U16(0) + U16(0);

// A new sheet is the header and four zero counts; the examples come back byte for byte.
TEST(COstra_PLCDoc, EmptyAndExampleSheetsRoundTripByteForByte) {
    COstra_PLCDoc empty;
    empty.pathName = "Sheet_09.oxd", empty.modified = true;
    empty.sheetWidth = empty.sheetHeight = 5;
    empty.OnNewDocument("Sheet_01");
    EXPECT_EQ(empty.SaveToBytes(), "0\r\n" + kEmptyLists);
    EXPECT_TRUE(empty.sheetWidth == 1008 && empty.sheetHeight == 672 && empty.pathName.empty() &&
                !empty.modified);
    for (const char* name : {"Sheet_01.oxd", "Sheet_02.oxd"}) {
        const std::string bytes = test::ReadBytes(test::Examples() / "TankPlant" / name);
        ASSERT_FALSE(bytes.empty()) << name;
        COstra_PLCDoc doc;
        const LoadResult r = doc.LoadFromBytes(bytes);
        ASSERT_TRUE(r.ok) << name << ": " << r.Describe();
        EXPECT_GT(doc.blocks.size(), 5u);
        EXPECT_EQ(doc.SaveToBytes(), bytes) << name;
    }
}

COstra_PLCDoc& Filled(COstra_PLCDoc& doc) {
    doc.blocks.push_back(std::make_unique<COxFunc>("AND", CPoint(10, 10)));
    doc.blocks.push_back(std::make_unique<COxFunc>("ADD", CPoint(20, 10)));
    doc.segments.push_back(std::make_unique<COxWireSeg>(CPoint(16, 11), CPoint(20, 11)));
    doc.texts.push_back(std::make_unique<COxText>(CPoint(1, 2), "note", 8));
    doc.lines.push_back(std::make_unique<COxLine>(CPoint(0, 0), CPoint(5, 0), 1, 0));
    return doc;
}

TEST(COstra_PLCDoc, DamagedFilesAreRefusedAndTheSheetKeepsItsContent) {
    COstra_PLCDoc source;
    const std::string good = Filled(source).SaveToBytes();
    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    };
    std::string unknownClass = good;
    unknownClass.replace(unknownClass.find("COxFunc"), 7, "COxFanc");
    std::string badSchema = good;
    badSchema[5 + 2] = 2;  // header "0\r\n", count, tag, then the schema
    std::string textInBlocks =
        "0\r\n" + U16(1) + NewClass("COxText") + "1, 2, 8\r\na\r\n" + U16(0) + U16(0) + U16(0);
    std::string pinInBlocks = "0\r\n" + U16(1) + NewClass("COxPin") + U16(0) + U16(0) + U16(0);
    std::string badIndex = "0\r\n" + U16(1) + U16(0x8003) + U16(0) + U16(0) + U16(0);
    const Case cases[] = {
        {"unknown class", unknownClass, "unknown class \"COxFanc\""},
        {"wrong schema", badSchema, "schema 2"},
        {"bad index", badIndex, "class index 3"},
        {"text in the block list", textInBlocks, "COxText stands in the block list"},
        {"pin in the block list", pinInBlocks, "COxPin stands in the block list"},
        {"cut short", good.substr(0, good.size() - 3), "ends early"},
        {"a count no sheet holds", "0\r\n" + U16(0xFFFF) + U16(0xC351) + U16(0),
         "more than 50000 objects, more than a sheet holds"},
        {"empty file", "", "ends early"},
    };
    for (const Case& c : cases) {
        COstra_PLCDoc doc;
        Filled(doc).checkState = 1;
        const LoadResult r = doc.LoadFromBytes(c.bytes);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_NE(r.reason.find(c.reason), std::string::npos) << c.what << ": " << r.reason;
        EXPECT_TRUE(doc.blocks.size() == 2u && doc.texts.size() == 1u && doc.checkState == 1) << c.what;
    }
    COstra_PLCDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument("/nonexistent/Sheet_01.oxd").ok);
    EXPECT_FALSE(Filled(doc).OnSaveDocument("/nonexistent/Sheet_01.oxd"));
    doc.DeleteContents();
    EXPECT_EQ(doc.SaveToBytes(), COstra_PLCDoc().SaveToBytes());
}

int32_t Next(const std::string& title, std::vector<int32_t> refnums) {
    COstra_PLCDoc doc;
    doc.title = title;
    for (int32_t r : refnums) {
        doc.blocks.push_back(std::make_unique<COxFunc>("AND", CPoint(1, 1)));
        doc.blocks.back()->refnum = r;
    }
    return doc.NextRefnum();
}

// A new block's refnum: the sheet's number times 100, plus the first free n.
TEST(COstra_PLCDoc, NextRefnum) {
    const auto n = [](const std::string& title, std::vector<int32_t> refnums) {
        return std::to_string(Next(title, std::move(refnums))) + " ";
    };
    EXPECT_EQ(n("Sheet_03", {301, 302, 304}) + n("Sheet_03", {301, 302, 303}) +
                  n("Sheet_03.oxd", {}) + n("Sheet_03", {}) + n("Diagram", {101, 102}) + n("", {}),
              "303 304 301 301 103 101 ");
    // Sheet number 0 counts as 1; the last run of digits counts; no digit before the dot.
    EXPECT_EQ(n("Sheet_00", {}) + n("Sheet_10", {}) + n("Sheet_09", {}) + n("Sheet_105", {}) +
                  n("Pump12 old", {}) + n("Sheet.oxd", {}),
              "101 1001 901 10501 1201 101 ");
    // Negative refnums are passed over; 99 is beyond n + 1.
    EXPECT_EQ(n("Sheet_05", {-1, 502}) + n("Sheet_01", {199}) + n("Sheet_01", {102, 101}),
              "501 101 103 ");
}

// A record with a 4-byte body, under any class name.
class Rec : public CObject {
  public:
    explicit Rec(const char* name = "Rec") : name_(name) {}
    const char* ClassName() const override { return name_; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar.WriteI32(value);
        else
            value = ar.ReadI32();
    }
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<Rec>(*this); }
    int32_t value = 0;

  private:
    const char* name_;
};

CClassRegistry Registry() {
    CClassRegistry r;
    for (const char* n : {"CdldConst", "CdldFB", "CdldSig"})
        r.Register(n, 1, [n] { return std::make_unique<Rec>(n); });
    return r;
}

TEST(CArchive, CountsUse16BitsBelow65535) {
    CArchive ar;
    ar.WriteCount(0);
    ar.WriteCount(65534);
    ar.WriteCount(65535);
    ar.WriteCount(70000);
    EXPECT_EQ(ar.Buffer(),
              U16(0) + U16(65534) + U16(0xFFFF) + U32(65535) + U16(0xFFFF) + U32(70000));
    const std::string data = ar.Buffer();
    const CClassRegistry reg;
    CArchive in(data, reg);
    for (uint32_t n : {0u, 65534u, 65535u, 70000u}) EXPECT_EQ(in.ReadCount(), n);
}

TEST(CArchive, ClassIndexesFrom0x7FFFUseTheLongTag) {
    CArchive ar;
    std::vector<Rec> many(0x7FFF, Rec("CdldConst"));
    for (auto& r : many) ar.WriteObject(r);  // class 1, records 2 .. 0x8000
    Rec fb("CdldFB");
    ar.WriteObject(fb);  // new class at index 0x8001
    ar.WriteObject(fb);
    const std::string& b = ar.Buffer();
    const std::string tail = b.substr(b.size() - 10);
    EXPECT_EQ(tail, U16(0x7FFF) + U32(0x80000000u + 0x8001) + U32(0));

    const CClassRegistry reg = Registry();
    CArchive in(b, reg);
    for (std::size_t i = 0; i < many.size() + 2; ++i) ASSERT_NE(in.ReadObject(), nullptr);
}

struct Damaged {
    const char* what;
    std::string data;
    const char* reason;
};

TEST(CArchive, DamagedDataIsRefusedWithAReason) {
    const Damaged cases[] = {
        {"unknown class", NewClass("CBogus") + U32(1), "unknown class \"CBogus\""},
        {"wrong schema", U16(0xFFFF) + U16(2) + U16(6) + "CdldFB" + U32(1), "schema 2"},
        {"class index of nothing", U16(0x8005), "class index 5 names nothing"},
        {"class index of a record", NewClass("CdldFB") + U32(1) + U16(0x8002),
         "class index 2 names nothing"},
        {"object index of a class", NewClass("CdldFB") + U32(1) + U16(1),
         "object index 1 names nothing"},
        {"object index one past the last", NewClass("CdldFB") + U32(1) + U16(3),
         "object index 3 names nothing"},
        {"null object", U16(0), "empty object"},
        {"body cut short", NewClass("CdldFB") + U16(1), "ends early"},
        {"name cut short", U16(0xFFFF) + U16(1) + U16(10) + "Cdld", "ends early"},
        {"no tag", std::string("\x01", 1), "ends early"},
    };
    const CClassRegistry reg = Registry();
    for (const Damaged& d : cases) {
        CArchive in(d.data, reg);
        try {
            while (true) in.ReadObject();
        } catch (const CArchiveException& e) {
            EXPECT_NE(std::string(e.what()).find(d.reason), std::string::npos)
                << d.what << ": " << e.what();
            continue;
        }
    }
}

TEST(CArchive, ImageStringsHoldUpTo127Characters) {
    CArchive ar;
    ar.WriteString8("caf\xC3\xA9");
    ar.WriteString8(std::string(128, 'x'));  // one too many
    ar.WriteString8("");  // an empty string at the very end is whole
    const std::string data = ar.Buffer();
    EXPECT_EQ(data.substr(0, 5),
              "\x04"
              "caf\xE9");
    EXPECT_EQ(static_cast<unsigned char>(data[5]), 127u);
    const CClassRegistry reg;
    CArchive in(data, reg);
    for (const std::string& s : {std::string("caf\xC3\xA9"), std::string(127, 'x'), std::string()})
        EXPECT_EQ(in.ReadString8(), s);
    for (const std::string& damaged : {"\x80" + std::string(128, 'x'), std::string("\x05" "abc")}) {
        CArchive bad(damaged, reg);  // too long, and cut short
        EXPECT_THROW(bad.ReadString8(), CArchiveException);
    }
}

}  // namespace
}  // namespace ostra
