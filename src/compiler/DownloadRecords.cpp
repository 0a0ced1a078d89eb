// Download records and the compiled image.
#include "compiler/DownloadRecords.h"

#include "model/CArchive.h"
#include "model/COxFunc.h"

namespace ostra {
namespace {

const CClassRegistry& ImageClassRegistry() {
    static const CClassRegistry registry = [] {
        CClassRegistry r;
        r.Register("CdldConst", 1, [] { return std::make_unique<CdldConst>(); });
        r.Register("CdldFB", 1, [] { return std::make_unique<CdldFB>(); });
        r.Register("CdldSig", 1, [] { return std::make_unique<CdldSig>(); });
        return r;
    }();
    return registry;
}

template <typename T>
void StoreList(CArchive& ar, std::vector<std::unique_ptr<T>>& list) {
    ar.WriteCount(static_cast<uint32_t>(list.size()));
    for (auto& rec : list) ar.WriteObject(*rec);
}

template <typename T>
void LoadList(CArchive& ar, std::vector<std::unique_ptr<T>>& list, const char* what) {
    const uint32_t n = ar.ReadCount();
    for (uint32_t i = 0; i < n; ++i) {
        const std::size_t at = ar.Position();
        std::unique_ptr<CObject> obj = ar.ReadObject();
        T* typed = dynamic_cast<T*>(obj.get());
        if (!typed)
            throw CArchiveException(std::string("a ") + obj->ClassName() + " stands in the " +
                                        what + " table",
                                    at);
        obj.release();
        list.emplace_back(typed);
    }
}

}  // namespace

void CdldConst::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteI32(Number);
        ar.WriteF64(Value);
    } else {
        Number = ar.ReadI32();
        Value = ar.ReadF64();
    }
}

void CdldSig::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString8(Name);
        ar.WriteI32(Number);
        ar.WriteI32(Sourced);
    } else {
        Name = ar.ReadString8();
        Number = ar.ReadI32();
        Sourced = ar.ReadI32();
    }
}

CdldFB::CdldFB() {
    PinRef.fill(-1);
    PinType.fill(0);
}

CdldFB::CdldFB(const COxFunc& block) : CdldFB() {
    Ident = block.ident;
    TypeName = block.functionType;
    TypeNum = block.typeNumber;
    PosX = block.position.x;
    PosY = block.position.y;
    Refnum = block.refnum;
    if (TypeName == "TERMIN") {
        for (int i = 0; i < 4; ++i) Address[i] = block.pins[1 + i].value;
    } else if (TypeName == "TERMOUT") {
        for (int i = 0; i < 4; ++i) Address[i] = block.pins[2 + i].value;
    }
    for (int k = 0; k < 16; ++k) PinType[k] = block.pins[k].type;
}

void CdldFB::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString8(Ident);
        ar.WriteString8(TypeName);
        for (int32_t v : {Resolved, TypeNum, PosX, PosY, Refnum}) ar.WriteI32(v);
        for (int32_t v : Address) ar.WriteI32(v);
        for (int k = 0; k < 16; ++k) {
            ar.WriteI32(PinRef[k]);
            ar.WriteI32(PinType[k]);
        }
        return;
    }
    Ident = ar.ReadString8();
    TypeName = ar.ReadString8();
    Resolved = ar.ReadI32();
    TypeNum = ar.ReadI32();
    PosX = ar.ReadI32();
    PosY = ar.ReadI32();
    Refnum = ar.ReadI32();
    for (int32_t& v : Address) v = ar.ReadI32();
    for (int k = 0; k < 16; ++k) {
        PinRef[k] = ar.ReadI32();
        PinType[k] = ar.ReadI32();
    }
}

void DownloadTables::Clear() {
    consts.clear();
    fbs.clear();
    sigs.clear();
}

std::string StoreImage(DownloadTables& t) {
    CArchive ar;
    StoreList(ar, t.consts);
    StoreList(ar, t.fbs);
    StoreList(ar, t.sigs);
    return ar.Buffer();
}

bool LoadImage(const std::string& bytes, DownloadTables& t, std::string* reason) {
    try {
        CArchive ar(bytes, ImageClassRegistry());
        LoadList(ar, t.consts, "constants");
        LoadList(ar, t.fbs, "function-block");
        LoadList(ar, t.sigs, "signal");
    } catch (const CArchiveException& e) {
        t.Clear();
        if (reason) *reason = std::string(e.what()) + " (at byte " + std::to_string(e.Offset()) + ")";
        return false;
    }
    return true;
}

}  // namespace ostra
