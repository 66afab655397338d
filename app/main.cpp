// Tessivox's entry point: the one application object, and the hand-over to it.
#include "RenamerApp.h"

#include <windows.h>

CRenamerApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return AfxWinMain();
}
