// The percentage on the taskbar button, shown through a stand-in for the shell's taskbar.
#include "platform/TaskbarProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes down what the shell's taskbar is told.
class CTaskbarLog : public ITaskbarList3 {
public:
    LONG m_nRefs = 1;
    std::vector<std::string> m_calls;

    HRESULT STDMETHODCALLTYPE HrInit() override {
        m_calls.push_back("init");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
        m_calls.push_back(std::to_string(done) + "/" + std::to_string(total));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG flags) override {
        m_calls.push_back(flags == TBPF_NOPROGRESS ? "none"
                          : flags == TBPF_NORMAL   ? "normal"
                                                   : "?");
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }
};

TEST(TaskbarProgress, ShowsThePercentageAndClearsItAndFailsSilently) {
    CTaskbarLog log;
    int made = 0;
    {
        CTaskbarProgress progress(nullptr, [&](ITaskbarList3** pp) {
            ++made;
            log.AddRef();
            *pp = &log;
            return S_OK;
        });
        progress.Show(-1); // nothing shown yet: no taskbar needed
        EXPECT_EQ(made, 0);
        progress.Show(0);
        progress.Show(45);
        progress.Show(-1);
        progress.Show(100);
        EXPECT_EQ(made, 1);
    }
    EXPECT_EQ(log.m_calls, (std::vector<std::string>{"init", "normal", "0/100", "45/100", "none",
                                                     "normal", "100/100"}));
    EXPECT_EQ(log.m_nRefs, 1); // its one reference given back

    int tried = 0;
    CTaskbarProgress refused(nullptr, [&](ITaskbarList3**) {
        ++tried;
        return REGDB_E_CLASSNOTREG;
    });
    refused.Show(10);
    refused.Show(20);
    refused.Show(-1);
    EXPECT_EQ(tried, 1);
}

} // namespace
