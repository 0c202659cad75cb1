#include "ui/win32/DpiCalls.h"

#include <string>

namespace nimbrel::win32::dpi {

namespace {

// The function of that name in the module, or nullptr where this Windows has none.
template <typename Function> Function found(HMODULE module, const char* name)
{
    const FARPROC address = module != nullptr ? GetProcAddress(module, name) : nullptr;
    // A function's address is converted through the generic function type, as GetProcAddress's callers must.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

template <typename Function> Function user32(const char* name)
{
    return found<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// Windows 8.1's shcore.dll, by its whole path: a bare name would take a file of that name planted beside a
// portable copy. Nothing on Windows 7 and 8.
template <typename Function> Function shcore(const char* name)
{
    static const HMODULE module = [] {
        wchar_t system[MAX_PATH] = L"";
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return HMODULE{};
        return LoadLibraryW((std::wstring(system, length) + L"\\shcore.dll").c_str());
    }();
    return found<Function>(module, name);
}

// The system's dots an inch, as programs that are not per-monitor aware see every screen.
UINT systemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

void becomeAware()
{
    // Only the newest call the system has is made: once the manifest or a call has set the awareness, every
    // later call fails, and an older one must not get the chance to set less.
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const auto set = user32<SetContext>("SetProcessDpiAwarenessContext")) {
        // Version 2 came with Windows 10 1703; 1607 knows only the first.
        if (!set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) && GetLastError() != ERROR_ACCESS_DENIED)
            set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
        return;
    }
    // Windows 8.1: shcore's per-monitor awareness; the values are those of PROCESS_DPI_AWARENESS.
    using SetAwareness = HRESULT(WINAPI*)(int);
    if (const auto set = shcore<SetAwareness>("SetProcessDpiAwareness")) {
        constexpr int perMonitor = 2;
        set(perMonitor);
        return;
    }
    using SetAware = BOOL(WINAPI*)();
    if (const auto set = user32<SetAware>("SetProcessDPIAware")) set();
}

UINT forWindow(HWND window)
{
    using GetForWindow = UINT(WINAPI*)(HWND);
    static const auto get = user32<GetForWindow>("GetDpiForWindow");
    if (get != nullptr) {
        if (const UINT dpi = get(window)) return dpi;
    }
    // Windows 8.1: the effective dots an inch of the window's screen (MDT_EFFECTIVE_DPI is 0).
    using GetForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getForMonitor = shcore<GetForMonitor>("GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (getForMonitor != nullptr &&
        SUCCEEDED(getForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && x != 0) {
        return x;
    }
    return systemDpi();
}

int systemMetric(int index, UINT dpi)
{
    using GetForDpi = int(WINAPI*)(int, UINT);
    static const auto get = user32<GetForDpi>("GetSystemMetricsForDpi");
    if (get != nullptr) return get(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi)
{
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = user32<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (adjust != nullptr && adjust(&rect, style, menu ? TRUE : FALSE, exStyle, dpi)) return;
    // Without it the frame is the system's, at its own setting: the same on every screen these systems drive.
    AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
}

} // namespace nimbrel::win32::dpi
