// What a run decides for one file: the date source, the refusals, the clash
// rule; and how its journal reads back.
#include "rename/FileGroups.h"
#include "rename/JournalRecord.h"
#include "rename/NameComposer.h"
#include "rename/NameKeyTable.h"
#include "rename/RenamePlan.h"
#include "rename/RunGuard.h"
#include "rename/TimeShift.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    return CalendarTime(year, month, day, hour, minute, second);
}

TEST(DecideRename, ChoosesTheDateRefusesAndNumbersAsTheRunDoes) {
    const FileDates both = {At(2004, 9, 21, 11, 19, 48), At(2019, 7, 14, 9, 8, 7)};
    const FileDates createdOnly = {both.created, std::nullopt};
    const std::string n240(240, 'n');
    struct Case {
        std::string name;
        bool photo, dateTime;
        const char* prefix; // with the old name removed when it is not empty
        FileDates dates;
        RenameVerdict verdict;
        std::string newName;
    };
    const Case cases[] = {
        {"IMG.JPG", false, true, "", both, RenameVerdict::Rename, "IMG 2004-9-21  11_19_48.JPG"},
        {"IMG.JPG", true, true, "", both, RenameVerdict::Rename, "IMG 2019-7-14  9_8_7.JPG"},
        {"IMG.JPG", true, true, "", createdOnly, RenameVerdict::Rename,
         "IMG 2004-9-21  11_19_48.JPG"},
        {"IMG.JPG", true, true, "", {}, RenameVerdict::NoDate, ""},
        {"IMG.JPG", true, false, "", {}, RenameVerdict::Rename, "IMG-5.JPG"}, // clashes with itself
        {"x.jpg", false, false, "other", both, RenameVerdict::Rename, "other-5.jpg"},
        {"x.txt", false, false, "nul", both, RenameVerdict::Reserved, "nul.txt"},
        {"x.", false, false, "", both, RenameVerdict::Reserved, "x."},
        {"a.jpg", false, false, "..\\", both, RenameVerdict::BadText, "..\\.jpg"},
        {n240 + ".jpg", false, true, "", both, RenameVerdict::PathTooLong,
         n240 + " 2004-9-21  11_19_48.jpg"},
        {n240 + n240, false, true, "", both, RenameVerdict::LeftAlone, ""},
    };
    auto lower = [](std::string s) {
        for (char& ch : s)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        return s;
    };
    for (const Case& c : cases) {
        RenameOptions o;
        o.usePhotoDate = c.photo;
        o.addDate = o.addTime = c.dateTime;
        o.removeOldName = o.addPrefix = *c.prefix != 0;
        o.prefix = c.prefix;
        // The folder holds the file itself and "OTHER.JPG"; names match in any case.
        NameRules rules;
        rules.exists = [&](const std::string& path) {
            return lower(path) == lower("C:\\p\\" + c.name) || lower(path) == "c:\\p\\other.jpg";
        };
        rules.pathUnits = [](const std::string& path) { return path.size(); };
        int count = 4;
        RenameDecision d = DecideRename("C:\\p\\", c.name, c.dates, o, count, rules);
        EXPECT_EQ(d.verdict, c.verdict) << c.name;
        EXPECT_EQ(d.newName, c.newName) << c.name;
        EXPECT_EQ(count, d.clashed ? 5 : 4) << c.name;
    }
}

