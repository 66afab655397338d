#include "RenamePlan.h"

#include "NameComposer.h"
#include "TimeShift.h"

#include "app/LangText.h"

#include "cameradate/CameraDate.h"

#include <algorithm>
#include <limits>

LeftAloneReason NameLeftAlone(const std::string& name, bool (*isLeadByte)(unsigned char)) {
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (isLeadByte && isLeadByte(c) && i + 1 < name.size())
            ++i; // its trail byte may look like a backslash
        else if (c == '\\' || c == '/')
            return LeftAloneReason::Separator;
    }
    if (!IsFileNameText(name, isLeadByte) || !IsStorableName(name))
        return LeftAloneReason::Unaddressable;
    return LeftAloneReason::None;
}

CNaming::CNaming(const RenameOptions& options) : m_options(options) {
    m_bPattern = options.usePattern && !options.pattern.empty();
    if (m_bPattern)
        m_bPatternRead = CNamePattern::Parse(options.pattern, m_pattern, m_strFault);
    m_shift = ParseTimeShift(options.timeShift);
}

bool CNaming::TitleIsFixed() const {
    if (m_bPattern)
        return m_bPatternRead && m_pattern.IsFixed();
    return m_options.removeOldName && !m_options.addDate && !m_options.addTime;
}

bool CNaming::NameUsesDate() const {
    if (m_bPattern)
        return m_pattern.UsesDate();
    return m_options.addDate || m_options.addTime;
}

bool CNaming::ReadsCameraRecord() const {
    const bool dated =
        NameUsesDate() || m_options.dateOrder || (m_bPattern && m_pattern.UsesSubSecond());
    return (m_options.usePhotoDate && dated) || (m_bPattern && m_pattern.UsesCamera());
}

RenameVerdict CNaming::Refusal(bool (*isLeadByte)(unsigned char), std::string* fault) const {
    if (m_bPattern && !m_bPatternRead) {
        if (fault)
            *fault = m_strFault;
        return RenameVerdict::BadPattern;
    }
    if (m_bPattern && !IsFileNameText(m_pattern.LiteralText(), isLeadByte))
        return RenameVerdict::BadPatternText;
    if (!m_shift)
        return RenameVerdict::BadShift;
    return RenameVerdict::Rename;
}

std::optional<std::tm> CNaming::Shifted(const std::tm& taken) const {
    if (!m_shift || *m_shift == 0)
        return taken;
    return ShiftedTime(taken, *m_shift);
}

std::string CNaming::Title(const std::string& title, const std::tm* date, const FileDates* record,
                           int number) const {
    if (!m_bPattern)
        return ComposeTitle(title, date ? *date : std::tm{}, m_options);
    PatternFacts facts;
    facts.title = title;
    facts.date = date;
    facts.number = number;
    if (record) {
        facts.subSecond = record->subSecond;
        facts.camera = record->camera;
    }
    std::string made = m_bPatternRead ? m_pattern.Compose(facts) : std::string();
    // The replacement works on the title as it does on a composed one.
    if (m_options.replace)
        made = ReplaceAll(made, m_options.replaceFrom, m_options.replaceTo);
    return made;
}

bool WantsPhotoDate(const RenameOptions& o) {
    return CNaming(o).ReadsCameraRecord();
}

