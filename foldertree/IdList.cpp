#include "IdList.h"

#include <cstring>

UINT IDListSize(LPCITEMIDLIST pidl) {
    UINT size = 0;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
         p && reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb;
         p += reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb)
        size += reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb;
    return size;
}

LPCITEMIDLIST NextItemID(LPCITEMIDLIST pidl) {
    if (!pidl || pidl->mkid.cb == 0)
        return nullptr;
    auto next =
        reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + pidl->mkid.cb);
    return next->mkid.cb == 0 ? nullptr : next;
}

LPCITEMIDLIST LastItemID(LPCITEMIDLIST pidl) {
    LPCITEMIDLIST last = pidl;
    for (LPCITEMIDLIST id = pidl; (id = NextItemID(id)) != nullptr;)
        last = id;
    return last;
}

LPITEMIDLIST ConcatIDLists(IMalloc* pMalloc, LPCITEMIDLIST first, LPCITEMIDLIST second) {
    const UINT a = IDListSize(first);
    const UINT b = IDListSize(second);
    auto* block = static_cast<BYTE*>(pMalloc->Alloc(a + b + 2));
    if (!block)
        return nullptr;
    if (a == 0 && b == 0) {
        pMalloc->Free(block);
        return nullptr;
    }
    std::memset(block, 0, a + b + 2);
    if (a > 0)
        std::memcpy(block, first, a + 2);
    if (b > 0)
        std::memcpy(block + a, second, b + 2);
    return reinterpret_cast<LPITEMIDLIST>(block);
}
