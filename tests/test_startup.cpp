// Start-up: the settings file, the choice of the language file, the main window.
#include "app/AppPaths.h"
#include "app/RenamerApp.h"
#include "mainwnd/RenamerDlg.h"
#include "res/resource.h"
#include "support/TestSupport.h"

#include "platform/FileFind.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const char* const kNoIni = "Could not load INI file, Please reinstall the program";
const char* const kNoLanguage = "Could not load any language resoure. System halt.";

// Closes the main window as soon as its modal loop runs, and notes that it was shown.
bool g_bMainWindowShown = false;
std::string g_strChosenFolder;
int g_nSelectedFiles = 0;
void CALLBACK CloseMainWindow(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && ::IsWindowVisible(app->m_pMainWnd->m_hWnd)) {
        g_bMainWindowShown = true;
        auto* dlg = static_cast<CRenamerDlg*>(app->m_pMainWnd);
        g_strChosenFolder = dlg->m_strFolderPath;
        g_nSelectedFiles = dlg->m_listFiles.GetSelectedCount();
        ::PostMessageA(app->m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
    }
}

class StartUp : public ::testing::Test {
protected:
    CTempFolder m_dir;
    CMessageBoxLog m_boxes;

    std::string Languages() const { return m_dir / "Languages"; }
    void AddLanguage(const std::string& file, const std::string& declared) {
        MakeFolder(Languages());
        WriteTextFile(Languages() + "\\" + file, "[Setting]\r\nLanguage=" + declared + "\r\n");
    }
    BOOL Start(const std::vector<std::string>& paths = {}) {
        g_bMainWindowShown = false;
        g_strLanguageFile.clear();
        CRenamerApp app;
        app.m_strProgramDir = m_dir.Path();
        app.m_startPaths = paths;
        ::SetTimer(nullptr, 0, 50, &CloseMainWindow);
        return app.InitInstance();
    }
};

TEST_F(StartUp, WithoutSettingsFileShowsTheMessageAndCreatesNothing) {
    AddLanguage("English.ini", "English");
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{kNoIni});
    EXPECT_FALSE(g_bMainWindowShown);
    EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<std::string>{"Languages"});
}

TEST_F(StartUp, EmptySettingsFileStartsInEnglishAndSavesTheChoice) {
    WriteTextFile(m_dir / "settings.ini", "");
    AddLanguage("English.ini", "English");
    EXPECT_FALSE(Start()); // the program always ends when its window closes
    EXPECT_TRUE(m_boxes.Texts().empty());
    EXPECT_TRUE(g_bMainWindowShown);
    EXPECT_EQ(g_strSettingsFile, m_dir.Path() + "//settings.ini");
    char value[100] = {};
    ::GetPrivateProfileStringA("Setting", "Language", "", value, sizeof(value),
                               (m_dir / "settings.ini").c_str());
    EXPECT_STREQ(value, "English");
    EXPECT_EQ(g_strLanguageFile, Languages() + "\\English.ini");
}

TEST_F(StartUp, LanguageNameIsMatchedWithLetterCase) {
    const std::string settings = "[Setting]\r\nLanguage=english\r\n";
    WriteTextFile(m_dir / "settings.ini", settings);
    AddLanguage("English.ini", "English");
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{kNoLanguage});
    EXPECT_FALSE(g_bMainWindowShown);
    EXPECT_EQ(ReadTextFile(m_dir / "settings.ini"), settings);
}

TEST_F(StartUp, NoLanguagesFolderEndsWithTheLanguageMessage) {
    WriteTextFile(m_dir / "settings.ini", "");
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{kNoLanguage});
    EXPECT_EQ(ReadTextFile(m_dir / "settings.ini"), "");
}

