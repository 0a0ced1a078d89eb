// Control-file reader: never fails, and what it writes reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "project/CProjCtrl.h"

using namespace ostra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CProjCtrl c;
    c.Read(std::string(reinterpret_cast<const char*>(data), size));
    const std::string text = c.Format();
    CProjCtrl d;
    if (d.Read(text) != 1) std::abort();
    if (d.Format() != text) std::abort();
    return 0;
}
