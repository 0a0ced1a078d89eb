// Everything that belongs to the project rather than to one sheet: the
// control record, the program and project folders, the processor table, the
// loaded library, the open sheets in document order, the download tables, the
// block count and the "&Project" menu state. The GUI's application object and
// ostra-plc-cli each own one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "compiler/DownloadRecords.h"
#include "model/COstra_PLCDoc.h"
#include "project/CFuncLibrary.h"
#include "project/CProjCtrl.h"
#include "project/ProcessorList.h"
#include "project/ProjectMenu.h"

namespace ostra {

class IMessageBox;
class ISettings;

constexpr const char* kAppTitle = "Ostra_PLC";

class COstraProject {
public:
    // `currentDir` stands for the process's current directory: the project
    // folder once a project is open.
    COstraProject(IMessageBox& msg, ISettings& settings, std::filesystem::path currentDir);

    // Reads the control file: "project.oxp" of the current directory when
    // OpenNamedProject is set, else `chosen` (empty: the user cancelled).
    // Creates a missing file with the defaults; loads the processor's library.
    // Returns 1, or -1 after "The project file could not be opened because: ".
    int32_t LoadProjectControl(const std::filesystem::path& chosen);
    // The Folder command: control file, then every sheet of the folder, then
    // the compiled image when the project was compiled.
    void OpenProjectFolder(const std::filesystem::path& chosen);
    // A project named on the command line (a path ending in ".oxp").
    void OpenNamedProjectFile(const std::filesystem::path& oxpPath);

    // Loads `fileName` from the program folder and records the processor.
    bool ReadFuncLibrary(const std::string& fileName);
    // A new empty sheet titled "Sheet_%02d" with the lowest free number.
    COstra_PLCDoc& NewSheet();
    // The number at the end of a sheet name (extension removed), or -1.
    static int32_t SheetNumberOf(const std::string& name);

    // The compiled image in the project folder.
    bool SerializeProjectImage(bool store);
    std::filesystem::path ImagePath() const;
    // Writes "project.oxp" in the current directory.
    int32_t StoreProjectControl();

    // Wire check of one sheet, with its messages; the menu follows the result.
    WireCheckResult WireCheckSheet(COstra_PLCDoc& sheet);
    // Counts the blocks of all open sheets; warns "PLC Full" at the limit.
    int32_t CheckPlcFull();
    // The Compile command.
    void CompileAll();

    IMessageBox& Msg() { return msg_; }

    CProjCtrl ProjCtrl;
    std::filesystem::path ProgramFolder;
    std::filesystem::path ProjectFolder;
    std::filesystem::path CurrentDir;
    bool OpenNamedProject = false;
    bool Connected = false;
    DownloadTables Tables;
    int32_t FBCount = 0;
    CProcTable ProcTable;
    CFuncLibrary Library;
    CProjectMenu Menu;
    std::vector<std::unique_ptr<COstra_PLCDoc>> Sheets;
    // Sheet files of the folder that could not be opened by the last Folder
    // command: a compile without them would be a program without them.
    std::vector<std::string> UnopenedSheets;

private:
    IMessageBox& msg_;
    ISettings& settings_;
};

}  // namespace ostra
