// A hash table from 64-bit keys (a MAC's TMacAddr::Key, with a command code
// above it) to values kept in the table itself: open addressing with linear
// probing, at most half full. A lookup of a cold key costs the line of its
// slot, where a node-based map costs a bucket, the node before and the node
// itself. An entry whose value has become empty() stays, so that a key used
// again finds its slot in place and nothing is allocated or moved; such
// entries are dropped when the table is rebuilt, which happens when it fills.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace Intp {

template <class V>
class TKeyTable {
public:
    // Entries, those with empty values included, and slots.
    size_t Size() const { return m_Used; }
    size_t Capacity() const { return m_Slots.size(); }

    // Where key's slot is, or would be: for a prefetch ahead of Find.
    const void* SlotAddress(uint64_t key) const
    {
        return m_Slots.empty() ? nullptr : &m_Slots[Home(key)];
    }

    // key's value, or null. Valid until the next Get or Erase.
    V* Find(uint64_t key)
    {
        if (m_Slots.empty()) return nullptr;
        for (size_t i = Home(key);; i = (i + 1) & Mask()) {
            TSlot& slot = m_Slots[i];
            if (!slot.used) return nullptr;
            if (slot.key == key) return &slot.value;
        }
    }
    const V* Find(uint64_t key) const { return const_cast<TKeyTable*>(this)->Find(key); }

    // key's value, made as V{} when key is new.
    V& Get(uint64_t key)
    {
        if (V* value = Find(key)) return *value;
        if ((m_Used + 1) * 2 > m_Slots.size()) Rebuild();
        size_t i = Home(key);
        while (m_Slots[i].used) i = (i + 1) & Mask();
        m_Slots[i].used = true;
        m_Slots[i].key = key;
        m_Slots[i].value = V{};
        ++m_Used;
        return m_Slots[i].value;
    }

    void Clear()
    {
        m_Slots.clear();
        m_Used = 0;
    }

private:
    struct TFields {
        uint64_t key = 0;
        bool used = false;
        V value{};
    };
    // A slot of a whole cache line starts at one, so a lookup reads one line.
    struct alignas(sizeof(TFields) == 64 ? 64 : alignof(TFields)) TSlot : TFields {};

    size_t Mask() const { return m_Slots.size() - 1; }
    size_t Home(uint64_t key) const
    {
        key ^= key >> 29;
        key *= 0xBF58476D1CE4E5B9ull;
        key ^= key >> 32;
        return size_t(key) & Mask();
    }
    // Without the empty values; twice as large when more than a quarter
    // of it would still be used.
    void Rebuild()
    {
        size_t live = 0;
        for (const TSlot& slot : m_Slots) live += slot.used && !slot.value.empty();
        std::vector<TSlot> old = std::move(m_Slots);
        m_Slots = std::vector<TSlot>(old.empty() ? 16 : (live + 1) * 4 > old.size() ? old.size() * 2 : old.size());
        m_Used = 0;
        for (TSlot& slot : old)
            if (slot.used && !slot.value.empty()) Get(slot.key) = std::move(slot.value);
    }

    std::vector<TSlot> m_Slots;
    size_t m_Used = 0;
};

} // namespace Intp