std::wstring AsciiKey(const std::string& name) {
    std::wstring key;
    for (char c : name)
        key += static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

// A camera's folder in its listing's order, each group decided in turn as the
// run does: one date (raw before still before video, never a sidecar's), one
// title, one clash number; a refusing file holds back its whole group.
TEST(DecideGroup, RelatedFilesShareOneDateOneTitleAndOneClashNumber) {
    const std::tm copied = At(2024, 1, 2, 3, 4, 5);
    const std::tm early = At(2020, 1, 1, 1, 1, 1);
    const std::tm raw = At(2021, 5, 6, 7, 8, 10);
    const std::tm jpeg = At(2021, 5, 6, 7, 8, 9);
    const std::tm movie = At(2022, 2, 3, 4, 5, 6);
    struct Case {
        std::string name;
        FileDates dates;
        std::string newName; // or the verdict that holds the group back, in brackets
    };
    const Case cases[] = {
        {"IMG_1234.JPG", {copied, jpeg}, "IMG_1234 2021-5-6  7_8_10.JPG"},
        {"IMG_1234.CR3", {copied, raw}, "IMG_1234 2021-5-6  7_8_10.CR3"},
        {"IMG_1234.xmp", {early, {}}, "IMG_1234 2021-5-6  7_8_10.xmp"},
        {"IMG_1234.CR3.xmp", {early, {}}, "IMG_1234 2021-5-6  7_8_10.CR3.xmp"},
        {"img_1234.cr3.dop", {early, {}}, "IMG_1234 2021-5-6  7_8_10.CR3.dop"},
        {"IMG_1234.JPG.xmp", {early, {}}, "IMG_1234 2021-5-6  7_8_10.JPG.xmp"},
        {"IMG_1234.pp3", {early, {}}, "IMG_1234 2021-5-6  7_8_10.pp3"},
        {"IMG_2000.AAE", {early, {}}, "IMG_2000 2021-5-6  7_8_9.AAE"},
        {"IMG_2000.MOV", {copied, movie}, "IMG_2000 2021-5-6  7_8_9.MOV"},
        {"IMG_2000.HEIC", {copied, jpeg}, "IMG_2000 2021-5-6  7_8_9.HEIC"},
        {"MVI_0001.THM", {copied, jpeg}, "MVI_0001 2022-2-3  4_5_6.THM"},
        {"MVI_0001.AVI", {copied, movie}, "MVI_0001 2022-2-3  4_5_6.AVI"},
        {"C0001.MP4", {copied, movie}, "C0001 2022-2-3  4_5_6.MP4"},
        {"C0001M01.XML", {early, {}}, "C0001 2022-2-3  4_5_6M01.XML"},
        {"DSC_1.xmp", {early, {}}, "DSC_1 2024-1-2  3_4_5.xmp"}, // no camera date: the NEF's copy
        {"DSC_1.NEF", {copied, {}}, "DSC_1 2024-1-2  3_4_5.NEF"},
        {"DSC_1.JPG", {movie, {}}, "DSC_1 2024-1-2  3_4_5.JPG"},
        {"P_1.CR2", {copied, {}}, "P_1 2024-1-2  3_4_5-1.CR2"}, // its JPEG's name is taken
        {"P_1.JPG", {copied, {}}, "P_1 2024-1-2  3_4_5-1.JPG"},
        {"P_1 2024-1-2  3_4_5.JPG", {copied, {}}, "P_1 2024-1-2  3_4_5 2024-1-2  3_4_5.JPG"},
        {"alone.xmp", {early, {}}, "alone 2020-1-1  1_1_1.xmp"},
        {"locked.jpg", {copied, jpeg}, "(not reached)"},
        {"locked.xmp", {early, {}, 32}, "(Unreadable)"},
    };
    std::vector<std::string> names;
    for (const Case& c : cases)
        names.push_back(c.name);
    std::set<std::wstring> taken;
    for (const std::string& name : names)
        taken.insert(AsciiKey("C:\\p\\" + name));
    NameRules rules;
    rules.exists = [&](const std::string& path) { return taken.count(AsciiKey(path)) != 0; };
    rules.pathUnits = [](const std::string& path) { return path.size(); };
    RenameOptions o;
    o.usePhotoDate = 1;
    int clashes = 0;
    std::map<std::string, std::string> decided;
    for (const FileGroup& group : GroupRelatedFiles(names, &AsciiKey)) {
        std::vector<GroupFile> files;
        for (const GroupMember& m : group)
            files.push_back({names[m.file], m, cases[m.file].dates});
        const GroupDecision g = DecideGroup("C:\\p\\", files, o, clashes, rules);
        for (size_t i = 0; i < files.size(); ++i) {
            std::string& text = decided[files[i].name];
            if (g.verdict == RenameVerdict::Rename) {
                text = g.files[i].newName;
                taken.insert(AsciiKey(g.files[i].newPath));
            } else {
                text = i == g.refused ? "(Unreadable)" : "(not reached)";
                EXPECT_EQ(g.verdict, RenameVerdict::Unreadable);
            }
        }
    }
    for (const Case& c : cases)
        EXPECT_EQ(decided[c.name], c.newName) << c.name;
    EXPECT_EQ(clashes, 1);

    // A sidecar whose own path is too long to rename holds back its photo too.
    const std::string title(250, 'L');
    const std::vector<std::string> pair = {title + ".JPG", title + ".JPG.xmp"};
    const std::vector<FileGroup> groups = GroupRelatedFiles(pair, &AsciiKey);
    ASSERT_EQ(groups.size(), 1u);
    std::vector<GroupFile> files;
    for (const GroupMember& m : groups[0])
        files.push_back({pair[m.file], m, {copied, {}}});
    o.removeOldName = 1;
    EXPECT_EQ(DecideGroup("C:\\p\\", files, o, clashes, rules).verdict, RenameVerdict::PathTooLong);
}

TEST(StartRefusal, RefusesTextsANameCannotHoldAndADeviceNameForEveryFile) {
    RenameOptions o;
    o.replaceTo = "a|b"; // replace is off: the text is not used
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::Rename);
    o.replace = 1;
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::BadText);
    o = {};
    o.removeOldName = o.addPrefix = 1;
    o.addDate = o.addTime = 0;
    o.prefix = "COM1";
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::Reserved);
}

