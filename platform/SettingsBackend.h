#pragma once
// The settings store of the system (the registry on Windows).
#include <memory>
#include <string>

enum class THive { hkLocalMachine, hkCurrentUser };

// One open key. Every operation may throw (any std::exception) for a registry error.
class ISettingsKey {
public:
    virtual ~ISettingsKey() = default;
    virtual bool ValueExists(const std::string& name) = 0;
    // The value as text (string values are stored as REG_SZ).
    virtual std::string ReadString(const std::string& name) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
};

class ISettingsBackend {
public:
    virtual ~ISettingsBackend() = default;
    // Opens path under hive. Read-only opens never create the key and return nullptr
    // when it is missing; writable opens create it. Failures return nullptr or throw.
    virtual std::unique_ptr<ISettingsKey> OpenKey(THive hive, const std::string& path, bool writable) = 0;
};
