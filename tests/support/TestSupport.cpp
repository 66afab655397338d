#include "TestSupport.h"

#include "Files.h"
#include "Png.h"

#include "platform/MessageBox.h"
#include "platform/Wnd.h"
#include "platform/WndClass.h"

#include <winternl.h>

CTempFolder::CTempFolder() {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::string candidate = std::string(base) + "tessivox-test-" +
                                std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(++counter);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            break;
        }
    }
}

CTempFolder::~CTempFolder() {
    RemoveTree(m_path);
}

CMessageBoxLog::CMessageBoxLog(int defaultAnswer) : m_defaultAnswer(defaultAnswer) {
    AfxSetMessageBoxScript([this](const std::string& text, UINT type) {
        m_shown.push_back({text, type});
        for (auto hook = m_hooks.begin(); hook != m_hooks.end(); ++hook)
            if (text.find(hook->first) != std::string::npos) {
                const std::function<int()> answer = std::move(hook->second);
                m_hooks.erase(hook);
                return answer();
            }
        if (m_answers.empty())
            return m_defaultAnswer;
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

CMessageBoxLog::~CMessageBoxLog() {
    AfxSetMessageBoxScript(nullptr);
}

std::vector<std::string> CMessageBoxLog::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : m_shown)
        texts.push_back(s.text);
    return texts;
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

COLORREF CCapture::At(int x, int y) const {
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}

CCapture CaptureClient(HWND hWnd) {
    CCapture c;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    c.width = rc.right;
    c.height = rc.bottom;
    HDC hdc = ::GetDC(hWnd);
    HDC mem = ::CreateCompatibleDC(hdc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = c.width;
    bi.bmiHeader.biHeight = -c.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, c.width, c.height, hdc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const unsigned char* p = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < c.width * c.height; ++i) {
        c.rgb.push_back(p[i * 4 + 2]);
        c.rgb.push_back(p[i * 4 + 1]);
        c.rgb.push_back(p[i * 4 + 0]);
    }
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, hdc);
    return c;
}

bool SaveCapture(const CCapture& capture, const std::string& path) {
    return WritePng(path, capture.width, capture.height, capture.rgb);
}

bool CreateTestParent(CWnd& parent, const RECT& rc, int nSysColour) {
    std::string cls = AfxRegisterWndClass(
        0, nullptr, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(nSysColour + 1)));
    return parent.CreateEx(0, cls.c_str(), "test parent", WS_POPUP | WS_VISIBLE, rc, nullptr, 0) !=
           FALSE;
}

RECT RectInParent(HWND hChild, HWND hParent) {
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

HWND CreateTestHostWindow(int width, int height) {
    static const char* kClass = "TessivoxTestHost";
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(::GetModuleHandleA(nullptr), kClass, &wc)) {
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        ::RegisterClassA(&wc);
    }
    HWND h =
        ::CreateWindowExA(0, kClass, "test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width,
                          height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::UpdateWindow(h);
    return h;
}

int CountGdiObjects() {
    DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported > 0)
        return static_cast<int>(reported);
    struct HandleEntry { // one cell of the shared GDI handle table (64-bit layout)
        unsigned long long object;
        unsigned short processId;
        unsigned short lock;
        unsigned short unique;
        unsigned char type;
        unsigned char flags;
        unsigned long long user;
    };
    static_assert(sizeof(HandleEntry) == 24, "64-bit handle table cells");
    const char* peb = reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    auto* table = *reinterpret_cast<HandleEntry* const*>(peb + 0xF8); // GdiSharedHandleTable
    if (!table)
        return -1;
    const unsigned short pid = static_cast<unsigned short>(::GetCurrentProcessId());
    int n = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type != 0 && (table[i].processId == pid || table[i].processId == 0))
            ++n;
    return n;
}

CComPtr<IAccessible> ClientAccessible(HWND hWnd) {
    CComPtr<IAccessible> acc;
    ::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(acc.Receive()));
    return acc;
}

namespace {
std::string TakeText(BSTR text) {
    std::string narrow;
    const int len = static_cast<int>(::SysStringLen(text));
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, len, nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        narrow.assign(static_cast<size_t>(n), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text, len, &narrow[0], n, nullptr, nullptr);
    }
    ::SysFreeString(text);
    return narrow;
}
} // namespace

AccessibleFacts ReadAccessible(HWND hWnd) {
    AccessibleFacts facts;
    CComPtr<IAccessible> acc = ClientAccessible(hWnd);
    if (!acc)
        return facts;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (SUCCEEDED(acc->get_accName(self, &text)))
        facts.name = TakeText(text);
    text = nullptr;
    if (SUCCEEDED(acc->get_accValue(self, &text)))
        facts.value = TakeText(text);
    text = nullptr;
    if (SUCCEEDED(acc->get_accDefaultAction(self, &text)))
        facts.defaultAction = TakeText(text);
    VARIANT v;
    ::VariantInit(&v);
    if (SUCCEEDED(acc->get_accRole(self, &v)) && v.vt == VT_I4)
        facts.role = v.lVal;
    ::VariantClear(&v);
    if (SUCCEEDED(acc->get_accState(self, &v)) && v.vt == VT_I4)
        facts.state = v.lVal;
    ::VariantClear(&v);
    return facts;
}
