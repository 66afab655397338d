// Looking texts up in the chosen language file, and its filling itself.
#include "app/AppPaths.h"
#include "app/LanguageFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class Lookup : public ::testing::Test {
protected:
    CTempFolder m_dir;
    void SetUp() override {
        g_strLanguageFile = m_dir / "English.ini";
        WriteTextFile(g_strLanguageFile, "[Setting]\r\nLanguage=English\r\n");
    }
    std::string Raw(const std::string& key) {
        char buf[1000] = {};
        ::GetPrivateProfileStringA("Message", key.c_str(), "<missing>", buf, sizeof(buf),
                                   g_strLanguageFile.c_str());
        return buf;
    }
    void Put(const std::string& key, const std::string& value) {
        ::WritePrivateProfileStringA("Message", key.c_str(), value.c_str(),
                                     g_strLanguageFile.c_str());
    }
};

TEST_F(Lookup, MissReturnsTheDefaultAndWritesItEncoded) {
    EXPECT_EQ(LookupText("Sum", "a=b\tc\nd"), "a=b\tc\nd");
    EXPECT_EQ(Raw("Sum"), "a<-->b<-T->c<|>d");
    EXPECT_EQ(LookupText("Sum", "other default"), "a=b\tc\nd"); // reads back decoded
}

TEST_F(Lookup, EmptyKeyUsesTheDefaultAsKey) {
    EXPECT_EQ(LookupText("", "File List"), "File List");
    EXPECT_EQ(Raw("File List"), "File List");
}

TEST_F(Lookup, SentinelValueCountsAsMissingAndIsReplaced) {
    Put("filename", "INI_LOADERROR");
    EXPECT_EQ(LookupText("filename", "filename"), "filename");
    EXPECT_EQ(Raw("filename"), "filename");
}

TEST_F(Lookup, EmptyValueStaysEmptyAndIsNotRewritten) {
    Put("Expert", "");
    std::string before = ReadTextFile(g_strLanguageFile);
    EXPECT_EQ(LookupText("Expert", "  Expert  "), "");
    EXPECT_EQ(ReadTextFile(g_strLanguageFile), before);
}

TEST_F(Lookup, BlanksAroundADefaultFollowTheIniFormat) {
    // The first lookup shows the default as built in; the INI reader trims
    // blanks around values, so what is read back later has none.
    EXPECT_EQ(LookupText("Beginner", "  Beginner  "), "  Beginner  ");
    EXPECT_EQ(LookupText("Beginner", "  Beginner  "), "Beginner");
}

TEST_F(Lookup, LongValueIsCutTo299Characters) {
    Put("Long", std::string(400, 'x'));
    EXPECT_EQ(LookupText("Long", "d"), std::string(299, 'x'));
}

TEST_F(Lookup, TokensInTheFileAreDecoded) {
    Put("Two", "first<|>second<-->third<-T->end");
    EXPECT_EQ(LookupText("Two", "d"), "first\nsecond=third\tend");
}

TEST_F(Lookup, ReadOnlyFileStillGivesTheDefaults) {
    ::SetFileAttributesA(g_strLanguageFile.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(LookupText("ReplaceSuccessfully", "Done!"), "Done!");
    EXPECT_EQ(LookupText("ReplaceSuccessfully", "Done!"), "Done!");
    ::SetFileAttributesA(g_strLanguageFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
