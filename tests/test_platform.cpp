// The framework layer: dispatch of commands and reflected notifications, and a
// failed rename reported by the dispatch while the program goes on.
#include "support/TestSupport.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "platform/FileFind.h"
#include "platform/Time.h"
#include "platform/Wnd.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class CCommandTarget : public CWnd {
public:
    std::string m_from, m_to;
    int m_nCommands = 0;
    void OnRename() {
        ++m_nCommands;
        CFile::Rename(m_from, m_to);
    }
    void OnOther() { ++m_nCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandTarget, CWnd)
    ON_COMMAND(100, OnRename)
    ON_COMMAND(101, OnOther)
END_MESSAGE_MAP()

TEST(Dispatch, FailedRenameIsReportedAndTheProgramGoesOn) {
    CTempFolder dir;
    WriteTextFile(dir / "a.jpg", "first");
    WriteTextFile(dir / "b.jpg", "second");
    CCommandTarget target;
    ASSERT_TRUE(target.CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    target.m_from = dir / "a.jpg";
    target.m_to = dir / "b.jpg";

    CMessageBoxLog boxes;
    target.SendMessage(WM_COMMAND, 100, 0);
    ASSERT_EQ(boxes.m_shown.size(), 1u);
    EXPECT_NE(boxes.m_shown[0].text.find(dir / "a.jpg"), std::string::npos);
    EXPECT_NE(boxes.m_shown[0].text.find(SystemErrorText(ERROR_ALREADY_EXISTS)), std::string::npos);
    EXPECT_EQ(ReadTextFile(dir / "a.jpg"), "first");
    EXPECT_EQ(ReadTextFile(dir / "b.jpg"), "second");

    target.SendMessage(WM_COMMAND, 101, 0);
    EXPECT_EQ(target.m_nCommands, 2);
    target.DestroyWindow();
    EXPECT_EQ(target.m_hWnd, nullptr);
}

TEST(Rename, RenamesAndNeverReplaces) {
    CTempFolder dir;
    WriteTextFile(dir / "a.jpg", "A");
    CFile::Rename(dir / "a.jpg", dir / "c.jpg");
    EXPECT_EQ(ReadTextFile(dir / "c.jpg"), "A");
    WriteTextFile(dir / "d.jpg", "D");
    EXPECT_THROW(CFile::Rename(dir / "c.jpg", dir / "D.JPG"), CFileException);
    EXPECT_EQ(ReadTextFile(dir / "d.jpg"), "D");
    EXPECT_EQ(ReadTextFile(dir / "c.jpg"), "A");
}

class CReflectingChild : public CWnd {
public:
    int m_nClicked = 0;
    void OnClicked() { ++m_nClicked; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingChild, CWnd)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CParent : public CWnd {
public:
    int m_nSeen = 0;
    void OnChildClicked() { ++m_nSeen; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParent, CWnd)
    ON_CONTROL(STN_CLICKED, 7, OnChildClicked)
END_MESSAGE_MAP()

TEST(Dispatch, ControlNotificationIsHandledByTheControlItself) {
    CParent parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    HWND hChild = ::CreateWindowExA(0, "STATIC", "x", WS_CHILD | SS_NOTIFY, 0, 0, 10, 10,
                                    parent.m_hWnd, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    CReflectingChild child;
    ASSERT_TRUE(child.SubclassWindow(hChild));
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, STN_CLICKED), reinterpret_cast<LPARAM>(hChild));
    EXPECT_EQ(child.m_nClicked, 1);
    EXPECT_EQ(parent.m_nSeen, 0);

    child.UnsubclassWindow();
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, STN_CLICKED), reinterpret_cast<LPARAM>(hChild));
    EXPECT_EQ(parent.m_nSeen, 1);
    parent.DestroyWindow();
}

TEST(FileFind, ListsEntriesWithTitlesAndFullPaths) {
    CTempFolder dir;
    WriteTextFile(dir / "a.b.c", "");
    WriteTextFile(dir / ".profile", "");
    WriteTextFile(dir / "README", "");
    MakeFolder(dir / "sub");
    std::map<std::string, std::string> titles;
    int dots = 0, folders = 0;
    CFileFind finder;
    BOOL more = finder.FindFile(dir / "*.*");
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) {
            ++dots;
            continue;
        }
        if (finder.IsDirectory()) {
            ++folders;
            continue;
        }
        EXPECT_EQ(finder.GetFilePath(), dir / finder.GetFileName());
        titles[finder.GetFileName()] = finder.GetFileTitle();
    }
    EXPECT_EQ(dots, 2);
    EXPECT_EQ(folders, 1);
    EXPECT_EQ(titles["a.b.c"], "a.b");
    EXPECT_EQ(titles[".profile"], "");
    EXPECT_EQ(titles["README"], "README");
}

