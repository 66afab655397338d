// Item ID lists on synthetic lists, and the sibling order.
#include "foldertree/FolderTree.h"
#include "foldertree/IdList.h"
#include "support/CountingMalloc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// An ID list of items with the given payload sizes (each item adds its 2-byte count).
std::vector<BYTE> MakeList(std::initializer_list<int> payloads) {
    std::vector<BYTE> bytes;
    BYTE fill = 1;
    for (int p : payloads) {
        USHORT cb = static_cast<USHORT>(p + 2);
        bytes.push_back(static_cast<BYTE>(cb & 0xFF));
        bytes.push_back(static_cast<BYTE>(cb >> 8));
        for (int i = 0; i < p; ++i)
            bytes.push_back(fill);
        ++fill;
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

LPCITEMIDLIST L(const std::vector<BYTE>& bytes) {
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

TEST(IdList, SizesNextAndLast) {
    auto three = MakeList({3, 5, 1});
    EXPECT_EQ(IDListSize(L(three)), 5u + 7u + 3u);
    LPCITEMIDLIST second = NextItemID(L(three));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(second) - three.data(), 5);
    LPCITEMIDLIST third = NextItemID(second);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(third) - three.data(), 12);
    EXPECT_EQ(NextItemID(third), nullptr);
    EXPECT_EQ(LastItemID(L(three)), third);

    auto empty = MakeList({});
    EXPECT_EQ(IDListSize(L(empty)), 0u);
    EXPECT_EQ(NextItemID(L(empty)), nullptr);
    EXPECT_EQ(LastItemID(L(empty)), L(empty));
    EXPECT_EQ(IDListSize(nullptr), 0u);
    EXPECT_EQ(NextItemID(nullptr), nullptr);

    auto one = MakeList({4});
    EXPECT_EQ(LastItemID(L(one)), L(one));
}

TEST(IdList, ConcatenationJoinsBothListsWithOneTerminator) {
    CCountingMalloc malloc;
    auto a = MakeList({3});
    auto b = MakeList({2, 1});
    LPITEMIDLIST joined = ConcatIDLists(&malloc, L(a), L(b));
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(IDListSize(joined), 5u + 4u + 3u);
    EXPECT_EQ(std::memcmp(joined, a.data(), 5), 0);
    EXPECT_EQ(std::memcmp(reinterpret_cast<BYTE*>(joined) + 5, b.data(), b.size()), 0);
    malloc.Free(joined);

    LPITEMIDLIST firstOnly = ConcatIDLists(&malloc, L(a), nullptr);
    EXPECT_EQ(std::memcmp(firstOnly, a.data(), a.size()), 0);
    malloc.Free(firstOnly);
    auto empty = MakeList({});
    LPITEMIDLIST secondOnly = ConcatIDLists(&malloc, L(empty), L(b));
    EXPECT_EQ(std::memcmp(secondOnly, b.data(), b.size()), 0);
    malloc.Free(secondOnly);
}

TEST(IdList, BothEmptyGivesNothingAndFreesItsBlock) {
    CCountingMalloc malloc;
    auto empty = MakeList({});
    EXPECT_EQ(ConcatIDLists(&malloc, L(empty), nullptr), nullptr);
    EXPECT_EQ(malloc.m_nAllocs, 1);
    EXPECT_EQ(malloc.m_frees.size(), 1u);
}

TEST(IdList, FailedAllocationGivesNothing) {
    CCountingMalloc malloc;
    malloc.m_bFailAlloc = true;
    auto a = MakeList({3});
    EXPECT_EQ(ConcatIDLists(&malloc, L(a), L(a)), nullptr);
}

// A folder whose only ability is to answer CompareIDs with a set result.
class CComparingFolder : public IShellFolder {
public:
    HRESULT m_hrCompare = S_OK;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                               ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID,
                                            void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override {
        return m_hrCompare;
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*,
                                            void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF,
                                        PITEMID_CHILD*) override {
        return E_NOTIMPL;
    }
};

TEST(CompareSiblings, LowSixteenBitsDecideAndFailuresCountAsEqual) {
    CComparingFolder folder;
    auto a = MakeList({2, 3});
    auto b = MakeList({4});
    auto sort = reinterpret_cast<LPARAM>(static_cast<IShellFolder*>(&folder));
    auto compare = [&](HRESULT hr) {
        folder.m_hrCompare = hr;
        return CFolderTree::CompareSiblings(reinterpret_cast<LPARAM>(a.data()),
                                            reinterpret_cast<LPARAM>(b.data()), sort);
    };
    EXPECT_EQ(compare(static_cast<HRESULT>(0x80004005)), 0);  // a failure
    EXPECT_EQ(compare(static_cast<HRESULT>(0x0000FFFF)), -1); // -1 in 16 bits
    EXPECT_EQ(compare(static_cast<HRESULT>(0x00000001)), 1);
    EXPECT_EQ(compare(static_cast<HRESULT>(0x00010000)), 0); // only the low 16 bits count
    EXPECT_EQ(compare(static_cast<HRESULT>(0x00008000)), -1);
    EXPECT_EQ(compare(static_cast<HRESULT>(0x00007FFF)), 1);
    EXPECT_EQ(CFolderTree::CompareSiblings(0, reinterpret_cast<LPARAM>(b.data()), sort), 0);
}

} // namespace
