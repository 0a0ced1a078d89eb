// The binary archive shared by the sheet file and the compiled image: counted
// lists of class-tagged records. The first record of a class carries the tag
// 0xFFFF, the schema and the class name; later ones 0x8000 + the class index.
// One index counter runs through the whole file: every new class and every
// record takes the next index. All numbers are little-endian.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/CObject.h"

namespace ostra {

// Thrown inside a load when the data is damaged; loaders catch it and report
// the reason. It never leaves the core's public load operations.
class CArchiveException : public std::runtime_error {
  public:
    CArchiveException(const std::string& what, std::size_t offset)
        : std::runtime_error(what), offset_(offset) {}
    std::size_t Offset() const { return offset_; }

  private:
    std::size_t offset_;
};

// The classes an archive may create when loading, by name.
class CClassRegistry {
  public:
    using Factory = std::function<std::unique_ptr<CObject>()>;
    void Register(const std::string& name, int schema, Factory factory);
    const Factory* Find(const std::string& name, int* schema) const;

  private:
    struct Entry {
        int schema;
        Factory factory;
    };
    std::map<std::string, Entry> classes_;
};

class CArchive {
  public:
    // A storing archive that appends to an internal buffer.
    CArchive();
    // A loading archive over `data`, creating objects from `registry`.
    CArchive(const std::string& data, const CClassRegistry& registry);
    // The archive reads `data` where it lies: a temporary would be gone.
    CArchive(std::string&&, const CClassRegistry&) = delete;

    bool IsStoring() const { return storing_; }
    bool IsLoading() const { return !storing_; }
    const std::string& Buffer() const { return out_; }
    std::size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= in_->size(); }

    // Raw values.
    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteF64(double v);
    void WriteBytes(const std::string& bytes);
    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    double ReadF64();

    // List counts: 16 bits, or 0xFFFF followed by 32 bits from 65535 on.
    void WriteCount(uint32_t n);
    uint32_t ReadCount();

    // A record with its class tag.
    void WriteObject(CObject& obj);
    std::unique_ptr<CObject> ReadObject();

    // Text lines of raw 8-bit characters ending in CR LF. WriteLine writes at
    // most `limit` characters. ReadLine reads until a CR or LF has been read or
    // `limit` bytes have been read, then drops one more byte (the LF of the
    // pair); the line is what came before the last byte read. A line of `limit`
    // or more characters thus loses its last character and the byte after it.
    void WriteLine(const std::string& bytes, std::size_t limit);
    std::string ReadLine(std::size_t limit);

    // Text fields: UTF-8 in memory, Windows-1252 in the file.
    void WriteTextLine(const std::string& utf8, std::size_t limit);
    std::string ReadTextLine(std::size_t limit);

    // A string of the compiled image: a length byte (0 to 127) and the low
    // 8 bits of each character. Longer strings are cut to 127 characters.
    void WriteString8(const std::string& utf8);
    std::string ReadString8();

    [[noreturn]] void Fail(const std::string& reason) const;

  private:
    void Need(std::size_t n);

    bool storing_;
    std::string out_;
    const std::string* in_ = nullptr;
    std::size_t pos_ = 0;
    const CClassRegistry* registry_ = nullptr;

    // Storing: class name -> index. Loading: what each index stands for.
    uint32_t nextIndex_ = 1;
    std::map<std::string, uint32_t> storedClasses_;
    struct LoadedEntry {
        bool isClass = false;
        std::string className;  // for a class
        const CClassRegistry::Factory* factory = nullptr;
        const CObject* object = nullptr;  // for a record
    };
    std::vector<LoadedEntry> loaded_;  // index 0 unused
};

}  // namespace ostra
