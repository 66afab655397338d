#include "NamePattern.h"

#include <algorithm>

void AppendDigits(std::string& out, long long value, int width) {
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    unsigned long long rest = negative ? 0ULL - static_cast<unsigned long long>(value)
                                       : static_cast<unsigned long long>(value);
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest > 0 && n < 20);
    if (negative)
        out += '-';
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

namespace {
// Up to 20 digits of a running number: more would not make a better name.
constexpr int kMaxNumberWidth = 20;
} // namespace

bool CNamePattern::Parse(std::string_view text, CNamePattern& pattern, std::string& fault) {
    struct Known {
        std::string_view name;
        Kind kind;
        int width;
    };
    static const Known kKnown[] = {
        {"name", Kind::Name, 0}, {"yyyy", Kind::Year, 4},  {"yy", Kind::Year, 2},
        {"MM", Kind::Month, 2},  {"M", Kind::Month, 1},    {"dd", Kind::Day, 2},
        {"d", Kind::Day, 1},     {"HH", Kind::Hour, 2},    {"H", Kind::Hour, 1},
        {"mm", Kind::Minute, 2}, {"m", Kind::Minute, 1},   {"ss", Kind::Second, 2},
        {"s", Kind::Second, 1},  {"fff", Kind::Millis, 3}, {"camera", Kind::Camera, 0},
    };
    CNamePattern parsed;
    for (size_t at = 0; at < text.size();) {
        const size_t open = text.find('<', at);
        if (open != at) {
            const std::string_view literal = text.substr(at, open - at);
            parsed.m_pieces.push_back({Kind::Text, 0, std::string(literal)});
            parsed.m_strLiteral += literal;
            if (open == std::string_view::npos)
                break;
        }
        const size_t close = text.find('>', open + 1);
        // A "<" inside a token is an unclosed one: it is reported from there.
        const size_t nested = text.find('<', open + 1);
        if (close == std::string_view::npos || nested < close) {
            fault = std::string(text.substr(open, nested < close ? nested - open : close));
            return false;
        }
        const std::string_view name = text.substr(open + 1, close - open - 1);
        Piece piece;
        bool known = false;
        for (const Known& k : kKnown)
            if (k.name == name) {
                piece.kind = k.kind;
                piece.width = k.width;
                known = true;
            }
        if (!known && !name.empty() && name.size() <= kMaxNumberWidth &&
            std::all_of(name.begin(), name.end(), [](char c) { return c == 'n'; })) {
            piece.kind = Kind::Number;
            piece.width = static_cast<int>(name.size());
            known = true;
        }
        if (!known) {
            fault = std::string(text.substr(open, close - open + 1));
            return false;
        }
        parsed.m_bDate = parsed.m_bDate || (piece.kind >= Kind::Year && piece.kind <= Kind::Second);
        parsed.m_bSubSecond = parsed.m_bSubSecond || piece.kind == Kind::Millis;
        parsed.m_bCamera = parsed.m_bCamera || piece.kind == Kind::Camera;
        parsed.m_bFixed = false;
        parsed.m_pieces.push_back(std::move(piece));
        at = close + 1;
    }
    pattern = std::move(parsed);
    return true;
}

void CNamePattern::ComposeInto(const PatternFacts& f, std::string& out) const {
    out.clear();
    for (const Piece& p : m_pieces) {
        switch (p.kind) {
        case Kind::Text:
            out += p.text;
            break;
        case Kind::Name:
            out += f.title;
            break;
        case Kind::Camera:
            out += f.camera;
            break;
        case Kind::Number:
            AppendDigits(out, std::max(f.number, 0), p.width);
            break;
        case Kind::Millis: {
            // Digits of a fraction of a second: "5" is 500 ms, "123456" is 123 ms.
            const std::string_view digits = f.subSecond.substr(0, 3);
            out += digits;
            out.append(3 - digits.size(), '0');
            break;
        }
        default:
            if (!f.date)
                break;
            switch (p.kind) {
            case Kind::Year:
                AppendDigits(out,
                             p.width == 2 ? (f.date->tm_year + 1900) % 100 : f.date->tm_year + 1900,
                             p.width);
                break;
            case Kind::Month:
                AppendDigits(out, f.date->tm_mon + 1, p.width);
                break;
            case Kind::Day:
                AppendDigits(out, f.date->tm_mday, p.width);
                break;
            case Kind::Hour:
                AppendDigits(out, f.date->tm_hour, p.width);
                break;
            case Kind::Minute:
                AppendDigits(out, f.date->tm_min, p.width);
                break;
            default:
                AppendDigits(out, f.date->tm_sec, p.width);
                break;
            }
        }
    }
}
