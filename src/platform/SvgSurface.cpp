// SVG drawing surface.
#include "platform/SvgSurface.h"

#include <algorithm>
#include <cstdio>

#include "platform/TextCodec.h"

namespace ostra {
namespace {

std::string Hex(Colour c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
    return buf;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
    return out;
}

std::string N(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

const char* image::SymbolOperatorText(int id) {
    switch (id) {
        case 144: return "+";
        case 145: return "&";
        case 146: return "&W";
        case 147: return "\xE2\x89\xA5" "1W";
        case 148: return "\xC3\xB7";
        case 149: return "\xC3\x97";
        case 150: return "\xE2\x89\xA5" "1";
        case 154: return "\xE2\x88\x92";
        case 155: return "1";
        case 156: return "=1";
        default: return nullptr;
    }
}

SvgSurface::SvgSurface(int width, int height) : width_(width), height_(height) {}

std::string SvgSurface::Stroke() const {
    std::string s = " stroke=\"" + penColour_ + "\" stroke-width=\"" +
                    std::to_string(std::max(penWidth_, 1)) + "\"";
    if (dotted_) s += " stroke-dasharray=\"1,2\"";
    return s;
}

bool SvgSurface::SetPen(PenStyle style, int width, Colour colour) {
    penColour_ = Hex(colour);
    penWidth_ = width;
    dotted_ = style == PenStyle::Dot;
    return true;
}

void SvgSurface::DrawLine(CPoint a, CPoint b) {
    body_ += "<line x1=\"" + std::to_string(a.x) + "\" y1=\"" + std::to_string(a.y) + "\" x2=\"" +
             std::to_string(b.x) + "\" y2=\"" + std::to_string(b.y) + "\"" + Stroke() + "/>\n";
}

void SvgSurface::DrawRect(const CRect& r) {
    body_ += "<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) +
             "\" width=\"" + std::to_string(std::max(0, r.Width() - 1)) + "\" height=\"" +
             std::to_string(std::max(0, r.Height() - 1)) + "\" fill=\"none\"" + Stroke() + "/>\n";
}

void SvgSurface::FillRect(const CRect& r, Colour colour) {
    body_ += "<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) +
             "\" width=\"" + std::to_string(r.Width()) + "\" height=\"" +
             std::to_string(r.Height()) + "\" fill=\"" + Hex(colour) + "\"/>\n";
}

void SvgSurface::SetFont(const FontSpec& font) {
    font_ = font;
}

void SvgSurface::DrawText(CPoint ref, const std::string& utf8, TextAlign align) {
    if (utf8.empty()) return;
    const char* anchor = align == TextAlign::Left    ? "start"
                         : align == TextAlign::Right ? "end"
                                                     : "middle";
    body_ += "<text x=\"" + std::to_string(ref.x) + "\" y=\"" + std::to_string(ref.y) +
             "\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"" +
             std::to_string(std::max(1, font_.height)) + "\" text-anchor=\"" + anchor + "\"" +
             (font_.weight >= 700 ? " font-weight=\"bold\"" : "") + ">" + Escape(utf8) +
             "</text>\n";
}

CSize SvgSurface::TextExtent(const std::string& utf8) {
    const double h = std::max(1, font_.height);
    return {static_cast<int32_t>(static_cast<double>(Utf8Length(utf8)) * h * 0.55 + 0.5),
            static_cast<int32_t>(h * 1.15 + 0.5)};
}

void SvgSurface::DrawImage(int id, const CRect&, const CRect& d) {
    const double x = d.left, y = d.top, w = d.Width(), h = d.Height();
    if (w <= 0 || h <= 0) return;
    if (const char* text = image::SymbolOperatorText(id)) {
        const double bx = x + w * 0.08, by = y + h * 0.04, bw = w * 0.84, bh = h * 0.92;
        body_ += "<rect x=\"" + N(bx) + "\" y=\"" + N(by) + "\" width=\"" + N(bw) + "\" height=\"" +
                 N(bh) + "\" fill=\"#FAFAFF\" stroke=\"#0000A0\" stroke-width=\"" +
                 N(std::max(1.0, w / 16)) + "\"/>\n";
        if (id == 155) {
            const double r = w * 0.08;
            body_ += "<circle cx=\"" + N(bx + bw) + "\" cy=\"" + N(by + bh * 0.25) + "\" r=\"" +
                     N(r) + "\" fill=\"#FAFAFF\" stroke=\"#0000A0\"/>\n";
        }
        body_ +=
            "<text x=\"" + N(bx + bw / 2) + "\" y=\"" + N(by + bh * 0.62) +
            "\" font-family=\"Arial, Helvetica, sans-serif\" font-weight=\"bold\" font-size=\"" +
            N(bh * 0.4) + "\" text-anchor=\"middle\" fill=\"#0000A0\">" + Escape(text) + "</text>\n";
        return;
    }
    if (id == image::kJunctionDot) {
        body_ += "<circle cx=\"" + N(x + w / 2) + "\" cy=\"" + N(y + h / 2) + "\" r=\"" + N(w / 2) +
                 "\" fill=\"#000000\"/>\n";
        return;
    }
    const double cy = y + h / 2;
    const std::string stroke =
        "\" stroke=\"#000000\" stroke-width=\"" + N(std::max(1.0, h / 9)) + "\"/>\n";
    const double bubble = h * 0.5;
    if (id == image::kPinInvertIn) {
        body_ += "<line x1=\"" + N(x) + "\" y1=\"" + N(cy) + "\" x2=\"" + N(x + w - bubble) +
                 "\" y2=\"" + N(cy) + stroke;
        body_ += "<circle cx=\"" + N(x + w - bubble / 2) + "\" cy=\"" + N(cy) + "\" r=\"" +
                 N(bubble / 2) + "\" fill=\"none" + stroke;
    } else if (id == image::kPinInvertOut) {
        body_ += "<circle cx=\"" + N(x + bubble / 2) + "\" cy=\"" + N(cy) + "\" r=\"" +
                 N(bubble / 2) + "\" fill=\"none" + stroke;
        body_ += "<line x1=\"" + N(x + bubble) + "\" y1=\"" + N(cy) + "\" x2=\"" + N(x + w) +
                 "\" y2=\"" + N(cy) + stroke;
    } else {
        body_ += "<line x1=\"" + N(x) + "\" y1=\"" + N(cy) + "\" x2=\"" + N(x + w) + "\" y2=\"" +
                 N(cy) + stroke;
        if (id == image::kPinAnalogIn || id == image::kPinAnalogOut) {
            const double a = h * 0.3;
            body_ += "<polygon points=\"" + N(x + w) + "," + N(cy) + " " + N(x + w - a * 1.4) +
                     "," + N(cy - a) + " " + N(x + w - a * 1.4) + "," + N(cy + a) +
                     "\" fill=\"#000000\"/>\n";
        }
    }
}

std::string SvgSurface::Finish() const {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\" viewBox=\"0 0 " +
           std::to_string(width_) + " " + std::to_string(height_) +
           "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n" + body_ + "</svg>\n";
}

}  // namespace ostra
