// Compile listings. Items of the wire list are gathered into lines of about
// 64 characters; headers are written over a rule of dashes from column 8.
#include "compiler/Listings.h"

#include <charconv>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "compiler/CrossRef.h"
#include "project/CFuncLibrary.h"

namespace ostra {
namespace {

const std::string kRule(64, '-');

std::string HeaderLine(const std::string& header) {
    std::string line = kRule;
    // Over the rule from column 8; a longer header widens the line.
    line.replace(8, std::min(header.size(), line.size() - 8), header);
    return line + "\n";
}

std::string Pad3(int64_t v) {
    std::string s = std::to_string(v);
    return s.size() < 3 ? std::string(3 - s.size(), ' ') + s : s;
}

class ItemLine {
public:
    explicit ItemLine(std::string& out) : out_(out) {}
    void Add(const std::string& ident, int slot) {
        if (buf_.size() >= 64) Flush();
        buf_ += (buf_.empty() ? "  " : ", ") + ident + "." + std::to_string(slot);
        ++count_;
    }
    // Ends the last line; returns the number of items.
    int Finish() {
        if (!buf_.empty()) Flush();
        return count_;
    }

private:
    void Flush() {
        out_ += buf_ + "\n";
        buf_.clear();
    }
    std::string& out_;
    std::string buf_;
    int count_ = 0;
};


}  // namespace

std::string FormatF(double v) {
    if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    return std::string(buf, r.ptr);
}

std::string CrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string WireListText(const DownloadTables& t, WireListCounts& counts) {
    const CrossReference x = BuildCrossReference(t);
    auto items = [](std::string& out, const std::vector<PinUse>& uses) {
        ItemLine line(out);
        for (const PinUse& u : uses) line.Add(u.rec->Ident, u.slot);
        return line.Finish();
    };

    std::string out = "          WIRE LIST\n\n";
    for (const CrossRefEntry& c : x.consts) {
        out += HeaderLine(" REFNUM " + std::to_string(c.number) + "  Const  " + FormatF(c.value) +
                          " ");
        out += "Sources:\n";
        if (items(out, c.sources) == 0) {
            out += "  -none-\n";
        } else {
            out += "****ERROR: This constant should have no source\n";
            ++counts.constErrors;
        }
        out += "Sinks:\n";
        if (items(out, c.sinks) == 0) out += "  -none-\n";
    }
    for (const CrossRefEntry& s : x.signals) {
        out += "\n";
        out += HeaderLine(" REFNUM " + std::to_string(s.number) + "  " + s.name + " ");
        out += "Sources:\n";
        const int sources = items(out, s.sources);
        if (sources == 0) {
            out += "****ERROR: This signal has no source\n";
            ++counts.unsourced;
        } else if (sources > 1) {
            out += "****ERROR: This signal has more than one source\n";
            ++counts.multiSourced;
        }
        out += "Sinks:\n";
        if (items(out, s.sinks) == 0) out += "  -none-\n";
    }
    return out;
}

std::string FBlockListText(const DownloadTables& t, const CFuncLibrary& lib) {
    std::unordered_map<int32_t, const CdldSig*> firstSig;
    for (const auto& s : t.sigs) firstSig.emplace(s->Number, s.get());
    std::unordered_map<int32_t, const CdldConst*> firstConst;
    for (const auto& c : t.consts) firstConst.emplace(c->Number, c.get());

    std::string out = "          FUNCTION BLOCK LIST\n\n";
    int exec = 0;
    for (const auto& rec : t.fbs) {
        const COxFunc* def = lib.FindFunc(rec->TypeName);
        out += HeaderLine(" EXEC NUM " + std::to_string(exec++) + "  TYPE  " + rec->TypeName +
                          "  ID " + rec->Ident + " ");
        out += "Pin Name        Type    Signum  Name/Value\n\n";
        for (int k = 0; k < 16; ++k) {
            const int32_t type = rec->PinType[k];
            const int32_t ref = rec->PinRef[k];
            if (type < 1 || type > 5 || ref < 0) continue;
            std::string value;
            if (type <= 3) {
                const auto it = firstSig.find(ref);
                if (it == firstSig.end()) continue;
                value = it->second->Name;
            } else if (type == 4) {
                const auto it = firstConst.find(ref);
                if (it == firstConst.end()) continue;
                value = FormatF(it->second->Value);
            } else {
                value = std::to_string(ref);
            }
            static const char* const kLabels[] = {"", "dig NI  ", "dig INV ", "analog  ",
                                                  "const   ", "valbox  "};
            std::string left = Pad3(k);
            if (def) left += " " + def->pins[k].name;
            left.resize(std::min<std::size_t>(left.size(), 15));
            std::string right = kLabels[type] + Pad3(ref) + "     " + value;
            if (right.size() > 48) right.resize(48);
            out += left + std::string(16 - left.size(), ' ') + right + "\n";
        }
        out += "\n";
    }
    return out;
}

}  // namespace ostra
