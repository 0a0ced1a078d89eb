// Dumps share one walk per file type and two writers: JSON for diffing (it
// serves as a git text conversion of sheets) and an indented text form.
#include "cli/Dump.h"

#include <cstdio>

#include "cli/Json.h"
#include "compiler/DownloadRecords.h"
#include "model/COstra_PLCDoc.h"
#include "model/WireTypes.h"
#include "project/CFuncLibrary.h"
#include "project/CProjCtrl.h"
#include "project/ProcessorList.h"

namespace ostra::cli {
namespace {

// Same calls as JsonWriter, written as "key: value" lines.
class TextWriter {
  public:
    void BeginObject(const char* key = nullptr) { Open(key); }
    void EndObject() { Close(); }
    void BeginArray(const char* key = nullptr) {
        Open(key);
        index_.back() = 0;
    }
    void EndArray() { Close(); }
    void Value(const char* key, const std::string& v) { Line(key, JsonWriter::Quote(v)); }
    void Value(const char* key, const char* v) { Value(key, std::string(v)); }
    void Value(const char* key, int64_t v) { Line(key, std::to_string(v)); }
    void Value(const char* key, int32_t v) { Line(key, std::to_string(v)); }
    void Value(const char* key, uint32_t v) { Line(key, std::to_string(v)); }
    void Value(const char* key, bool v) { Line(key, v ? "true" : "false"); }
    void Value(const char* key, double v) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        Line(key, buf);
    }
    void IntArray(const char* key, const std::vector<int64_t>& values) {
        std::string s;
        for (std::size_t i = 0; i < values.size(); ++i)
            s += (i ? ", " : "") + std::to_string(values[i]);
        Line(key, s);
    }
    const std::string& Text() const { return out_; }

