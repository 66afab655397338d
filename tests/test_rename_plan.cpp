// What a run decides for one file: the date source, the refusals, the clash rule.
#include "rename/RenamePlan.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <vector>

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

struct Case {
    const char* what;
    std::string name;
    std::function<void(RenameOptions&)> set;
    FileDates dates;
    RenameVerdict verdict;
    std::string newName;
    int clashCount; // after the decision, from 4
};

TEST(DecideRename, ChoosesTheDateRefusesAndNumbersAsTheRunDoes) {
    const std::string folder = "C:\\p\\";
    const std::tm created = At(2004, 9, 21, 11, 19, 48), taken = At(2019, 7, 14, 9, 8, 7);
    const FileDates both = {created, taken}, createdOnly = {created, std::nullopt};
    auto plain = [](RenameOptions& o) { o.addDate = o.addTime = 0; };
    auto photo = [](RenameOptions& o) { o.usePhotoDate = 1; };
    const std::vector<Case> cases = {
        {"creation date by default", "IMG.JPG", nullptr, both, RenameVerdict::Rename,
         "IMG 2004-9-21  11_19_48.JPG", 4},
        {"camera date when asked", "IMG.JPG", photo, both, RenameVerdict::Rename,
         "IMG 2019-7-14  9_8_7.JPG", 4},
        {"creation date without a camera date", "IMG.JPG", photo, createdOnly,
         RenameVerdict::Rename, "IMG 2004-9-21  11_19_48.JPG", 4},
        {"no date at all", "IMG.JPG", photo, {}, RenameVerdict::NoDate, "", 4},
        {"no date needed", "IMG.JPG", plain, {}, RenameVerdict::Rename, "IMG-5.JPG", 5},
        {"clash with another entry", "taken.jpg",
         [](RenameOptions& o) {
             o.addDate = o.addTime = 0;
             o.replace = 1;
             o.replaceFrom = "taken";
             o.replaceTo = "other";
         },
         both, RenameVerdict::Rename, "other-5.jpg", 5},
        {"device name", "x.txt",
         [](RenameOptions& o) {
             o.addDate = o.addTime = 0;
             o.replace = 1;
             o.replaceFrom = "x";
             o.replaceTo = "nul";
         },
         both, RenameVerdict::Reserved, "nul.txt", 4},
        {"trailing dot", "x.", plain, both, RenameVerdict::Reserved, "x.", 4},
        {"separator typed during a run", "a.jpg",
         [](RenameOptions& o) {
             o.addPrefix = 1;
             o.prefix = "..\\";
         },
         both, RenameVerdict::BadText, "..\\a 2004-9-21  11_19_48.jpg", 4},
        {"new path past the limit", std::string(240, 'n') + ".jpg", nullptr, both,
         RenameVerdict::PathTooLong, std::string(240, 'n') + " 2004-9-21  11_19_48.jpg", 4},
        {"own path past the limit", std::string(260, 'n'), nullptr, both, RenameVerdict::LeftAlone,
         "", 4},
    };
    auto lower = [](std::string s) {
        for (char& ch : s)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        return s;
    };
    // The folder holds the file itself and "OTHER.JPG"; names match in any case.
    for (const Case& c : cases) {
        RenameOptions o;
        if (c.set)
            c.set(o);
        const std::set<std::string> entries = {lower(folder + c.name), lower(folder + "OTHER.JPG")};
        NameRules rules;
        rules.exists = [&](const std::string& path) { return entries.count(lower(path)) != 0; };
        rules.pathUnits = [](const std::string& path) { return path.size(); };
        int count = 4;
        RenameDecision d = DecideRename(folder, c.name, c.dates, o, count, rules);
        EXPECT_EQ(d.verdict, c.verdict) << c.what;
        EXPECT_EQ(d.newName, c.newName) << c.what;
        EXPECT_EQ(count, c.clashCount) << c.what;
        if (d.verdict == RenameVerdict::Rename) {
            EXPECT_EQ(d.newPath, folder + c.newName) << c.what;
        }
    }
}

TEST(StartRefusal, RefusesTextsANameCannotHoldAndADeviceNameForEveryFile) {
    RenameOptions o;
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::Rename);
    o.replaceTo = "a|b"; // replace is off: the text is not used
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::Rename);
    o.replace = 1;
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::BadText);
    o = {};
    o.removeOldName = 1;
    o.addDate = o.addTime = 0;
    o.addPrefix = 1;
    o.prefix = "COM1";
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::Reserved);
    EXPECT_FALSE(WantsPhotoDate(o));
}

} // namespace
