// The three download tables a compile makes (constants, function blocks in
// execution order, signals) and the compiled image "project.oxb" that keeps
// them between runs, in the same class-tagged archive as the sheets.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/CObject.h"

namespace ostra {

class COxFunc;

class CdldConst : public CObject {
public:
    CdldConst() = default;
    explicit CdldConst(double v) : Value(v) {}
    const char* ClassName() const override { return "CdldConst"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CdldConst>(*this); }

    double Value = 0;
    int32_t Number = 0;
};

class CdldSig : public CObject {
public:
    CdldSig() = default;
    explicit CdldSig(std::string name) : Name(std::move(name)) {}
    const char* ClassName() const override { return "CdldSig"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CdldSig>(*this); }

    std::string Name;
    int32_t Number = -1;
    int32_t Sourced = 0;
};

// Compiler-made block types.
enum CompilerBlockType : int32_t {
    kTypeDircon = 1,
    kTypeBusIn = 2,
    kTypeBusOut = 3,
    kTypeTermIn = 4,
    kTypeTermOut = 5,
    kTypeBitOr = 11,
    kTypeMaskIn = 12,
    kTypeMaskOut = 13,
};

class CdldFB : public CObject {
public:
    // An empty record: no names, no address (-1), nothing connected.
    CdldFB();
    // A record made from a sheet block.
    explicit CdldFB(const COxFunc& block);
    const char* ClassName() const override { return "CdldFB"; }
    void Serialize(CArchive& ar) override;
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CdldFB>(*this); }

    std::string TypeName;
    std::string Ident;
    int32_t Resolved = 0;
    int32_t TypeNum = 0;
    int32_t Refnum = 0;
    int32_t PosX = 0;
    int32_t PosY = 0;
    std::array<int32_t, 4> Address{-1, -1, -1, -1};
    std::array<int32_t, 16> PinRef;
    std::array<int32_t, 16> PinType;
};

struct DownloadTables {
    std::vector<std::unique_ptr<CdldConst>> consts;
    std::vector<std::unique_ptr<CdldFB>> fbs;
    std::vector<std::unique_ptr<CdldSig>> sigs;

    void Clear();
    bool Empty() const { return consts.empty() && fbs.empty() && sigs.empty(); }
};

// The image's bytes.
std::string StoreImage(DownloadTables& tables);
// Appends what `bytes` hold to the tables; on damage the tables are emptied
// and false returned with the reason.
bool LoadImage(const std::string& bytes, DownloadTables& tables, std::string* reason);

constexpr const char* kImageFile = "project.oxb";

}  // namespace ostra
