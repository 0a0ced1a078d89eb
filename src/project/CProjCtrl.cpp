// Project control file: fixed-position values, last occurrence wins.
#include "project/CProjCtrl.h"

#include <cstring>

#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "platform/Scan.h"
#include "platform/TextCodec.h"
#include "project/TextLines.h"

namespace ostra {
namespace {

// A line is taken into a 60-character buffer; the rest of a longer line is dropped.
constexpr std::size_t kLineKeep = 59;

struct Key {
    const char* name;
    std::size_t valueAt;  // index of the blank after "=" in the written form
    int32_t CProjCtrl::*field;
};

void ReadInt(const std::string& line, std::size_t at, int32_t& field) {
    if (line.size() <= at) return;
    ScanF(std::string_view(line).substr(at), "%d", {&field});
}

}  // namespace

int32_t CProjCtrl::Read(const std::string& text) {
    static const Key kKeys[] = {{"Folder", 8, &CProjCtrl::Folder},
                                {"Processor", 12, nullptr},
                                {"WireCheck", 11, &CProjCtrl::WireCheck},
                                {"Compile", 9, &CProjCtrl::Compile},
                                {"CommPort", 10, &CProjCtrl::CommPort},
                                {"boX", 5, &CProjCtrl::boX},
                                {"Slot", 6, &CProjCtrl::Slot}};
    int32_t linesRead = 0;
    for (const std::string& whole : SplitTextLines(text, std::string::npos)) {
        const std::string line = whole.substr(0, kLineKeep);
        ++linesRead;
        for (const Key& k : kKeys) {
            if (line.compare(0, std::strlen(k.name), k.name) != 0) continue;
            if (k.field) {
                ReadInt(line, k.valueAt, this->*k.field);
            } else {
                std::string clean;
                if (line.size() > k.valueAt)
                    for (char c : line.substr(k.valueAt))
                        if (c != '\r' && c != '\n') clean += c;
                Processor = Low8ToUtf8(clean);
            }
            break;
        }
    }
    return linesRead > 0 ? 1 : 0;
}

std::string CProjCtrl::Format() const {
    std::string out;
    out += "Folder = " + std::to_string(Folder) + "\r\n";
    out += "Processor = " + Utf8ToLow8(Utf8Left(Processor, 16)) + "\r\n";
    out += "WireCheck = " + std::to_string(WireCheck) + "\r\n";
    out += "Compile = " + std::to_string(Compile) + "\r\n";
    out += "CommPort = " + std::to_string(CommPort) + "\r\n";
    out += "boX = " + std::to_string(boX) + "\r\n";
    out += "Slot = " + std::to_string(Slot) + "\r\n";
    return out;
}

int32_t CProjCtrl::Write(const std::filesystem::path& path, IMessageBox& msg) const {
    if (!WriteFileAtomic(path, Format())) {
        msg.Show("Project Control File cannot be written");
        return 0;
    }
    return 1;
}

int32_t StoreProjectControl(const CProjCtrl& ctrl, IMessageBox& msg,
                            const std::filesystem::path& folder) {
    return ctrl.Write(
        folder.empty() ? std::filesystem::path(kProjectControlFile) : folder / kProjectControlFile,
        msg);
}

}  // namespace ostra
