#include "project/Problems.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>

#include "compiler/Compiler.h"
#include "compiler/CrossRef.h"
#include "compiler/Listings.h"
#include "model/COstra_PLCDoc.h"
#include "model/COxFunc.h"
#include "model/COxText.h"
#include "model/COxWireSeg.h"
#include "model/WireTypes.h"
#include "platform/Scan.h"
#include "project/COstraProject.h"

namespace ostra {
namespace {

std::string PointText(CPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

bool IsNumber(const std::string& text) {
    double v = 0;
    return ParseWholeDouble(text, v);
}

Problem SheetRow(const COstra_PLCDoc& sheet, Severity sev, ProblemKind kind) {
    Problem p;
    p.severity = sev;
    p.kind = kind;
    p.sheet = sheet.title;
    p.sheetPath = sheet.pathName;
    return p;
}

Problem SegmentRow(const COstra_PLCDoc& sheet, const COxWireSeg& s, Severity sev,
                   ProblemKind kind) {
    Problem p = SheetRow(sheet, sev, kind);
    p.onSegment = true;
    p.at = s.start;
    p.end = s.end;
    p.signal = s.name;
    return p;
}

// Which sheet each of the compile's records came from, by block refnum.
class BlockIndex {
  public:
    explicit BlockIndex(const COstraProject& project) {
        for (const auto& sheet : project.Sheets)
            for (const auto& f : sheet->blocks) sheetOf_.emplace(f->refnum, sheet.get());
    }
    const COstra_PLCDoc* SheetOf(const CdldFB& rec) const {
        const auto it = sheetOf_.find(rec.Refnum);
        return it == sheetOf_.end() ? nullptr : it->second;
    }

  private:
    std::unordered_map<int32_t, const COstra_PLCDoc*> sheetOf_;
};

template <class Row = Problem>
Row PlaceOf(const BlockIndex& index, const CdldFB& rec, int slot) {
    Row p;
    if (const COstra_PLCDoc* sheet = index.SheetOf(rec)) {
        p.sheet = sheet->title;
        p.sheetPath = sheet->pathName;
    }
    p.ident = rec.Ident;
    p.pin = slot;
    p.at = {rec.PosX, rec.PosY};
    return p;
}

Problem RecordRow(const BlockIndex& index, const CdldFB& rec, int slot, ProblemKind kind) {
    Problem p = PlaceOf(index, rec, slot);
    p.kind = kind;
    return p;
}

// "F0101.0 (Sheet_01), F0203.0 (Sheet_02)": the wire list's items with their sheets.
std::string UseList(const BlockIndex& index, const std::vector<PinUse>& uses) {
    std::string out;
    for (const PinUse& u : uses) {
        if (!out.empty()) out += ", ";
        out += u.rec->Ident + "." + std::to_string(u.slot);
        if (const COstra_PLCDoc* sheet = index.SheetOf(*u.rec)) out += " (" + sheet->title + ")";
    }
    return out;
}

// Segments of one sheet grouped into wires: those that share an end point.
std::vector<std::size_t> WireGroups(const COstra_PLCDoc& sheet) {
    const std::size_t n = sheet.segments.size();
    std::vector<std::size_t> parent(n);
    std::iota(parent.begin(), parent.end(), std::size_t{0});
    auto root = [&](std::size_t i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    std::map<std::pair<int32_t, int32_t>, std::size_t> firstAt;
    for (std::size_t i = 0; i < n; ++i) {
        for (CPoint p : {sheet.segments[i]->start, sheet.segments[i]->end}) {
            const auto [it, added] = firstAt.emplace(std::make_pair(p.x, p.y), i);
            if (!added) parent[root(i)] = root(it->second);
        }
    }
    for (std::size_t i = 0; i < n; ++i) parent[i] = root(i);
    return parent;
}

}  // namespace

std::string SheetPlace::Object() const {
    if (onSegment) {
        std::string s = "wire";
        if (!signal.empty()) s += " " + signal;
        return s + " (" + PointText(at) + ")-(" + PointText(end) + ")";
    }
    if (textIndex >= 0) return "text at (" + PointText(at) + ")";
    if (ident.empty()) return {};
    return pin < 0 ? ident : ident + " pin " + std::to_string(pin);
}

std::vector<Problem> CheckProblems(const COstra_PLCDoc& sheet) {
    std::vector<Problem> rows;
    bool wiringFaults = false;
    for (const auto& s : sheet.segments) {
        if (s->error == kWireOk) continue;
        wiringFaults = true;
        Problem p = SegmentRow(sheet, *s, Severity::kError, ProblemKind::kWiring);
        p.text = WireErrorText(s->error);
        rows.push_back(std::move(p));
    }
    // Names are propagated only after a clean wiring pass; a segment the
    // propagation did not reach is a naming error.
    if (!wiringFaults && sheet.checkState == -1) {
        for (const auto& s : sheet.segments) {
            if (s->fromSource != 0) continue;
            Problem p = SegmentRow(sheet, *s, Severity::kError, ProblemKind::kNaming);
            p.text = "Naming Error: no signal name reaches this wire from a source";
            rows.push_back(std::move(p));
        }
    }
    return rows;
}

std::vector<Problem> CompileProblems(const COstraProject& project) {
    std::vector<Problem> rows;
    const BlockIndex index(project);
    const CrossReference x = BuildCrossReference(project.Tables);
    for (const CrossRefEntry& c : x.consts) {
        for (const PinUse& u : c.sources) {
            Problem p = RecordRow(index, *u.rec, u.slot, ProblemKind::kSourcedConstant);
            p.signal = FormatF(c.value);
            p.text = "The constant " + p.signal + " is driven by an output";
            rows.push_back(std::move(p));
        }
    }
    for (const CrossRefEntry& s : x.signals) {
        if (s.sources.empty()) {
            // Located at the first reader; the text names them all.
            Problem p;
            if (!s.sinks.empty()) p = RecordRow(index, *s.sinks.front().rec, s.sinks.front().slot,
                                                ProblemKind::kUnsourced);
            p.kind = ProblemKind::kUnsourced;
            p.signal = s.name;
            p.text = "Unsourced signal " + Quoted(s.name);
            if (!s.sinks.empty()) p.text += ", read by " + UseList(index, s.sinks);
            rows.push_back(std::move(p));
        } else if (s.sources.size() > 1) {
            const std::string all = UseList(index, s.sources);
            for (const PinUse& u : s.sources) {
                Problem p = RecordRow(index, *u.rec, u.slot, ProblemKind::kMultiSourced);
                p.signal = s.name;
                p.text = "Multi-sourced signal " + Quoted(s.name) + ", driven by " + all;
                rows.push_back(std::move(p));
            }
        }
    }
    for (const auto& rec : project.Tables.fbs) {
        if (rec->Resolved) continue;
        Problem p = RecordRow(index, *rec, -1, ProblemKind::kUnresolved);
        p.text = "Function Block " + rec->Ident + " (" + rec->TypeName +
                 ") unresolved: an input waits on a loop or on a signal nothing drives";
        rows.push_back(std::move(p));
    }
    int64_t total = 0;
    for (const auto& sheet : project.Sheets) total += static_cast<int64_t>(sheet->blocks.size());
    if (total >= project.Library.MaxFBlocks && !project.Sheets.empty()) {
        Problem p;
        p.kind = ProblemKind::kPlcFull;
        p.text = "PLC Full: the limit is " + std::to_string(project.Library.MaxFBlocks) +
                 ", you have " + std::to_string(total) + " Function Blocks";
        rows.push_back(std::move(p));
    }
    return rows;
}

std::vector<Problem> SheetWarnings(const std::vector<const COstra_PLCDoc*>& sheets,
                                   const WarningSwitches& on) {
    std::vector<Problem> rows;
    // Only a passed check leaves signal names that can be trusted.
    std::vector<const COstra_PLCDoc*> checked;
    for (const COstra_PLCDoc* s : sheets)
        if (s->checkState == 1) checked.push_back(s);

    std::set<std::string> driven;
    for (const COstra_PLCDoc* sheet : checked)
        for (const auto& f : sheet->blocks)
            if (!f->pins[0].signal.empty()) driven.insert(f->pins[0].signal);

    for (const COstra_PLCDoc* sheet : checked) {
        if (on.openInputs) {
            for (const auto& f : sheet->blocks) {
                for (int k = 1; k <= f->LastPinSlot(); ++k) {
                    const PinSlot& pin = f->pins[k];
                    if (!IsSignalPin(pin.type) || !pin.signal.empty()) continue;
                    Problem p = SheetRow(*sheet, Severity::kWarning, ProblemKind::kOpenInput);
                    p.ident = f->ident;
                    p.pin = k;
                    p.at = f->position;
                    p.text = "Input " + std::to_string(k) +
                             (pin.name.empty() ? std::string() : " (" + pin.name + ")") + " of " +
                             f->ident + " has nothing wired and no constant";
                    rows.push_back(std::move(p));
                }
            }
        }
        if (on.nameSplits) {
            // Reading a cross reference at several places is what names are
            // for; two wires of one sheet that are each driven under the same
            // name are two signals the user took for one.
            const std::vector<std::size_t> group = WireGroups(*sheet);
            std::set<std::size_t> drivenWires;
            for (std::size_t i = 0; i < sheet->segments.size(); ++i)
                if (sheet->segments[i]->startState == kEndFromOutput) drivenWires.insert(group[i]);
            // name -> the driven wires carrying it, each by its first segment
            std::map<std::string, std::map<std::size_t, std::size_t>> wiresOf;
            for (std::size_t i = 0; i < sheet->segments.size(); ++i) {
                const std::string& name = sheet->segments[i]->name;
                if (!name.empty() && !IsNumber(name) && drivenWires.count(group[i]))
                    wiresOf[name].emplace(group[i], i);
            }
            for (const auto& [name, wires] : wiresOf) {
                if (wires.size() < 2) continue;
                for (auto it = std::next(wires.begin()); it != wires.end(); ++it) {
                    Problem p = SegmentRow(*sheet, *sheet->segments[it->second], Severity::kWarning,
                                           ProblemKind::kNameSplit);
                    p.text = "The signal " + Quoted(name) + " is driven on " +
                             std::to_string(wires.size()) +
                             " wires of this sheet that do not touch";
                    rows.push_back(std::move(p));
                }
            }
        }
        if (on.undrivenXrefs) {
            std::set<std::string> told;
            for (const auto& s : sheet->segments) {
                if (s->startState != kEndCrossRef || s->name.empty() || IsNumber(s->name) ||
                    driven.count(s->name) || !told.insert(s->name).second)
                    continue;
                Problem p = SegmentRow(*sheet, *s, Severity::kWarning, ProblemKind::kUndrivenXref);
                p.text = "The cross reference " + Quoted(s->name) +
                         " is read here, but no open sheet drives it";
                rows.push_back(std::move(p));
            }
        }
    }
    return rows;
}

namespace {

std::vector<XrefUse> UsesOf(const COstraProject& project, const DownloadTables& tables) {
    const BlockIndex index(project);
    const CrossReference x = BuildCrossReference(tables);
    std::vector<XrefUse> out;
    auto add = [&](const CrossRefEntry& e) {
        for (const bool source : {true, false}) {
            for (const PinUse& u : source ? e.sources : e.sinks) {
                XrefUse use = PlaceOf<XrefUse>(index, *u.rec, u.slot);
                use.constant = e.constant;
                use.name = e.constant ? FormatF(e.value) : e.name;
                use.signal = use.name;
                use.source = source;
                out.push_back(std::move(use));
            }
        }
    };
    for (const CrossRefEntry& e : x.signals) add(e);
    for (const CrossRefEntry& e : x.consts) add(e);
    return out;
}

}  // namespace

std::vector<XrefUse> CrossReferenceUses(const COstraProject& project) {
    return UsesOf(project, project.Tables);
}

std::vector<XrefUse> SheetCrossReferenceUses(COstraProject& project) {
    DownloadTables tables;
    CCompiler(project, &tables).BuildTables();
    return UsesOf(project, tables);
}

std::vector<SheetPlace> FindInSheets(const std::vector<const COstra_PLCDoc*>& sheets,
                                     const std::string& what) {
    std::vector<SheetPlace> hits;
    if (what.empty()) return hits;
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string needle = lower(what);
    auto holds = [&](const std::string& hay) { return lower(hay).find(needle) != std::string::npos; };
    for (const COstra_PLCDoc* sheet : sheets) {
        SheetPlace base;
        base.sheet = sheet->title;
        base.sheetPath = sheet->pathName;
        for (auto it = sheet->blocks.rbegin(); it != sheet->blocks.rend(); ++it) {
            const COxFunc& f = **it;
            if (!holds(f.ident)) continue;
            SheetPlace p = base;
            p.ident = f.ident;
            p.at = f.position;
            hits.push_back(std::move(p));
        }
        const std::vector<std::size_t> group = WireGroups(*sheet);
        std::set<std::size_t> seen;
        for (std::size_t i = 0; i < sheet->segments.size(); ++i) {
            const COxWireSeg& s = *sheet->segments[i];
            if (s.name.empty() || !holds(s.name) || !seen.insert(group[i]).second) continue;
            SheetPlace p = base;
            p.onSegment = true;
            p.at = s.start;
            p.end = s.end;
            p.signal = s.name;
            hits.push_back(std::move(p));
        }
        for (std::size_t i = 0; i < sheet->texts.size(); ++i) {
            if (!holds(sheet->texts[i]->text)) continue;
            SheetPlace p = base;
            p.textIndex = static_cast<int>(i);
            p.at = sheet->texts[i]->position;
            hits.push_back(std::move(p));
        }
    }
    return hits;
}

const char* SeverityText(Severity s) { return s == Severity::kError ? "error" : "warning"; }

const char* ProblemKindName(ProblemKind k) {
    switch (k) {
        case ProblemKind::kWiring: return "wiring";
        case ProblemKind::kNaming: return "naming";
        case ProblemKind::kSourcedConstant: return "sourced-constant";
        case ProblemKind::kUnsourced: return "unsourced";
        case ProblemKind::kMultiSourced: return "multi-sourced";
        case ProblemKind::kUnresolved: return "unresolved";
        case ProblemKind::kPlcFull: return "plc-full";
        case ProblemKind::kOpenInput: return "open-input";
        case ProblemKind::kNameSplit: return "name-split";
        case ProblemKind::kUndrivenXref: return "undriven-xref";
    }
    return "";
}

std::string ProblemLine(const Problem& p) {
    std::string where = !p.sheetPath.empty() ? p.sheetPath.string()
                        : !p.sheet.empty()   ? p.sheet
                                             : std::string("project");
    if (!p.sheet.empty()) where += ":" + PointText(p.at);
    std::string line = where + ": " + SeverityText(p.severity) + ": " + p.text;
    const std::string object = p.Object();
    if (!object.empty() && p.kind != ProblemKind::kUnresolved && p.kind != ProblemKind::kOpenInput)
        line += " [" + object + "]";
    return line;
}

}  // namespace ostra
