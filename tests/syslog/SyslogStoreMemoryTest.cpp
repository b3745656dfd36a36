// The syslog store's memory per message, and the XML export's, counted by
// this program's own operator new and delete, so that the measure holds
// under the sanitizers too (their allocator reports nothing to mallinfo2).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "syslog/SyslogFrame.h"
#include "syslog/core/SyslogStore.h"

namespace {

std::atomic<std::size_t> g_Allocated{0};
std::atomic<std::size_t> g_Peak{0};
constexpr std::size_t HeaderSize = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    void* block = std::malloc(size + HeaderSize);
    if (!block)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::size_t now = g_Allocated += size;
    for (std::size_t peak = g_Peak; now > peak && !g_Peak.compare_exchange_weak(peak, now);) {
    }
    return static_cast<char*>(block) + HeaderSize;
}

void Release(void* p) noexcept
{
    if (!p)
        return;
    void* block = static_cast<char*>(p) - HeaderSize;
    g_Allocated -= *static_cast<std::size_t*>(block);
    std::free(block);
}

void* AllocateOrNull(std::size_t size) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

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

TEST(SyslogExportMemory, SavingHoldsFarLessThanTheMessagesAndGivesItBackWhilePainting)
{
    constexpr int Count = 20000;
    QTemporaryDir dir;
    TSyslogFrame page;
    for (int i = 0; i < Count; ++i)  // some 120 bytes each
        page.AddMessage(std::uint32_t(0x0A000000 + i % 200),
                        ("<190>Oct 11 22:14:15 switch-" + std::to_string(i % 200) + " up " + std::string(80, 'x')).c_str());
    page.SetSaveFileNameHook([&] { return dir.filePath(QStringLiteral("syslog.xls")); });
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(0);
    const std::size_t before = g_Peak = g_Allocated.load();
    ASSERT_TRUE(page.EventOnSaveClick());
    EXPECT_LT(g_Peak - before, std::size_t(Count) * 8);  // a copy would take more than the text
    EXPECT_LE(g_Allocated, before + 4096);
    EXPECT_GT(ticks, 0);  // the event loop ran while saving
}
