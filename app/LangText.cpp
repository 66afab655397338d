#include "LangText.h"

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return text;
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size())
        out.append(text, pos, hit - pos).append(to);
    out.append(text, pos, std::string::npos);
    return out;
}

std::string DecodeLangText(const std::string& text) {
    return ReplaceAll(ReplaceAll(ReplaceAll(text, "<|>", "\n"), "<-->", "="), "<-T->", "\t");
}

std::string EncodeLangText(const std::string& text) {
    return ReplaceAll(ReplaceAll(ReplaceAll(text, "\n", "<|>"), "=", "<-->"), "\t", "<-T->");
}
