// What assistive technology learns of a window's client area beyond what the
// system finds out for itself: names that leave the window's text alone (the
// language files' keys are made from window texts), and the role, value, state
// and default action of our own controls.
//
// Classes in this file: AccessibleTraits; SetAccessibleName, AnswerClientObject.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>

// What a window's client object says in place of the standard object; every
// part left empty is the standard object's. Texts are UTF-8 and asked for each
// time an assistive technology wants them.
struct AccessibleTraits {
    std::function<std::string()> name;
    LONG role = 0; // a ROLE_SYSTEM_... value; 0 keeps the standard role
    std::function<std::string()> value;
    // Given the standard object's state bits, the ones to report.
    std::function<LONG(LONG standardState)> state;
    std::string defaultAction;
    // Runs in the caller's call, which waits for it: it must return at once.
    std::function<void()> doDefaultAction;
};

// From now until the window is destroyed, the accessible name of its client
// object is name(), while the window's text stays as it is. The system's
// annotation service carries the name where it takes it; where it refuses
// (Wine), the window's WM_GETOBJECT is answered here. A second call replaces
// the name.
void SetAccessibleName(HWND hWnd, std::function<std::string()> name);

// The same, through the given annotation service; none answers WM_GETOBJECT.
void SetAccessibleName(HWND hWnd, std::function<std::string()> name, IAccPropServices* pServices);

// The answer to WM_GETOBJECT for a window whose client object says what traits
// say. 0 for every other object, and when no object could be made: the window
// then hands the message to its default processing. The object asks for the
// traits only while they live, so a control may own them.
LRESULT AnswerClientObject(HWND hWnd, DWORD dwFlags, DWORD dwObjectId,
                           const std::shared_ptr<const AccessibleTraits>& pTraits);
