// Processor statistics: firmware, serial number, control-diagram time used
// and the backplane transaction counters, as the "PLC Statistics" dialog
// shows them.
#pragma once

#include <string>

namespace ostra {

class COxComm;

struct ProcStatsTexts {
    std::string processorType;
    std::string serialNo;
    std::string firmware;
    std::string timeUsed;
    std::string totalTransactions;
    std::string totalErrors;
    std::string noResponses;
    std::string timeouts;
    std::string sentinelErrors;
    std::string formatErrors;
    std::string checkwordErrors;
};

// -1 not connected; -2 nothing arrived (the link is then not connected);
// otherwise the number of values read (2, or 0 for a faulty answer).
int ReadProcInfo(COxComm& link, const std::string& connectedProc, ProcStatsTexts& out);
// The same results, with 9 values.
int ReadBackplaneStats(COxComm& link, ProcStatsTexts& out);

}  // namespace ostra
