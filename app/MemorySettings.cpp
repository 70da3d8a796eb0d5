#include "app/MemorySettings.h"

#include <algorithm>
#include <cctype>

bool TMemorySettings::NoCase::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

class TMemorySettings::Key : public ISettingsKey {
public:
    explicit Key(ValueMap& values) : values_(values) {}
    bool ValueExists(const std::string& name) override { return values_.count(name) != 0; }
    std::string ReadString(const std::string& name) override
    {
        auto it = values_.find(name);
        return it == values_.end() ? std::string() : it->second;
    }
    void WriteString(const std::string& name, const std::string& value) override { values_[name] = value; }

private:
    ValueMap& values_;
};

std::unique_ptr<ISettingsKey> TMemorySettings::OpenKey(THive hive, const std::string& path, bool writable)
{
    auto& keys = hives_[hive == THive::hkLocalMachine ? 0 : 1];
    auto it = keys.find(path);
    if (it == keys.end()) {
        if (!writable)
            return nullptr;
        it = keys.emplace(path, ValueMap{}).first;
    }
    return std::make_unique<Key>(it->second);
}

void TMemorySettings::Set(THive hive, const std::string& path, const std::string& name, const std::string& value)
{
    hives_[hive == THive::hkLocalMachine ? 0 : 1][path][name] = value;
}

const std::string* TMemorySettings::Get(THive hive, const std::string& path, const std::string& name) const
{
    const auto& keys = hives_[hive == THive::hkLocalMachine ? 0 : 1];
    auto k = keys.find(path);
    if (k == keys.end())
        return nullptr;
    auto v = k->second.find(name);
    return v == k->second.end() ? nullptr : &v->second;
}
