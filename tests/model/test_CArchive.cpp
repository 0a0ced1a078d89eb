// The archive framing: counts, class tags, the shared index counter, text
// lines with their limits, and the refusal of damaged data.
#include <gtest/gtest.h>

#include "model/CArchive.h"

namespace ostra {
namespace {

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

std::string U16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string U32(uint32_t v) {
    return U16(v & 0xFFFF) + U16(v >> 16);
}
std::string NewClass(const std::string& name) {
    return U16(0xFFFF) + U16(1) + U16(static_cast<uint16_t>(name.size())) + name;
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
    EXPECT_EQ(in.ReadCount(), 0u);
    EXPECT_EQ(in.ReadCount(), 65534u);
    EXPECT_EQ(in.ReadCount(), 65535u);
    EXPECT_EQ(in.ReadCount(), 70000u);
    EXPECT_TRUE(in.AtEnd());
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
    EXPECT_TRUE(in.AtEnd());
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
    ar.WriteString8(std::string(200, 'x'));
    ar.WriteString8("");  // an empty string at the very end is whole
    const std::string data = ar.Buffer();
    EXPECT_EQ(data.substr(0, 5),
              "\x04"
              "caf\xE9");
    EXPECT_EQ(static_cast<unsigned char>(data[5]), 127u);
    const CClassRegistry reg;
    CArchive in(data, reg);
    EXPECT_EQ(in.ReadString8(), "caf\xC3\xA9");
    EXPECT_EQ(in.ReadString8(), std::string(127, 'x'));
    EXPECT_EQ(in.ReadString8(), "");
    for (const std::string& damaged : {std::string("\x80", 1), std::string("\x05" "abc")}) {
        CArchive bad(damaged, reg);  // too long, and cut short
        EXPECT_THROW(bad.ReadString8(), CArchiveException);
    }
}

}  // namespace
}  // namespace ostra
