// Sheet document: file layout, numbering of new blocks and selection-wide edits.
#include "model/COstra_PLCDoc.h"

#include <algorithm>
#include <cctype>

#include "model/CArchive.h"
#include "model/SheetClasses.h"
#include "platform/FileIO.h"
#include "platform/Scan.h"

namespace ostra {
namespace {

template <typename T>
void StoreList(CArchive& ar, OwnedList<T>& list) {
    ar.WriteCount(static_cast<uint32_t>(list.size()));
    for (auto& obj : list) ar.WriteObject(*obj);
}

template <typename T>
void LoadList(CArchive& ar, OwnedList<T>& list, const char* listName, uint32_t& total) {
    const std::size_t countAt = ar.Position();
    const uint32_t n = ar.ReadCount();
    if (n > COstra_PLCDoc::kMaxObjects - total) {
        throw CArchiveException("more than " + std::to_string(COstra_PLCDoc::kMaxObjects) +
                                    " objects, more than a sheet holds",
                                countAt);
    }
    total += n;
    for (uint32_t i = 0; i < n; ++i) {
        const std::size_t at = ar.Position();
        std::unique_ptr<CObject> obj = ar.ReadObject();
        T* typed = dynamic_cast<T*>(obj.get());
        if (!typed) {
            throw CArchiveException(
                std::string("a ") + obj->ClassName() + " stands in the " + listName + " list", at);
        }
        obj.release();
        list.emplace_back(typed);
    }
}

template <typename T>
int ClearFlags(OwnedList<T>& list) {
    int n = 0;
    for (auto& o : list) {
        if (o->selected) ++n;
        o->selected = false;
        o->mark = false;
    }
    return n;
}

template <typename T>
bool EraseSelected(OwnedList<T>& list) {
    const auto it =
        std::remove_if(list.begin(), list.end(), [](const auto& o) { return o->selected; });
    const bool any = it != list.end();
    list.erase(it, list.end());
    return any;
}

}  // namespace

std::string LoadResult::Describe() const {
    return reason + " (at byte " + std::to_string(offset) + ")";
}

void COstra_PLCDoc::OnNewDocument(const std::string& newTitle) {
    DeleteContents();
    title = newTitle;
    pathName.clear();
    modified = false;
    sheetWidth = kDefaultSheetWidth;
    sheetHeight = kDefaultSheetHeight;
}

LoadResult COstra_PLCDoc::OnOpenDocument(const std::filesystem::path& path) {
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, &error))
        return LoadResult{false, "cannot be read: " + error, 0};
    LoadResult r = LoadFromBytes(bytes);
    if (!r.ok) return r;
    pathName = path;
    title = TitleFromPath(path);
    modified = false;
    diskStamp = StampOf(path);
    sheetWidth = kDefaultSheetWidth;
    sheetHeight = kDefaultSheetHeight;
    return r;
}

bool COstra_PLCDoc::OnSaveDocument(const std::filesystem::path& path, std::string* error) {
    if (!WriteFileAtomic(path, SaveToBytes(), error)) return false;
    pathName = path;
    title = TitleFromPath(path);
    modified = false;
    diskStamp = StampOf(path);
    return true;
}

LoadResult COstra_PLCDoc::LoadFromBytes(const std::string& bytes) {
    // Read into a scratch sheet so that a damaged file changes nothing here.
    COstra_PLCDoc scratch;
    try {
        CArchive ar(bytes, SheetClassRegistry());
        scratch.Serialize(ar);
    } catch (const CArchiveException& e) {
        return LoadResult{false, e.what(), e.Offset()};
    }
    DeleteContents();
    blocks.swap(scratch.blocks);
    segments.swap(scratch.segments);
    texts.swap(scratch.texts);
    lines.swap(scratch.lines);
    checkState = scratch.checkState;
    ClearSelection();
    return {};
}

std::string COstra_PLCDoc::SaveToBytes() {
    CArchive ar;
    Serialize(ar);
    return ar.Buffer();
}

void COstra_PLCDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        // One character: a failed check (-1) is stored as "-" and reads back as 0.
        ar.WriteLine(std::to_string(checkState), 1);
        StoreList(ar, blocks);
        StoreList(ar, segments);
        StoreList(ar, texts);
        StoreList(ar, lines);
        return;
    }
    ScanF(ar.ReadLine(32), "%d", {&checkState});
    uint32_t total = 0;
    LoadList(ar, blocks, "block", total);
    LoadList(ar, segments, "segment", total);
    LoadList(ar, texts, "text", total);
    LoadList(ar, lines, "line", total);
}

void COstra_PLCDoc::DeleteContents() {
    DeleteAllPoints();
    texts.clear();
    segments.clear();
    blocks.clear();
    lines.clear();
    checkState = 0;
}

int32_t COstra_PLCDoc::NextRefnum() const {
    const std::size_t n = blocks.size();
    std::vector<bool> used(n + 2, false);
    used[0] = true;
    for (const auto& b : blocks) {
        if (b->refnum < 0) continue;
        const std::size_t idx = static_cast<std::size_t>(b->refnum % 100);
        if (idx <= n + 1) used[idx] = true;
    }
    std::size_t index = 1;
    while (used[index]) ++index;

    // Sheet number: the last run of digits of the title, or the one before a ".".
    int64_t sheet = 1;
    int pos = static_cast<int>(title.size()) - 1;
    while (pos >= 0 && !(title[pos] >= '0' && title[pos] <= '9') && title[pos] != '.') --pos;
    if (pos >= 0 && title[pos] == '.') --pos;
    if (pos >= 0 && title[pos] >= '0' && title[pos] <= '9') {
        int first = pos;
        while (first > 0 && title[first - 1] >= '0' && title[first - 1] <= '9') --first;
        int64_t number = 0;
        for (int i = first; i <= pos; ++i)
            number = std::min<int64_t>(number * 10 + (title[i] - '0'), 21474835);
        if (number != 0) sheet = number;
    }
    return static_cast<int32_t>(static_cast<int64_t>(index) + 100 * sheet);
}

int COstra_PLCDoc::ClearSelection() {
    return ClearFlags(blocks) + ClearFlags(segments) + ClearFlags(texts) + ClearFlags(lines);
}

bool COstra_PLCDoc::MoveSelection(int32_t dx, int32_t dy) {
    bool any = false;
    const CPoint d(dx, dy);
    for (auto& b : blocks)
        if (b->selected) b->position = b->position + d, any = true;
    for (auto& t : texts)
        if (t->selected) t->position = t->position + d, any = true;
    for (auto& s : segments)
        if (s->selected) s->start = s->start + d, s->end = s->end + d, any = true;
    for (auto& l : lines)
        if (l->selected) l->start = l->start + d, l->end = l->end + d, any = true;
    if (any) modified = true;
    return any;
}

bool COstra_PLCDoc::DeleteSelection() {
    const bool b = EraseSelected(blocks);
    const bool s = EraseSelected(segments);
    const bool t = EraseSelected(texts);
    const bool l = EraseSelected(lines);
    return b || s || t || l;
}

std::string COstra_PLCDoc::TitleFromPath(const std::filesystem::path& path) {
    std::filesystem::path name = path.filename();
    std::string ext = name.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".oxd" ? name.stem().string() : name.string();
}

}  // namespace ostra
