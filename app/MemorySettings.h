#pragma once
// A settings backend held in memory: the native tools and tests use it where the
// program uses the registry. Keys and value names compare without regard to case,
// as the registry does.
#include <map>
#include <memory>
#include <string>

#include "platform/SettingsBackend.h"

class TMemorySettings : public ISettingsBackend {
public:
    std::unique_ptr<ISettingsKey> OpenKey(THive hive, const std::string& path, bool writable) override;

    // Direct access for tools and tests (hive, key path, value name).
    void Set(THive hive, const std::string& path, const std::string& name, const std::string& value);
    const std::string* Get(THive hive, const std::string& path, const std::string& name) const;

private:
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using ValueMap = std::map<std::string, std::string, NoCase>;
    class Key;
    std::map<std::string, ValueMap, NoCase> hives_[2];
};
