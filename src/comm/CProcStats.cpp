// Processor statistics.
#include "comm/CProcStats.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "comm/COxComm.h"

namespace ostra {
namespace {

std::string Format(const char* fmt, long long a, long long b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

long long Whole(double v) {
    if (std::isnan(v)) return 0;
    if (v > 9.2e18) return 9200000000000000000LL;
    if (v < -9.2e18) return -9200000000000000000LL;
    return static_cast<long long>(v);
}

}  // namespace

int ReadProcInfo(COxComm& link, const std::string& connectedProc, ProcStatsTexts& out) {
    if (!link.Connected) return -1;
    out.processorType = connectedProc;
    link.Subslot = 255;
    link.SendRead(0, 2);
    if (link.ReadResponse() == 0) {
        link.Connected = false;
        return -2;
    }
    std::vector<double> v(2, 0.0);
    int n = 0;
    if (link.CheckReadResponse() == kLinkOk) n = link.ParseValues(v);
    if (n >= 1) {
        const long long f = Whole(v[0]);
        out.firmware = Format("%2lld.%02lld", f / 256, f % 256);
    } else {
        out.firmware = "??.??";
    }
    const long long serial = n >= 2 ? Whole(v[1]) : 0;
    out.serialNo = n >= 2 && serial > 163840 ? Format("%07lld", serial) : "Undefined";
    return n;
}

int ReadBackplaneStats(COxComm& link, ProcStatsTexts& out) {
    if (!link.Connected) return -1;
    link.Subslot = 2;
    link.SendRead(1, 9);
    if (link.ReadResponse() == 0) {
        link.Connected = false;
        return -2;
    }
    std::vector<double> v(10, 0.0);
    int n = 0;
    if (link.CheckReadResponse() == kLinkOk) n = link.ParseValues(v);
    std::string* fields[] = {&out.timeUsed,    &out.totalTransactions, &out.totalErrors,
                             &out.noResponses, &out.timeouts,          &out.sentinelErrors,
                             &out.formatErrors, &out.checkwordErrors};
    if (n == 0) {
        for (std::string* f : fields) f->clear();
        return 0;
    }
    out.timeUsed = Format("%lld", Whole(v[1] / 2.56));
    const long long millions = Whole(v[2]);
    const long long rest = Whole(v[3]);
    const long long total = millions * 1000000 + rest;
    out.totalTransactions =
        total >= 1000000 ? Format("%lld,%06lld", millions, rest) : Format("%lld", total);
    out.totalErrors = Format("%lld", Whole(v[4]));
    out.noResponses = Format("%lld", Whole(v[5]));
    out.timeouts = Format("%lld", Whole(v[6]));
    out.sentinelErrors = Format("%lld", Whole(v[7]));
    out.formatErrors = Format("%lld", Whole(v[8]));
    out.checkwordErrors = Format("%lld", Whole(v[9]));
    return n;
}

}  // namespace ostra
