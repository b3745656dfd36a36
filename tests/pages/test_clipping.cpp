// Pages at 1024x768: a large MAC table's row numbers show whole; no device
// page widens the window, and every button of every page can be reached.
#include "PageTestKit.h"
#include "console/ModuleFrame.h"
#include "intp/Monitor.h"
#include "intp/Redundancy.h"
#include "pages/kit/PageRegistry.h"
#include "pages/ports/ModuleMonitor_MAC.h"
#include "tests/common/Records.h"
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
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

TEST(PageFit, EveryDevicePageFitsA1024By768WindowWithItsButtonsInReach)
{
    TPageTestEnvironment env;
    Intp::TDevice* device = env.AddDevice(1, Ip(10, 0, 0, 1));
    device->SetType(TestModel(28, 4, 8, 8, 4));
    env.host.selection = {device};
    const auto put = [device](auto record) { record.valid = true, Intp::Property<decltype(record)>::Get(device) = record; };
    put(IntpTest::PortNames(Intp::ModelOf(device)));
    put(IntpTest::PortConfig(Intp::ModelOf(device)));
    put(IntpTest::PerPort<Intp::TPropertyRedundancyRstp>(
        Intp::ModelOf(device), [](size_t, Intp::TPropertyRedundancyRstpPort& p) { p = {200000000, 240, 2, 1, 1}; }));
    TModuleCallback* oldHost = g_ModuleCallback;
    g_ModuleCallback = &env.host;

    // The main window's halves: its tree, then the "Devices" page with its own.
    QMainWindow window;
    window.menuBar()->addMenu("&File");
    window.statusBar()->showMessage("Ready");
    auto* central = new QWidget(&window);
    const TTreePane pane = BuildTreePane(central, "&Sort Devices By:", 720, new QComboBox());
    window.setCentralWidget(central);
    auto* devices = new TModuleFrame(pane.right);
    auto* right = new QGridLayout(pane.right);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(devices);
    std::vector<std::pair<QString, TModule*>> pages;
    for (const TPageType& type : RegisteredPages()) {
        if (QString(PageIdName(type.id)).startsWith("TModuleBanner"))
            continue;
        TModule* page = devices->Adopt(std::unique_ptr<TModule>(type.make(devices)));
        if (type.configure)
            type.configure(page);
        devices->AddModule(page, nullptr);
        pages.emplace_back(PageIdName(type.id), page);
    }
    window.resize(1024, 768);
    window.show();
    // Both trees at their narrowest: the room a page has.
    auto* inner = devices->findChild<QSplitter*>();
    SetTreePaneWidth(pane.splitter, 200, pane.splitter->width());
    SetTreePaneWidth(inner, 200, inner->width());
    auto* scroll = qobject_cast<QScrollArea*>(devices->WaitLabel()->parentWidget()->parentWidget()->parentWidget());
    ASSERT_TRUE(scroll);
    for (const auto& [name, page] : pages) {
        for (const auto& other : pages)
            other.second->GetFrame()->hide();
        page->OnNotify(device, ncSelectionChanged, 0);
        QWidget* frame = page->GetFrame();
        frame->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(QRect(QPoint(), window.minimumSizeHint()))) << qPrintable(name);
        EXPECT_LE(frame->minimumSizeHint().width(), scroll->viewport()->width()) << qPrintable(name);
        for (QPushButton* button : frame->findChildren<QPushButton*>()) {
            if (!button->isVisibleTo(frame))
                continue;
            scroll->ensureWidgetVisible(button, 0, 0);
            const QRect at(button->mapTo(scroll->viewport(), QPoint()), button->size());
            EXPECT_TRUE(scroll->viewport()->rect().contains(at)) << qPrintable(name + " " + button->text());
        }
    }
    g_ModuleCallback = oldHost;
}
