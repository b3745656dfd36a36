// The XML export's memory, counted by this program's own operator new and,
// where the allocator tells, by the C library's heap while the save runs.
#include <gtest/gtest.h>

#include <malloc.h>

#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>

#include "syslog/SyslogFrame.h"
#include "tests/syslog/CountingNew.h"

TEST(SyslogExportMemory, SavingHoldsFarLessThanTheMessagesAndGivesItBack)
{
    constexpr int Count = 20000;
    QTemporaryDir dir;
    TSyslogFrame page;
    std::size_t text = 0;
    for (int i = 0; i < Count; ++i) {
        const std::string message = "<190>Oct 11 22:14:15 switch-" + std::to_string(i % 200) + " Port "
            + std::to_string(i % 28) + " link up, " + std::string(64, 'x');
        text += message.size();
        page.AddMessage(std::uint32_t(0x0A000000 + i % 200), message.c_str());
    }
    const QString path = dir.filePath(QStringLiteral("syslog.xls"));
    page.SetSaveFileNameHook([&] { return path; });

    // The heap, sampled from the event loop the save runs between slices.
    const std::size_t heapBefore = mallinfo2().uordblks;
    std::size_t heapPeak = heapBefore;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] { heapPeak = std::max(heapPeak, mallinfo2().uordblks); });
    sample.start(0);
    const std::size_t before = RestartPeak();
    ASSERT_TRUE(page.EventOnSaveClick());
    const std::size_t peak = g_Peak;
    sample.stop();

    // Copies of the messages would take more than their text.
    const double perMessage = double(peak - before) / Count;
    EXPECT_LT(perMessage, 8.0) << "text " << double(text) / Count << " bytes a message";
    EXPECT_LE(g_Allocated, before + 4096);
    std::printf("saving %d messages of %.0f bytes: operator new peak %.2f bytes a message, heap peak %zu bytes\n",
        Count, double(text) / Count, perMessage, heapPeak - heapBefore);
    if (heapBefore != 0) {
        // The slice buffers only: copies of the messages would take megabytes.
        EXPECT_LT(heapPeak - heapBefore, std::size_t(512) << 10) << "text " << text << " bytes";
    }
}
