// The order in which Tab walks a window's controls when some of them sit inside
// others, as the pages of a tab control do: every visible, enabled control with
// WS_TABSTOP, in z-order, where the controls of a container (a window with
// WS_EX_CONTROLPARENT) take the container's place, after the container itself
// when it is a tab stop too.
#pragma once

#include <windows.h>

#include <vector>

std::vector<HWND> TabOrder(HWND hRoot);

// The control Tab (or Shift+Tab) goes to from hFrom, round the order: from a
// window that is not in it, the first (last) one. Null when there is none.
HWND NextInTabOrder(HWND hRoot, HWND hFrom, bool bBackwards);

// Gives a control the focus as a dialog's own Tab does: through its dialog, so
// that an edit box's text is selected and a push button becomes the default.
void FocusControl(HWND hCtrl);
