#include "NameComposer.h"
#include "NamePattern.h"

#include "app/LangText.h"

#include <cstdio>

const char* const kForbiddenNameCharacters = "\\ / : * ? \" < > |";

std::tm CalendarTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

FileNameParts SplitFileName(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {name, ""};
    return {name.substr(0, dot), name.substr(dot)};
}

void ComposeTitleInto(std::string& b, std::string_view title, const std::tm& t,
                      const RenameOptions& o) {
    b.clear();
    if (o.addPrefix)
        b = o.prefix;
    if (!o.removeOldName)
        b += title;
    if (o.addDate) {
        b += ' ';
        AppendDigits(b, t.tm_year + 1900);
        b += '-';
        AppendDigits(b, t.tm_mon + 1);
        b += '-';
        AppendDigits(b, t.tm_mday);
    }
    if (o.addTime) {
        b += o.addDate ? "  " : " ";
        AppendDigits(b, t.tm_hour);
        b += '_';
        AppendDigits(b, t.tm_min);
        b += '_';
        AppendDigits(b, t.tm_sec);
    }
    if (o.replace)
        b = ReplaceAll(b, o.replaceFrom, o.replaceTo);
}

std::string ComposeSample(const std::string& filenameWord, const RenameOptions& o) {
    std::string s = o.removeOldName ? std::string() : filenameWord;
    if (o.addPrefix && !o.prefix.empty())
        s = o.prefix + s;
    if (o.addDate)
        s += "2004-09-21";
    if (o.addTime)
        s += o.addDate ? " 11_19_48" : "11_19_48";
    if (o.replace)
        s = ReplaceAll(s, o.replaceFrom, o.replaceTo);
    return s;
}

std::string ClashName(const std::string& folder, const std::string& title, int count,
                      const std::string& ext) {
    return folder + title + "-" + std::to_string(count) + ext;
}

bool IsFileNameText(const std::string& text, bool (*isLeadByte)(unsigned char)) {
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // Every code page's lead bytes are past ASCII.
        if (c >= 0x80 && isLeadByte && isLeadByte(c) && i + 1 < text.size()) {
            ++i; // a double-byte character: its trail byte is not a separator
            continue;
        }
        if (c < 32)
            return false;
        switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return false;
        default:
            break;
        }
    }
    return true;
}

bool IsReservedDeviceName(const std::string& name) {
    std::string_view view(name);
    view = view.substr(0, view.find('.'));
    while (!view.empty() && view.back() == ' ')
        view.remove_suffix(1);
    // No device name is longer (CONOUT$, COM and a superscript): asked of
    // every new name, most are passed without a copy.
    if (view.size() > 7)
        return false;
    std::string base(view);
    for (char& c : base)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$")
        return true;
    if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0)
        return false;
    const std::string number = base.substr(3);
    // a digit, or one of the superscripts 1, 2, 3 that Windows also maps to a port
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

bool IsStorableName(const std::string& name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    return !IsReservedDeviceName(name);
}
