// The per-user settings store (QSettings "Ostrevane"/"Ostra_PLC" in the GUI).
#pragma once

#include <map>
#include <string>

namespace ostra {

class ISettings {
  public:
    virtual ~ISettings() = default;
    virtual void SetString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& fallback = {}) const = 0;
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
    virtual int GetInt(const std::string& section, const std::string& key, int fallback) const = 0;
};

// Settings kept in memory only: the command line and the tests use it.
class MemorySettings : public ISettings {
  public:
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override {
        values_[section + "/" + key] = value;
    }
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback = {}) const override {
        const auto it = values_.find(section + "/" + key);
        return it == values_.end() ? fallback : it->second;
    }
    void SetInt(const std::string& section, const std::string& key, int value) override {
        SetString(section, key, std::to_string(value));
    }
    int GetInt(const std::string& section, const std::string& key, int fallback) const override {
        const auto it = values_.find(section + "/" + key);
        if (it == values_.end()) return fallback;
        try {
            return std::stoi(it->second);
        } catch (...) {
            return fallback;
        }
    }

  private:
    std::map<std::string, std::string> values_;
};

}  // namespace ostra
