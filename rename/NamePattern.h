// A name pattern: literal text with tokens in angle brackets, such as
// "<yyyy><MM><dd>_<HH><mm><ss>" or "Trip <nnn>". A file name can never hold
// "<" or ">", so a token is never mistaken for text.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Appends value in decimal with at least width digits: what snprintf's "%0*lld"
// gives, without its cost at every file.
void AppendDigits(std::string& out, long long value, int width = 1);

// What a pattern may put into a name for one file (or one group of files).
struct PatternFacts {
    std::string_view title;        // the old title
    const std::tm* date = nullptr; // the date the options choose, if there is one
    std::string_view subSecond;    // the camera's sub-second digits, as recorded
    int number = 1;                // the running number in the run's order
    std::string_view camera;       // the camera model, or empty
};

class CNamePattern {
public:
    // Reads text into pattern; false for an unknown token or a "<" without
    // its ">", with that token (or the unclosed rest) in fault.
    static bool Parse(std::string_view text, CNamePattern& pattern, std::string& fault);

    bool UsesDate() const { return m_bDate; }
    bool UsesSubSecond() const { return m_bSubSecond; }
    bool UsesCamera() const { return m_bCamera; }
    // Whether every name is the same text: a pattern without tokens.
    bool IsFixed() const { return m_bFixed; }
    // The text outside the tokens, which is the same in every name.
    const std::string& LiteralText() const { return m_strLiteral; }

    // The new title into out, whose room is used again. A date token gives
    // nothing without a date: the caller refuses such a file first.
    void ComposeInto(const PatternFacts& facts, std::string& out) const;

private:
    enum class Kind : unsigned char {
        Text,
        Name,
        Year,
        Month,
        Day,
        Hour,
        Minute,
        Second,
        Millis,
        Number,
        Camera
    };
    struct Piece {
        Kind kind = Kind::Text;
        int width = 0;    // the digits a number takes at least (a two-digit year: 2, cut)
        std::string text; // for Text
    };
    std::vector<Piece> m_pieces;
    std::string m_strLiteral;
    bool m_bDate = false;
    bool m_bSubSecond = false;
    bool m_bCamera = false;
    bool m_bFixed = true;
};
