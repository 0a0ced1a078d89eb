// Sheet loader: any input either loads or is refused; what loads saves to a file that loads again,
// and a second save is a fixed point; every object draws at any scale without overflow.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/NullSurface.h"
#include "model/COstra_PLCDoc.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    COstra_PLCDoc doc;
    if (!doc.LoadFromBytes(bytes).ok) return 0;

    fuzz::NullSurface dc;
    for (int scale : {1, 8, 40}) {
        DrawParams p;
        p.scale = scale;
        for (auto& f : doc.blocks) f->Draw(&dc, p), f->Draw(nullptr, p);
        for (auto& s : doc.segments) s->Draw(&dc, p);
        for (auto& t : doc.texts) t->Draw(&dc, p);
        for (auto& l : doc.lines) l->Draw(&dc, p);
    }
    doc.title = "Sheet_01";
    (void)doc.NextRefnum();

    const std::string first = doc.SaveToBytes();
    COstra_PLCDoc again;
    if (!again.LoadFromBytes(first).ok) std::abort();
    const std::string second = again.SaveToBytes();
    COstra_PLCDoc third;
    if (!third.LoadFromBytes(second).ok) std::abort();
    if (third.SaveToBytes() != second) std::abort();
    return 0;
}
