// The XML export's memory: by this program's own operator new, and by the C
// library's heap sampled from the event loop the save runs (where it tells).
#include <gtest/gtest.h>

#include <malloc.h>

#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <string>

#include "syslog/SyslogFrame.h"
#include "tests/syslog/CountingNew.h"

TEST(SyslogExportMemory, SavingHoldsFarLessThanTheMessagesAndGivesItBack)
{
    constexpr int Count = 20000;
    QTemporaryDir dir;
    TSyslogFrame page;
    for (int i = 0; i < Count; ++i) // some 120 bytes each
        page.AddMessage(std::uint32_t(0x0A000000 + i % 200),
            ("<190>Oct 11 22:14:15 switch-" + std::to_string(i % 200) + " link up " + std::string(80, 'x')).c_str());
    page.SetSaveFileNameHook([&] { return dir.filePath(QStringLiteral("syslog.xls")); });

    const std::size_t heapBefore = mallinfo2().uordblks;
    std::size_t heapPeak = heapBefore;
    QTimer sample;
    int ticks = 0;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        ++ticks;
        heapPeak = std::max(heapPeak, mallinfo2().uordblks);
    });
    sample.start(0);
    const std::size_t before = g_Peak = g_Allocated.load();
    ASSERT_TRUE(page.EventOnSaveClick());
    EXPECT_LT(g_Peak - before, std::size_t(Count) * 8); // a copy would take more than the text
    EXPECT_LE(g_Allocated, before + 4096);
    EXPECT_GT(ticks, 0);
    // The slice buffers only (a sanitizer's allocator leaves this heap as it was).
    EXPECT_LT(heapPeak - heapBefore, std::size_t(512) << 10);
}
