// Library loader: any input parses; every definition draws and its block
// record survives a store and a load.
#include <cstdint>
#include <string>

#include "fuzz/NullSurface.h"
#include "model/CArchive.h"
#include "model/SheetClasses.h"
#include "project/CFuncLibrary.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuncLibrary lib;
    lib.Parse(std::string(reinterpret_cast<const char*>(data), size));
    fuzz::NullSurface dc;
    DrawParams p;
    p.scale = 10;
    for (const auto& def : lib.LibFuncs) {
        COxFunc f(def->functionType, CPoint(4, 4));
        f.CopyFrom(*def);
        f.Draw(&dc, p);
        for (int k = 0; k <= f.LastPinSlot(); ++k) (void)f.PinPoint(k);
        CArchive out;
        f.Serialize(out);
        CArchive in(out.Buffer(), SheetClassRegistry());
        COxFunc g;
        g.Serialize(in);
    }
    (void)lib.FindFunc("TERMIN");
    return 0;
}
