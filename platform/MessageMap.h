// Message maps: tables that tie window messages, commands and notifications to
// typed On... handlers. Each entry holds a small thunk that unpacks wParam and
// lParam and calls the handler with its own signature, so no handler is ever
// called through a cast member pointer.
//
// Classes in this file: AFX_MSGMAP_ENTRY, AFX_MSGMAP, and the ON_... macros.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

class CWnd;

using AfxMsgThunk = LRESULT (*)(CWnd* self, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // window message, or WM_REFLECT_BASE + message for reflected ones
    UINT nCode;    // notification code for WM_COMMAND and WM_NOTIFY
    UINT nID;      // first control ID for WM_COMMAND and WM_NOTIFY
    UINT nLastID;  // last control ID of the range
    AfxMsgThunk pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Notifications a parent hands back to the child control that sent them.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// The 16-bit era's single colour message, used as the key of reflected WM_CTLCOLOR... messages.
constexpr UINT WM_CTLCOLOR_ANY = 0x0019;

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, _messageEntries};      \
    return &messageMap;                                                                            \
    }

#define AFX_SELF static_cast<ThisClass*>(self)

// ---- window messages ---------------------------------------------------------------------------

// int OnCreate(LPCREATESTRUCTA lpcs): -1 fails the creation.
#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                            \
         return AFX_SELF->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lp));                         \
     }},
// void OnDestroy()
#define ON_WM_DESTROY()                                                                            \
    {WM_DESTROY, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                              \
         AFX_SELF->OnDestroy();                                                                    \
         return 0;                                                                                 \
     }},
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                           \
         AFX_SELF->OnSize(static_cast<UINT>(wp), static_cast<short>(LOWORD(lp)),                   \
                          static_cast<short>(HIWORD(lp)));                                         \
         return 0;                                                                                 \
     }},
// void OnGetMinMaxInfo(MINMAXINFO* lpMMI)
#define ON_WM_GETMINMAXINFO()                                                                      \
    {WM_GETMINMAXINFO, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                     \
         AFX_SELF->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));                             \
         return 0;                                                                                 \
     }},
// BOOL OnEraseBkgnd(HDC hdc)
#define ON_WM_ERASEBKGND()                                                                         \
    {WM_ERASEBKGND, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                        \
         return AFX_SELF->OnEraseBkgnd(reinterpret_cast<HDC>(wp));                                 \
     }},
// void OnPaint()
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                                \
         AFX_SELF->OnPaint();                                                                      \
         return 0;                                                                                 \
     }},
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                             \
         AFX_SELF->OnTimer(static_cast<UINT_PTR>(wp));                                             \
         return 0;                                                                                 \
     }},
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                     \
         AFX_SELF->OnSysCommand(static_cast<UINT>(wp), lp);                                        \
         return 0;                                                                                 \
     }},
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                        \
         return reinterpret_cast<LRESULT>(AFX_SELF->OnQueryDragIcon());                            \
     }},
// BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message)
#define ON_WM_SETCURSOR()                                                                          \
    {WM_SETCURSOR, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                      \
         return AFX_SELF->OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));         \
     }},
// void OnMouseMove(UINT nFlags, POINT point)
#define ON_WM_MOUSEMOVE()                                                                          \
    {WM_MOUSEMOVE, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                      \
         POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};              \
         AFX_SELF->OnMouseMove(static_cast<UINT>(wp), pt);                                         \
         return 0;                                                                                 \
     }},
// void OnClose()
#define ON_WM_CLOSE()                                                                              \
    {WM_CLOSE, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                                \
         AFX_SELF->OnClose();                                                                      \
         return 0;                                                                                 \
     }},
// void OnDropFiles(HDROP hDropInfo)
#define ON_WM_DROPFILES()                                                                          \
    {WM_DROPFILES, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                         \
         AFX_SELF->OnDropFiles(reinterpret_cast<HDROP>(wp));                                       \
         return 0;                                                                                 \
     }},
// BOOL OnQueryEndSession(): FALSE holds the session's end off.
#define ON_WM_QUERYENDSESSION()                                                                    \
    {WM_QUERYENDSESSION, 0, 0, 0,                                                                  \
     [](CWnd* self, WPARAM, LPARAM) -> LRESULT { return AFX_SELF->OnQueryEndSession(); }},
// void OnEndSession(BOOL bEnding): bEnding, the session ends once it returns.
#define ON_WM_ENDSESSION()                                                                         \
    {WM_ENDSESSION, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                        \
         AFX_SELF->OnEndSession(static_cast<BOOL>(wp));                                            \
         return 0;                                                                                 \
     }},
