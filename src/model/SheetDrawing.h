// A whole sheet drawn in the view's order: the sheet frame, then decorative
// lines, texts, blocks and wires, each list from its last object to its first
// (newer objects on top; wires over blocks over texts over lines).
#pragma once

#include <string>

#include "platform/IDrawSurface.h"

namespace ostra {

class COstra_PLCDoc;

constexpr int kSheetGridWidth = 126;  // scrolled
constexpr int kSheetGridHeight = 84;
constexpr int kFrameGridWidth = 125;  // framed
constexpr int kPrintOffsetX = 2;      // grid units on a printed page
constexpr int kPrintOffsetY = 5;

void DrawSheet(COstra_PLCDoc& doc, IDrawSurface& dc, int scale, bool printing);

// Exported pictures show the sheet as it prints, at scale 10 on a page with
// room for the print offset.
constexpr int kExportScale = 10;
constexpr int kExportWidth = (kSheetGridWidth + kPrintOffsetX + 2) * kExportScale;
constexpr int kExportHeight = (kSheetGridHeight + kPrintOffsetY + 2) * kExportScale;

// The sheet as it prints, as a complete SVG document.
std::string SheetAsSvg(COstra_PLCDoc& doc);

}  // namespace ostra
