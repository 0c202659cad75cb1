#include "ShellShortcut.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwctype>

namespace nimbrel {

namespace {

// COM for this thread while a shortcut is read. A thread that already has it in another apartment model may use
// it as it is.
class ComUse {
public:
    ComUse() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComUse()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// An interface pointer released when it goes.
template <typename Interface>
class Held {
public:
    Held() = default;
    ~Held()
    {
        if (pointer_) pointer_->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    Interface* operator->() const { return pointer_; }
    void** out() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

} // namespace

bool ShellShortcut::named(const std::wstring& path)
{
    if (path.size() < 4) return false;
    std::wstring ending = path.substr(path.size() - 4);
    for (wchar_t& c : ending) c = static_cast<wchar_t>(std::towlower(c));
    return ending == L".lnk";
}

std::optional<ShellShortcut> ShellShortcut::read(const std::wstring& path)
{
    const ComUse com;
    if (!com.usable()) return std::nullopt;
    Held<IShellLinkW> link;
    Held<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.out())) || FAILED(file->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    // Each text of a shortcut is held to MAX_PATH characters; arguments may be longer.
    wchar_t program[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    wchar_t arguments[INFOTIPSIZE] = {};
    if (link->GetPath(program, MAX_PATH, nullptr, 0) != S_OK || program[0] == L'\0') return std::nullopt;
    link->GetArguments(arguments, INFOTIPSIZE);
    link->GetWorkingDirectory(folder, MAX_PATH);
    return ShellShortcut{program, arguments, folder};
}

} // namespace nimbrel
