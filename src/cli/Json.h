// A small JSON writer with stable layout: one member per line, two-space
// indentation, members in the order written. Used for diffable dumps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostra::cli {

class JsonWriter {
  public:
    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key = nullptr);
    void EndArray();
    void Value(const char* key, const std::string& v);
    void Value(const char* key, const char* v) { Value(key, std::string(v)); }
    void Value(const char* key, int64_t v);
    void Value(const char* key, int32_t v) { Value(key, static_cast<int64_t>(v)); }
    void Value(const char* key, uint32_t v) { Value(key, static_cast<int64_t>(v)); }
    void Value(const char* key, bool v);
    void Value(const char* key, double v);
    // [a, b, ...] of integers on one line.
    void IntArray(const char* key, const std::vector<int64_t>& values);
    const std::string& Text() const { return out_; }

    static std::string Quote(const std::string& utf8);

  private:
    void Prefix(const char* key);
    std::string out_;
    std::vector<bool> first_;  // per open container: no member written yet
};

}  // namespace ostra::cli