  private:
    std::string Label(const char* key) {
        if (key) return key;
        if (!index_.empty() && index_.back() >= 0)
            return "[" + std::to_string(index_.back()++) + "]";
        return {};
    }
    void Open(const char* key) {
        const std::string label = Label(key);
        if (!label.empty()) out_ += std::string(depth_ * 2, ' ') + label + ":\n";
        if (!label.empty()) ++depth_;
        opened_.push_back(!label.empty());
        index_.push_back(-1);
    }
    void Close() {
        index_.pop_back();
        if (opened_.back()) --depth_;
        opened_.pop_back();
    }
    void Line(const char* key, const std::string& value) {
        out_ += std::string(depth_ * 2, ' ') + Label(key) + ": " + value + "\n";
    }
    std::string out_;
    int depth_ = 0;
    std::vector<int> index_;
    std::vector<bool> opened_;
};

std::string ColourText(Colour c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
    return text;
}

template <typename W>
void Point(W& w, const char* key, CPoint p) {
    w.IntArray(key, {p.x, p.y});
}

template <typename W>
void WriteBlock(W& w, const COxFunc& f) {
    w.BeginObject();
    w.Value("refnum", f.refnum);
    w.Value("ident", f.ident);
    Point(w, "position", f.position);
    w.Value("typeNumber", f.typeNumber);
    w.Value("functionType", f.functionType);
    Point(w, "identLabelOffset", f.identLabelOffset);
    Point(w, "typeLabelOffset", f.typeLabelOffset);
    w.Value("symbol", f.symbolFlag);
    w.IntArray("body", {f.body.left, f.body.top, f.body.right, f.body.bottom});
    w.Value("canChange", f.canChange);
    w.Value("minInputs", f.minInputs);
    w.Value("actualInputs", f.actualInputs);
    Point(w, "outputPinOffset", f.outputPinOffset);
    w.BeginArray("pins");
    for (const PinSlot& pin : f.pins) {
        w.BeginObject();
        w.Value("name", pin.name);
        w.Value("type", pin.type);
        w.Value("letter", std::string(1, pin.letter));
        w.Value("value", pin.value);
        w.Value("signal", pin.signal);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

template <typename W>
void WriteSheet(W& w, const COstra_PLCDoc& doc) {
    w.BeginObject();
    w.Value("kind", "sheet");
    w.Value("checkState", doc.checkState);
    w.BeginArray("blocks");
    for (const auto& f : doc.blocks) WriteBlock(w, *f);
    w.EndArray();
    w.BeginArray("segments");
    for (const auto& s : doc.segments) {
        w.BeginObject();
        Point(w, "start", s->start);
        Point(w, "end", s->end);
        w.Value("name", s->name);
        w.Value("showName", s->showName);
        w.Value("refnum", s->refnum);
        w.Value("startState", s->startState);
        w.Value("endState", s->endState);
        w.Value("fromSource", s->fromSource);
        w.Value("error", s->error);
        w.EndObject();
    }
    w.EndArray();
    w.BeginArray("texts");
    for (const auto& t : doc.texts) {
        w.BeginObject();
        Point(w, "position", t->position);
        w.Value("size", t->size);
        w.Value("text", t->text);
        w.EndObject();
    }
    w.EndArray();
    w.BeginArray("lines");
    for (const auto& l : doc.lines) {
        w.BeginObject();
        Point(w, "start", l->start);
        Point(w, "end", l->end);
        w.Value("width", l->width);
        w.Value("colour", ColourText(l->colour));
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

template <typename W>
void WriteImage(W& w, const DownloadTables& t) {
    w.BeginObject();
    w.Value("kind", "compiled image");
    w.BeginArray("constants");
    for (const auto& c : t.consts) {
        w.BeginObject();
        w.Value("number", c->Number);
        w.Value("value", c->Value);
        w.EndObject();
    }
    w.EndArray();
    w.BeginArray("blocks");
    for (const auto& f : t.fbs) {
        w.BeginObject();
        w.Value("typeName", f->TypeName);
        w.Value("ident", f->Ident);
        w.Value("typeNum", f->TypeNum);
        w.Value("resolved", f->Resolved);
        w.Value("refnum", f->Refnum);
        w.IntArray("position", {f->PosX, f->PosY});
        w.IntArray("address", {f->Address[0], f->Address[1], f->Address[2], f->Address[3]});
        w.IntArray("pinType", std::vector<int64_t>(f->PinType.begin(), f->PinType.end()));
        w.IntArray("pinRef", std::vector<int64_t>(f->PinRef.begin(), f->PinRef.end()));
        w.EndObject();
    }
    w.EndArray();
    w.BeginArray("signals");
    for (const auto& s : t.sigs) {
        w.BeginObject();
        w.Value("name", s->Name);
        w.Value("number", s->Number);
        w.Value("sourced", s->Sourced);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

template <typename W>
void WriteControl(W& w, const CProjCtrl& c) {
    w.BeginObject();
    w.Value("kind", "project control");
    w.Value("Folder", c.Folder);
    w.Value("Processor", c.Processor);
    w.Value("WireCheck", c.WireCheck);
    w.Value("Compile", c.Compile);
    w.Value("CommPort", c.CommPort);
    w.Value("boX", c.boX);
    w.Value("Slot", c.Slot);
    w.EndObject();
}

template <typename W>
void WriteLibrary(W& w, const CFuncLibrary& lib) {
    w.BeginObject();
    w.Value("kind", "library");
    w.Value("maxfblocks", lib.MaxFBlocks);
    w.Value("maxkfacts", lib.MaxKFacts);
    w.BeginArray("tree");
    for (const auto& item : lib.LibTree) {
        w.BeginObject();
        w.Value("kind", item->Kind == CFuncTreeItem::kHeading ? "heading" : "block");
        w.Value("name", item->Name);
        w.Value("description", item->Description);
        w.EndObject();
    }
    w.EndArray();
    w.BeginArray("blocks");
    for (const auto& f : lib.LibFuncs) WriteBlock(w, *f);
    w.EndArray();
    w.EndObject();
}

template <typename W>
void WriteProcessors(W& w, const CProcTable& t) {
    w.BeginObject();
    w.Value("kind", "processor list");
    w.BeginArray("processors");
    for (const auto& rec : t.ProcTable) {
        if (rec.ProcName.empty() && rec.ProcID == 0) break;
        w.BeginObject();
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(rec.ProcID));
        w.Value("id", hex);
        w.Value("name", rec.ProcName);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

template <typename F>
std::string Render(bool json, F&& walk) {
    if (json) {
        JsonWriter w;
        walk(w);
        return w.Text();
    }
    TextWriter w;
    walk(w);
    return w.Text();
}

std::string Pt(CPoint p) {
    return std::to_string(p.x) + ", " + std::to_string(p.y);
}

const char* CheckStateText(int32_t state) {
    switch (state) {
        case 1:
            return "passed";
        case -1:
            return "failed";
        case 0:
            return "not checked";
        default:
            return "unknown";
    }
}

// A compact listing: one line per object, one per pin slot that holds anything.
std::string SheetText(const COstra_PLCDoc& doc) {
    std::string o;
    o += "Sheet: check state " + std::to_string(doc.checkState) + " (" +
         CheckStateText(doc.checkState) + ")\n";
    o += "Blocks (" + std::to_string(doc.blocks.size()) + "):\n";
    for (const auto& f : doc.blocks) {
        o += "  " + std::to_string(f->refnum) + " " + JsonWriter::Quote(f->ident) + " " +
             JsonWriter::Quote(f->functionType) + " type " + std::to_string(f->typeNumber) +
             " at " + Pt(f->position) + "\n";
        o += std::string("    body ") + (f->symbolFlag ? "symbol " : "box ") +
             std::to_string(f->body.left) + ", " + std::to_string(f->body.top) + ", " +
             std::to_string(f->body.right) + ", " + std::to_string(f->body.bottom) + "; inputs " +
             std::to_string(f->actualInputs) + " (min " + std::to_string(f->minInputs) +
             (f->canChange ? ", can change" : ", fixed") + "); output pin " +
             Pt(f->outputPinOffset) + "; ident label " + Pt(f->identLabelOffset) + "; type label " +
             Pt(f->typeLabelOffset) + "\n";
        for (int k = 0; k < kPinSlots; ++k) {
            const PinSlot& pin = f->pins[k];
            if (pin.type == kPinNone && pin.name.empty() && pin.signal.empty() &&
                pin.letter == '_' && pin.value == 0)
                continue;
            o += "    pin " + std::to_string(k) + ": ";
            if (pin.type == kPinValue)
                o += std::string("value ") + pin.letter + " : " + std::to_string(pin.value);
            else
                o += PinTypeText(pin.type);
            if (!pin.name.empty()) o += " name " + JsonWriter::Quote(pin.name);
            if (!pin.signal.empty()) o += " signal " + JsonWriter::Quote(pin.signal);
            if (pin.type != kPinValue && (pin.letter != '_' || pin.value != 0))
                o += std::string(" (letter ") + pin.letter + ", value " +
                     std::to_string(pin.value) + ")";
            o += "\n";
        }
    }
    o += "Segments (" + std::to_string(doc.segments.size()) + "):\n";
    for (const auto& s : doc.segments) {
        o += "  " + Pt(s->start) + " -> " + Pt(s->end) + "  name " + JsonWriter::Quote(s->name) +
             (s->showName ? " shown" : "") + "; refnum " + std::to_string(s->refnum) + "; ends " +
             WireEndStateText(s->startState) + " / " + WireEndStateText(s->endState) +
             "; from source " + std::to_string(s->fromSource) + "; " + WireErrorText(s->error) +
             "\n";
    }
    o += "Texts (" + std::to_string(doc.texts.size()) + "):\n";
    for (const auto& t : doc.texts)
        o += "  " + Pt(t->position) + " size " + std::to_string(t->size) + " " +
             JsonWriter::Quote(t->text) + "\n";
    o += "Lines (" + std::to_string(doc.lines.size()) + "):\n";
    for (const auto& l : doc.lines) {
        o += "  " + Pt(l->start) + " -> " + Pt(l->end) + " width " + std::to_string(l->width) +
             " colour " + ColourText(l->colour) + "\n";
    }
    return o;
}

}  // namespace

std::string DumpSheet(const COstra_PLCDoc& doc, bool json) {
    if (json) return Render(true, [&](auto& w) { WriteSheet(w, doc); });
    return SheetText(doc);
}
std::string DumpImage(const DownloadTables& tables, bool json) {
    return Render(json, [&](auto& w) { WriteImage(w, tables); });
}
std::string DumpControl(const CProjCtrl& ctrl, bool json) {
    return Render(json, [&](auto& w) { WriteControl(w, ctrl); });
}
std::string DumpLibrary(const CFuncLibrary& lib, bool json) {
    return Render(json, [&](auto& w) { WriteLibrary(w, lib); });
}
std::string DumpProcessors(const CProcTable& table, bool json) {
    return Render(json, [&](auto& w) { WriteProcessors(w, table); });
}

std::string ProblemLines(const std::vector<Problem>& rows) {
    std::string out;
    for (const Problem& p : rows) out += ProblemLine(p) + "\n";
    return out;
}

std::string ProblemsJson(const std::vector<Problem>& rows, bool passed) {
    int64_t errors = 0;
    for (const Problem& p : rows) errors += p.severity == Severity::kError;
    JsonWriter w;
    w.BeginObject();
    w.Value("passed", passed);
    w.Value("errors", errors);
    w.Value("warnings", static_cast<int64_t>(rows.size()) - errors);
    w.BeginArray("problems");
    for (const Problem& p : rows) {
        w.BeginObject();
        w.Value("severity", SeverityText(p.severity));
        w.Value("kind", ProblemKindName(p.kind));
        w.Value("sheet", p.sheet);
        w.Value("path", p.sheetPath.string());
        w.Value("x", p.at.x);
        w.Value("y", p.at.y);
        if (p.onSegment) {
            w.Value("x2", p.end.x);
            w.Value("y2", p.end.y);
        }
        w.Value("object", p.Object());
        if (!p.ident.empty()) {
            w.Value("ident", p.ident);
            w.Value("pin", p.pin);
        }
        w.Value("signal", p.signal);
        w.Value("text", p.text);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    return w.Text() + "\n";
}

}  // namespace ostra::cli
