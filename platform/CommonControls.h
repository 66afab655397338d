// Thin objects for the list view and tab control of a dialog, with the few
// operations the program uses.
//
// Classes in this file: CListCtrl, CTabCtrl.
#pragma once

#include "CodePage.h"
#include "Wnd.h"

#include <commctrl.h>

#include <string>

class CListCtrl : public CWnd {
public:
    int InsertColumn(int nCol, const std::string& heading, int nFormat, int nWidth) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        col.fmt = nFormat;
        col.cx = nWidth;
        col.pszText = const_cast<char*>(heading.c_str());
        return static_cast<int>(
            SendMessage(LVM_INSERTCOLUMNA, nCol, reinterpret_cast<LPARAM>(&col)));
    }
    int InsertItem(int nItem, const std::string& text, int nImage) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = nItem;
        item.pszText = const_cast<char*>(text.c_str());
        item.iImage = nImage;
        return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    // Read in UTF-16, whose buffer counts characters: a file name of 255
    // characters can take three times as many bytes in UTF-8.
    std::string GetItemText(int nItem, int nSubItem) const {
        wchar_t text[MAX_PATH * 2] = {};
        LVITEMW item = {};
        item.iSubItem = nSubItem;
        item.pszText = text;
        item.cchTextMax = MAX_PATH * 2;
        SendMessage(LVM_GETITEMTEXTW, nItem, reinterpret_cast<LPARAM>(&item));
        std::string narrow;
        NarrowNameExactly(text, narrow);
        return narrow;
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    // For a list that holds its own items, only a hint: room for that many is
    // made at once instead of item by item.
    void SetItemCount(int nItems) { SendMessage(LVM_SETITEMCOUNT, nItems); }
    int GetNextItem(int nItem, int nFlags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)));
    }
    int GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    void SetItemState(int nItem, UINT nState, UINT nMask) {
        LVITEMA item = {};
        item.state = nState;
        item.stateMask = nMask;
        SendMessage(LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item));
    }
};

class CTabCtrl : public CWnd {
public:
    int InsertItem(int nItem, const std::string& text) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text.c_str());
        return static_cast<int>(
            SendMessage(TCM_INSERTITEMA, nItem, reinterpret_cast<LPARAM>(&item)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, nItem)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    std::string GetItemText(int nItem) const {
        char text[256] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessage(TCM_GETITEMA, nItem, reinterpret_cast<LPARAM>(&item));
        return text;
    }
};
