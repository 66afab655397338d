#include "Dpi.h"

namespace {
// Looked up once: older systems lack them, and the program still runs there.
template <typename F> F User32Function(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

UINT SystemDpi() {
    HDC hdc = ::GetDC(nullptr);
    const int dpi = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 0;
    if (hdc)
        ::ReleaseDC(nullptr, hdc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}
} // namespace

UINT WindowDpi(HWND hWnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && hWnd)
        if (UINT dpi = getDpiForWindow(hWnd))
            return dpi;
    HDC hdc = ::GetDC(hWnd);
    const int dpi = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 0;
    if (hdc)
        ::ReleaseDC(hWnd, hdc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int SystemMetricForDpi(int nIndex, UINT nDpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(nIndex, nDpi);
    static const UINT systemDpi = SystemDpi();
    return ::MulDiv(::GetSystemMetrics(nIndex), static_cast<int>(nDpi),
                    static_cast<int>(systemDpi));
}

void DisableDialogDpiScaling(HWND hDlg) {
    // DDC_DISABLE_ALL, and DCDC_DISABLE_FONT_UPDATE | DCDC_DISABLE_RELAYOUT:
    // the headers name them only for Windows 10 builds.
    constexpr int kDialogDisableAll = 0x0001;
    constexpr int kControlDisableFontAndLayout = 0x0003;
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setDialog = User32Function<SetBehaviorFn>("SetDialogDpiChangeBehavior");
    static const auto setControl =
        User32Function<SetBehaviorFn>("SetDialogControlDpiChangeBehavior");
    if (setDialog)
        setDialog(hDlg, kDialogDisableAll, kDialogDisableAll);
    if (setControl)
        for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild;
             hChild = ::GetWindow(hChild, GW_HWNDNEXT))
            setControl(hChild, kControlDisableFontAndLayout, kControlDisableFontAndLayout);
}