TEST(NamePattern, EveryTokenPaddingAndTextAndWhatItRefuses) {
    const std::tm date = At(2024, 3, 5, 4, 7, 9);
    FileDates record = {date, date};
    record.subSecond = "5";
    record.camera = "Canon EOS R6";
    struct Case {
        const char* pattern;
        const FileDates* record; // the camera's record the date came with, if any
        int number;
        RenameVerdict verdict; // at Start
        std::string title;     // or the token refused
    };
    const FileDates none = {date, std::nullopt};
    const Case cases[] = {
        {"<yyyy><MM><dd>_<HH><mm><ss>", &record, 1, RenameVerdict::Rename, "20240305_040709"},
        {"<yy>-<M>-<d> <H>.<m>.<s>", &record, 1, RenameVerdict::Rename, "24-3-5 4.7.9"},
        {"<name> <fff> <camera>", &record, 1, RenameVerdict::Rename, "IMG_0001 500 Canon EOS R6"},
        {"<ss>.<fff>", &none, 1, RenameVerdict::Rename, "09.000"},
        {"Trip <n>-<nn>-<nnnn>", nullptr, 7, RenameVerdict::Rename, "Trip 7-07-0007"},
        {"Trip <nnn>", nullptr, 1234, RenameVerdict::Rename, "Trip 1234"},
        {"plain text", nullptr, 1, RenameVerdict::Rename, "plain text"},
        {"<Name>", nullptr, 1, RenameVerdict::BadPattern, "<Name>"},
        {"a<yyyy", nullptr, 1, RenameVerdict::BadPattern, "<yyyy"},
        {"<yy<MM>", nullptr, 1, RenameVerdict::BadPattern, "<yy"},
        {"<>", nullptr, 1, RenameVerdict::BadPattern, "<>"},
        {"a:b <n>", nullptr, 1, RenameVerdict::BadPatternText, ""},
        {"x > y", nullptr, 1, RenameVerdict::BadPatternText, ""},
        {"LPT1", nullptr, 1, RenameVerdict::Reserved, ""},
    };
    for (const Case& c : cases) {
        RenameOptions o;
        o.usePattern = 1;
        o.pattern = c.pattern;
        const CNaming naming(o);
        std::string fault;
        EXPECT_EQ(naming.Refusal(nullptr, &fault),
                  c.verdict == RenameVerdict::Reserved ? RenameVerdict::Rename : c.verdict)
            << c.pattern;
        EXPECT_EQ(StartRefusal(o, nullptr), c.verdict) << c.pattern;
        if (c.verdict == RenameVerdict::BadPattern)
            EXPECT_EQ(fault, c.title) << c.pattern;
        else if (c.verdict == RenameVerdict::Rename)
            EXPECT_EQ(naming.Title("IMG_0001", &date, c.record ? c.record->subSecond : "",
                                   c.record ? c.record->camera : "", c.number),
                      c.title)
                << c.pattern;
    }

    // A result a name cannot hold is refused for its file, as typed texts are;
    // the replacement works on the pattern's title; the old options are not used.
    RenameOptions o;
    o.usePattern = o.addPrefix = o.replace = 1;
    o.prefix = "a|b";
    o.pattern = "<camera>_<nn>";
    o.replaceFrom = " ";
    o.replaceTo = "-";
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::Rename);
    NameRules rules;
    rules.exists = [](const std::string&) { return false; };
    rules.pathUnits = [](const std::string& path) { return path.size(); };
    int clashes = 0;
    const auto decide = [&](const FileDates& dates) {
        return DecideGroup("C:\\p\\", {GroupFile{"IMG.JPG", SingleFile(0, "IMG.JPG")[0], dates}},
                           CNaming(o), 3, clashes, rules);
    };
    EXPECT_EQ(decide(record).files[0].newName, "Canon-EOS-R6_03.JPG");
    record.camera = "A/B";
    EXPECT_EQ(decide(record).verdict, RenameVerdict::BadText);
    o.pattern = "<yyyy>";
    EXPECT_EQ(decide({}).verdict, RenameVerdict::NoDate);
    // The run reads the options at every group: what Start refuses, typed
    // since, stops the run instead of naming files ".JPG" or leaving dates unshifted.
    o.pattern = "<yyyy";
    EXPECT_EQ(decide(record).verdict, RenameVerdict::BadPattern);
    o.pattern = "<yyyy>";
    o.timeShift = "+1";
    EXPECT_EQ(decide(record).verdict, RenameVerdict::BadShift);
}

