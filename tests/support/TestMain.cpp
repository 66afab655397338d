// Entry point of the Windows test programs: the common controls and COM are
// ready before any test makes a window.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    ::OleUninitialize();
    return rc;
}
