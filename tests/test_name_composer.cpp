// Composing new names from the old name, the creation time and the options.
#include "rename/NameComposer.h"

#include <gtest/gtest.h>

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    return CalendarTime(year, month, day, hour, minute, second);
}

// The new file name for "IMG_0012.JPG" created 2004-09-21 11:19:48.
std::string NewName(const RenameOptions& o, const std::string& name = "IMG_0012.JPG",
                    const std::tm& t = At(2004, 9, 21, 11, 19, 48)) {
    FileNameParts parts = SplitFileName(name);
    std::string title;
    ComposeTitleInto(title, parts.title, t, o);
    return title + parts.ext;
}

TEST(ComposeTitle, DefaultsPutDateAndTimeTwoBlanksApart) {
    EXPECT_EQ(NewName({}), "IMG_0012 2004-9-21  11_19_48.JPG");
}

TEST(ComposeTitle, EachOptionShapesTheName) {
    RenameOptions o;
    o.addDate = 0;
    EXPECT_EQ(NewName(o), "IMG_0012 11_19_48.JPG");

    o = {};
    o.addTime = 0;
    EXPECT_EQ(NewName(o), "IMG_0012 2004-9-21.JPG");

    o = {};
    o.addPrefix = 1;
    o.prefix = "Trip";
    EXPECT_EQ(NewName(o), "TripIMG_0012 2004-9-21  11_19_48.JPG");

    o.prefix = "";
    EXPECT_EQ(NewName(o), "IMG_0012 2004-9-21  11_19_48.JPG");

    o = {};
    o.prefix = "Trip"; // a prefix without its box checked does nothing
    EXPECT_EQ(NewName(o), "IMG_0012 2004-9-21  11_19_48.JPG");

    o = {};
    o.removeOldName = 1;
    o.addTime = 0;
    EXPECT_EQ(NewName(o), " 2004-9-21.JPG");

    o.addDate = 0;
    EXPECT_EQ(NewName(o), ".JPG");

    o = {};
    o.addDate = o.addTime = 0;
    EXPECT_EQ(NewName(o), "IMG_0012.JPG"); // unchanged: the clash rule then numbers it
}

TEST(ComposeTitle, SingleDigitFieldsStaySingle) {
    EXPECT_EQ(NewName({}, "a.jpg", At(2005, 3, 1, 8, 7, 6)), "a 2005-3-1  8_7_6.jpg");
    EXPECT_EQ(NewName({}, "a.jpg", At(2004, 1, 2, 9, 5, 3)), "a 2004-1-2  9_5_3.jpg");
}

TEST(ComposeTitle, TimesOutsideThe32BitRangeCompose) {
    EXPECT_EQ(NewName({}, "old.jpg", At(1965, 12, 31, 23, 59, 59)), "old 1965-12-31  23_59_59.jpg");
    EXPECT_EQ(NewName({}, "new.jpg", At(2050, 7, 4, 0, 0, 0)), "new 2050-7-4  0_0_0.jpg");
}

TEST(ComposeTitle, ReplacementActsOnTitleAndTimeButNeverOnTheExtension) {
    RenameOptions o;
    o.replace = 1;
    o.replaceFrom = "_";
    o.replaceTo = ".";
    EXPECT_EQ(NewName(o), "IMG.0012 2004-9-21  11.19.48.JPG");

    o.replaceFrom = "JPG";
    o.replaceTo = "x";
    EXPECT_EQ(NewName(o), "IMG_0012 2004-9-21  11_19_48.JPG");

    o.replaceFrom = "";
    EXPECT_EQ(NewName(o), "IMG_0012 2004-9-21  11_19_48.JPG");

    o.replaceFrom = "img"; // letter case counts
    EXPECT_EQ(NewName(o), "IMG_0012 2004-9-21  11_19_48.JPG");

    o.addPrefix = 1;
    o.prefix = "Trip_";
    o.replaceFrom = "Trip";
    o.replaceTo = "Walk";
    EXPECT_EQ(NewName(o), "Walk_IMG_0012 2004-9-21  11_19_48.JPG");
}

