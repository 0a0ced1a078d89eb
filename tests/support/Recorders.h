// Test doubles for the platform interfaces: a drawing surface that records every call as text, and
// a message box that records messages and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/IDrawSurface.h"
#include "platform/IMessageBox.h"

namespace ostra::test {

inline std::string RectText(const CRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class RecordingSurface : public IDrawSurface {
  public:
    bool SetPen(PenStyle style, int width, Colour colour) override {
        calls.push_back(std::string("pen ") + (style == PenStyle::Dot ? "dot " : "solid ") +
                        std::to_string(width) + " " + std::to_string(colour));
        return penOk;
    }
    void DrawLine(CPoint a, CPoint b) override {
        calls.push_back("line " + std::to_string(a.x) + "," + std::to_string(a.y) + " " +
                        std::to_string(b.x) + "," + std::to_string(b.y));
    }
    void DrawRect(const CRect& r) override { calls.push_back("rect " + RectText(r)); }
    void FillRect(const CRect& r, Colour c) override {
        calls.push_back("fill " + RectText(r) + " " + std::to_string(c));
    }
    void SetFont(const FontSpec& f) override {
        calls.push_back("font " + f.face + " " + std::to_string(f.height));
    }
    void DrawText(CPoint ref, const std::string& text, TextAlign align) override {
        const char* a = align == TextAlign::Left ? "L" : align == TextAlign::Right ? "R" : "C";
        calls.push_back("text " + std::to_string(ref.x) + "," + std::to_string(ref.y) + " " + a +
                        " " + text);
    }
    CSize TextExtent(const std::string& text) override {
        return {static_cast<int32_t>(text.size()) * 5, 10};
    }
    void DrawImage(int id, const CRect& src, const CRect& dst) override {
        calls.push_back("image " + std::to_string(id) + " " + RectText(src) + " " + RectText(dst));
    }

    // Calls whose text starts with `prefix`.
    std::vector<std::string> With(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
        return out;
    }

    std::vector<std::string> calls;
    bool penOk = true;
};

class RecordingMessageBox : public IMessageBox {
  public:
    struct Message {
        std::string text, caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    MsgResult Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override {
        messages.push_back({text, caption, icon, buttons});
        if (answers.empty()) return MsgResult::Ok;
        const MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    std::vector<Message> messages;
    std::deque<MsgResult> answers;
};

// A message as "text|caption|icon|buttons", the last two as their numbers.
inline std::string Said(const RecordingMessageBox::Message& m) {
    return m.text + "|" + m.caption + "|" + std::to_string(static_cast<int>(m.icon)) + "|" +
           std::to_string(static_cast<int>(m.buttons));
}

// Every message shown, as Said gives each, one a line.
inline std::string Said(const RecordingMessageBox& box) {
    std::string out;
    for (const auto& m : box.messages) out += (&m == &box.messages[0] ? "" : "\n") + Said(m);
    return out;
}

// Every message shown, each as "text|caption|icon; ".
inline std::string Shown(const RecordingMessageBox& box) {
    std::string out;
    for (const auto& m : box.messages)
        out += m.text + "|" + m.caption + "|" + std::to_string(static_cast<int>(m.icon)) + "; ";
    return out;
}

}  // namespace ostra::test