TEST(NamePattern, NumbersRunFromOneInEachFolderAndLowerCaseRenamesOnlyTheCase) {
    RenameOptions o;
    o.usePattern = o.lowerCaseExtensions = 1;
    o.pattern = "Trip <nnn>";
    const CNaming naming(o);
    std::set<std::string> taken = {"c:\\b\\trip 001.jpg"};
    NameRules rules;
    rules.exists = [&](const std::string& path) {
        std::string key = path;
        for (char& ch : key)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        return taken.count(key) != 0;
    };
    rules.pathUnits = [](const std::string& path) { return path.size(); };
    CRunningNumber number;
    int clashes = 0;
    std::vector<std::string> made;
    for (const auto& [folder, name] : std::vector<std::pair<std::string, std::string>>{
             {"C:\\a\\", "x.JPG"}, {"C:\\a\\", "y.Jpeg"}, {"C:\\b\\", "z.JPG"}}) {
        const GroupDecision g = DecideGroup(folder, {GroupFile{name, SingleFile(0, name)[0], {}}},
                                            naming, number.For(folder), clashes, rules);
        ASSERT_EQ(g.verdict, RenameVerdict::Rename);
        made.push_back(g.files[0].newName);
        number.Named();
    }
    EXPECT_EQ(made, (std::vector<std::string>{"Trip 001.jpg", "Trip 002.jpeg", "Trip 001-1.jpg"}));

    // IMG.JPG to IMG.jpg is the file's own entry in another case, not a clash;
    // the same name unchanged still is one.
    o.pattern = "<name>";
    taken = {"c:\\a\\img.jpg", "c:\\a\\raw.cr3.xmp"}; // a lone file: its last extension
    for (const auto& [name, expected] : std::vector<std::pair<std::string, std::string>>{
             {"IMG.JPG", "IMG.jpg"}, {"IMG.jpg", "IMG-2.jpg"}, {"RAW.CR3.XMP", "RAW.CR3.xmp"}}) {
        const GroupDecision g =
            DecideGroup("C:\\a\\", {GroupFile{name, SingleFile(0, name)[0], {}}}, CNaming(o), 1,
                        clashes, rules);
        EXPECT_EQ(g.files[0].newName, expected) << name;
    }
}

