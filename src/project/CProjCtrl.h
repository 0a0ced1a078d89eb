// The project control record and its file "project.oxp": seven "key = value"
// lines naming the processor, the check and compile states, the serial port
// and the controller's box and slot.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace ostra {

class IMessageBox;

class CProjCtrl {
  public:
    virtual ~CProjCtrl() = default;

    // Reads "key = value" lines to the end of `text`; the last occurrence of a
    // key wins. Returns 1 when at least one line was read, else 0.
    int32_t Read(const std::string& text);
    // The file's bytes: seven CR LF lines in fixed order.
    std::string Format() const;
    // Writes to `path` (atomically). Returns 1, or shows "Project Control File
    // cannot be written" and returns 0, leaving the old file in place.
    int32_t Write(const std::filesystem::path& path, IMessageBox& msg) const;

    int32_t Folder = 0;
    std::string Processor;
    int32_t WireCheck = 0;
    int32_t Compile = 0;
    int32_t CommPort = 0;  // COM port number minus 1
    int32_t boX = 0;
    int32_t Slot = 0;
};

constexpr const char* kProjectControlFile = "project.oxp";

// Writes the record to "project.oxp" in `folder` (the current directory when
// empty). Returns 1 when written, 0 after the failure message.
int32_t StoreProjectControl(const CProjCtrl& ctrl, IMessageBox& msg,
                            const std::filesystem::path& folder = {});

}  // namespace ostra
