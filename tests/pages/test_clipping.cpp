// Lists at 1024x768: columns as wide as their texts, and the room to show rows.

#include "PageTestKit.h"
#include "intp/Monitor.h"
#include "pages/kit/LastColumnFill.h"
#include "pages/ports/ModuleMonitor_MAC.h"
#include "pages/security/ModuleSecurity_Acl.h"
#include "tests/common/Records.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {
// Shows the widget at 1024x768; SHOT_DIR keeps a picture of it.
void ShowAt1024(QWidget* widget, const char* name)
{
    widget->resize(1024, 768);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    // The widths are fitted on the turns of the event loop after showing.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    if (qEnvironmentVariableIsSet("SHOT_DIR"))
        widget->grab().save(qEnvironmentVariable("SHOT_DIR") + "/" + name + ".png");
}
} // namespace

using MacTable = TPageTest<TModuleMonitorMac>;

TEST_F(MacTable, RowNumberColumnFitsItsWidestNumber)
{
    Intp::TDevice* device = Select(1, TestModel(4, 0, 1));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {}));
    Put(device, IntpTest::PortConfig(Intp::ModelOf(device)));
    page->Refresh(true);
    std::vector<Intp::TPropertyMonitorMacEntry> entries;
    for (int i = 0; i < 1200; ++i)
        entries.push_back({0, IntpTest::Mac(std::uint32_t(i)), false});
    Put(device, IntpTest::Table<Intp::TPropertyMonitorMac>(entries));
    Notify(device, Intp::ccMonitorMacGet);
    ShowAt1024(page.get(), "mac");
    page->m_List->scrollToBottom();
    QCoreApplication::processEvents();
    ASSERT_EQ(page->m_List->RowCount(), 1200);
    const QModelIndex last = page->m_List->Model()->index(1199, 0);
    EXPECT_GE(page->m_List->header()->sectionSize(0), page->m_List->sizeHintForIndex(last).width());
}

using AclTable = TPageTest<TModuleSecurityAcl>;

TEST_F(AclTable, ListKeepsEightRowsAt1024x768)
{
    ShowAt1024(page.get(), "acl");
    const int rowHeight = page->m_ListView->fontMetrics().height() + 2;
    EXPECT_GE(page->m_ListView->viewport()->height(), 8 * rowHeight);
}

TEST(LastColumnFill, OtherColumnsAreNeverNarrowerThanHeaderOrRowsOnShow)
{
    QStandardItemModel model(3, 3);
    model.setHorizontalHeaderLabels({"A rather long header", "B", "Last"});
    model.setItem(1, 1, new QStandardItem("a text far wider than forty pixels"));
    QTableView view;
    view.setModel(&model);
    view.horizontalHeader()->resizeSection(0, 20);
    view.horizontalHeader()->resizeSection(1, 20);
    FillLastColumn(&view, view.horizontalHeader());
    ShowAt1024(&view, "fill");
    for (int column : {0, 1}) {
        EXPECT_GE(view.horizontalHeader()->sectionSize(column), view.horizontalHeader()->sectionSizeHint(column));
        EXPECT_GE(view.horizontalHeader()->sectionSize(column), static_cast<QAbstractItemView&>(view).sizeHintForColumn(column));
    }
    EXPECT_GE(view.horizontalHeader()->length(), view.viewport()->width());
}
