#include "FileGroups.h"

#include "NameComposer.h"

#include <unordered_map>
#include <unordered_set>

namespace {
// Sony's clip metadata: the clip's title followed by this.
const wchar_t kSonyClipTail[] = L"M01.XML";
constexpr size_t kSonyClipTailLength = sizeof(kSonyClipTail) / sizeof(wchar_t) - 1;

struct KindOfExtension {
    const char* ext;
    FileKind kind;
};
const KindOfExtension kKinds[] = {
    {"3FR", FileKind::Raw},    {"ARW", FileKind::Raw},    {"CR2", FileKind::Raw},
    {"CR3", FileKind::Raw},    {"CRW", FileKind::Raw},    {"DCR", FileKind::Raw},
    {"DNG", FileKind::Raw},    {"ERF", FileKind::Raw},    {"IIQ", FileKind::Raw},
    {"KDC", FileKind::Raw},    {"MEF", FileKind::Raw},    {"MOS", FileKind::Raw},
    {"MRW", FileKind::Raw},    {"NEF", FileKind::Raw},    {"NRW", FileKind::Raw},
    {"ORF", FileKind::Raw},    {"PEF", FileKind::Raw},    {"RAF", FileKind::Raw},
    {"RAW", FileKind::Raw},    {"RW2", FileKind::Raw},    {"RWL", FileKind::Raw},
    {"SR2", FileKind::Raw},    {"SRF", FileKind::Raw},    {"SRW", FileKind::Raw},
    {"X3F", FileKind::Raw},    {"AVIF", FileKind::Still}, {"HEIC", FileKind::Still},
    {"HEIF", FileKind::Still}, {"HIF", FileKind::Still},  {"JPE", FileKind::Still},
    {"JPEG", FileKind::Still}, {"JPG", FileKind::Still},  {"JXL", FileKind::Still},
    {"PNG", FileKind::Still},  {"TIF", FileKind::Still},  {"TIFF", FileKind::Still},
    {"WEBP", FileKind::Still}, {"3G2", FileKind::Video},  {"3GP", FileKind::Video},
    {"AVI", FileKind::Video},  {"M2TS", FileKind::Video}, {"M4V", FileKind::Video},
    {"MOV", FileKind::Video},  {"MP4", FileKind::Video},  {"MTS", FileKind::Video},
};

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}
} // namespace

FileKind KindOfName(const std::string& name) {
    const std::string ext = SplitFileName(name).ext;
    if (ext.empty())
        return FileKind::Companion;
    const std::string upper = AsciiUpper(ext.substr(1));
    for (const KindOfExtension& k : kKinds)
        if (upper == k.ext)
            return k.kind;
    return FileKind::Companion;
}

FileGroup SingleFile(size_t file, const std::string& name) {
    const FileNameParts parts = SplitFileName(name);
    return {GroupMember{file, parts.title, parts.ext, KindOfName(name)}};
}

std::vector<FileGroup> GroupRelatedFiles(const std::vector<std::string>& names,
                                         NameKeyFunction key) {
    const size_t n = names.size();
    std::vector<FileNameParts> parts(n);
    std::vector<std::wstring> fullKeys(n);
    std::vector<std::wstring> titleKeys(n);
    std::unordered_map<std::wstring, size_t> byName;
    std::unordered_set<std::wstring> titles;
    for (size_t i = 0; i < n; ++i) {
        parts[i] = SplitFileName(names[i]);
        fullKeys[i] = key(names[i]);
        titleKeys[i] = key(parts[i].title);
        byName.emplace(fullKeys[i], i);
        titles.insert(titleKeys[i]);
    }

    // Each file's group key, title and tail; a name that extends another's whole
    // name takes that file's, which is shorter, so that a chain always ends.
    std::vector<std::wstring> anchors(n);
    std::vector<GroupMember> members(n);
    std::vector<bool> resolved(n, false);
    auto parentOf = [&](size_t i) {
        const auto found = parts[i].ext.empty() ? byName.end() : byName.find(titleKeys[i]);
        return found == byName.end() || found->second == i ? i : found->second;
    };
    for (size_t first = 0; first < n; ++first) {
        std::vector<size_t> chain;
        size_t at = first;
        while (!resolved[at] && parentOf(at) != at) {
            chain.push_back(at);
            at = parentOf(at);
        }
        if (!resolved[at]) {
            const std::wstring& full = fullKeys[at];
            const size_t cut = full.size() - kSonyClipTailLength;
            const std::string& name = names[at];
            if (full.size() > kSonyClipTailLength &&
                full.compare(cut, std::wstring::npos, kSonyClipTail) == 0 &&
                titles.count(full.substr(0, cut))) {
                anchors[at] = full.substr(0, cut);
                members[at].title = name.substr(0, name.size() - kSonyClipTailLength);
                members[at].tail = name.substr(name.size() - kSonyClipTailLength);
            } else {
                anchors[at] = titleKeys[at];
                members[at].title = parts[at].title;
                members[at].tail = parts[at].ext;
            }
            resolved[at] = true;
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const size_t parent = parentOf(*it);
            anchors[*it] = anchors[parent];
            members[*it].title = members[parent].title;
            members[*it].tail = members[parent].tail + parts[*it].ext;
            resolved[*it] = true;
        }
    }

    std::vector<FileGroup> groups;
    std::unordered_map<std::wstring, size_t> groupOf;
    for (size_t i = 0; i < n; ++i) {
        members[i].file = i;
        members[i].kind = KindOfName(names[i]);
        const auto placed = groupOf.emplace(anchors[i], groups.size());
        if (placed.second)
            groups.emplace_back();
        groups[placed.first->second].push_back(std::move(members[i]));
    }
    return groups;
}
