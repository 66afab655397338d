#include "TabOrder.h"

#include <algorithm>

namespace {
bool IsShownAndEnabled(HWND hWnd) {
    const LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

void CollectTabStops(HWND hParent, std::vector<HWND>& order) {
    for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (!IsShownAndEnabled(h))
            continue;
        if (::GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP)
            order.push_back(h);
        if (::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)
            CollectTabStops(h, order);
    }
}

bool IsDialogWindow(HWND hWnd) {
    wchar_t cls[8] = {};
    ::GetClassNameW(hWnd, cls, 8);
    return ::lstrcmpW(cls, L"#32770") == 0;
}
} // namespace

std::vector<HWND> TabOrder(HWND hRoot) {
    std::vector<HWND> order;
    CollectTabStops(hRoot, order);
    return order;
}

HWND NextInTabOrder(HWND hRoot, HWND hFrom, bool bBackwards) {
    const std::vector<HWND> order = TabOrder(hRoot);
    if (order.empty())
        return nullptr;
    // The nearest window in the order that is hFrom or holds it: the focus may
    // sit in a part of a control (a list's header, a combo box's edit).
    auto at = order.end();
    for (HWND h = hFrom; h && h != hRoot && at == order.end(); h = ::GetParent(h))
        at = std::find(order.begin(), order.end(), h);
    if (at == order.end())
        return bBackwards ? order.back() : order.front();
    const size_t i = static_cast<size_t>(at - order.begin());
    const size_t n = order.size();
    return order[bBackwards ? (i + n - 1) % n : (i + 1) % n];
}

void FocusControl(HWND hCtrl) {
    HWND hParent = ::GetParent(hCtrl);
    if (hParent && IsDialogWindow(hParent))
        ::SendMessageW(hParent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hCtrl), TRUE);
    else
        ::SetFocus(hCtrl);
}
