// AfxRegisterWndClass: a window class for windows that paint themselves, made
// once per combination of class style, cursor, background and icon.
#pragma once

#include <windows.h>

#include <string>

std::string AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
