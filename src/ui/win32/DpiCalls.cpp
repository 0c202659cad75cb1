#include "ui/win32/DpiCalls.h"

#include <string>

namespace nimbrel::win32::dpi {

namespace {

// The function of that name in user32.dll, or nullptr where this Windows has none.
template <typename Function> Function user32(const char* name)
{
    const HMODULE module = GetModuleHandleW(L"user32.dll");
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    // A function's address is converted through the generic function type, as GetProcAddress's callers must.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
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
    // By its whole path: a bare name would take a file of that name planted beside a portable copy.
    using SetAwareness = HRESULT(WINAPI*)(int);
    wchar_t system[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring shcorePath =
        length > 0 && length < MAX_PATH ? std::wstring(system, length) + L"\\shcore.dll" : std::wstring();
    if (const HMODULE shcore = shcorePath.empty() ? nullptr : LoadLibraryW(shcorePath.c_str())) {
        const auto set = reinterpret_cast<SetAwareness>(
            reinterpret_cast<void (*)()>(GetProcAddress(shcore, "SetProcessDpiAwareness")));
        constexpr int perMonitor = 2;
        if (set != nullptr) {
            set(perMonitor);
            return;
        }
    }
    using SetAware = BOOL(WINAPI*)();
    if (const auto set = user32<SetAware>("SetProcessDPIAware")) set();
}

UINT forWindow(HWND window)
{
    using GetForWindow = UINT(WINAPI*)(HWND);
    static const auto get = user32<GetForWindow>("GetDpiForWindow");
    const UINT dpi = get != nullptr ? get(window) : 0;
    return dpi != 0 ? dpi : systemDpi();
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
