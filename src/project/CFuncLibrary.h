// The function-block library of one processor (a ".oxl" file): the block-type
// definitions that sheets copy, the tree of headings and entries with their
// descriptions, and the controller's limits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/COxFunc.h"

namespace ostra {

class IMessageBox;

struct CFuncTreeItem {
    enum Kinds { kHeading = 0, kBlock = 1 };
    std::string Name;
    int Kind = kHeading;
    void* TreeHandle = nullptr;  // the dialog's tree item, while it is shown
    std::string Description;
};

class CFuncLibrary {
  public:
    static constexpr int32_t kDefaultMaxFBlocks = 225;
    static constexpr std::size_t kMaxLineChars = 127;
    static constexpr std::size_t kMaxTypeName = 15;
    static constexpr std::size_t kMaxPinName = 31;

    // Loads `fileName` (the processor name and ".oxl") from `programFolder`.
    // On success replaces everything and sets ProcessorName to the file name up
    // to its first "." (false, and no name, when the name starts with its dot).
    // When the file cannot be opened: "Could not open library file <path>",
    // the definitions stay, ProcessorName becomes empty, false.
    bool ReadFuncLibrary(const std::string& fileName, const std::filesystem::path& programFolder,
                         IMessageBox& msg);
    // Replaces definitions, tree and limits by what `bytes` hold.
    void Parse(const std::string& bytes);
    void Clear();

    // First definition whose function type equals `type` exactly, or null.
    const COxFunc* FindFunc(const std::string& type) const;
    bool Empty() const { return LibFuncs.empty(); }

    std::vector<std::unique_ptr<COxFunc>> LibFuncs;
    std::vector<std::unique_ptr<CFuncTreeItem>> LibTree;
    int32_t MaxFBlocks = kDefaultMaxFBlocks;
    int32_t MaxKFacts = 0;
    std::string ProcessorName;
    const COxFunc* SelectedLibFunc = nullptr;
};

// The processor name of a library file name: up to its first ".", or empty
// when the name has no "." after its first character.
std::string ProcessorNameOf(const std::string& fileName);

}  // namespace ostra
