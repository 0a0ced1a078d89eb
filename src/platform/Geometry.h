// Integer points, sizes and rectangles shared by the model, the drawing
// surface and the views. Grid coordinates and pixels both use them.
#pragma once

#include <cstdint>
#include <utility>

namespace ostra {

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;
    CPoint() = default;
    CPoint(int32_t px, int32_t py) : x(px), y(py) {}
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
};

struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

// Left/top inclusive, right/bottom exclusive, as the drawing surfaces use them.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    CRect() = default;
    CRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
    // Both corners sorted so that left <= right and top <= bottom.
    CRect Normalized() const {
        CRect r = *this;
        if (r.left > r.right) std::swap(r.left, r.right);
        if (r.top > r.bottom) std::swap(r.top, r.bottom);
        return r;
    }
    CRect Inflated(int32_t d) const { return {left - d, top - d, right + d, bottom + d}; }
};

// Colours are 0x00BBGGRR: red in the low byte.
using Colour = uint32_t;
constexpr Colour Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr uint32_t RedOf(Colour c) {
    return c & 0xFF;
}
constexpr uint32_t GreenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr uint32_t BlueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

}  // namespace ostra
