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

std::string InsertArgs(const std::string& text, const std::vector<std::string>& args) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
