// Item ID lists, the shell's names for its items: runs of item IDs, each
// starting with its 16-bit byte count, ended by a count of 0.
#pragma once

#include <windows.h>

#include <shlobj.h>

UINT IDListSize(LPCITEMIDLIST pidl);
LPCITEMIDLIST NextItemID(LPCITEMIDLIST pidl);
LPCITEMIDLIST LastItemID(LPCITEMIDLIST pidl);
// A new list from the shell allocator holding first and then second; null when
// both are empty or the allocation fails. The caller frees it with pMalloc.
LPITEMIDLIST ConcatIDLists(IMalloc* pMalloc, LPCITEMIDLIST first, LPCITEMIDLIST second);
