// Names as the file system compares them, each with a number: the column asks
// whether a name is taken for every file at every keystroke, and most names
// asked are not taken, so a look at a bit of a small filter answers most
// looks, and the rest cost one probe of one array in most cases; no key is
// made for either. The table holds half of each name's NameKeyHash only; a
// look confirms a match with the caller's own test of the name, for two
// names may share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CNameKeyTable {
public:
    // Empties the table, with room for count names; the room is kept.
    void Clear(size_t count) {
        size_t size = 64;
        while (size < 2 * count)
            size *= 2;
        m_slots.assign(size, Slot());
        m_filter.assign(size / kSlotsAWord, 0);
        m_nCount = 0;
    }

    // value: any but the largest number of 32 bits.
    void Add(uint64_t hash, uint32_t value) {
        if (2 * (m_nCount + 1) > m_slots.size())
            Grow();
        Place(Slot{Tag(hash), value});
        ++m_nCount;
    }

    // Whether confirm(value) is true for a value added with this hash.
    template <class Confirm>
    bool Find(uint64_t hash, Confirm confirm) const {
        const uint32_t tag = Tag(hash);
        if (m_slots.empty() || !Filtered(tag))
            return false;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = tag & mask; m_slots[i].value != kFree; i = (i + 1) & mask)
            if (m_slots[i].tag == tag && confirm(m_slots[i].value))
                return true;
        return false;
    }

private:
    // Eight bytes a name, so that 100,000 names stay in a cache's reach; the
    // tag's low bits choose the slot a name looks in first.
    static constexpr uint32_t kFree = 0xFFFFFFFF;
    struct Slot {
        uint32_t tag = 0;
        uint32_t value = kFree;
    };
    std::vector<Slot> m_slots;
    size_t m_nCount = 0;
    // A bit for each tag's low bits, four bits a slot: of 100,000 names 128 KB,
    // set where a name's tag has those bits.
    static constexpr size_t kSlotsAWord = 16;
    std::vector<uint64_t> m_filter;

    static uint32_t Tag(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }
    bool Filtered(uint32_t tag) const {
        const size_t bit = tag & (m_filter.size() * 64 - 1);
        return (m_filter[bit / 64] >> (bit % 64)) & 1;
    }
    void Place(const Slot& slot) {
        const size_t bit = slot.tag & (m_filter.size() * 64 - 1);
        m_filter[bit / 64] |= uint64_t{1} << (bit % 64);
        const size_t mask = m_slots.size() - 1;
        size_t i = slot.tag & mask;
        while (m_slots[i].value != kFree)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
    void Grow() {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 64 : 2 * old.size(), Slot());
        m_filter.assign(m_slots.size() / kSlotsAWord, 0);
        for (const Slot& slot : old)
            if (slot.value != kFree)
                Place(slot);
    }
};
