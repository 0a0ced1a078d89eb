// Project state and the project folder commands.
#include "project/COstraProject.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "compiler/Compiler.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "platform/TextCodec.h"

namespace ostra {

namespace fs = std::filesystem;

COstraProject::COstraProject(IMessageBox& msg, ISettings& settings, fs::path currentDir)
    : CurrentDir(std::move(currentDir)), msg_(msg), settings_(settings) {}

int32_t COstraProject::LoadProjectControl(const fs::path& chosen) {
    fs::path file;
    if (OpenNamedProject) {
        file = CurrentDir / kProjectControlFile;
    } else if (!chosen.empty()) {
        std::string folder = chosen.parent_path().string();
        if (folder.size() > 249) folder.resize(249);
        ProjectFolder = folder;
        settings_.SetString("Settings", "CWPath", folder);
        CurrentDir = folder;
        file = chosen;
    }

    std::string reason;
    std::string content;
    if (file.empty()) {
        reason = "no project control file was chosen";
    } else {
        std::error_code ec;
        if (!fs::exists(file, ec)) {
            std::ofstream create(file, std::ios::binary);
            if (!create) reason = std::strerror(errno);
        }
        if (reason.empty() && !ReadWholeFile(file, content, &reason) && reason.empty())
            reason = "read error";
    }
    if (!reason.empty()) {
        if (reason.size() > 255) reason.resize(255);
        msg_.Show("The project file could not be opened because: " + reason, kAppTitle,
                  MsgIcon::Exclamation);
        return -1;
    }

    if (!content.empty()) {
        ProjCtrl.Read(content);
    } else {
        ProjCtrl.Folder = 1;
        ProjCtrl.Processor.clear();
        ProjCtrl.WireCheck = ProjCtrl.Compile = ProjCtrl.CommPort = ProjCtrl.boX =
            ProjCtrl.Slot = 0;
        ProjCtrl.Write(file, msg_);
    }
    if (!ProjCtrl.Processor.empty()) ReadFuncLibrary(ProjCtrl.Processor + ".oxl");
    return 1;
}

void COstraProject::OpenProjectFolder(const fs::path& chosen) {
    LoadProjectControl(chosen);
    Menu.words[CProjectMenu::kFolder] = 0;
    Sheets.clear();  // discarded without asking, as the command promises
    UnopenedSheets.clear();
    Tables.Clear();
    for (const std::string& name : ListFolder(CurrentDir, ".oxd")) {
        auto doc = std::make_unique<COstra_PLCDoc>();
        const LoadResult r = doc->OnOpenDocument(CurrentDir / name);
        if (!r.ok) {
            msg_.Show("The sheet " + name + " cannot be opened: " + r.Describe(), kAppTitle,
                      MsgIcon::Exclamation);
            UnopenedSheets.push_back(name);
            continue;
        }
        Sheets.push_back(std::move(doc));
    }
    if (ProjCtrl.Compile > 0) SerializeProjectImage(false);
    Menu.words[CProjectMenu::kFolder] = CProjectMenu::kChecked;
}

void COstraProject::OpenNamedProjectFile(const fs::path& oxpPath) {
    const fs::path folder = oxpPath.parent_path();
    ProjectFolder = folder.empty() ? CurrentDir : folder;
    CurrentDir = ProjectFolder;
    OpenNamedProject = true;
    OpenProjectFolder({});
    OpenNamedProject = false;
}

bool COstraProject::ReadFuncLibrary(const std::string& fileName) {
    const bool ok = Library.ReadFuncLibrary(fileName, ProgramFolder, msg_);
    ProjCtrl.Processor = Library.ProcessorName;
    Menu.SetChecked(CProjectMenu::kProcessor, !Library.ProcessorName.empty());
    if (ok) Menu.SetDisabled(CProjectMenu::kKFactorEdit, !(Connected && Library.MaxKFacts >= 1));
    return ok;
}

int32_t COstraProject::SheetNumberOf(const std::string& name) {
    std::string base = fs::path(name).filename().string();
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos) base.resize(dot);
    std::size_t first = base.size();
    while (first > 0 && base[first - 1] >= '0' && base[first - 1] <= '9') --first;
    if (first == base.size()) return -1;
    int64_t n = 0;
    for (std::size_t i = first; i < base.size(); ++i)
        n = std::min<int64_t>(n * 10 + (base[i] - '0'), INT32_MAX);
    return static_cast<int32_t>(n);
}

COstra_PLCDoc& COstraProject::NewSheet() {
    bool used[16] = {true};
    auto mark = [&](const std::string& name) {
        const int32_t n = SheetNumberOf(name);
        if (n >= 0 && n <= 15) used[n] = true;
    };
    for (const std::string& name : ListFolder(CurrentDir, ".oxd")) mark(name);
    for (const auto& s : Sheets)
        if (!s->pathName.empty()) mark(s->pathName.string());
    int number = 1;
    while (number <= 15 && used[number]) ++number;
    char title[16];
    std::snprintf(title, sizeof title, "Sheet_%02d", number);
    auto doc = std::make_unique<COstra_PLCDoc>();
    doc->OnNewDocument(title);
    Sheets.push_back(std::move(doc));
    return *Sheets.back();
}

fs::path COstraProject::ImagePath() const {
    // Without a project the image goes beside the current directory's files,
    // never to the root of a drive.
    return (ProjectFolder.empty() ? CurrentDir : ProjectFolder) / kImageFile;
}

bool COstraProject::SerializeProjectImage(bool store) {
    const fs::path path = ImagePath();
    std::string error;
    if (store) {
        if (WriteFileAtomic(path, StoreImage(Tables), &error)) return true;
        msg_.Show("The compiled image " + PathText(path) + " cannot be written: " + error,
                  kAppTitle, MsgIcon::Exclamation);
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        Tables.Clear();
        return false;
    }
    if (!LoadImage(bytes, Tables, &error)) {
        msg_.Show("The compiled image " + PathText(path) + " is damaged and was not loaded: " +
                      error,
                  kAppTitle, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

int32_t COstraProject::StoreProjectControl() {
    return ostra::StoreProjectControl(ProjCtrl, msg_, CurrentDir);
}

WireCheckResult COstraProject::WireCheckSheet(COstra_PLCDoc& sheet) {
    const WireCheckResult r = sheet.WireCheck(msg_);
    Menu.SetChecked(CProjectMenu::kWireCheck, r.passed);
    return r;
}

int32_t COstraProject::CheckPlcFull() {
    int32_t total = 0;
    for (const auto& s : Sheets) total += static_cast<int32_t>(s->blocks.size());
    FBCount = total;
    if (total >= Library.MaxFBlocks) {
        msg_.Show("Limit is " + std::to_string(Library.MaxFBlocks) + ": you have " +
                      std::to_string(total) + " Function Blocks",
                  "PLC Full", MsgIcon::Exclamation);
    }
    return total;
}

void COstraProject::CompileAll() { CCompiler(*this).CompileAll(); }

}  // namespace ostra
