// The syslog store's memory per message, counted by this program's own
// operator new and delete, so that the measure holds under the sanitizers
// too (their allocator reports nothing to mallinfo2).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "syslog/core/SyslogStore.h"
#include "tests/syslog/CountingNew.h"

TEST(SyslogStoreMemory, HoldsAtMostTwiceTheTextPlus96BytesPerMessageAndGivesItAllBack)
{
    constexpr int Count = 50000;
    std::vector<std::string> texts;
    std::size_t total = 0;
    for (int i = 0; i < 64; ++i) {
        texts.push_back("<190>Oct 11 22:14:15 switch-" + std::to_string(i) + " Port " + std::to_string(i % 28)
            + " link up" + std::string(std::size_t(i), 'x'));
        total += texts.back().size();
    }
    const double text = double(total) / double(texts.size());
    Syslog::TYearBase::Current(); // the C library keeps the time zone it loads
    const std::size_t before = g_Allocated;
    {
        Syslog::TSyslogStore store;
        for (int i = 0; i < Count; ++i)
            store.Add(std::uint32_t(i % 200), texts[std::size_t(i) % texts.size()]);
        ASSERT_EQ(store.Size(), std::size_t(Count));
        const double perMessage = double(g_Allocated - before) / Count;
        EXPECT_LE(perMessage, 2 * text + 96) << "text " << text;
        // The texts themselves are held: at least their parsed part each.
        EXPECT_GE(perMessage, text / 2);
    }
    EXPECT_EQ(g_Allocated, before);
}
