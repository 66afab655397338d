// A shell allocator that counts: it hands out task memory like the shell's own
// and remembers every block given back. Blocks are only released when the
// allocator goes, so no address is reused meanwhile and a second free of the
// same list shows as a count of two.
#pragma once

#include <objbase.h>

#include <map>
#include <vector>

class CCountingMalloc : public IMalloc {
public:
    CCountingMalloc() = default;
    CCountingMalloc(const CCountingMalloc&) = delete;
    CCountingMalloc& operator=(const CCountingMalloc&) = delete;
    bool m_bFailAlloc = false;
    int m_nAllocs = 0;
    std::map<void*, int> m_frees;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IMalloc) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override {
        if (m_bFailAlloc)
            return nullptr;
        ++m_nAllocs;
        return ::CoTaskMemAlloc(cb);
    }
    void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) override {
        return ::CoTaskMemRealloc(pv, cb);
    }
    void STDMETHODCALLTYPE Free(void* pv) override {
        if (++m_frees[pv] == 1)
            m_quarantine.push_back(pv);
    }
    ~CCountingMalloc() {
        for (void* pv : m_quarantine)
            ::CoTaskMemFree(pv);
    }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return static_cast<SIZE_T>(-1); }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}

private:
    std::vector<void*> m_quarantine;
};
