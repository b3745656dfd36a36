#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <unordered_map>

#include "intp/KeyTable.h"

using Intp::TKeyTable;

namespace {

struct TValue {
    int n = 0;
    bool empty() const { return n == 0; }
};

} // namespace

// Keys that differ only above the MAC (one switch, many codes) and random
// ones, with values emptied and set again: every lookup agrees with a map,
// and the slots stay bounded by the keys in use, not by every key ever seen.
TEST(KeyTable, AgreesWithAMapThroughGrowthAndChurn)
{
    TKeyTable<TValue> table;
    std::unordered_map<uint64_t, int> live;
    std::mt19937_64 random(7);
    for (uint64_t code = 1; code <= 300; ++code) {
        table.Get(code << 48 | 0x001A2B3C4D5Eull).n = int(code);
        live[code << 48 | 0x001A2B3C4D5Eull] = int(code);
    }
    for (int round = 0; round < 20; ++round) {
        std::vector<uint64_t> added;
        for (int i = 0; i < 5000; ++i) {
            const uint64_t key = random();
            table.Get(key).n = i + 1;
            live[key] = i + 1;
            added.push_back(key);
        }
        for (uint64_t key : added) {
            table.Find(key)->n = 0;
            live.erase(key);
        }
    }
    EXPECT_LE(table.Capacity(), 65536u);
    for (const auto& [key, n] : live) {
        ASSERT_NE(table.Find(key), nullptr);
        EXPECT_EQ(table.Find(key)->n, n);
    }
    EXPECT_EQ(table.Find(0x001A2B3C4D5Full), nullptr);

}
