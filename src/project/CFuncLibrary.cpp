// Library loader: headings "[...]", keywords "*key value", block lines
// "$num, NAME" followed by numbered lines, descriptions "{...}", ";" comments.
#include "project/CFuncLibrary.h"

#include <cctype>
#include <cstring>

#include "model/WireTypes.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "platform/Scan.h"
#include "platform/TextCodec.h"
#include "project/TextLines.h"

namespace ostra {
namespace {

std::vector<std::string> KeywordTokens(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == '\'') {
            if (!cur.empty()) out.push_back(cur), cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

bool EqualNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && b[i] == 0;
}

std::string RemoveChars(const std::string& s, const char* chars) {
    std::string out;
    for (char c : s)
        if (!std::strchr(chars, c)) out += c;
    return out;
}

char ValuePinLetter(const std::string& name) {
    for (auto it = name.rbegin(); it != name.rend(); ++it)
        if (*it >= 'A' && *it <= 'Z') return *it;
    if (name.empty()) return '_';
    // One byte in the sheet file; a non-ASCII first character would not survive.
    return static_cast<unsigned char>(name[0]) < 0x80 ? name[0] : '_';
}

void NumberedLine(COxFunc& f, int counter, const std::string& raw) {
    const std::string_view rest = raw.size() > 1 ? std::string_view(raw).substr(1) : "";
    switch (counter) {
        case 0:
            ScanF(rest, "%d, %d, %d, %d",
                  {&f.body.left, &f.body.top, &f.body.right, &f.body.bottom});
            f.symbolFlag = raw[0] == 'T';
            return;
        case 1:
            ScanF(rest, "%d", {&f.minInputs});
            f.actualInputs = f.minInputs;
            f.canChange = raw[0] == 'T';
            return;
        case 2:
            ScanF(raw, "%d, %d", {&f.outputPinOffset.x, &f.outputPinOffset.y});
            return;
        case 3:
            ScanF(raw, "%d, %d", {&f.identLabelOffset.x, &f.identLabelOffset.y});
            return;
        case 4:
            ScanF(raw, "%d, %d", {&f.typeLabelOffset.x, &f.typeLabelOffset.y});
            return;
        default:
            break;
    }
    if (counter > 20) return;
    PinSlot& pin = f.pins[counter - 5];
    std::string name;
    if (ScanF(raw, "%d,%s", {&pin.type, &name}) >= 2) {
        if (name.size() > CFuncLibrary::kMaxPinName) name.clear();
        pin.name = Cp1252ToUtf8(name);
    }
    if (pin.type == kPinValue) pin.letter = ValuePinLetter(Utf8ToCp1252(pin.name));
}

}  // namespace

std::string ProcessorNameOf(const std::string& fileName) {
    const std::size_t dot = fileName.find('.');
    if (dot == std::string::npos || dot == 0) return {};
    return fileName.substr(0, dot);
}

void CFuncLibrary::Clear() {
    SelectedLibFunc = nullptr;
    LibFuncs.clear();
    LibTree.clear();
}

bool CFuncLibrary::ReadFuncLibrary(const std::string& fileName,
                                   const std::filesystem::path& programFolder, IMessageBox& msg) {
    const std::filesystem::path path = programFolder / fileName;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ProcessorName.clear();
        msg.Show("Could not open library file " + PathText(path));
        return false;
    }
    Parse(bytes);
    ProcessorName = ProcessorNameOf(fileName);
    return !ProcessorName.empty();
}

void CFuncLibrary::Parse(const std::string& bytes) {
    Clear();
    MaxFBlocks = kDefaultMaxFBlocks;
    MaxKFacts = 0;
    COxFunc* current = nullptr;
    int counter = 0;
    CFuncTreeItem* describing = nullptr;
    bool inDescription = false;

    auto descriptionLine = [&](const std::string& raw) {
        if (describing)
            describing->Description += Cp1252ToUtf8(RemoveChars(raw, "{}\r\n")) + "\r\n";
        if (raw.find('}') != std::string::npos) inDescription = false;
    };

    for (const std::string& raw : SplitTextLines(bytes, kMaxLineChars)) {
        if (inDescription) {
            descriptionLine(raw);
            continue;
        }
        const std::string copy = RemoveChars(raw.substr(0, raw.find(';')), "\r\n");
        if (copy.empty()) continue;
        switch (raw[0]) {
            case '[': {
                auto item = std::make_unique<CFuncTreeItem>();
                item->Name = Cp1252ToUtf8(RemoveChars(copy, "[]"));
                item->Kind = CFuncTreeItem::kHeading;
                LibTree.push_back(std::move(item));
                break;
            }
            case '*': {
                const std::vector<std::string> tok = KeywordTokens(copy.substr(1));
                if (tok.empty()) break;
                std::string value = tok.size() > 1 ? tok[1] : "";
                if (!value.empty() && value[0] == '=') value = tok.size() > 2 ? tok[2] : "";
                int32_t v = 0;
                ScanF(value, "%d", {&v});
                if (EqualNoCase(tok[0], "maxfblocks"))
                    MaxFBlocks = v;
                else if (EqualNoCase(tok[0], "maxkfacts"))
                    MaxKFacts = v;
                break;
            }
            case '$': {
                int32_t number = 0;
                std::string name;
                ScanF(std::string_view(raw).substr(1), "%d, %s", {&number, &name});
                if (name.size() > kMaxTypeName) name.clear();
                auto f = std::make_unique<COxFunc>(Cp1252ToUtf8(name), CPoint(1, 1));
                f->typeNumber = number;
                auto item = std::make_unique<CFuncTreeItem>();
                item->Name = f->functionType;
                item->Kind = CFuncTreeItem::kBlock;
                current = f.get();
                counter = 0;
                LibFuncs.push_back(std::move(f));
                LibTree.push_back(std::move(item));
                break;
            }
            case '{':
                describing = LibTree.empty() ? nullptr : LibTree.back().get();
                if (describing) describing->Description.clear();
                inDescription = true;
                descriptionLine(raw);
                break;
            default:
                if (current) NumberedLine(*current, counter, raw);
                ++counter;
                break;
        }
    }
}

const COxFunc* CFuncLibrary::FindFunc(const std::string& type) const {
    for (const auto& f : LibFuncs)
        if (f->functionType == type) return f.get();
    return nullptr;
}

}  // namespace ostra
