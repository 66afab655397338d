// Gives a dialog and its direct children the texts of the language file's
// [String] section; a text the file lacks is taken from the window and written in.
#pragma once

#include <windows.h>

void LocalizeWindow(HWND hWnd, int nDialogNumber);
