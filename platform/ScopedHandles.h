// Small move-only owners for GDI objects, device contexts, selections, kernel
// handles and COM interfaces: each handle is freed exactly once, by its owner.
//
// Classes in this file: CGdiObject, CClientDC, CPaintDC, CMemoryDC,
// CSelectObject, CKernelHandle, CComPtr.
#pragma once

#include <windows.h>

#include <utility>

// An owned GDI object (bitmap, brush, font, region).
template <typename T> class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(T h) : m_h(h) {}
    CGdiObject(CGdiObject&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.m_h, nullptr));
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { Reset(); }

    void Reset(T h = nullptr) {
        if (m_h)
            ::DeleteObject(m_h);
        m_h = h;
    }
    T Get() const { return m_h; }
    // Hands the object over to a new owner, as a window that takes a region.
    T Release() { return std::exchange(m_h, nullptr); }
    explicit operator bool() const { return m_h != nullptr; }

private:
    T m_h = nullptr;
};

using CBitmapHandle = CGdiObject<HBITMAP>;
using CBrushHandle = CGdiObject<HBRUSH>;
using CFontHandle = CGdiObject<HFONT>;
using CRgnHandle = CGdiObject<HRGN>;

// A window's client device context, released when it goes.
class CClientDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    ~CClientDC() {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// BeginPaint and EndPaint around one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps = {};
    HDC m_hDC = nullptr;
};

// A memory device context compatible with another one.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC hdcLike) : m_hDC(::CreateCompatibleDC(hdcLike)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC() {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// Selects an object into a device context and selects the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObj) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObj)) {}
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject() {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// An owned kernel handle (thread, event).
class CKernelHandle {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE h) : m_h(h) {}
    CKernelHandle(CKernelHandle&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    CKernelHandle& operator=(CKernelHandle&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.m_h, nullptr));
        return *this;
    }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    ~CKernelHandle() { Reset(); }

    void Reset(HANDLE h = nullptr) {
        if (m_h)
            ::CloseHandle(m_h);
        m_h = h;
    }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h = nullptr;
};

// An owned reference to a COM interface.
template <typename T> class CComPtr {
public:
    CComPtr() = default;
    CComPtr(CComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    CComPtr& operator=(CComPtr&& o) noexcept {
        if (this != &o)
            Reset(std::exchange(o.m_p, nullptr));
        return *this;
    }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    ~CComPtr() { Reset(); }

    void Reset(T* p = nullptr) {
        if (m_p)
            m_p->Release();
        m_p = p;
    }
    // Takes another reference to an interface that someone else holds.
    void Share(T* p) {
        if (p)
            p->AddRef();
        Reset(p);
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T** Receive() {
        Reset();
        return &m_p;
    }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};