TEST_F(StartUp, FileIsChosenByWhatItDeclaresAndTheFirstListedWins) {
    WriteTextFile(m_dir / "settings.ini", "");
    AddLanguage("Deutsch.ini", "English");
    AddLanguage("Other.ini", "English");
    AddLanguage("Empty.ini", "");
    WriteTextFile(Languages() + "\\None.ini", "[Message]\r\nx=y\r\n");
    MakeFolder(Languages() + "\\Folder.ini");

    std::string firstDeclaring;
    CFileFind finder;
    BOOL more = finder.FindFile(Languages() + "\\*.ini");
    while (more && firstDeclaring.empty()) {
        more = finder.FindNextFile();
        std::string name = finder.GetFileName();
        if (name == "Deutsch.ini" || name == "Other.ini")
            firstDeclaring = finder.GetFilePath();
    }
    EXPECT_FALSE(Start());
    EXPECT_TRUE(g_bMainWindowShown);
    EXPECT_EQ(g_strLanguageFile, firstDeclaring);
}

TEST_F(StartUp, APathOnTheCommandLineChoosesItsFolderAndAMissingOneIsSaid) {
    EXPECT_EQ(PathArguments(L"\"C:\\T\\tessivox.exe\" D:\\DCIM\\100CANON "
                            L"\"E:\\My Photos\\a.jpg\" \"F:\\\""),
              (std::vector<std::string>{"D:\\DCIM\\100CANON", "E:\\My Photos\\a.jpg", "F:\\"}));
    WriteTextFile(m_dir / "settings.ini", "");
    AddLanguage("English.ini", "English");
    CTempFolder photos;
    WriteTextFile(photos / "a.jpg", "a");
    WriteTextFile(photos / "b.jpg", "b");
    Start({photos / "b.jpg"}); // "Open with" on a photo
    EXPECT_TRUE(m_boxes.Texts().empty());
    EXPECT_EQ(g_strChosenFolder, photos.Path());
    EXPECT_EQ(g_nSelectedFiles, 1);
    Start({photos / "gone"});
    EXPECT_TRUE(g_bMainWindowShown);
    EXPECT_EQ(g_strChosenFolder, "");
    ASSERT_EQ(m_boxes.Texts().size(), 1u);
    EXPECT_NE(m_boxes.Texts()[0].find(photos / "gone"), std::string::npos);
}

// Windows picks the image for the window's scale (16 at 100 %, 20 at 125 %, ...)
// and Explorer's views; each must be there, not stretched from another size.
TEST_F(StartUp, ProgramIconHoldsAnImageOfEverySizeTheScreensAskFor) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    auto bits = [module](HRSRC res) {
        return static_cast<PBYTE>(::LockResource(::LoadResource(module, res)));
    };
    HRSRC group = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    std::set<int> ids;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        const int id = ::LookupIconIdFromDirectoryEx(bits(group), TRUE, size, size, 0);
        ids.insert(id);
        HRSRC image = ::FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON);
        ASSERT_NE(image, nullptr) << size;
        HICON icon = ::CreateIconFromResourceEx(bits(image), ::SizeofResource(module, image), TRUE,
                                                0x00030000, 0, 0, 0);
        ICONINFO info = {};
        ASSERT_TRUE(icon && ::GetIconInfo(icon, &info)) << size;
        BITMAP bm = {};
        ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_EQ(bm.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
    EXPECT_EQ(ids.size(), 8u);
}

// What the program tells Windows about itself: sharp at every scale and on every
// monitor, with the system's scale where per-monitor v2 is unknown, the
// systems it is made for, today's common controls, UTF-8, the user's rights.
TEST(Manifest, DeclaresDpiAwarenessSystemsControlsCodePageAndRights) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(res, nullptr);
    const std::string text(static_cast<const char*>(::LockResource(::LoadResource(module, res))),
                           ::SizeofResource(module, res));
    for (const char* wanted :
         {">PerMonitorV2, System</dpiAwareness>", ">true</dpiAware>",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          ">UTF-8</activeCodePage>", "level=\"asInvoker\""})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
}

} // namespace