TEST(TimeShift, ReadsItsFormsAndCountsAcrossMidnightMonthLeapDayAndYearEnd) {
    const std::pair<const char*, std::optional<long long>> texts[] = {
        {"", 0},
        {" +0:00 ", 0},
        {"+1:00", 60},
        {"-0:30", -30},
        {"1:05", 65},
        {"+2 3:00", 3060},
        {"-1 0:00", -1440},
        {"+1", std::nullopt},
        {"+1:5", std::nullopt},
        {"+1:60", std::nullopt},
        {"1:00x", std::nullopt},
        {"++1:00", std::nullopt},
        {"+99999:00", std::nullopt},
        {"- 1:00", std::nullopt},
    };
    for (const auto& [text, minutes] : texts)
        EXPECT_EQ(ParseTimeShift(text), minutes) << text;

    struct Shift {
        std::tm from;
        long long minutes;
        std::tm to;
    };
    const Shift shifts[] = {
        {At(2019, 12, 31, 23, 30, 0), 60, At(2020, 1, 1, 0, 30, 0)},
        {At(2020, 1, 1, 0, 30, 0), -60, At(2019, 12, 31, 23, 30, 0)},
        {At(2024, 2, 28, 23, 0, 15), 120, At(2024, 2, 29, 1, 0, 15)},
        {At(2023, 2, 28, 23, 0, 0), 120, At(2023, 3, 1, 1, 0, 0)},
        {At(2024, 3, 31, 2, 30, 0), 10 * 1440, At(2024, 4, 10, 2, 30, 0)},
    };
    for (const Shift& s : shifts) {
        const std::optional<std::tm> t = ShiftedTime(s.from, s.minutes);
        ASSERT_TRUE(t);
        EXPECT_EQ(DateOrderKey(t), DateOrderKey(s.to)) << s.minutes;
    }
    EXPECT_FALSE(ShiftedTime(At(9999, 12, 31, 23, 30, 0), 60));

    // Only the camera's date moves: a creation time comes from the computer's clock.
    RenameOptions o;
    o.usePhotoDate = o.usePattern = 1;
    o.pattern = "<yyyy><MM><dd>_<HH><mm>";
    o.timeShift = "-1:00";
    const std::tm created = At(2024, 7, 1, 12, 0, 0);
    const CNaming naming(o);
    for (const auto& [taken, title] : std::vector<std::pair<std::optional<std::tm>, std::string>>{
             {At(2024, 1, 1, 0, 30, 0), "20231231_2330"}, {std::nullopt, "20240701_1200"}}) {
        const std::vector<GroupFile> files = {
            {"a.jpg", SingleFile(0, "a.jpg")[0], {created, taken}}};
        const std::optional<std::tm> date = GroupDate(files, naming);
        ASSERT_TRUE(date);
        EXPECT_EQ(naming.Title("a", &*date, {}, {}, 1), title);
    }
    o.timeShift = "+1h";
    EXPECT_EQ(StartRefusal(o, nullptr), RenameVerdict::BadShift);
}

