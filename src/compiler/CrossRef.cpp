#include "compiler/CrossRef.h"

#include <unordered_map>

#include "model/WireTypes.h"

namespace ostra {
CrossReference BuildCrossReference(const DownloadTables& t) {
    using Uses = std::unordered_map<int32_t, std::vector<PinUse>>;
    Uses constSources, constSinks, sigSources, sigSinks;
    for (const auto& rec : t.fbs) {
        if (rec->PinType[0] == kPinConst) constSources[rec->PinRef[0]].push_back({rec.get(), 0});
        if (IsSignalPin(rec->PinType[0])) sigSources[rec->PinRef[0]].push_back({rec.get(), 0});
        for (int k = 1; k < 16; ++k) {
            if (rec->PinType[k] == kPinConst) constSinks[rec->PinRef[k]].push_back({rec.get(), k});
            if (IsSignalPin(rec->PinType[k])) sigSinks[rec->PinRef[k]].push_back({rec.get(), k});
        }
    }
    auto take = [](const Uses& map, int32_t n) {
        const auto it = map.find(n);
        return it == map.end() ? std::vector<PinUse>{} : it->second;
    };
    CrossReference x;
    x.consts.reserve(t.consts.size());
    for (const auto& c : t.consts) {
        CrossRefEntry e;
        e.constant = true;
        e.number = c->Number;
        e.value = c->Value;
        e.sources = take(constSources, c->Number);
        e.sinks = take(constSinks, c->Number);
        x.consts.push_back(std::move(e));
    }
    x.signals.reserve(t.sigs.size());
    for (const auto& s : t.sigs) {
        CrossRefEntry e;
        e.number = s->Number;
        e.name = s->Name;
        e.sources = take(sigSources, s->Number);
        e.sinks = take(sigSinks, s->Number);
        x.signals.push_back(std::move(e));
    }
    return x;
}

}  // namespace ostra
