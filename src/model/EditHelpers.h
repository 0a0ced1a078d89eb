// Small helpers shared by the sheet editor's files.
#pragma once

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "model/COstra_PLCDoc.h"
#include "model/SheetEditor.h"

namespace ostra::edit {

inline constexpr Colour kWhite = Rgb(255, 255, 255);

inline std::string BlockIdent(int32_t refnum) {
    char buf[24];
    // "F%04.4d": the precision already pads to four digits.
    std::snprintf(buf, sizeof buf, "F%.4d", static_cast<int>(refnum));
    return buf;
}

inline bool Intersects(const CRect& a, const CRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

template <typename T>
inline void PushFront(OwnedList<T>& list, std::unique_ptr<T> obj) {
    list.insert(list.begin(), std::move(obj));
}

template <typename T>
inline T* At(OwnedList<T>& list, int32_t pos) {
    return pos >= 0 && static_cast<std::size_t>(pos) < list.size() ? list[pos].get() : nullptr;
}

// A block made from a definition at `pt`: the library part copied.
inline std::unique_ptr<COxFunc> BlockFrom(const COxFunc& def, CPoint pt) {
    auto f = std::make_unique<COxFunc>(def.functionType, pt);
    f->CopyFrom(def);
    return f;
}

inline bool IsCursorMode(int32_t mode) {
    return mode == kModeInsertBlock || mode == kModeWires || mode == kModeText ||
           mode == kModeLines || mode == kModeTrimLine || mode == kModeTrimWire;
}

inline int32_t CursorOf(int32_t mode) {
    switch (mode) {
        case kModeInsertBlock:
            return kCursorBlock;
        case kModeWires:
            return kCursorWires;
        case kModeText:
            return kCursorText;
        case kModeLines:
            return kCursorLines;
        case kModeTrimLine:
        case kModeTrimWire:
            return kCursorTrim;
        default:
            return kCursorNormal;
    }
}

}  // namespace ostra::edit
