#include "JournalRecord.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

const char* const kJournalHeader = "Tessivox journal 1";

namespace {
std::string Escape(const std::string& path) {
    std::string out;
    for (char c : path) {
        switch (c) {
        case '\t':
            out += "%09";
            break;
        case '\n':
            out += "%0A";
            break;
        case '\r':
            out += "%0D";
            break;
        case '%':
            out += "%25";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool ParseNumber(const std::string& text, unsigned long long& value, int base = 10) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, base);
    return *end == '\0';
}

// The entry a record names, when it names one of the plan.
bool EntryIndex(const std::string& text, const JournalContent& content, size_t& index) {
    unsigned long long value = 0;
    if (!ParseNumber(text, value) || value >= content.entries.size())
        return false;
    index = static_cast<size_t>(value);
    return true;
}
} // namespace

namespace {
// What the identity holds: 2 nothing; 0 size and time; 3 a number too, which
// the volume gives anew on a rename; 1 a number the volume keeps.
int IdentityKind(const FileIdentity& identity) {
    if (!identity.known)
        return 2;
    if (!identity.hasId)
        return 0;
    return identity.stableId ? 1 : 3;
}
} // namespace

std::string PlanRecord(const JournalEntry& e) {
    std::ostringstream line;
    line << "plan\t" << std::hex << e.identity.volume << '\t' << e.identity.fileId << std::dec
         << '\t' << e.identity.size << '\t' << e.identity.lastWrite << '\t'
         << IdentityKind(e.identity) << '\t' << Escape(e.oldPath) << '\t' << Escape(e.newPath)
         << '\n';
    return line.str();
}

std::string DoneRecord(size_t entry) {
    return "done\t" + std::to_string(entry) + "\n";
}

std::string MovedRecord(size_t entry, const std::string& newPath) {
    return "moved\t" + std::to_string(entry) + "\t" + Escape(newPath) + "\n";
}

std::string RestoredRecord(size_t entry) {
    return "restored\t" + std::to_string(entry) + "\n";
}

std::string EndRecord(const std::string& how) {
    return "end\t" + Escape(how) + "\n";
}

JournalContent ParseJournal(const std::string& text) {
    JournalContent content;
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    // What follows the last line end was being written when the program ended.
    if (lines.empty() || lines.front() != kJournalHeader)
        return content;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = Fields(lines[i]);
        size_t entry = 0;
        if (f[0] == "plan") {
            JournalEntry e;
            unsigned long long volume = 0, fileId = 0, size = 0, lastWrite = 0, stable = 0;
            // A line that makes no sense still holds its place: the records
            // after it name the entries by their number.
            if (f.size() != 8 || !ParseNumber(f[1], volume, 16) || !ParseNumber(f[2], fileId, 16) ||
                !ParseNumber(f[3], size) || !ParseNumber(f[4], lastWrite) ||
                !ParseNumber(f[5], stable) || stable > 3 || f[6].empty() || f[7].empty()) {
                content.entries.emplace_back();
                continue;
            }
            e.identity.volume = static_cast<std::uint32_t>(volume);
            e.identity.fileId = fileId;
            e.identity.size = size;
            e.identity.lastWrite = lastWrite;
            e.identity.known = stable != 2;
            e.identity.hasId = stable == 1 || stable == 3;
            e.identity.stableId = stable == 1;
            e.oldPath = Unescape(f[6]);
            e.newPath = Unescape(f[7]);
            content.entries.push_back(std::move(e));
        } else if (f[0] == "done" && f.size() == 2 && EntryIndex(f[1], content, entry)) {
            content.entries[entry].done = true;
        } else if (f[0] == "moved" && f.size() == 3 && EntryIndex(f[1], content, entry) &&
                   !f[2].empty()) {
            content.entries[entry].newPath = Unescape(f[2]);
        } else if (f[0] == "restored" && f.size() == 2 && EntryIndex(f[1], content, entry)) {
            content.entries[entry].restored = true;
        } else if (f[0] == "end" && f.size() == 2) {
            content.ended = true;
        }
    }
    return content;
}
