// At 1024x768 the row numbers of a large MAC table show whole.
#include "PageTestKit.h"
#include "intp/Monitor.h"
#include "pages/ports/ModuleMonitor_MAC.h"
#include "tests/common/Records.h"
#include <QHeaderView>
#include <QTest>
using MacTable = TPageTest<TModuleMonitorMac>;
TEST_F(MacTable, RowNumbersOfALargeTableFitTheirColumn)
{
    Intp::TDevice* device = Select(1, TestModel(4, 0, 1));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device)));
    Put(device, IntpTest::PortConfig(Intp::ModelOf(device)));
    page->Refresh(true);
    Put(device, IntpTest::Table<Intp::TPropertyMonitorMac>({1200, {0, IntpTest::Mac(1), false}}));
    Notify(device, Intp::ccMonitorMacGet);
    page->resize(1024, 768), page->show();
    const int widest = page->m_List->sizeHintForIndex(page->m_List->Model()->index(1199, 0)).width();
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->m_List->header()->sectionSize(0) >= widest; }));
}
