// Findings of the wire check and the compile as rows that name and locate
// what is wrong: the sheet, the block and pin or the wire segment, the signal
// and the reason. Built from what the check leaves on the sheet and what the
// compile leaves in the tables; neither is run a second time. Also the
// warnings that no check gives (they never change a listing or the image).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace ostra {

class COstraProject;
class COstra_PLCDoc;
struct DownloadTables;

enum class Severity { kError, kWarning };

enum class ProblemKind {
    kWiring,           // a segment the wire check marked with a WireError
    kNaming,           // a segment the name propagation could not reach
    kSourcedConstant,  // a constant driven by an output
    kUnsourced,        // a signal nothing drives
    kMultiSourced,     // a signal driven by more than one output
    kUnresolved,       // a block the compile could not place
    kPlcFull,          // more blocks than the processor takes
    kOpenInput,        // warning: an input pin with nothing wired
    kNameSplit,        // warning: one name driven on wires of a sheet that do not touch
    kUndrivenXref,     // warning: a cross reference nothing on the open sheets drives
};

// A place on a sheet that a row of a panel leads to.
struct SheetPlace {
    std::string sheet;                 // the sheet's title; empty for the project
    std::filesystem::path sheetPath;   // as the sheet was opened
    std::string ident;                 // the block, when the row points at one
    int pin = -1;                      // its pin slot, -1 for the block itself
    bool onSegment = false;            // the row points at a wire segment
    int textIndex = -1;                // the row points at a text of the sheet
    CPoint at;                         // grid point: the block, the segment's start, the text
    CPoint end;                        // the segment's end
    std::string signal;

    // "F0101 pin 2", "wire PUMP (10,5)-(20,5)", or empty.
    std::string Object() const;
};

struct Problem : SheetPlace {
    Severity severity = Severity::kError;
    ProblemKind kind = ProblemKind::kWiring;
    std::string text;  // the reason in words
};

// One line of the cross reference: a pin that drives or reads a signal or
// constant, with the sheet it is on.
struct XrefUse : SheetPlace {
    std::string name;     // the signal's name, or the constant's value
    bool constant = false;
    bool source = false;  // drives it (else reads it)
};

// Warnings can be switched off one kind at a time.
struct WarningSwitches {
    bool openInputs = true;
    bool nameSplits = true;
    bool undrivenXrefs = true;
};

// The findings a wire check left on `sheet`: one row per faulty segment, or
// after a clean wiring pass one per segment that got no signal name.
std::vector<Problem> CheckProblems(const COstra_PLCDoc& sheet);

// The findings of the project's last compile: sourced constants, unsourced
// and multi-sourced signals (one row per source), unresolved blocks, and the
// block limit.
std::vector<Problem> CompileProblems(const COstraProject& project);

// Warnings over checked sheets: inputs with nothing wired, one name driven
// on wires that do not touch, cross references that no open sheet drives.
std::vector<Problem> SheetWarnings(const std::vector<const COstra_PLCDoc*>& sheets,
                                   const WarningSwitches& on = {});

// Every use of every signal and constant of the project's last compile, in
// the wire list's order: its sources, then its readers.
std::vector<XrefUse> CrossReferenceUses(const COstraProject& project);
// The same from the open sheets as they are now (the signal names their last
// checks left on the pins), without compiling: blocks in sheet order.
std::vector<XrefUse> SheetCrossReferenceUses(COstraProject& project);

// Blocks whose ident, wires whose signal name (one hit a wire) and texts
// that hold `what`, ignoring case, over the sheets in order.
std::vector<SheetPlace> FindInSheets(const std::vector<const COstra_PLCDoc*>& sheets,
                                     const std::string& what);

// "error" or "warning".
const char* SeverityText(Severity s);
// A short stable name of the kind ("wiring", "unsourced", ...).
const char* ProblemKindName(ProblemKind k);
// "sheet:x,y: severity: text", the form compilers print so that editors can
// jump to the place. The sheet is its path, or its title when it has none.
std::string ProblemLine(const Problem& p);

}  // namespace ostra
