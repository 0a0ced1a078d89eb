// The settings store on QSettings("Ostrevane", "Ostra_PLC").
#pragma once

#include <QSettings>

#include "platform/ISettings.h"

namespace ostra {

class QtSettings : public ISettings {
  public:
    QtSettings() : s_(QStringLiteral("Ostrevane"), QStringLiteral("Ostra_PLC")) {}
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override {
        s_.setValue(Key(section, key), QString::fromStdString(value));
    }
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback = {}) const override {
        return s_.value(Key(section, key), QString::fromStdString(fallback))
            .toString()
            .toStdString();
    }
    void SetInt(const std::string& section, const std::string& key, int value) override {
        s_.setValue(Key(section, key), value);
    }
    int GetInt(const std::string& section, const std::string& key, int fallback) const override {
        bool ok = false;
        const int v = s_.value(Key(section, key), fallback).toInt(&ok);
        return ok ? v : fallback;
    }

  private:
    static QString Key(const std::string& section, const std::string& key) {
        return QString::fromStdString(section.empty() ? key : section + "/" + key);
    }
    mutable QSettings s_;
};

}  // namespace ostra