TEST(FileFind, DriveRootIsJoinedWithOneSeparator) {
    EXPECT_EQ(JoinPath("C:\\", "a.jpg"), "C:\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\Photos", "*.*"), "C:\\Photos\\*.*");
}

TEST(CodePage, NamesPassOnlyWhenTheyComeBackUnchanged) {
    std::string narrow;
    EXPECT_TRUE(NarrowNameExactly(L"\u65E5\u672C1.jpg", narrow));
    EXPECT_EQ(narrow, u8"日本1.jpg");
    EXPECT_EQ(PathUnits(narrow), 7u);
    // an unpaired surrogate, which NTFS allows in a name, has no exact narrow form
    EXPECT_FALSE(NarrowNameExactly(std::wstring(L"a") + wchar_t(0xD800) + L".jpg", narrow));
}

TEST(CodePage, NamesTheFileSystemTakesForOneHashAlike) {
    // Lengths around the eight bytes hashed at once, ASCII and not.
    const std::pair<std::string, std::string> same[] = {
        {"", ""},
        {"a", "A"},
        {"img_001.jpg", "IMG_001.JPG"},
        {"abcdefgh", "ABCDEFGH"},
        {"abcdefghijklmnopq.Jpg", "ABCDEFGHIJKLMNOPQ.jPG"},
        {u8"\u00c4rger.jpg", u8"\u00e4RGER.JPG"},
    };
    for (const auto& [a, b] : same) {
        EXPECT_TRUE(SameNameKey(a, b)) << a;
        EXPECT_EQ(NameKeyHash(a), NameKeyHash(b)) << a;
    }
    EXPECT_FALSE(SameNameKey("abcdefgh1", "abcdefgh2"));
    EXPECT_NE(NameKeyHash("abcdefgh1"), NameKeyHash("abcdefgh2"));
    EXPECT_FALSE(SameNameKey("abc", "abc "));
}

TEST(CodePage, ANameWithALetterWhoseCapitalIsAsciiHashesAsTheAsciiName) {
    // Its key is an ASCII name's: both ways of hashing must give that key one hash.
    std::string narrow;
    for (wchar_t c = 0x80; c < 0xD800; ++c) {
        wchar_t upper = c;
        ::CharUpperBuffW(&upper, 1);
        if (upper >= 0x80 || !NarrowNameExactly(std::wstring(L"name") + c, narrow))
            continue;
        const std::string ascii = "NAME" + std::string(1, static_cast<char>(upper));
        EXPECT_TRUE(SameNameKey(narrow, ascii)) << int(c);
        EXPECT_EQ(NameKeyHash(narrow), NameKeyHash(ascii)) << int(c);
        return;
    }
    GTEST_SKIP() << "no letter past ASCII has an ASCII capital here";
}

TEST(Time, LocalTimeUsesTheRuleInForceOnThatDateAndRefusesNonTimes) {
    // UTC times, so compare against the same moment seen through the platform
    for (std::int64_t seconds : {-157766400LL /*1965-01-01*/, 2524608000LL /*2050-01-01*/}) {
        std::tm tm = {};
        ASSERT_TRUE(CTime(seconds).GetLocalTm(tm));
        int year = seconds < 0 ? 1964 : 2049;
        EXPECT_GE(tm.tm_year + 1900, year);
        EXPECT_LE(tm.tm_year + 1900, year + 1);
        EXPECT_GE(tm.tm_mday, 1);
    }
    FILETIME ft = {0x256D4000, 0x01BF53EB}; // 2000-01-01 00:00:00 UTC
    EXPECT_EQ(CTime(ft).GetTime(), 946684800LL);

    // Berlin: a summer date keeps its summer hour whatever the season now
    TIME_ZONE_INFORMATION berlin = {};
    berlin.Bias = -60;
    berlin.DaylightBias = -60;
    berlin.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    berlin.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    for (std::int64_t utc :
         {1095758388LL /*2004-09-21 09:19:48*/, 1103624388LL /*12-21 10:19:48*/}) {
        std::tm tm = {};
        ASSERT_TRUE(CTime(utc).GetLocalTm(tm, &berlin));
        EXPECT_EQ(tm.tm_hour, 11) << utc;
        EXPECT_EQ(tm.tm_min, 19);
    }

    // no FILETIME bit pattern overflows or yields a made-up date
    std::tm untouched = {};
    untouched.tm_year = 77;
    for (FILETIME bad : {FILETIME{0xFFFFFFFF, 0xFFFFFFFF}, FILETIME{0, 0x80100000}}) {
        std::tm tm = untouched;
        EXPECT_FALSE(CTime(bad).GetLocalTm(tm));
        EXPECT_EQ(tm.tm_year, 77);
    }
    std::tm tm = {};
    EXPECT_FALSE(CTime(INT64_MIN).GetLocalTm(tm));
    EXPECT_FALSE(CTime(INT64_MAX).GetLocalTm(tm));
}

} // namespace
