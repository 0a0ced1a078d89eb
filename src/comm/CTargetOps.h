// Connect, Upload and Verify: the controller operations on the compiled
// project, reporting through message boxes and a progress interface, and
// switching the "&Project" menu's controller commands as they go.
#pragma once

#include <cstdint>
#include <string>

namespace ostra {

class COstraProject;
class COxComm;
class ILinkClock;
class CdldFB;

// The progress dialog of Upload and Verify ("Connection Progress").
class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void Begin(const std::string& operation, int range) = 0;
    virtual void Step() = 0;
    virtual void End() = 0;
};

class CTargetOps {
public:
    CTargetOps(COstraProject& project, COxComm& link, ILinkClock& clock,
               IProgress* progress = nullptr);

    // Opens the port, identifies the processor; true when connected.
    bool Connect();
    // Stops the controller, loads constants and blocks, verifies, starts it
    // again. True when the upload was verified.
    bool Upload();
    bool Verify();
    // 0 when the controller holds the same block at position i.
    int VerifyBlock(const CdldFB& rec, int32_t i);

    // Three blanks, the number ("%8d" for whole numbers, else "%8.5G", at most
    // 11 characters), three blanks.
    static std::string FormatValue(double v);
    // (PinRef AND 0xFFF) OR (PinType << 12), or 0xFFFF for a slot without pin.
    static int32_t PinWord(const CdldFB& rec, int slot);

    std::string ConnectedProc;

private:
    void SetConnectStates();
    void Begin(const std::string& text, int range);
    void Step();
    void End();

    COstraProject& p_;
    COxComm& link_;
    ILinkClock& clock_;
    IProgress* progress_;
};

}  // namespace ostra
