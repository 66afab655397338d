// AfxMessageBox: the program's one way to show a message box. A test can put a
// script in place of the real box: it sees each text and button set and gives
// the answer, so no box ever waits for a person.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

int AfxMessageBox(const std::string& text, UINT nType = MB_OK);

// The replacement receives the text and the MB_... type and returns the button
// pressed (IDOK, IDYES, ...). An empty function restores the real box.
using MessageBoxScript = std::function<int(const std::string& text, UINT nType)>;
void AfxSetMessageBoxScript(MessageBoxScript script);
