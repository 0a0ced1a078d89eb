// Sheet archive classes and the display texts of the wiring codes.
#include "model/SheetClasses.h"

#include "model/COxFunc.h"
#include "model/COxLine.h"
#include "model/COxPin.h"
#include "model/COxText.h"
#include "model/COxWireSeg.h"
#include "model/WireTypes.h"

namespace ostra {

const CClassRegistry& SheetClassRegistry() {
    static const CClassRegistry registry = [] {
        CClassRegistry r;
        r.Register("COxFunc", 1, [] { return std::make_unique<COxFunc>(); });
        r.Register("COxWireSeg", 1, [] { return std::make_unique<COxWireSeg>(); });
        r.Register("COxText", 1, [] { return std::make_unique<COxText>(); });
        r.Register("COxLine", 1, [] { return std::make_unique<COxLine>(); });
        r.Register("COxPin", 1, [] { return std::make_unique<COxPin>(); });
        return r;
    }();
    return registry;
}

const char* PinTypeText(int32_t code) {
    switch (code) {
        case kPinNone:
            return "No Pin";
        case kPinDigital:
            return "Digital NonInv";
        case kPinInverted:
            return "Digital Invert";
        case kPinAnalogue:
            return "Analogue";
        default:
            return "Unknown";
    }
}

const char* WireEndStateText(int32_t state) {
    static const char* const kTexts[] = {
        "Not Connected", "From an output pin", "To an input pin",  "Bend",
        "Junction",      "Cross reference",    "Faulty connection"};
    return state >= 0 && state <= 6 ? kTexts[state] : "Unknown";
}

const char* WireErrorText(int32_t error) {
    static const char* const kTexts[] = {"All OK",
                                         "No source connection",
                                         "No finish connection",
                                         "No source or finish connection",
                                         "Multiple sources",
                                         "Multiple finishes",
                                         "Wire arrives from the wrong direction",
                                         "Wire end is within Function Block body",
                                         "Naming Error"};
    return error >= 0 && error <= 8 ? kTexts[error] : "Unknown";
}

}  // namespace ostra
