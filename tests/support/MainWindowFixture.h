// A real main window on a scratch program folder, for the tests that drive it.
#pragma once

#include "TestSupport.h"

#include "app/AppPaths.h"
#include "mainwnd/RenamerDlg.h"
#include "res/resource.h"

#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>

class MainWindowTest : public ::testing::Test {
protected:
    CTempFolder m_program; // settings.ini and Languages\English.ini
    CTempFolder m_photos;  // the folder the runs work on
    CWinApp m_app{"tessivox"};
    std::unique_ptr<CRenamerDlg> m_dlg;
    CMessageBoxLog m_boxes;

    // Language file content before the window is made; empty: only the language.
    virtual std::string LanguageFile() const { return "[Setting]\r\nLanguage=English\r\n"; }

    void SetUp() override {
        MakeFolder(m_program / "Languages");
        WriteTextFile(m_program / "settings.ini", "");
        g_strProgramDir = m_program.Path();
        g_strSettingsFile = m_program.Path() + "//settings.ini";
        g_strLanguageFile = m_program / "Languages\\English.ini";
        WriteTextFile(g_strLanguageFile, LanguageFile());
        OpenWindow();
    }
    void OpenWindow() {
        m_dlg = std::make_unique<CRenamerDlg>();
        m_app.m_pMainWnd = m_dlg.get();
        ASSERT_TRUE(m_dlg->Create(CRenamerDlg::IDD, nullptr));
        ::ShowWindow(m_dlg->m_hWnd, SW_SHOW);
        PumpPending();
    }
    // The program ended and started again on the same program folder.
    void Restart() {
        m_dlg->DestroyWindow();
        m_dlg.reset();
        OpenWindow();
    }
    void TearDown() override {
        m_dlg->DestroyWindow();
        m_app.m_pMainWnd = nullptr;
        m_dlg.reset();
    }

    CBeginnerPage& Page() { return m_dlg->m_pageBeginner; }
    HWND PageItem(int id) { return ::GetDlgItem(Page().m_hWnd, id); }
    void Check(int id, bool on) {
        ::SendMessageA(PageItem(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    // A click on one of the page's buttons, as the button reports it.
    void Click(int id) { ::SendMessageA(PageItem(id), BM_CLICK, 0, 0); }
    void Type(int id, const std::string& text) {
        for (char c : text)
            ::SendMessageA(PageItem(id), WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    std::string Text(HWND h) {
        char buf[1024] = {};
        ::GetWindowTextA(h, buf, sizeof(buf));
        return buf;
    }
    void ChooseFolder(const std::string& path) {
        m_dlg->m_strFolderPath = path;
        m_dlg->FillFileList();
    }
    std::vector<std::string> ListedNames() {
        std::vector<std::string> names;
        for (int i = 0; i < m_dlg->m_listFiles.GetItemCount(); ++i)
            names.push_back(m_dlg->m_listFiles.GetItemText(i, 0));
        return names;
    }
    void Select(const std::string& name) {
        auto names = ListedNames();
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                m_dlg->m_listFiles.SetItemState(static_cast<int>(i), LVIS_SELECTED, LVIS_SELECTED);
    }
    const RenameJournal& Journal() { return Page().m_journal; }

    // The "New name" of item nItem once the column's worker has read the files
    // before it (the window's messages pumped meanwhile, 20 s at most).
    std::string NewNameShown(int nItem) {
        const DWORD start = ::GetTickCount();
        std::string text = m_dlg->m_listFiles.GetItemText(nItem, 1);
        while ((text == kReading || text == kReadingDates) && ::GetTickCount() - start < 20000) {
            ::Sleep(1);
            PumpPending();
            text = m_dlg->m_listFiles.GetItemText(nItem, 1);
        }
        return text;
    }
    std::map<std::string, std::string> NewNamesShown() {
        std::map<std::string, std::string> shown;
        for (int i = 0; i < m_dlg->m_listFiles.GetItemCount(); ++i)
            shown[m_dlg->m_listFiles.GetItemText(i, 0)] = NewNameShown(i);
        return shown;
    }
    static constexpr const char* kReading = "(reading\xE2\x80\xA6)";
    static constexpr const char* kReadingDates = "(reading dates\xE2\x80\xA6)";

    // A key pressed where the focus is, as the program's message loop hands it
    // on, with Ctrl and Shift held as asked.
    void Press(UINT vk, bool ctrl = false, bool shift = false) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        BYTE held[256];
        std::copy(std::begin(keys), std::end(keys), std::begin(held));
        held[VK_CONTROL] = ctrl ? 0x80 : 0;
        held[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(held);
        MSG msg = {::GetFocus(), WM_KEYDOWN, vk, 1, 0, {0, 0}};
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::SetKeyboardState(keys);
        PumpPending();
    }
};
