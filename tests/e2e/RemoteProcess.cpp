#include "RemoteProcess.h"

CRemoteBuffer::CRemoteBuffer(HANDLE hProcess, SIZE_T size)
    : m_hProcess(hProcess),
      m_address(static_cast<BYTE*>(
          ::VirtualAllocEx(hProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}

CRemoteBuffer::~CRemoteBuffer() {
    if (m_address)
        ::VirtualFreeEx(m_hProcess, m_address, 0, MEM_RELEASE);
}

bool CRemoteBuffer::Write(SIZE_T offset, const void* data, SIZE_T size) {
    return ::WriteProcessMemory(m_hProcess, m_address + offset, data, size, nullptr) != FALSE;
}

bool CRemoteBuffer::Read(SIZE_T offset, void* data, SIZE_T size) const {
    return ::ReadProcessMemory(m_hProcess, m_address + offset, data, size, nullptr) != FALSE;
}

namespace {
constexpr SIZE_T kTextOffset = 1024;
constexpr int kTextSize = 1024;
} // namespace

std::string RemoteTreeItemText(HWND tree, HTREEITEM item, CRemoteBuffer& buf) {
    TVITEMA tvi = {};
    tvi.mask = TVIF_HANDLE | TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = reinterpret_cast<char*>(buf.Address() + kTextOffset);
    tvi.cchTextMax = kTextSize;
    buf.Write(0, &tvi, sizeof(tvi));
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buf.Address()));
    char text[kTextSize] = {};
    buf.Read(kTextOffset, text, kTextSize - 1);
    return text;
}

bool RemoteTreeItemRect(HWND tree, HTREEITEM item, RECT* rc, CRemoteBuffer& buf) {
    buf.Write(0, &item, sizeof(item));
    if (!::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buf.Address())))
        return false;
    return buf.Read(0, rc, sizeof(*rc));
}

std::string RemoteListItemText(HWND list, int index, CRemoteBuffer& buf, int subItem) {
    LVITEMA lvi = {};
    lvi.iSubItem = subItem;
    lvi.pszText = reinterpret_cast<char*>(buf.Address() + kTextOffset);
    lvi.cchTextMax = kTextSize;
    buf.Write(0, &lvi, sizeof(lvi));
    ::SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(buf.Address()));
    char text[kTextSize] = {};
    buf.Read(kTextOffset, text, kTextSize - 1);
    return text;
}

bool RemoteTabItemRect(HWND tab, int index, RECT* rc, CRemoteBuffer& buf) {
    if (!::SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(buf.Address())))
        return false;
    return buf.Read(0, rc, sizeof(*rc));
}