// void OnSetFont(HFONT hFont, BOOL bRedraw)
#define ON_WM_SETFONT()                                                                            \
    {WM_SETFONT, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                        \
         AFX_SELF->OnSetFont(reinterpret_cast<HFONT>(wp), LOWORD(lp));                             \
         return 0;                                                                                 \
     }},
// void OnSetFocus(HWND hOldWnd)
#define ON_WM_SETFOCUS()                                                                           \
    {WM_SETFOCUS, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                          \
         AFX_SELF->OnSetFocus(reinterpret_cast<HWND>(wp));                                         \
         return 0;                                                                                 \
     }},
// void OnKillFocus(HWND hNewWnd)
#define ON_WM_KILLFOCUS()                                                                          \
    {WM_KILLFOCUS, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                         \
         AFX_SELF->OnKillFocus(reinterpret_cast<HWND>(wp));                                        \
         return 0;                                                                                 \
     }},
// UINT OnGetDlgCode(const MSG* pMsg): pMsg is the message a dialog asks about, or null.
#define ON_WM_GETDLGCODE()                                                                         \
    {WM_GETDLGCODE, 0, 0, 0, [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                        \
         return AFX_SELF->OnGetDlgCode(reinterpret_cast<const MSG*>(lp));                          \
     }},
// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags): nFlags is the high word of lParam.
#define ON_WM_KEYDOWN()                                                                            \
    {WM_KEYDOWN, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                        \
         AFX_SELF->OnKeyDown(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));                       \
         return 0;                                                                                 \
     }},
// void OnUpdateUIState(UINT nAction, UINT nUIElement)
#define ON_WM_UPDATEUISTATE()                                                                      \
    {WM_UPDATEUISTATE, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM) -> LRESULT {                     \
         AFX_SELF->OnUpdateUIState(LOWORD(wp), HIWORD(wp));                                        \
         return 0;                                                                                 \
     }},
// void OnShowWindow(BOOL bShow, UINT nStatus): nStatus is 0 when ShowWindow asked, else why
// (SW_PARENTCLOSING, ...).
#define ON_WM_SHOWWINDOW()                                                                         \
    {WM_SHOWWINDOW, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                     \
         AFX_SELF->OnShowWindow(static_cast<BOOL>(wp), static_cast<UINT>(lp));                     \
         return 0;                                                                                 \
     }},
// LRESULT OnGetObject(DWORD dwFlags, DWORD dwObjectId): 0 lets the system make the standard
// object. The id is passed as a DWORD, since 64-bit callers may or may not sign-extend it.
#define ON_WM_GETOBJECT()                                                                          \
    {WM_GETOBJECT, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT {                      \
         return AFX_SELF->OnGetObject(static_cast<DWORD>(wp), static_cast<DWORD>(lp));             \
     }},
// LRESULT memberFxn(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(message, memberFxn)                                                             \
    {message, 0, 0, 0,                                                                             \
     [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT { return AFX_SELF->memberFxn(wp, lp); }},

// ---- commands and notifications from child controls --------------------------------------------

// void memberFxn()
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id),            \
     [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                                                   \
         AFX_SELF->memberFxn();                                                                    \
         return 0;                                                                                 \
     }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// void memberFxn(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id),             \
     [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                                                \
         LRESULT result = 0;                                                                       \
         AFX_SELF->memberFxn(reinterpret_cast<NMHDR*>(lp), &result);                               \
         return result;                                                                            \
     }},

// ---- reflected to the control that sent them ---------------------------------------------------

// void memberFxn(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                         \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,                                   \
     [](CWnd* self, WPARAM, LPARAM lp) -> LRESULT {                                                \
         LRESULT result = 0;                                                                       \
         AFX_SELF->memberFxn(reinterpret_cast<NMHDR*>(lp), &result);                               \
         return result;                                                                            \
     }},
// void memberFxn()
#define ON_CONTROL_REFLECT(code, memberFxn)                                                        \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0,                                  \
     [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                                                   \
         AFX_SELF->memberFxn();                                                                    \
         return 0;                                                                                 \
     }},
#define ON_STN_CLICKED_REFLECT(memberFxn) ON_CONTROL_REFLECT(STN_CLICKED, memberFxn)
// HBRUSH CtlColor(HDC hdc, UINT nCtlColor): the control colours itself.
// Every WM_CTLCOLOR... message is reflected as one, with lParam the CTLCOLOR_... kind.
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    {WM_REFLECT_BASE + WM_CTLCOLOR_ANY, 0, 0, 0, [](CWnd* self, WPARAM wp, LPARAM lp) -> LRESULT { \
         return reinterpret_cast<LRESULT>(                                                         \
             AFX_SELF->CtlColor(reinterpret_cast<HDC>(wp), static_cast<UINT>(lp)));                \
     }},
