// JSON text output.
#include "cli/Json.h"

#include <cmath>
#include <cstdio>

namespace ostra::cli {

std::string JsonWriter::Quote(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", u);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void JsonWriter::Prefix(const char* key) {
    if (!first_.empty()) {
        if (!first_.back()) out_ += ",";
        first_.back() = false;
        out_ += "\n" + std::string(first_.size() * 2, ' ');
    }
    if (key) out_ += Quote(key) + ": ";
}

void JsonWriter::BeginObject(const char* key) {
    Prefix(key);
    out_ += "{";
    first_.push_back(true);
}

void JsonWriter::EndObject() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) out_ += "\n" + std::string(first_.size() * 2, ' ');
    out_ += "}";
    if (first_.empty()) out_ += "\n";
}

void JsonWriter::BeginArray(const char* key) {
    Prefix(key);
    out_ += "[";
    first_.push_back(true);
}

void JsonWriter::EndArray() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) out_ += "\n" + std::string(first_.size() * 2, ' ');
    out_ += "]";
}

void JsonWriter::Value(const char* key, const std::string& v) {
    Prefix(key);
    out_ += Quote(v);
}

void JsonWriter::Value(const char* key, int64_t v) {
    Prefix(key);
    out_ += std::to_string(v);
}

void JsonWriter::Value(const char* key, bool v) {
    Prefix(key);
    out_ += v ? "true" : "false";
}

void JsonWriter::Value(const char* key, double v) {
    Prefix(key);
    if (std::isnan(v)) {
        out_ += "\"nan\"";
    } else if (std::isinf(v)) {
        out_ += v > 0 ? "\"inf\"" : "\"-inf\"";
    } else {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        out_ += buf;
    }
}

void JsonWriter::IntArray(const char* key, const std::vector<int64_t>& values) {
    Prefix(key);
    out_ += "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out_ += ", ";
        out_ += std::to_string(values[i]);
    }
    out_ += "]";
}

}  // namespace ostra::cli