TEST(RunOrder, ByDateEarlierFirstEqualDatesAndNoDateAsListed) {
    const std::vector<std::optional<std::tm>> dates = {
        At(2024, 5, 2, 10, 0, 0), At(2024, 5, 1, 9, 0, 0), std::nullopt, At(2024, 5, 1, 9, 0, 0),
        At(2023, 12, 31, 23, 59, 59)};
    EXPECT_EQ(RunOrder(dates, false), (std::vector<size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(RunOrder(dates, true), (std::vector<size_t>{2, 4, 1, 3, 0}));
}

TEST(RunAsksFirst, OverADriveAProfileOrTheSystemAndNowhereElse) {
    const KnownFolders known = {"C:\\Users\\Ann",
                                {"C:\\Windows", "C:\\Program Files", "C:\\ProgramData"}};
    const std::pair<const char*, bool> cases[] = {
        {"C:\\", true},
        {"d:", true},
        {"\\\\nas\\photos\\", true},
        {"\\\\?\\E:\\", true},
        {"c:\\users\\ann\\", true},
        {"C:\\Windows", true},
        {"C:\\windows\\System32", true},
        {"C:\\Program Files\\Tessivox", true},
        {"C:\\ProgramData\\Cameras", true},
        {"C:\\Users\\Ann\\Pictures", false},
        {"C:\\Users", false},
        {"C:\\WindowsPhotos", false},
        {"C:\\Program Files (x86)", false}, // not named here
        {"\\\\nas\\photos\\2024", false},
        {"D:\\DCIM\\100CANON", false},
        {"", false},
    };
    for (const auto& [folder, asks] : cases)
        EXPECT_EQ(RunAsksFirst(folder, known), asks) << folder;
    EXPECT_FALSE(RunAsksFirst("C:\\Users\\Ann", KnownFolders{}));
}

} // namespace

// A journal as a killed program leaves it: records read back as written, a
// torn last line passed over, a line that makes no sense keeping its place.
TEST(ParseJournal, ReadsBackWhatWasWrittenAndNothingTorn) {
    JournalEntry kinds[4];
    kinds[0].identity = {7, 0xABCDEF, 12, 34, true, true, true}; // a number the volume keeps
    kinds[1].identity = {7, 0x10, 12, 34, false, true, true};    // a number given anew
    kinds[2].identity = {0, 0, 12, 34, false, false, true};      // size and time
    kinds[3].identity = FileIdentity();                          // nothing
    for (size_t i = 0; i < 4; ++i) {
        kinds[i].oldPath = "C:\\p\\a\t%0A\n" + std::to_string(i) + ".jpg";
        kinds[i].newPath = "C:\\p\\b\r" + std::to_string(i) + ".jpg";
    }
    std::string text = std::string(kJournalHeader) + "\n" + PlanRecord(kinds[0]) +
                       "plan\tnonsense\n" + PlanRecord(kinds[1]) + PlanRecord(kinds[2]) +
                       PlanRecord(kinds[3]) + DoneRecord(4) + MovedRecord(2, "C:\\q\\c.jpg") +
                       RestoredRecord(0) + "done\t9\n" + EndRecord("done");
    JournalContent content = ParseJournal(text.substr(0, text.size() - 1)); // torn end
    ASSERT_EQ(content.entries.size(), 5u);
    EXPECT_FALSE(content.ended);
    for (size_t i = 0; i < 4; ++i) {
        const JournalEntry& e = content.entries[i < 1 ? 0 : i + 1];
        EXPECT_EQ(e.oldPath, kinds[i].oldPath) << i;
        EXPECT_EQ(e.identity.known, kinds[i].identity.known) << i;
        EXPECT_EQ(e.identity.hasId, kinds[i].identity.hasId) << i;
        EXPECT_EQ(e.identity.stableId, kinds[i].identity.stableId) << i;
        EXPECT_EQ(e.identity.fileId, kinds[i].identity.fileId) << i;
    }
    EXPECT_TRUE(content.entries[0].restored);
    EXPECT_EQ(content.entries[2].newPath, "C:\\q\\c.jpg");
    EXPECT_TRUE(content.entries[4].done);
    EXPECT_TRUE(ParseJournal(text).ended);
    EXPECT_TRUE(ParseJournal("Tessivox journal 2\n" + PlanRecord(kinds[0])).entries.empty());
}

TEST(NameKeyTable, FindsEveryNameAfterGrowingAndNoneAfterClearing) {
    // Hashes whose slots crowd together, and which share their tag in pairs.
    CNameKeyTable table;
    const auto hash = [](uint32_t i) { return (uint64_t{i / 2} << 32) | i; };
    for (uint32_t i = 0; i < 1000; ++i)
        table.Add(hash(i), i);
    for (uint32_t i = 0; i < 1000; ++i)
        EXPECT_TRUE(table.Find(hash(i), [i](uint32_t value) { return value == i; })) << i;
    EXPECT_FALSE(table.Find(hash(1000), [](uint32_t) { return true; }));
    table.Clear(10);
    EXPECT_FALSE(table.Find(hash(1), [](uint32_t) { return true; }));
}
