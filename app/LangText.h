// The escaped form of language-file values: "<|>" stands for a line break,
// "<-->" for "=" and "<-T->" for a tab, since an INI value can hold none of them.
#pragma once

#include <string>
#include <vector>

std::string DecodeLangText(const std::string& text);
std::string EncodeLangText(const std::string& text);

// Every occurrence of from, left to right and without overlaps, replaced by to;
// the replacing text is not searched again. An empty from changes nothing.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);

// The text with "%1" to "%9" replaced by the arguments, as translators know it
// from Windows messages; a number without an argument stays as it stands.
std::string InsertArgs(const std::string& text, const std::vector<std::string>& args);
