// The class-tagged binary archive of sheets and compiled images.
#include "model/CArchive.h"

#include <cstring>

#include "platform/TextCodec.h"

namespace ostra {
namespace {

constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint16_t kNullTag = 0;
constexpr uint16_t kSchema = 1;

}  // namespace

void CClassRegistry::Register(const std::string& name, int schema, Factory factory) {
    classes_[name] = Entry{schema, std::move(factory)};
}

const CClassRegistry::Factory* CClassRegistry::Find(const std::string& name, int* schema) const {
    const auto it = classes_.find(name);
    if (it == classes_.end()) return nullptr;
    if (schema) *schema = it->second.schema;
    return &it->second.factory;
}

CArchive::CArchive() : storing_(true), in_(&out_) {}

CArchive::CArchive(const std::string& data, const CClassRegistry& registry)
    : storing_(false), in_(&data), registry_(&registry) {
    loaded_.emplace_back();  // index 0 is the null object
}

void CArchive::Fail(const std::string& reason) const {
    throw CArchiveException(reason, pos_);
}

void CArchive::Need(std::size_t n) {
    if (in_->size() - pos_ < n || pos_ > in_->size()) Fail("the file ends early");
}

void CArchive::WriteU8(uint8_t v) {
    out_ += static_cast<char>(v);
}
void CArchive::WriteU16(uint16_t v) {
    out_ += static_cast<char>(v & 0xFF);
    out_ += static_cast<char>(v >> 8);
}
void CArchive::WriteU32(uint32_t v) {
    WriteU16(static_cast<uint16_t>(v & 0xFFFF));
    WriteU16(static_cast<uint16_t>(v >> 16));
}
void CArchive::WriteF64(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    WriteU32(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
    WriteU32(static_cast<uint32_t>(bits >> 32));
}
void CArchive::WriteBytes(const std::string& bytes) {
    out_ += bytes;
}

uint8_t CArchive::ReadU8() {
    Need(1);
    return static_cast<uint8_t>((*in_)[pos_++]);
}
uint16_t CArchive::ReadU16() {
    Need(2);
    const auto lo = static_cast<uint8_t>((*in_)[pos_]);
    const auto hi = static_cast<uint8_t>((*in_)[pos_ + 1]);
    pos_ += 2;
    return static_cast<uint16_t>(lo | (hi << 8));
}
uint32_t CArchive::ReadU32() {
    const uint32_t lo = ReadU16();
    const uint32_t hi = ReadU16();
    return lo | (hi << 16);
}
double CArchive::ReadF64() {
    const uint64_t lo = ReadU32();
    const uint64_t hi = ReadU32();
    const uint64_t bits = lo | (hi << 32);
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void CArchive::WriteCount(uint32_t n) {
    if (n < 0xFFFF) {
        WriteU16(static_cast<uint16_t>(n));
    } else {
        WriteU16(0xFFFF);
        WriteU32(n);
    }
}

uint32_t CArchive::ReadCount() {
    const uint16_t n = ReadU16();
    return n != 0xFFFF ? n : ReadU32();
}

void CArchive::WriteObject(CObject& obj) {
    const std::string name = obj.ClassName();
    const auto it = storedClasses_.find(name);
    if (it == storedClasses_.end()) {
        WriteU16(kNewClassTag);
        WriteU16(kSchema);
        WriteU16(static_cast<uint16_t>(name.size()));
        WriteBytes(name);
        storedClasses_[name] = nextIndex_++;
    } else if (it->second < kBigObjectTag) {
        WriteU16(static_cast<uint16_t>(kClassTag + it->second));
    } else {
        WriteU16(kBigObjectTag);
        WriteU32(kBigClassTag + it->second);
    }
    obj.Serialize(*this);
    ++nextIndex_;
}

std::unique_ptr<CObject> CArchive::ReadObject() {
    const std::size_t tagPos = pos_;
    const uint16_t tag = ReadU16();
    uint32_t classIndex = 0;
    if (tag == kNewClassTag) {
        const uint16_t schema = ReadU16();
        const uint16_t len = ReadU16();
        Need(len);
        const std::string name = in_->substr(pos_, len);
        pos_ += len;
        int wanted = 0;
        const CClassRegistry::Factory* factory = registry_->Find(name, &wanted);
        if (!factory) {
            pos_ = tagPos;
            Fail("unknown class \"" + Cp1252ToUtf8(name) + "\"");
        }
        if (schema != wanted) {
            pos_ = tagPos;
            Fail("class \"" + name + "\" has schema " + std::to_string(schema) + ", expected " +
                 std::to_string(wanted));
        }
        LoadedEntry e;
        e.isClass = true;
        e.className = name;
        e.factory = factory;
        loaded_.push_back(e);
        classIndex = static_cast<uint32_t>(loaded_.size() - 1);
    } else if (tag == kNullTag) {
        pos_ = tagPos;
        Fail("an empty object stands in a list");
    } else {
        uint32_t index = 0;
        bool isClass = false;
        if (tag == kBigObjectTag) {
            const uint32_t big = ReadU32();
            isClass = (big & kBigClassTag) != 0;
            index = big & ~kBigClassTag;
        } else {
            isClass = (tag & kClassTag) != 0;
            index = tag & ~kClassTag;
        }
        if (index == 0 || index >= loaded_.size() || loaded_[index].isClass != isClass) {
            pos_ = tagPos;
            Fail(std::string(isClass ? "class" : "object") + " index " + std::to_string(index) +
                 " names nothing stored before it");
        }
        if (!isClass) {
            // A reference to an earlier record: the lists own their objects,
            // so the reader gets a copy of its own.
            return loaded_[index].object->Clone();
        }
        classIndex = index;
    }
    std::unique_ptr<CObject> obj = (*loaded_[classIndex].factory)();
    LoadedEntry rec;
    rec.object = obj.get();
    loaded_.push_back(rec);
    obj->Serialize(*this);
    return obj;
}

void CArchive::WriteLine(const std::string& bytes, std::size_t limit) {
    out_.append(bytes, 0, std::min(limit, bytes.size()));
    out_ += "\r\n";
}

std::string CArchive::ReadLine(std::size_t limit) {
    std::string line;
    std::size_t n = 0;
    char c = 0;
    while (n < limit) {
        Need(1);
        c = (*in_)[pos_++];
        ++n;
        line += c;
        if (c == '\r' || c == '\n') break;
    }
    Need(1);
    ++pos_;  // the LF of the CR LF pair, or whatever stands there
    if (!line.empty()) line.pop_back();
    return line;
}

void CArchive::WriteTextLine(const std::string& utf8, std::size_t limit) {
    WriteLine(Utf8ToCp1252(utf8), limit);
}

std::string CArchive::ReadTextLine(std::size_t limit) {
    return Cp1252ToUtf8(ReadLine(limit));
}

void CArchive::WriteString8(const std::string& utf8) {
    std::string bytes = Utf8ToLow8(utf8);
    if (bytes.size() > 127) bytes.resize(127);
    WriteU8(static_cast<uint8_t>(bytes.size()));
    WriteBytes(bytes);
}

std::string CArchive::ReadString8() {
    const uint8_t len = ReadU8();
    if (len > 127) {
        --pos_;
        Fail("a string length of " + std::to_string(len) + " is beyond 127");
    }
    Need(len);
    const std::string bytes = in_->substr(pos_, len);
    pos_ += len;
    return Low8ToUtf8(bytes);
}

}  // namespace ostra
