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
    // Back must be able to address both names: a path the limit cannot hold is never made.
    auto fits = [&](const std::string& path) { return rules.pathUnits(path) < kPathLimit; };
    RenameDecision d;
    if (!fits(folder + name)) {
        d.verdict = RenameVerdict::LeftAlone;
        return d;
    }
    const FileNameParts parts = SplitFileName(name);
    if (WantsPhotoDate(o) && dates.takenError != 0) {
        d.verdict = RenameVerdict::Unreadable;
        return d;
    }
    const std::optional<std::tm>& date =
        o.usePhotoDate && dates.taken ? dates.taken : dates.created;
    if (!date && (o.addDate || o.addTime)) {
        d.verdict = RenameVerdict::NoDate;
        return d;
    }
    const std::string title = ComposeTitle(parts.title, date.value_or(std::tm{}), o);
    d.newName = title + parts.ext;
    // Options typed during a run are not checked at Start: a name that would
    // point elsewhere stops the run instead of moving the file.
    if (!IsFileNameText(d.newName, rules.isLeadByte)) {
        d.verdict = RenameVerdict::BadText;
        return d;
    }
    if (!IsStorableName(d.newName)) {
        d.verdict = RenameVerdict::Reserved;
        return d;
    }
    d.newPath = folder + d.newName;
    // The file's own entry counts: a name the options leave unchanged clashes too.
    if (fits(d.newPath) && rules.exists(d.newPath)) {
        d.clashed = true;
        d.newPath = ClashName(folder, title, ++clashCount, parts.ext);
        d.newName = d.newPath.substr(folder.size());
    }
    if (!fits(d.newPath))
        d.verdict = RenameVerdict::PathTooLong;
    return d;
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
