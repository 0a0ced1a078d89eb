// Writes the sheets of the shipped example project "TankPlant" from the
// KMRU-01 library: blocks copied from the library definitions, wires routed
// orthogonally from output pins to input pins (signals run west to east),
// cross references between the two sheets, constants on named wire starts.
//
//   ostra-make-example LIBRARY_DIR OUT_DIR
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "model/COstra_PLCDoc.h"
#include "platform/IMessageBox.h"
#include "project/CFuncLibrary.h"

namespace fs = std::filesystem;
using namespace ostra;

namespace {

class StderrBox : public IMessageBox {
  public:
    MsgResult Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons) override {
        std::cerr << caption << (caption.empty() ? "" : ": ") << text << "\n";
        return MsgResult::Ok;
    }
};

struct Sheet {
    COstra_PLCDoc doc;
    const CFuncLibrary* lib = nullptr;
    std::map<std::string, COxFunc*> byIdent;

    COxFunc& Block(const std::string& type, const std::string& ident, int x, int y,
                   std::vector<int32_t> values = {}) {
        const COxFunc* def = lib->FindFunc(type);
        if (!def) {
            std::cerr << "no library block " << type << "\n";
            std::exit(1);
        }
        auto f = std::make_unique<COxFunc>(type, CPoint(x, y));
        f->CopyFrom(*def);
        f->refnum = doc.NextRefnum();
        f->ident = ident;
        std::size_t v = 0;
        for (auto& pin : f->pins)
            if (pin.type == 5 && v < values.size()) pin.value = values[v++];
        COxFunc& ref = *f;
        byIdent[ident] = f.get();
        doc.blocks.push_back(std::move(f));
        return ref;
    }
    CPoint Pin(const std::string& ident, int slot) { return byIdent.at(ident)->PinPoint(slot); }

    void Segment(CPoint a, CPoint b, const std::string& name = {}, bool show = false) {
        if (a == b) return;
        auto s = std::make_unique<COxWireSeg>(a, b);
        s->name = name;
        s->showName = show;
        doc.segments.push_back(std::move(s));
    }
    // From `a` east to the lane, along the lane, then east to `b`.
    void Wire(CPoint a, CPoint b, int lane, const std::string& name = {}) {
        if (a.y == b.y) {
            Segment(a, b, name);
            return;
        }
        Segment(a, {lane, a.y}, name);
        Segment({lane, a.y}, {lane, b.y});
        Segment({lane, b.y}, b);
    }
    void Text(int x, int y, const std::string& text, int size) {
        doc.texts.push_back(std::make_unique<COxText>(CPoint(x, y), text, size));
    }
    void Line(int x1, int y1, int x2, int y2, int width, Colour c) {
        doc.lines.push_back(std::make_unique<COxLine>(CPoint(x1, y1), CPoint(x2, y2), width, c));
    }
    void Frame(int x1, int y1, int x2, int y2) {
        const Colour grey = Rgb(128, 128, 128);
        Line(x1, y1, x2, y1, 1, grey);
        Line(x2, y1, x2, y2, 1, grey);
        Line(x2, y2, x1, y2, 1, grey);
        Line(x1, y2, x1, y1, 1, grey);
    }
};

// Address value pins: boX, Slot, sUbslot, Reg, Mask.
std::vector<int32_t> Addr(int x, int s, int u, int r, int m) {
    return {x, s, u, r, m};
}

void InputsSheet(Sheet& sh) {
    sh.Text(4, 3, "Tank plant \xE2\x80\x93 level measurement, push buttons, K-factors", 16);
    sh.Block("TERMIN", "LT101", 6, 6, Addr(1, 0, 0, 0, 0));
    sh.Block("SCALE", "LEVEL", 30, 10);
    sh.Block("TERMOUT", "LI101", 60, 12, Addr(1, 0, 1, 0, 0));
    // Raw transmitter counts (0..4000) to percent.
    sh.Wire(sh.Pin("LT101", 0), sh.Pin("LEVEL", 1), 0, "LT101");
    sh.Segment({22, 12}, sh.Pin("LEVEL", 2), "0.025");
    sh.Segment({22, 14}, sh.Pin("LEVEL", 3), "0");
    sh.Wire(sh.Pin("LEVEL", 0), sh.Pin("LI101", 1), 0, "LEVEL");
    // Branch from the level wire to the other sheet.
    sh.Segment({44, 12}, {44, 20});
    sh.Segment({44, 20}, {56, 20});
    sh.Text(72, 24, "Level 0..100 % to the panel meter", 10);

    sh.Block("KFACT", "K_HIALM", 6, 30, {0});
    sh.Block("KFACT", "K_PUMPON", 6, 38, {1});
    sh.Block("KFACT", "K_PUMPOFF", 6, 46, {2});
    for (const char* k : {"K_HIALM", "K_PUMPON", "K_PUMPOFF"}) {
        const CPoint out = sh.Pin(k, 0);
        sh.Segment(out, {out.x + 12, out.y}, k);
    }
    sh.Block("TERMIN", "START", 36, 30, Addr(1, 2, 0, 0, 1));
    sh.Block("TERMIN", "STOP", 36, 46, Addr(1, 2, 0, 0, 2));
    for (const char* k : {"START", "STOP"}) {
        const CPoint out = sh.Pin(k, 0);
        sh.Segment(out, {out.x + 12, out.y}, k);
    }
    sh.Text(62, 36, "Push buttons on the digital input module in slot 2", 10);
    sh.Text(62, 52, "STOP is wired normally closed: 1 while not pressed", 10);
    sh.Frame(2, 26, 122, 60);
}

