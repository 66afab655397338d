// The paths that start-up and the language files share, process-wide.
#pragma once

#include <string>

extern std::string g_strProgramDir;   // program folder, no trailing backslash
extern std::string g_strSettingsFile; // settings.ini beside the program
extern std::string g_strLanguageFile; // the chosen language file; empty until chosen
