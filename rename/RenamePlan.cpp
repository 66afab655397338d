#include "RenamePlan.h"

#include "NameComposer.h"

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

bool WantsPhotoDate(const RenameOptions& o) {
    return o.usePhotoDate && (o.addDate || o.addTime);
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
    if (WantsPhotoDate(o))
        for (size_t i : present)
            if (files[i].dates.takenError != 0)
                return refuse(i, RenameVerdict::Unreadable);

    // A sidecar carries no date of its own photo: it decides only where no
    // photo or video is there to.
    std::vector<size_t> deciders;
    for (size_t i : present)
        if (files[i].member.kind != FileKind::Companion)
            deciders.push_back(i);
    if (deciders.empty())
        deciders = present;
    const std::tm* date = nullptr;
    if (o.usePhotoDate)
        for (FileKind kind : {FileKind::Raw, FileKind::Still, FileKind::Video, FileKind::Companion})
            for (size_t i : deciders)
                if (!date && files[i].member.kind == kind && files[i].dates.taken)
                    date = &*files[i].dates.taken;
    if (!date && files[deciders[0]].dates.created)
        date = &*files[deciders[0]].dates.created;
    if (!date && (o.addDate || o.addTime))
        return refuse(deciders[0], RenameVerdict::NoDate);
    const std::string title =
        ComposeTitle(files[present[0]].member.title, date ? *date : std::tm{}, o);

    bool clashed = false;
    for (size_t i : present) {
        RenameDecision& d = g.files[i];
        d.newName = title + files[i].member.tail;
        // Options typed during a run are not checked at Start: a name that would
        // point elsewhere stops the run instead of moving the file.
        if (!IsFileNameText(d.newName, rules.isLeadByte))
            return refuse(i, RenameVerdict::BadText);
        if (!IsStorableName(d.newName))
            return refuse(i, RenameVerdict::Reserved);
        d.newPath = folder + d.newName;
        // The file's own entry counts: a name the options leave unchanged clashes too.
        if (fits(d.newPath) && rules.exists(d.newPath))
            clashed = true;
    }
    const int number = clashed ? ++clashCount : 0;
    for (size_t i : present) {
        RenameDecision& d = g.files[i];
        if (clashed) {
            d.clashed = true;
            d.newPath = ClashName(folder, title, number, files[i].member.tail);
            d.newName = d.newPath.substr(folder.size());
        }
        if (!fits(d.newPath))
            return refuse(i, RenameVerdict::PathTooLong);
    }
    return g;
}

RenameVerdict StartRefusal(const RenameOptions& o, bool (*isLeadByte)(unsigned char)) {
    if ((o.addPrefix && !IsFileNameText(o.prefix, isLeadByte)) ||
        (o.replace && !IsFileNameText(o.replaceTo, isLeadByte)))
        return RenameVerdict::BadText;
    // Without the old name, the date and the time, every file's title is the
    // same text: a device name is known to be refused before the first file.
    if (o.removeOldName && !o.addDate && !o.addTime &&
        IsReservedDeviceName(ComposeTitle("", std::tm{}, o)))
        return RenameVerdict::Reserved;
    return RenameVerdict::Rename;
}

int RunStripPosition(size_t done, size_t total, int nRange) {
    if (total == 0 || done >= total)
        return nRange;
    return static_cast<int>(static_cast<unsigned long long>(done) * nRange / total);
}