namespace {
// The date a group's names use: the camera's of its first file that has one,
// raws before other stills before videos (sidecars only where nothing else
// decides), else the creation time of its first deciding file. record is the
// camera's record the date comes from, if it does.
struct ChosenDate {
    std::optional<std::tm> date;
    const FileDates* record = nullptr;
};

ChosenDate ChooseDate(const std::vector<GroupFile>& files, const std::vector<size_t>& present,
                      const CNaming& naming) {
    std::vector<size_t> deciders;
    for (size_t i : present)
        if (files[i].member.kind != FileKind::Companion)
            deciders.push_back(i);
    if (deciders.empty())
        deciders = present;
    ChosenDate chosen;
    if (deciders.empty())
        return chosen;
    if (naming.Options().usePhotoDate)
        for (FileKind kind : {FileKind::Raw, FileKind::Still, FileKind::Video, FileKind::Companion})
            for (size_t i : deciders)
                if (!chosen.record && files[i].member.kind == kind && files[i].dates.taken) {
                    chosen.record = &files[i].dates;
                    chosen.date = naming.Shifted(*files[i].dates.taken);
                }
    if (!chosen.record)
        chosen.date = files[deciders[0]].dates.created;
    // The camera's model, where the date did not come with one: any file of
    // the group that names it.
    if (!chosen.record || chosen.record->camera.empty())
        for (size_t i : deciders)
            if (!files[i].dates.camera.empty()) {
                chosen.record = chosen.record ? chosen.record : &files[i].dates;
                if (chosen.record->camera.empty())
                    chosen.record = &files[i].dates;
                break;
            }
    return chosen;
}

// The extension in lower case (from the tail's first dot on: ".CR3.xmp" and
// "M01.XML" keep their pairing); letters of the ASCII range only, which no
// other character's bytes are mistaken for.
std::string LowerCaseTail(const std::string& tail, bool (*isLeadByte)(unsigned char)) {
    std::string lowered = tail;
    const size_t dot = lowered.find('.');
    for (size_t i = dot == std::string::npos ? lowered.size() : dot; i < lowered.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(lowered[i]);
        if (isLeadByte && isLeadByte(c))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            lowered[i] = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

// Whether to is from with only letters of the ASCII range in another case:
// the same entry to the file system, which a rename may give another case.
bool OnlyCaseDiffers(const std::string& from, const std::string& to) {
    if (from.size() != to.size() || from == to)
        return false;
    for (size_t i = 0; i < from.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(from[i]);
        const unsigned char b = static_cast<unsigned char>(to[i]);
        if (a != b && !((a | 0x20) == (b | 0x20) && (a | 0x20) >= 'a' && (a | 0x20) <= 'z'))
            return false;
    }
    return true;
}
} // namespace

std::optional<std::tm> GroupDate(const std::vector<GroupFile>& files, const CNaming& naming) {
    std::vector<size_t> all(files.size());
    for (size_t i = 0; i < files.size(); ++i)
        all[i] = i;
    return ChooseDate(files, all, naming).date;
}

long long DateOrderKey(const std::optional<std::tm>& date) {
    return date ? SecondsSince1970(*date) : std::numeric_limits<long long>::min();
}

std::vector<size_t> RunOrder(const std::vector<std::optional<std::tm>>& dates, bool byDate) {
    std::vector<size_t> order(dates.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (!byDate)
        return order;
    std::vector<long long> keys(dates.size());
    for (size_t i = 0; i < dates.size(); ++i)
        keys[i] = DateOrderKey(dates[i]);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    return order;
}

RenameDecision DecideRename(const std::string& folder, const std::string& name,
                            const FileDates& dates, const RenameOptions& o, int& clashCount,
                            const NameRules& rules) {
    const GroupDecision g =
        DecideGroup(folder, {GroupFile{name, SingleFile(0, name)[0], dates}}, o, clashCount, rules);
    RenameDecision d = g.files[0];
    if (g.verdict != RenameVerdict::Rename)
        d.verdict = g.verdict;
    return d;
}

GroupDecision DecideGroup(const std::string& folder, const std::vector<GroupFile>& files,
                          const RenameOptions& o, int& clashCount, const NameRules& rules) {
    return DecideGroup(folder, files, CNaming(o), 1, clashCount, rules);
}

GroupDecision DecideGroup(const std::string& folder, const std::vector<GroupFile>& files,
                          const CNaming& naming, int number, int& clashCount,
                          const NameRules& rules) {
    const RenameOptions& o = naming.Options();
    // Back must be able to address both names: a path the limit cannot hold is never made.
    auto fits = [&](const std::string& path) { return rules.pathUnits(path) < kPathLimit; };
    GroupDecision g;
    g.files.resize(files.size());
    auto refuse = [&g](size_t i, RenameVerdict verdict) {
        g.verdict = verdict;
        g.refused = i;
        g.files[i].verdict = verdict;
        return g;
    };
    std::vector<size_t> present;
    for (size_t i = 0; i < files.size(); ++i) {
        if (fits(folder + files[i].name))
            present.push_back(i);
        else if (files.size() > 1)
            return refuse(i, RenameVerdict::PathTooLong); // a group goes whole or not at all
        else
            g.files[i].verdict = RenameVerdict::LeftAlone;
    }
    if (present.empty())
        return g;
    if (naming.ReadsCameraRecord())
        for (size_t i : present)
            if (files[i].dates.takenError != 0)
                return refuse(i, RenameVerdict::Unreadable);

    const ChosenDate chosen = ChooseDate(files, present, naming);
    if (!chosen.date && naming.NameUsesDate()) {
        size_t first = present[0];
        for (size_t i : present)
            if (files[i].member.kind != FileKind::Companion) {
                first = i;
                break;
            }
        return refuse(first, RenameVerdict::NoDate);
    }
    const std::string title =
        naming.Title(files[present[0]].member.title, chosen.date ? &*chosen.date : nullptr,
                     chosen.record, number);

    bool clashed = false;
    std::vector<std::string> tails(files.size());
    for (size_t i : present) {
        RenameDecision& d = g.files[i];
        tails[i] = o.lowerCaseExtensions ? LowerCaseTail(files[i].member.tail, rules.isLeadByte)
                                         : files[i].member.tail;
        d.newName = title + tails[i];
        // Options typed during a run are not checked at Start: a name that would
        // point elsewhere stops the run instead of moving the file.
        if (!IsFileNameText(d.newName, rules.isLeadByte))
            return refuse(i, RenameVerdict::BadText);
        if (!IsStorableName(d.newName))
            return refuse(i, RenameVerdict::Reserved);
        d.newPath = folder + d.newName;
        // The file's own entry counts: a name the options leave unchanged clashes
        // too. One they change only in letter case is the same entry, renamed.
        if (fits(d.newPath) && rules.exists(d.newPath) &&
            !OnlyCaseDiffers(files[i].name, d.newName))
            clashed = true;
    }
    const int clashNumber = clashed ? ++clashCount : 0;
    for (size_t i : present) {
        RenameDecision& d = g.files[i];
        if (clashed) {
            d.clashed = true;
            d.newPath = ClashName(folder, title, clashNumber, tails[i]);
            d.newName = d.newPath.substr(folder.size());
        }
        if (!fits(d.newPath))
            return refuse(i, RenameVerdict::PathTooLong);
    }
    return g;
}

RenameVerdict StartRefusal(const RenameOptions& o, bool (*isLeadByte)(unsigned char)) {
    const CNaming naming(o);
    const RenameVerdict refusal = naming.Refusal(isLeadByte);
    if (refusal != RenameVerdict::Rename)
        return refusal;
    if ((!naming.UsesPattern() && o.addPrefix && !IsFileNameText(o.prefix, isLeadByte)) ||
        (o.replace && !IsFileNameText(o.replaceTo, isLeadByte)))
        return RenameVerdict::BadText;
    // Without the old name, the date and the time, every file's title is the
    // same text: a device name is known to be refused before the first file.
    if (naming.TitleIsFixed() && IsReservedDeviceName(naming.Title("", nullptr, nullptr, 1)))
        return RenameVerdict::Reserved;
    return RenameVerdict::Rename;
}

int RunStripPosition(size_t done, size_t total, int nRange) {
    if (total == 0 || done >= total)
        return nRange;
    return static_cast<int>(static_cast<unsigned long long>(done) * nRange / total);
}
