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

std::string CNaming::Title(const std::string& title, const std::tm* date,
                           std::string_view subSecond, std::string_view camera, int number) const {
    std::string made;
    TitleInto(made, title, date, subSecond, camera, number);
    return made;
}

void CNaming::TitleInto(std::string& made, std::string_view title, const std::tm* date,
                        std::string_view subSecond, std::string_view camera, int number) const {
    if (!m_bPattern)
        return ComposeTitleInto(made, title, date ? *date : std::tm{}, m_options);
    PatternFacts facts;
    facts.title = title;
    facts.date = date;
    facts.number = number;
    facts.subSecond = subSecond;
    facts.camera = camera;
    made.clear();
    if (m_bPatternRead)
        m_pattern.ComposeInto(facts, made);
    // The replacement works on the title as it does on a composed one.
    if (m_options.replace)
        made = ReplaceAll(made, m_options.replaceFrom, m_options.replaceTo);
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
    bool fromCamera = false;
    std::string_view subSecond; // of the camera's date, where it is the one chosen
    std::string_view camera;    // the model any deciding file names
};

// Indexes of a group's files: on the stack for the few files nearly every
// group has, as the column decides every file at every keystroke.
class CIndexes {
public:
    void push_back(size_t i) {
        if (m_nCount < kInline)
            m_inline[m_nCount] = i;
        else
            m_more.push_back(i);
        ++m_nCount;
    }
    size_t size() const { return m_nCount; }
    bool empty() const { return m_nCount == 0; }
    size_t operator[](size_t at) const {
        return at < kInline ? m_inline[at] : m_more[at - kInline];
    }

    class Iterator {
    public:
        Iterator(const CIndexes& list, size_t at) : m_list(list), m_at(at) {}
        size_t operator*() const { return m_list[m_at]; }
        Iterator& operator++() {
            ++m_at;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_at != other.m_at; }

    private:
        const CIndexes& m_list;
        size_t m_at;
    };
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, m_nCount); }

private:
    static constexpr size_t kInline = 8;
    size_t m_inline[kInline] = {};
    std::vector<size_t> m_more;
    size_t m_nCount = 0;
};

ChosenDate ChooseDate(const std::vector<GroupFile>& files, const CIndexes& present,
                      const CNaming& naming) {
    CIndexes media;
    for (size_t i : present)
        if (files[i].member.kind != FileKind::Companion)
            media.push_back(i);
    const CIndexes& deciders = media.empty() ? present : media;
    ChosenDate chosen;
    if (deciders.empty())
        return chosen;
    if (naming.Options().usePhotoDate)
        for (FileKind kind : {FileKind::Raw, FileKind::Still, FileKind::Video, FileKind::Companion})
            for (size_t i : deciders)
                if (!chosen.fromCamera && files[i].member.kind == kind && files[i].dates.taken) {
                    chosen.fromCamera = true;
                    chosen.date = naming.Shifted(*files[i].dates.taken);
                    chosen.subSecond = files[i].dates.subSecond;
                    chosen.camera = files[i].dates.camera;
                }
    if (!chosen.fromCamera)
        chosen.date = files[deciders[0]].dates.created;
    for (size_t i : deciders)
        if (chosen.camera.empty())
            chosen.camera = files[i].dates.camera;
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
    CIndexes all;
    for (size_t i = 0; i < files.size(); ++i)
        all.push_back(i);
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
    GroupDecision g;
    DecideGroupInto(folder, files, naming, number, clashCount, rules, g);
    return g;
}

void DecideGroupInto(const std::string& folder, const std::vector<GroupFile>& files,
                     const CNaming& naming, int number, int& clashCount, const NameRules& rules,
                     GroupDecision& g) {
    const RenameOptions& o = naming.Options();
    // Back must be able to address both names: a path the limit cannot hold is
    // never made. The folder's share of a path is counted once.
    const size_t folderUnits = rules.pathUnits(folder);
    auto fits = [&](const std::string& name) {
        return folderUnits + rules.pathUnits(name) < kPathLimit;
    };
    // What g held before keeps its room, for the next file's names.
    g.verdict = RenameVerdict::Rename;
    g.refused = 0;
    g.files.resize(files.size());
    for (RenameDecision& d : g.files) {
        d.verdict = RenameVerdict::Rename;
        d.clashed = false;
        d.newName.clear();
        d.newPath.clear();
    }
    auto refuse = [&g](size_t i, RenameVerdict verdict) {
        g.verdict = verdict;
        g.refused = i;
        g.files[i].verdict = verdict;
    };
    CIndexes present;
    for (size_t i = 0; i < files.size(); ++i) {
        if (fits(files[i].name))
            present.push_back(i);
        else if (files.size() > 1)
            return refuse(i, RenameVerdict::PathTooLong); // a group goes whole or not at all
        else
            g.files[i].verdict = RenameVerdict::LeftAlone;
    }
    if (present.empty())
        return;
    // The run reads the options again for every group: a pattern or a shift
    // typed since Start that Start would refuse stops the run here.
    const RenameVerdict unread = naming.Refusal(rules.isLeadByte);
    if (unread != RenameVerdict::Rename)
        return refuse(present[0], unread);
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
    // The title goes into the first file's new name; the others copy it from there.
    const std::string& first = g.files[present[0]].newName;
    naming.TitleInto(g.files[present[0]].newName, files[present[0]].member.title,
                     chosen.date ? &*chosen.date : nullptr, chosen.subSecond, chosen.camera,
                     number);
    const size_t titleSize = first.size();

    bool clashed = false;
    for (size_t i : present) {
        RenameDecision& d = g.files[i];
        if (i != present[0])
            d.newName.assign(first, 0, titleSize);
        d.newName += o.lowerCaseExtensions ? LowerCaseTail(files[i].member.tail, rules.isLeadByte)
                                           : files[i].member.tail;
        // Options typed during a run are not checked at Start: a name that would
        // point elsewhere stops the run instead of moving the file.
        if (!IsFileNameText(d.newName, rules.isLeadByte))
            return refuse(i, RenameVerdict::BadText);
        if (!IsStorableName(d.newName))
            return refuse(i, RenameVerdict::Reserved);
        d.newPath.reserve(folder.size() + d.newName.size());
        d.newPath = folder;
        d.newPath += d.newName;
        // The file's own entry counts: a name the options leave unchanged clashes
        // too. One they change only in letter case is the same entry, renamed.
        if (fits(d.newName) && rules.exists(d.newPath) &&
            !OnlyCaseDiffers(files[i].name, d.newName))
            clashed = true;
    }
    const int clashNumber = clashed ? ++clashCount : 0;
    for (size_t i : present) {
        RenameDecision& d = g.files[i];
        if (clashed) {
            d.clashed = true;
            d.newPath = ClashName(folder, d.newName.substr(0, titleSize), clashNumber,
                                  d.newName.substr(titleSize));
            d.newName = d.newPath.substr(folder.size());
        }
        if (!fits(d.newName))
            return refuse(i, RenameVerdict::PathTooLong);
    }
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
    if (naming.TitleIsFixed() && IsReservedDeviceName(naming.Title("", nullptr, {}, {}, 1)))
        return RenameVerdict::Reserved;
    return RenameVerdict::Rename;
}

int RunStripPosition(size_t done, size_t total, int nRange) {
    if (total == 0 || done >= total)
        return nRange;
    return static_cast<int>(static_cast<unsigned long long>(done) * nRange / total);
}
