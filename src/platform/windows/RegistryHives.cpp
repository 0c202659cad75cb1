#include "RegistryHives.h"

#include "WideText.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace nimbrel {

namespace {

constexpr const wchar_t* kRunKey = L"software\\microsoft\\windows\\currentversion\\run";

// An open key, closed when it goes.
class Key {
public:
    Key() = default;
    ~Key()
    {
        if (handle_) RegCloseKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    PHKEY out() { return &handle_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// A key path as the calls want it: backslashes only, none at either end.
std::wstring keyPath(const std::string& subKey)
{
    std::wstring path = wide::fromUtf8(subKey);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const std::size_t begin = path.find_first_not_of(L'\\');
    if (begin == std::wstring::npos) return {};
    return path.substr(begin, path.find_last_not_of(L'\\') - begin + 1);
}

LSTATUS openKey(HKEY hive, const std::string& subKey, REGSAM access, Key& key)
{
    return RegOpenKeyExW(hive, keyPath(subKey).c_str(), 0, access, key.out());
}

std::optional<std::string> readValue(HKEY hive, const std::string& subKey, const std::wstring& name)
{
    Key key;
    if (openKey(hive, subKey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    // The text up to its first NUL; a value stored without one ends where its bytes do.
    const std::wstring_view text(data.data(), std::min<std::size_t>(size / sizeof(wchar_t), data.size()));
    return wide::toUtf8(text.substr(0, text.find(L'\0')));
}

LSTATUS writeValue(HKEY hive, const std::string& subKey, const std::wstring& name, const std::wstring& data)
{
    Key key;
    const LSTATUS opened = openKey(hive, subKey, KEY_SET_VALUE, key);
    if (opened != ERROR_SUCCESS) return opened;
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool removeValue(HKEY hive, const std::string& subKey, const std::wstring& name)
{
    Key key;
    return openKey(hive, subKey, KEY_SET_VALUE, key) == ERROR_SUCCESS &&
           RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS;
}

bool createIn(HKEY hive, const std::string& subKey)
{
    Key key;
    return RegCreateKeyExW(hive, keyPath(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE,
                           nullptr, key.out(), nullptr) == ERROR_SUCCESS;
}

bool existsIn(HKEY hive, const std::string& subKey)
{
    Key key;
    return openKey(hive, subKey, KEY_READ, key) == ERROR_SUCCESS;
}

} // namespace

RegistryHives::RegistryHives(HKEY machine, HKEY user) : machine_(machine), user_(user) {}

HKEY RegistryHives::firstHive(const std::string& subKey) const
{
    std::wstring path = keyPath(subKey);
    std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return std::towlower(c); });
    return path == kRunKey ? user_ : machine_;
}

bool RegistryHives::keyExists(const std::string& subKey)
{
    return existsIn(firstHive(subKey), subKey) || existsIn(user_, subKey);
}

bool RegistryHives::createKey(const std::string& subKey)
{
    return createIn(firstHive(subKey), subKey) || createIn(user_, subKey);
}

std::optional<std::string> RegistryHives::queryValue(const std::string& subKey, const std::string& name)
{
    const std::wstring valueName = wide::fromUtf8(name);
    if (std::optional<std::string> own = readValue(user_, subKey, valueName)) return own;
    if (firstHive(subKey) == user_) return std::nullopt;
    return readValue(machine_, subKey, valueName);
}

bool RegistryHives::setValue(const std::string& subKey, const std::string& name, const std::string& data)
{
    const std::wstring valueName = wide::fromUtf8(name);
    const std::wstring text = wide::fromUtf8(data);
    const HKEY first = firstHive(subKey);
    const LSTATUS written = writeValue(first, subKey, valueName, text);
    if (written == ERROR_SUCCESS) {
        // The user's older copy would hide this value from every read.
        if (first != user_) removeValue(user_, subKey, valueName);
        return true;
    }
    if (first == user_) return false;
    // The machine's key is there but not ours to write: the same key under the user's hive takes the value.
    if (written == ERROR_ACCESS_DENIED && existsIn(machine_, subKey) && !createIn(user_, subKey)) return false;
    return writeValue(user_, subKey, valueName, text) == ERROR_SUCCESS;
}

bool RegistryHives::deleteValue(const std::string& subKey, const std::string& name)
{
    const std::wstring valueName = wide::fromUtf8(name);
    const bool fromUser = removeValue(user_, subKey, valueName);
    const bool fromMachine = firstHive(subKey) != user_ && removeValue(machine_, subKey, valueName);
    return fromUser || fromMachine;
}

} // namespace nimbrel
