// The device tree in a burst: held rows show once the replies are delivered.
#include "FakePages.h"
#include "LoopbackForm.h"

#include "console/IntpReceiveQueue.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

class DeviceTreeBurst : public TLoopbackFormTest {
protected:
    void SetUp() override
    {
        RegisterTestModels(1);
        OpenForm(nullptr);
    }
};

TEST_F(DeviceTreeBurst, RowsHeldWhileRepliesWaitShowOnceTheyAreAllDelivered)
{
    m_Form->show();
    TIntpSocketThread* queue = m_Form->IntpQueue();
    // Replies still to deliver (too short for the library: dropped).
    for (int i = 0; i < 3; ++i)
        queue->PushDatagram(0x7F000001, {0xFF});
    MakeDevice(1, 1, 0x0A000001, false, "first");
    MakeDevice(2, 1, 0x0A000002, false, "second");
    EXPECT_FALSE(m_Form->Tree()->updatesEnabled());
    QSignalSpy drained(queue, &TIntpSocketThread::Drained);
    ASSERT_TRUE(drained.wait(5000));
    EXPECT_TRUE(m_Form->Tree()->updatesEnabled());
    EXPECT_EQ(m_Form->DeviceCount(), 2);
}

TEST_F(DeviceTreeBurst, ALongTextChangedRightBeforeAnotherStillWidensTheColumn)
{
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002, false, "b");
    MakeDevice(1, 1, 0x0A000001, false, "a")->SetName(std::string(70, 'W'));
    b->SetName("bb");
    QTreeWidget* tree = m_Form->Tree();
    const int needed = tree->fontMetrics().horizontalAdvance(QString(70, 'W'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree->columnWidth(0) > needed; }, 5000)) << tree->columnWidth(0);
}

}  // namespace
