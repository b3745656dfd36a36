#include "FakePages.h"
#include "LoopbackForm.h"

#include "console/FilterForm.h"
#include "console/GroupFirmwareWizard.h"
#include "console/GroupIpWizard.h"
#include "console/ScanDialog.h"
#include "console/TopologyLauncher.h"
#include "console/WizardsModule.h"
#include "pages/system/Modulebasics.h"

#include <QTreeWidget>

namespace {

class LazyPages : public TLoopbackFormTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(OpenForm(&m_Filter)); }
    TFakeFilter m_Filter;
};

}  // namespace

TEST_F(LazyPages, PagesNotOnShowAtStartAreMadeWhenFirstSelectedUnderTheirOwnCaptions)
{
    EXPECT_EQ(m_Form->findChild<TModuleBasics*>(), nullptr);
    EXPECT_EQ(m_Form->findChild<TJavaTopologyFrame*>(), nullptr);
    EXPECT_EQ(m_Form->findChild<TWizardFrame*>(), nullptr);
    EXPECT_EQ(m_Form->findChild<TWizardGroupIpFrame*>(), nullptr);
    EXPECT_TRUE(m_Form->MayClose());
    EXPECT_EQ(m_Form->findChild<TScanForm*>(), nullptr);
    EXPECT_EQ(m_Form->findChild<TFilterForm*>(), nullptr);
    m_Form->SetFilterServer(nullptr);
    Filter::TFilterServer* filter = m_Form->GetFilterServer();
    EXPECT_EQ(filter, m_Form->findChild<TFilterForm*>());
    EXPECT_NE(filter, nullptr);
    ASSERT_NE(m_Form->ScanForm(), nullptr);
    EXPECT_EQ(m_Form->findChild<TScanForm*>(), m_Form->ScanForm());

    m_Form->show();
    ASSERT_TRUE(m_Form->SelectPage("Wizards/Group IP Setting"));
    auto* wizard = m_Form->findChild<TWizardGroupIpFrame*>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(m_Form->GetCurrentPage(), wizard);
    EXPECT_EQ(m_Form->findChild<TWizardGroupFwFrame*>(), nullptr);

    // Every main node's text is its page's own caption, and its frame shows.
    QStringList texts;
    for (QTreeWidgetItemIterator it(m_Form->Tree()); *it; ++it) {
        ASSERT_TRUE(m_Form->SelectNode(*it));
        texts << (*it)->text(0);
        EXPECT_EQ(m_Form->GetCurrentPage()->GetCaption(), (*it)->text(0));
        if (QWidget* frame = m_Form->GetCurrentPage()->GetFrame()) {
            EXPECT_TRUE(frame->isVisible()) << qPrintable((*it)->text(0));
        }
    }
    EXPECT_EQ(texts, (QStringList{kApplicationTitle, "Devices", "Status Monitor", "Syslog Events", "Devices Topology",
                                  "Wizards", "Group IP Setting", "Group Firmware Update"}));
}
