// One sheet: its four object lists in file order, its wire-check state, and
// the whole-sheet operations (numbering, selection, load and save).
#pragma once

#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FileIO.h"
#include "model/COxFunc.h"
#include "model/COxLine.h"
#include "model/COxText.h"
#include "model/COxWPoint.h"
#include "model/COxWireSeg.h"

namespace ostra {

class CArchive;
class IMessageBox;

template <typename T>
using OwnedList = std::vector<std::unique_ptr<T>>;

// Counts of a wire check; `passed` when both are 0.
struct WireCheckResult {
    int wiringErrors = 0;
    int namingErrors = 0;  // not counted when wiring errors stopped the check
    bool passed = false;
};

// Outcome of reading a sheet: ok, or why the file was refused and where.
struct LoadResult {
    bool ok = true;
    std::string reason;
    std::size_t offset = 0;
    // "<reason> (at byte <offset>)", for messages.
    std::string Describe() const;
};

class COstra_PLCDoc {
  public:
    static constexpr int32_t kDefaultSheetWidth = 1008;  // 126 grid units at scale 8
    static constexpr int32_t kDefaultSheetHeight = 672;  // 84 grid units at scale 8
    // Far more objects than the 126 x 84 grid can show; a file that claims
    // more (a damaged count, or back-references repeated without end) is
    // refused before it fills the memory.
    static constexpr uint32_t kMaxObjects = 50000;

    COstra_PLCDoc() = default;
    COstra_PLCDoc(const COstra_PLCDoc&) = delete;
    COstra_PLCDoc& operator=(const COstra_PLCDoc&) = delete;

    // A fresh empty sheet with the given title.
    void OnNewDocument(const std::string& newTitle);
    // Reads a sheet file. On failure the sheet keeps its previous content.
    LoadResult OnOpenDocument(const std::filesystem::path& path);
    // Writes the sheet; the old file stays intact when writing fails.
    bool OnSaveDocument(const std::filesystem::path& path, std::string* error = nullptr);

    // Reads a sheet from bytes; all or nothing.
    LoadResult LoadFromBytes(const std::string& bytes);
    std::string SaveToBytes();
    void Serialize(CArchive& ar);

    // Deletes every object and wire point; check state 0.
    void DeleteContents();

    int32_t NextRefnum() const;
    int ClearSelection();
    bool MoveSelection(int32_t dx, int32_t dy);
    bool DeleteSelection();

    // --- Wire connectivity (built afresh by every wire check) ---

    // Refnum of what lies at grid point `p` (blocks before segments), or -1;
    // fills `hit`.
    int32_t HitTest(CPoint p);
    // Resets error and direction from the last segment backwards; deletes the
    // first zero-length segment met and then stops (true).
    bool NormaliseSegments();
    int BuildWirePoints();
    static void ReverseSegment(COxWireSeg& seg);
    // Splits every segment that passes through the point; see WireCheck.cpp.
    int SplitAtJunction(COxWPoint& point);
    int DeleteAllPoints();
    // Removes the segment from the list (and from any wire point) and deletes it.
    bool DeleteSegment(const COxWireSeg* seg);
    COxWPoint* FindPoint(CPoint p) const;

    // --- Wire check ---

    // The whole command: clears pin signals, rebuilds, classifies, propagates
    // names, reports through `msg`, and sets the check state.
    WireCheckResult WireCheck(IMessageBox& msg);
    int CheckWirePoints();
    int PropagateSignalNames();

    // Title as the sheet is named ("Sheet_03"), from which blocks are numbered.
    static std::string TitleFromPath(const std::filesystem::path& path);

    OwnedList<COxFunc> blocks;
    OwnedList<COxWireSeg> segments;
    OwnedList<COxText> texts;
    OwnedList<COxLine> lines;
    int32_t checkState = 0;
    int32_t sheetWidth = kDefaultSheetWidth;
    int32_t sheetHeight = kDefaultSheetHeight;

    std::string title;
    std::filesystem::path pathName;
    bool modified = false;
    // The file as it was when read or last written here: another program's
    // save in between shows as a different stamp.
    FileStamp diskStamp;

    // Built by the wire check; the front of the list is the newest point.
    std::list<std::unique_ptr<COxWPoint>> wirePoints;
    HitResult hit;
    int32_t lastSegPos = -1;
    int32_t lastBlockPos = -1;

    // Speeds up HitTest while blocks and segments stay as they are (the wire
    // check keeps it); any change of the lists must drop it.
    void BuildHitIndex();
    void DropHitIndex();

    // How the wire check does its wiring step: the incremental form where the
    // sheet allows it, or always the plain one (kept for comparison).
    enum class CheckMethod { kAuto, kPlain };
    CheckMethod checkMethod = CheckMethod::kAuto;

  private:
    friend class CWireCheckEngine;
    // The block part of HitTest, through the index: the refnum of the first
    // block at p (-1 when none); hit.kind stays kHitNothing when none.
    int32_t HitTestBlocks(CPoint p);
    struct HitIndex;
    int32_t HitTestIndexed(CPoint p);
    bool AnySegmentPassesThrough(CPoint p) const;
    COxWPoint* CreatePoint(CPoint p);
    void RebuildPoints();
    void MergeAt(COxWPoint& point);
    int ClassifyOutputPin(COxWPoint& pt);
    int ClassifyInputPin(COxWPoint& pt);
    int ClassifyFreePoint(COxWPoint& pt);

    std::unordered_map<uint64_t, COxWPoint*> pointIndex_;
    std::shared_ptr<HitIndex> hitIndex_;
};

}  // namespace ostra
