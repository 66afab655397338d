// Reading another process's controls: list-view and tree-view messages that
// carry pointers need their structures in the other process's memory.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

class CRemoteBuffer {
public:
    CRemoteBuffer(HANDLE hProcess, SIZE_T size);
    ~CRemoteBuffer();
    CRemoteBuffer(const CRemoteBuffer&) = delete;
    CRemoteBuffer& operator=(const CRemoteBuffer&) = delete;

    BYTE* Address() const { return m_address; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size);
    bool Read(SIZE_T offset, void* data, SIZE_T size) const;

private:
    HANDLE m_hProcess;
    BYTE* m_address;
};

std::string RemoteTreeItemText(HWND tree, HTREEITEM item, CRemoteBuffer& buf);
bool RemoteTreeItemRect(HWND tree, HTREEITEM item, RECT* rc, CRemoteBuffer& buf);
std::string RemoteListItemText(HWND list, int index, CRemoteBuffer& buf, int subItem = 0);
bool RemoteTabItemRect(HWND tab, int index, RECT* rc, CRemoteBuffer& buf);
