// Language files: INI files in the Languages folder, each declaring its
// language under [Setting] Language. Texts are looked up in [Message]; a text
// that is missing is written back with its built-in default, so a file that
// holds only its language's name grows into a template for translators.
#pragma once

#include <string>

// Chooses the file that declares the wanted language (empty: the one saved in
// settings.ini, "English" when none is) and saves the choice. False, after a
// message box, when no file declares it.
bool SelectLanguage(const std::string& language);

// The decoded text of [Message] key, or the default, which is then written in.
// An empty key means the default is the key.
std::string LookupText(const std::string& key, const std::string& defaultText);

// One read of a value; the buffer counts characters, so a UTF-8 text is never
// cut inside a character.
std::string ReadIniString(const std::string& file, const char* section, const char* key,
                          const char* defaultText, unsigned long bufferSize);
// One read of a value with the default "INI_LOADERROR", at most 299 characters.
std::string ReadIniText(const std::string& file, const std::string& section,
                        const std::string& key);
// One write of a value; a failed write is ignored by every caller.
bool WriteIniText(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

// What a [Message] read gives for a key that is missing.
extern const char* const kIniLoadError;