void PumpSheet(Sheet& sh) {
    sh.Text(4, 3, "Tank plant \xE2\x80\x93 pump control and high-level alarm", 16);
    sh.Block("NOT", "STOPPB", 12, 10);
    sh.Block("RSLATCH", "MANRUN", 30, 8);
    sh.Block("HYST", "AUTODEM", 30, 20);
    sh.Block("OR", "DEMAND", 52, 10);
    sh.Block("TON", "PUMP", 66, 11);
    sh.Block("TERMOUT", "PUMPOUT", 90, 12, Addr(1, 3, 0, 0, 1));
    sh.Block("GT", "HIGH", 30, 36);
    sh.Block("TERMOUT", "ALARM", 90, 37, Addr(1, 3, 0, 0, 2));

    sh.Segment({4, 10}, sh.Pin("STOPPB", 1), "STOP");
    // Cross references four units apart, so that monitor mode's values (two
    // units under each name) stay clear of the next name.
    sh.Wire({14, 5}, sh.Pin("MANRUN", 1), 28, "START");
    sh.Wire(sh.Pin("STOPPB", 0), sh.Pin("MANRUN", 2), 0, "STOPPB");
    sh.Wire({14, 18}, sh.Pin("AUTODEM", 1), 26, "LEVEL");
    sh.Segment({14, 22}, sh.Pin("AUTODEM", 2), "K_PUMPON");
    sh.Wire({14, 26}, sh.Pin("AUTODEM", 3), 26, "K_PUMPOFF");
    sh.Wire(sh.Pin("MANRUN", 0), sh.Pin("DEMAND", 1), 46, "MANRUN");
    sh.Wire(sh.Pin("AUTODEM", 0), sh.Pin("DEMAND", 2), 48, "AUTODEM");
    sh.Wire(sh.Pin("DEMAND", 0), sh.Pin("PUMP", 1), 0, "DEMAND");
    sh.Segment({60, 13}, sh.Pin("PUMP", 2), "2");
    sh.Wire(sh.Pin("PUMP", 0), sh.Pin("PUMPOUT", 1), 0, "PUMP");
    sh.Text(66, 28, "Pump starts 2 s after a demand", 10);

    sh.Wire({14, 34}, sh.Pin("HIGH", 1), 26, "LEVEL");
    sh.Segment({14, 38}, sh.Pin("HIGH", 2), "K_HIALM");
    sh.Wire(sh.Pin("HIGH", 0), sh.Pin("ALARM", 1), 0, "HIGH");
    sh.Text(44, 46, "Alarm lamp while the level is above the K-factor HiAlarm", 10);
    sh.Line(2, 31, 122, 31, 1, Rgb(128, 128, 128));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: ostra-make-example LIBRARY_DIR OUT_DIR\n";
        return 2;
    }
    StderrBox box;
    CFuncLibrary lib;
    if (!lib.ReadFuncLibrary("KMRU-01.oxl", argv[1], box)) return 2;
    const fs::path out = argv[2];
    struct Entry {
        const char* title;
        void (*build)(Sheet&);
    };
    for (const Entry& e : {Entry{"Sheet_01", InputsSheet}, Entry{"Sheet_02", PumpSheet}}) {
        Sheet sh;
        sh.lib = &lib;
        sh.doc.OnNewDocument(e.title);
        e.build(sh);
        std::string error;
        if (!sh.doc.OnSaveDocument(out / (std::string(e.title) + ".oxd"), &error)) {
            std::cerr << e.title << ": " << error << "\n";
            return 1;
        }
    }
    return 0;
}
