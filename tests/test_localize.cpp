// Dialog texts from the language file, and the file filling itself.
#include "support/MainWindowFixture.h"

#include "app/LocalizeWindow.h"
#include "app/RenamerApp.h"

#include <map>
#include <set>
#include <cstring>

namespace {

std::map<std::string, std::string> Section(const std::string& file, const char* section) {
    std::vector<char> buf(65536, '\0');
    DWORD n = ::GetPrivateProfileSectionA(section, buf.data(), static_cast<DWORD>(buf.size()),
                                          file.c_str());
    std::map<std::string, std::string> keys;
    for (const char* p = buf.data(); p < buf.data() + n && *p; p += std::strlen(p) + 1) {
        std::string line = p;
        size_t eq = line.find('=');
        keys[line.substr(0, eq)] = eq == std::string::npos ? "" : line.substr(eq + 1);
    }
    return keys;
}

std::set<std::string> KeysWithPrefix(const std::map<std::string, std::string>& keys,
                                     const std::string& prefix) {
    std::set<std::string> out;
    for (const auto& [k, v] : keys)
        if (k.rfind(prefix, 0) == 0)
            out.insert(k);
    return out;
}

using FreshLanguageFile = MainWindowTest;

TEST_F(FreshLanguageFile, GainsEveryDialogKeyWithTheBuiltInTexts) {
    auto strings = Section(g_strLanguageFile, "String");
    EXPECT_EQ(KeysWithPrefix(strings, "IDD102_"),
              (std::set<std::string>{"IDD102_Title", "IDD102_1003", "IDD102_1004", "IDD102_1025",
                                     "IDD102_1014", "IDD102_1015", "IDD102_1023", "IDD102_0"}));
    EXPECT_EQ(KeysWithPrefix(strings, "IDD129_").size(), 16u);
    EXPECT_EQ(KeysWithPrefix(strings, "IDD130_"),
              (std::set<std::string>{"IDD130_Title", "IDD130_1031", "IDD130_1030", "IDD130_-1"}));
    EXPECT_EQ(KeysWithPrefix(strings, "IDD140_").size(), 0u); // the Expert tab was not opened
    for (const char* edit : {"IDD102_1005", "IDD129_1017", "IDD129_1019", "IDD129_1020"})
        EXPECT_EQ(strings.count(edit), 0u) << edit;

    EXPECT_EQ(strings["IDD102_Title"], "Tessivox - Batch Photo Renamer");
    EXPECT_EQ(strings["IDD102_1003"], "Tree1");
    EXPECT_EQ(strings["IDD102_1025"], "Path");
    EXPECT_EQ(strings["IDD102_1015"], "Folder Information");
    EXPECT_EQ(strings["IDD102_1023"], "");
    EXPECT_EQ(strings["IDD129_1"], "Start");
    EXPECT_EQ(strings["IDD129_1011"], "Add Time Info (recommand)");
    EXPECT_EQ(strings["IDD129_1013"], "Visit Tessivox's Homepage");
    EXPECT_EQ(strings["IDD129_1026"],
              "Choose the folder which you need to replace their name. If you need to replace "
              "some files only, select them from the list, or it will replace all the name of "
              "files in the folder.");
    EXPECT_EQ(strings["IDD129_1012"], "");
    EXPECT_EQ(strings["IDD130_1031"], "Our Expert Features is developping now!");
    EXPECT_EQ(strings["IDD130_1030"],
              "If you need any features please contact us!<|><|>support@tessivox.example");

    auto messages = Section(g_strLanguageFile, "Message");
    std::set<std::string> keys;
    for (const auto& [k, v] : messages)
        keys.insert(k);
    EXPECT_EQ(keys, (std::set<std::string>{"File List", "Beginner", "Expert", "filename"}));

    // the expert options enter the file when the Expert tab is first opened
    m_dlg->m_pageExpert.ShowWindow(SW_SHOW);
    strings = Section(g_strLanguageFile, "String");
    EXPECT_EQ(KeysWithPrefix(strings, "IDD140_"),
              (std::set<std::string>{"IDD140_Title", "IDD140_1040", "IDD140_1041", "IDD140_1043",
                                     "IDD140_1044", "IDD140_1046", "IDD140_1047", "IDD140_1049",
                                     "IDD140_1050"}));
    EXPECT_EQ(strings["IDD140_1040"], "Use the date the photo was taken");
    EXPECT_EQ(strings["IDD140_1041"], "Show the new names in the list");
    EXPECT_EQ(strings["IDD140_1043"],
              "Keep related files together (RAW+JPEG, Live Photos, sidecars)");

    WriteTextFile(m_photos / "a.jpg", "a");
    ChooseFolder(m_photos.Path());
    Click(IDOK);
    EXPECT_EQ(Section(g_strLanguageFile, "Message")["ReplaceSuccessfully"],
              "Files name have been replaced successfully!");
}

class EditedLanguageFile : public MainWindowTest {
    std::string LanguageFile() const override {
        return "[Setting]\r\nLanguage=English\r\n[String]\r\n"
               "IDD102_Title=Photos<|>Renamer\r\n"
               "IDD102_1015=Files<|>here\r\n"
               "IDD129_1009=\r\n"
               "IDD129_1010=Drop the old name\r\n";
    }
};

TEST_F(EditedLanguageFile, ControlTokensAreDecodedButTitlesStayPlain) {
    EXPECT_EQ(Text(m_dlg->m_hWnd), "Photos<|>Renamer");
    EXPECT_EQ(Text(m_dlg->GetDlgItemHwnd(IDC_FILE_LIST_LABEL)), "Files\nhere");
    EXPECT_EQ(Text(PageItem(IDC_REMOVE_OLD_NAME)), "Drop the old name");
}

TEST_F(EditedLanguageFile, EmptiedValueIsShownBuiltInAndWrittenBack) {
    EXPECT_EQ(Text(PageItem(IDC_ADD_DATE)), "Add Date Info");
    EXPECT_EQ(Section(g_strLanguageFile, "String")["IDD129_1009"], "Add Date Info");
}

TEST(LocalizeWindow, SkipsEditFieldsByTheFirstFourLettersOfTheirClass) {
    CTempFolder dir;
    g_strLanguageFile = dir / "L.ini";
    WriteTextFile(g_strLanguageFile, "[Setting]\r\nLanguage=English\r\n");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "EDITOR";
    ::RegisterClassA(&wc);
    HWND host = CreateTestHostWindow(200, 100);
    ::SetWindowTextA(host, "Host");
    auto child = [&](const char* cls, int id, const char* text) {
        ::CreateWindowExA(0, cls, text, WS_CHILD, 0, 0, 10, 10, host,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    child("Edit", 1, "typed");
    child("EDIT", 2, "typed");
    child("EDITOR", 3, "custom");
    child("Static", 4, "a=b\tc");
    child("Button", -1, "x");
    LocalizeWindow(host, 900);
    auto strings = Section(g_strLanguageFile, "String");
    EXPECT_EQ(strings,
              (std::map<std::string, std::string>{
                  {"IDD900_Title", "Host"}, {"IDD900_4", "a<-->b<-T->c"}, {"IDD900_-1", "x"}}));
    ::DestroyWindow(host);
}

// Closes the program's main window once it is up, noting its first tab's label.
std::string g_strFirstTab;
void CALLBACK NoteAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pMainWnd)
        return;
    auto* dlg = static_cast<CRenamerDlg*>(app->m_pMainWnd);
    g_strFirstTab = dlg->m_tabPages.GetItemText(0);
    ::PostMessageA(dlg->m_hWnd, WM_CLOSE, 0, 0);
}

TEST(Translation, ShippedGermanFileStartsTheProgramInGerman) {
    CTempFolder dir;
    MakeFolder(dir / "Languages");
    for (const char* f : {"English.ini", "German.ini"})
        ::CopyFileA((std::string(TESSIVOX_SOURCE_DIR) + "\\res\\Languages\\" + f).c_str(),
                    (dir / "Languages\\" + f).c_str(), FALSE);
    WriteTextFile(dir / "settings.ini", "[Setting]\r\nLanguage=Deutsch\r\n");
    CMessageBoxLog boxes;
    CRenamerApp app;
    app.m_strProgramDir = dir.Path();
    g_strFirstTab.clear();
    ::SetTimer(nullptr, 0, 50, &NoteAndClose);
    app.InitInstance();
    EXPECT_TRUE(boxes.m_shown.empty());
    EXPECT_EQ(g_strLanguageFile, dir / "Languages\\German.ini");
    EXPECT_EQ(g_strFirstTab, "Einsteiger");
    // a complete translation gains no key while the window is shown
    EXPECT_EQ(Section(g_strLanguageFile, "String").size(), 37u);
}

} // namespace
