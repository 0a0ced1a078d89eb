// One sheet: its four object lists in file order, its wire-check state, and
// the whole-sheet operations (numbering, selection, load and save).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/COxFunc.h"
#include "model/COxLine.h"
#include "model/COxText.h"
#include "model/COxWireSeg.h"

namespace ostra {

class CArchive;

template <typename T>
using OwnedList = std::vector<std::unique_ptr<T>>;

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
};

}  // namespace ostra
