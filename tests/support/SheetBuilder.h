// Builds small hand-made sheets for tests from the shipped KMRU-01 library.
#pragma once

#include <cctype>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/COstra_PLCDoc.h"
#include "project/CFuncLibrary.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra::test {

inline const CFuncLibrary& Kmru01() {
    static const CFuncLibrary lib = [] {
        CFuncLibrary l;
        RecordingMessageBox msg;
        l.ReadFuncLibrary("KMRU-01.oxl", Examples(), msg);
        return l;
    }();
    return lib;
}

class SheetBuilder {
  public:
    explicit SheetBuilder(COstra_PLCDoc& doc, const std::string& title = "Sheet_01") : doc_(doc) {
        if (doc_.title.empty()) doc_.title = title;
    }

    // A block copied from the library; `values` fill its value pins in order.
    COxFunc& Block(const std::string& type, const std::string& ident, int x, int y,
                   std::vector<int32_t> values = {}) {
        const COxFunc* def = Kmru01().FindFunc(type);
        auto f = std::make_unique<COxFunc>(type, CPoint(x, y));
        if (def) f->CopyFrom(*def);
        f->refnum = doc_.NextRefnum();
        f->ident = ident;
        std::size_t v = 0;
        for (auto& pin : f->pins)
            if (pin.type == 5 && v < values.size()) pin.value = values[v++];
        COxFunc& ref = *f;
        byIdent_[ident] = &ref;
        doc_.blocks.push_back(std::move(f));
        return ref;
    }
    COxFunc& operator[](const std::string& ident) { return *byIdent_.at(ident); }
    CPoint Out(const std::string& ident) { return byIdent_.at(ident)->PinPoint(0); }
    CPoint In(const std::string& ident, int k) { return byIdent_.at(ident)->PinPoint(k); }

    COxWireSeg& Seg(CPoint a, CPoint b, const std::string& name = {}) {
        doc_.segments.push_back(std::make_unique<COxWireSeg>(a, b));
        doc_.segments.back()->name = name;
        return *doc_.segments.back();
    }
    // Output east to the lane x, along it, then east into the input.
    void Wire(CPoint a, CPoint b, int lane = 0) {
        if (a.y == b.y) {
            Seg(a, b);
            return;
        }
        Seg(a, {lane, a.y});
        Seg({lane, a.y}, {lane, b.y});
        Seg({lane, b.y}, b);
    }

    // A sheet written as items separated by ";", made in order: "TYPE IDENT x y [values]" places a
    // block; "A B [NAME]" a piece of wire from A to B, a point being "x,y" or a pin "IDENT.k"
    // (k = 0: the output); "A B @x" a wire along the lane x, as Wire makes it.
    SheetBuilder& Draw(const std::string& script) {
        std::istringstream items(script);
        for (std::string item; std::getline(items, item, ';');) {
            std::istringstream in(item);
            const std::vector<std::string> t{std::istream_iterator<std::string>(in), {}};
            if (t.empty()) continue;
            if (std::isupper(static_cast<unsigned char>(t[0][0])) && t[0].find_first_of(".,") == std::string::npos) {
                std::vector<int32_t> values;
                for (std::size_t k = 4; k < t.size(); ++k) values.push_back(std::stoi(t[k]));
                Block(t.at(0), t.at(1), std::stoi(t.at(2)), std::stoi(t.at(3)), values);
            } else if (t.size() == 3 && t[2][0] == '@') {
                Wire(Point(t[0]), Point(t[1]), std::stoi(t[2].substr(1)));
            } else {
                Seg(Point(t.at(0)), Point(t.at(1)), t.size() > 2 ? t[2] : "");
            }
        }
        return *this;
    }
    CPoint Point(const std::string& s) {
        const auto comma = s.find(',');
        if (comma != std::string::npos)
            return {std::stoi(s.substr(0, comma)), std::stoi(s.substr(comma + 1))};
        const auto dot = s.rfind('.');
        return In(s.substr(0, dot), std::stoi(s.substr(dot + 1)));
    }

  private:
    COstra_PLCDoc& doc_;
    std::map<std::string, COxFunc*> byIdent_;
};

}  // namespace ostra::test
