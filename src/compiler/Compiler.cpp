// Compile pipeline: numbering, records, bus expansion, scheduling, reports.
#include "compiler/Compiler.h"

#include <algorithm>
#include <cmath>
#include <list>

#include "compiler/Listings.h"
#include "model/COxFunc.h"
#include "model/WireTypes.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "platform/Scan.h"
#include "project/COstraProject.h"

namespace ostra {
namespace {

std::array<int32_t, 4> AddressOf(const COxFunc& f, int firstSlot) {
    return {f.pins[firstSlot].value, f.pins[firstSlot + 1].value, f.pins[firstSlot + 2].value,
            f.pins[firstSlot + 3].value};
}

void SetInput(CdldFB& rec, int slot, int32_t ref) {
    if (ref >= kConstRef) {
        rec.PinType[slot] = 4;
        rec.PinRef[slot] = ref - kConstRef;
    } else {
        rec.PinType[slot] = 3;
        rec.PinRef[slot] = ref;
    }
}

}  // namespace

std::string BusName(const char* prefix, const std::array<int32_t, 4>& a) {
    std::string name = std::string(prefix) + "X" + std::to_string(a[0]) + "S" +
                       std::to_string(a[1]) + "U" + std::to_string(a[2]) + "R" +
                       std::to_string(a[3]);
    if (name.size() > 31) name.resize(31);
    return name;
}

CCompiler::CCompiler(COstraProject& project, DownloadTables* into)
    : p_(project), t_(into ? *into : project.Tables) {}

void CCompiler::AddSignal(std::unique_ptr<CdldSig> sig) {
    CdldSig* s = sig.get();
    sigByName_.emplace(s->Name, s);
    sigsByNumber_[s->Number].push_back(s);
    t_.sigs.push_back(std::move(sig));
}

void CCompiler::Renumber(const std::string& name, int32_t number) {
    for (auto& s : t_.sigs) {
        if (s->Name != name || s->Number == number) continue;
        auto& old = sigsByNumber_[s->Number];
        old.erase(std::find(old.begin(), old.end(), s.get()));
        s->Number = number;
        // Keep each number's records in table order.
        auto& now = sigsByNumber_[number];
        now.clear();
        for (auto& r : t_.sigs)
            if (r->Number == number) now.push_back(r.get());
    }
}

void CCompiler::MarkSourced(int32_t number) {
    const auto it = sigsByNumber_.find(number);
    if (it == sigsByNumber_.end()) return;
    for (CdldSig* s : it->second) s->Sourced = 1;
}

int32_t CCompiler::ResolveRef(const std::string& text, bool create) {
    if (text.empty()) return -1;
    double value = 0;
    if (ParseWholeDouble(text, value)) {
        if (!std::isnan(value)) {
            const auto it = constByValue_.find(value);
            if (it != constByValue_.end()) return kConstRef + it->second;
        }
        if (!create) return -1;
        auto c = std::make_unique<CdldConst>(value);
        c->Number = constCounter_++;
        if (!std::isnan(value)) constByValue_.emplace(value, c->Number);
        const int32_t ref = kConstRef + c->Number;
        t_.consts.push_back(std::move(c));
        return ref;
    }
    const auto it = sigByName_.find(text);
    if (it != sigByName_.end()) return it->second->Number;
    // Signal numbers must stay below the constants' range.
    if (!create || signalCounter_ >= kConstRef) return -1;
    auto s = std::make_unique<CdldSig>(text);
    s->Number = signalCounter_++;
    const int32_t number = s->Number;
    AddSignal(std::move(s));
    return number;
}

void CCompiler::FillPins(CdldFB& rec, const COxFunc& block) {
    for (int k = 0; k <= block.LastPinSlot(); ++k) {
        const PinSlot& pin = block.pins[k];
        if (pin.type == 0) continue;
        if (pin.type == 5) {
            rec.PinRef[k] = pin.value;
            continue;
        }
        const int32_t r = ResolveRef(pin.signal, true);
        if (r >= kConstRef) {
            if (k == 0) continue;  // a number on an output stays unconnected
            rec.PinType[k] = 4;
            rec.PinRef[k] = r - kConstRef;
        } else {
            rec.PinRef[k] = r;
            if (k == 0) MarkSourced(r);
        }
    }
}

CdldFB* CCompiler::FindBus(int32_t typeNum, const std::array<int32_t, 4>& address) {
    for (auto& rec : t_.fbs)
        if (rec->TypeNum == typeNum && rec->Address == address) return rec.get();
    return nullptr;
}

void CCompiler::ExpandBusOut(const COxFunc& term) {
    const std::array<int32_t, 4> address = AddressOf(term, 2);
    const int32_t mask = term.pins[6].value;
    const std::string& input = term.pins[1].signal;

    CdldFB* orBlock = nullptr;
    if (!FindBus(kTypeBusOut, address)) {
        auto bus = std::make_unique<CdldFB>(term);
        bus->TypeName = "BUSOUT";
        bus->TypeNum = kTypeBusOut;
        FillPins(*bus, term);
        for (int i = 0; i < 4; ++i) bus->Address[i] = bus->PinRef[2 + i];
        bus->Ident = BusName("__BOUT", address);
        CdldFB* busPtr = bus.get();
        t_.fbs.push_back(std::move(bus));

        auto bitor_ = std::make_unique<CdldFB>();
        bitor_->TypeName = "BITOR";
        bitor_->TypeNum = kTypeBitOr;
        orBlock = bitor_.get();
        t_.fbs.push_back(std::move(bitor_));
        orBlock->Ident = BusName("__BOR", address);
        const int32_t s = ResolveRef(orBlock->Ident, true);
        orBlock->PinType[0] = 3;
        orBlock->PinRef[0] = s;
        MarkSourced(s);
        busPtr->PinType[1] = 3;
        busPtr->PinRef[1] = s;
    } else {
        const int32_t s = ResolveRef(BusName("__BOR", address), false);
        if (s == -1) return;
        for (auto& rec : t_.fbs) {
            if (rec->PinRef[0] == s) {
                orBlock = rec.get();
                break;
            }
        }
    }

    int32_t v = -1;
    if (mask == 0) {
        v = ResolveRef(input, false);
    } else {
        auto m = std::make_unique<CdldFB>();
        m->TypeName = "MASKOUT";
        m->TypeNum = kTypeMaskOut;
        CdldFB* mp = m.get();
        t_.fbs.push_back(std::move(m));
        SetInput(*mp, 1, ResolveRef(input, true));
        mp->PinType[2] = 5;
        mp->PinRef[2] = mask;
        mp->Ident = term.ident;
        v = ResolveRef(term.ident, true);
        mp->PinType[0] = 3;
        mp->PinRef[0] = v;
        MarkSourced(v);
    }
    if (!orBlock) return;
    for (int k = 1; k < 16; ++k) {
        if (orBlock->PinType[k] == 0) {
            SetInput(*orBlock, k, v);
            return;
        }
    }
}

void CCompiler::ExpandBusIn(const COxFunc& term) {
    const std::array<int32_t, 4> address = AddressOf(term, 1);
    const int32_t mask = term.pins[5].value;
    const std::string& output = term.pins[0].signal;

    CdldFB* bus = FindBus(kTypeBusIn, address);
    if (!bus) {
        auto b = std::make_unique<CdldFB>(term);
        b->TypeName = "BUSIN";
        b->TypeNum = kTypeBusIn;
        FillPins(*b, term);
        for (int i = 0; i < 4; ++i) b->Address[i] = b->PinRef[1 + i];
        bus = b.get();
        t_.fbs.push_back(std::move(b));
        if (mask == 0) MarkSourced(ResolveRef(output, true));
        bus->Ident = BusName("__BI", address);
        const int32_t b0 = ResolveRef(bus->Ident, true);
        bus->PinRef[0] = b0;
        MarkSourced(b0);
    }
    const int32_t busSig = ResolveRef(BusName("__BI", bus->Address), true);

    if (mask == 0) {
        const int32_t o = ResolveRef(output, false);
        if (o == -1) {
            // The terminal's name becomes a second name of the bus signal.
            ResolveRef(output, true);
            Renumber(output, busSig);
            MarkSourced(busSig);
        } else {
            auto d = std::make_unique<CdldFB>();
            d->TypeName = "DIRCON";
            d->TypeNum = kTypeDircon;
            d->Ident = term.ident;
            d->PinType[0] = term.pins[0].type;
            d->PinRef[0] = o;
            MarkSourced(o);
            d->PinType[1] = 3;
            d->PinRef[1] = busSig;
            t_.fbs.push_back(std::move(d));
        }
        return;
    }
    auto m = std::make_unique<CdldFB>();
    m->TypeName = "MASKIN";
    m->TypeNum = kTypeMaskIn;
    m->Ident = term.ident;
    m->PinType[0] = term.pins[0].type;
    const int32_t r = ResolveRef(output, true);
    m->PinRef[0] = r;
    MarkSourced(r);
    m->PinType[1] = 3;
    m->PinRef[1] = bus->PinRef[0];
    m->PinType[2] = 5;
    m->PinRef[2] = mask;
    t_.fbs.push_back(std::move(m));
}

int32_t CCompiler::ScheduleBlocks() {
    CProjectMenu& menu = p_.Menu;
    menu.SetChecked(CProjectMenu::kCompile, false);
    for (auto& s : t_.sigs) s->Sourced = 0;

    // Per number: its first signal record, and all of them.
    std::unordered_map<int32_t, CdldSig*> first;
    for (auto& s : t_.sigs) first.emplace(s->Number, s.get());
    auto markAll = [&](int32_t number) { MarkSourced(number); };

    // Placed records move to the end; walks stop at the first placed one.
    std::list<std::unique_ptr<CdldFB>> table;
    for (auto& rec : t_.fbs) table.push_back(std::move(rec));
    t_.fbs.clear();
    auto unplacedEnd = table.end();  // the first placed record
    auto place = [&](std::list<std::unique_ptr<CdldFB>>::iterator it) {
        (*it)->Resolved = 1;
        const bool firstPlaced = unplacedEnd == table.end();
        table.splice(table.end(), table, it);
        if (firstPlaced) unplacedEnd = it;
    };
    auto ready = [&](const CdldFB& rec) {
        for (int k = 1; k < 16; ++k) {
            if (!IsSignalPin(rec.PinType[k]) || rec.PinRef[k] < 0) continue;
            const auto it = first.find(rec.PinRef[k]);
            if (it == first.end() || !it->second->Sourced) return false;
        }
        return true;
    };

    std::size_t remaining = table.size();
    std::size_t prev = remaining;
    for (auto it = table.begin(); it != unplacedEnd && it != table.end();) {
        const auto next = std::next(it);
        if ((*it)->TypeNum == kTypeTermIn || (*it)->TypeNum == kTypeBusIn) {
            markAll((*it)->PinRef[0]);
            place(it);
            --remaining;
        }
        it = next;
    }

    while (remaining != 0) {
        if (remaining != prev) {
            prev = remaining;
            std::size_t count = 0;
            for (auto it = table.begin(); it != unplacedEnd && it != table.end();) {
                const auto next = std::next(it);
                if (ready(**it)) {
                    markAll((*it)->PinRef[0]);
                    place(it);
                } else {
                    ++count;
                }
                it = next;
            }
            remaining = count;
            continue;
        }
        // Nothing could be placed: break a loop at the lowest sheet, then the
        // smallest x + 2y; the first in table order wins a tie.
        std::size_t counted = 0;
        auto chosen = table.end();
        for (auto it = table.begin(); it != unplacedEnd; ++it) {
            ++counted;
            const CdldFB& r = **it;
            if (r.TypeNum == kTypeBusOut || r.TypeNum == kTypeTermOut || r.TypeNum == kTypeBitOr ||
                r.TypeNum == kTypeMaskOut)
                continue;
            if (chosen == table.end()) {
                chosen = it;
                continue;
            }
            const CdldFB& c = **chosen;
            const int64_t sheetR = r.Refnum / 100;
            const int64_t sheetC = c.Refnum / 100;
            const int64_t posR = int64_t{r.PosX} + 2 * int64_t{r.PosY};
            const int64_t posC = int64_t{c.PosX} + 2 * int64_t{c.PosY};
            if (sheetR < sheetC || (sheetR == sheetC && posR < posC)) chosen = it;
        }
        if (chosen != table.end()) {
            const auto f = first.find((*chosen)->PinRef[0]);
            if (f != first.end()) f->second->Sourced = 1;
            place(chosen);
            remaining = counted - 1;
        } else {
            remaining = counted;
        }
        if (remaining == prev) break;
    }

    int32_t unresolved = static_cast<int32_t>(remaining);
    if (unresolved == 0) {
        // PREVSCAN blocks run first, in the reverse of their order so far.
        for (auto it = table.begin(); it != table.end();) {
            const auto next = std::next(it);
            if ((*it)->TypeName == "PREVSCAN") table.splice(table.begin(), table, it);
            it = next;
        }
    }
    for (auto& rec : table) t_.fbs.push_back(std::move(rec));

    if (unresolved == 0) {
        menu.words[CProjectMenu::kCompile] = CProjectMenu::kChecked;
        p_.Msg().Show("Compile: all Function Blocks resolved", "Compile Result");
        p_.ProjCtrl.Compile = 1;
        return 0;
    }
    p_.Msg().Show("Compile: " + std::to_string(unresolved) + " Function Blocks unresolved",
                  "Compile Result", MsgIcon::Exclamation);
    p_.ProjCtrl.Compile = 0;
    return unresolved;
}

void CCompiler::BuildTables() {
    t_.Clear();
    signalCounter_ = constCounter_ = 0;
    constByValue_.clear();
    sigByName_.clear();
    sigsByNumber_.clear();
    for (auto& sheet : p_.Sheets) {
        for (auto it = sheet->blocks.rbegin(); it != sheet->blocks.rend(); ++it) {
            const COxFunc& block = **it;
            if (block.typeNumber == kTypeTermIn && block.pins[2].value != 0) {
                ExpandBusIn(block);
            } else if (block.typeNumber == kTypeTermOut && block.pins[3].value != 0) {
                ExpandBusOut(block);
            } else {
                t_.fbs.push_back(std::make_unique<CdldFB>(block));
                FillPins(*t_.fbs.back(), block);
            }
        }
    }
}

void CCompiler::CompileAll() {
    CProjectMenu& menu = p_.Menu;
    menu.SetChecked(CProjectMenu::kCompile, false);
    BuildTables();
    menu.words[CProjectMenu::kVerify] = 0;
    if (ScheduleBlocks() == 0) {
        menu.words[CProjectMenu::kCompile] = CProjectMenu::kChecked;
    } else {
        menu.words[CProjectMenu::kCompile] = 0;
        menu.words[CProjectMenu::kVerify] = CProjectMenu::kDisabled;
        menu.words[CProjectMenu::kMonitor] = CProjectMenu::kDisabled;
    }

    // The listings, the image and the control file are one result: they are
    // written together or not at all, so that an upload never sends an image
    // that the listings and the control file do not describe.
    WireListCounts counts;
    const std::filesystem::path dir = p_.CurrentDir;
    const std::string wires = CrLf(WireListText(t_, counts));
    if (counts.constErrors > 0)
        p_.Msg().Show(std::to_string(counts.constErrors) + " Errors in constants", "Wiring Errors");
    if (counts.unsourced > 0)
        p_.Msg().Show(std::to_string(counts.unsourced) + " Unsourced signals", "Wiring Errors");
    if (counts.multiSourced > 0)
        p_.Msg().Show(std::to_string(counts.multiSourced) + " Multi-sourced signals",
                      "Wiring Errors");
    if (counts.Sum() > 0) p_.ProjCtrl.Compile = -1;
    std::filesystem::path failed;
    std::string error;
    if (!WriteFilesAtomic({{dir / kWireListFile, wires},
                           {dir / kFBlockListFile, CrLf(FBlockListText(t_, p_.Library))},
                           {p_.ImagePath(), StoreImage(t_)},
                           {dir / kProjectControlFile, p_.ProjCtrl.Format()}},
                          &failed, &error)) {
        p_.Msg().Show(failed.filename().string() + " cannot be written: " + error +
                          "\nNothing of this compile was saved.",
                      kAppTitle, MsgIcon::Exclamation);
        // Not compiled: what the folder holds is the previous compile, whole.
        p_.ProjCtrl.Compile = 0;
        menu.words[CProjectMenu::kCompile] = 0;
    }
    p_.FBCount = static_cast<int32_t>(t_.fbs.size());
}

}  // namespace ostra