TEST(SplitFileName, TitleAndExtension) {
    struct Case {
        const char* name;
        const char* title;
        const char* ext;
    } cases[] = {{"a.b.c", "a.b", ".c"},
                 {".profile", "", ".profile"},
                 {"README", "README", ""},
                 {"IMG_0012.JPG", "IMG_0012", ".JPG"},
                 {"trailing.", "trailing", "."}};
    for (const Case& c : cases) {
        FileNameParts p = SplitFileName(c.name);
        EXPECT_EQ(p.title, c.title) << c.name;
        EXPECT_EQ(p.ext, c.ext) << c.name;
    }
    EXPECT_EQ(NewName({}, ".profile"), " 2004-9-21  11_19_48.profile");
    EXPECT_EQ(NewName({}, "README"), "README 2004-9-21  11_19_48");
}

TEST(ClashName, SuffixStandsBeforeTheExtension) {
    EXPECT_EQ(ClashName("C:\\P\\", "Trip", 1, ".JPG"), "C:\\P\\Trip-1.JPG");
    EXPECT_EQ(ClashName("C:\\P\\", "", 12, ".JPG"), "C:\\P\\-12.JPG");
}

TEST(ComposeSample, ShowsTheShapeOnAFixedExample) {
    RenameOptions o;
    EXPECT_EQ(ComposeSample("filename", o), "filename2004-09-21 11_19_48");
    o.addDate = 0;
    EXPECT_EQ(ComposeSample("filename", o), "filename11_19_48");
    o = {};
    o.addTime = 0;
    EXPECT_EQ(ComposeSample("filename", o), "filename2004-09-21");
    o = {};
    o.removeOldName = 1;
    EXPECT_EQ(ComposeSample("filename", o), "2004-09-21 11_19_48");
    o = {};
    o.addPrefix = 1;
    o.prefix = "X";
    EXPECT_EQ(ComposeSample("filename", o), "Xfilename2004-09-21 11_19_48");
    o = {};
    o.replace = 1;
    o.replaceFrom = "file";
    o.replaceTo = "photo";
    EXPECT_EQ(ComposeSample("filename", o), "photoname2004-09-21 11_19_48");
    EXPECT_EQ(ComposeSample("Dateiname", {}), "Dateiname2004-09-21 11_19_48");
}

bool ShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

TEST(IsFileNameText, RefusesSeparatorsDrivesWildcardsAndControls) {
    EXPECT_TRUE(IsFileNameText("Trip 2004 (1) & more"));
    EXPECT_TRUE(IsFileNameText(""));
    for (const char* bad : {"a\\b", "a/b", "C:", "*", "?", "\"", "<", ">", "|", "tab\t", "..\\x"})
        EXPECT_FALSE(IsFileNameText(bad)) << bad;
    const std::string hyou = "\x95\x5C"; // a Shift-JIS character whose second byte is 0x5C
    EXPECT_TRUE(IsFileNameText(hyou, &ShiftJisLead));
    EXPECT_FALSE(IsFileNameText(hyou));
}

TEST(IsStorableName, RefusesDevicesAndNamesTheFileSystemWouldAlter) {
    for (const char* good : {"a.jpg", ".jpg", "CONSOLE.jpg", "NUL-1.jpg", "COM10", "x .jpg",
                             "\xE6\x97\xA5\xE6\x9C\xAC"
                             "1.jpg"})
        EXPECT_TRUE(IsStorableName(good)) << good;
    for (const char* bad :
         {"", "NUL", "nul.jpg", "NUL .jpg", "Con", "LPT1.", "com9.txt", "AUX.tar.gz", "COM\xC2\xB9",
          "conout$.jpg", "a.", "a ", "x .", "photo. "})
        EXPECT_FALSE(IsStorableName(bad)) << bad;
}

} // namespace
