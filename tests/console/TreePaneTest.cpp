// The main tree's column and pane width: the column fits the widest node
// of a large tree, and a pane that gave way to the page comes back.
#include "FakePages.h"
#include "LoopbackForm.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

namespace {

class TreePane : public TLoopbackFormTest {
protected:
    void SetUp() override
    {
        RegisterTestModels(1);
        OpenForm(nullptr);
    }
    QSplitter* Splitter() const { return m_Form->findChild<QSplitter*>(); }
};

TEST_F(TreePane, TheColumnFitsTheWidestNodeOfATreeLargerThanTheViewMeasures)
{
    // The view measures at most 1,000 rows of a tree; the long name lies
    // beyond them.
    for (int n = 1; n <= 3000; ++n)
        MakeDevice(n, 1, 0x0A000000u + n, false, n == 1000 ? std::string(70, 'W') : "sw");
    QTreeWidget* tree = m_Form->Tree();
    const int needed = tree->fontMetrics().horizontalAdvance(QString(70, 'W'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree->columnWidth(0) > needed; }, 5000)) << tree->columnWidth(0);
}

TEST_F(TreePane, TheColumnShowsWholeATextWiderThanAKernedOneWithMoreLetterWidth)
{
    // "AVAV..." is narrower laid out than its letters side by side; the
    // run of X lies between the two, so a fit that left out the kerning
    // would size the column to the A-V text and cut the X text.
    // DejaVu Sans (fonts-dejavu-core, which scripts/setup.sh installs) kerns A-V.
    const int id = QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_GE(id, 0) << "DejaVuSans.ttf of fonts-dejavu-core is missing";
    QTreeWidget* tree = m_Form->Tree();
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0), 11);
    tree->setFont(font);
    const QFontMetricsF metrics(tree->font());
    QString kerned;
    for (int i = 0; i < 20; ++i)
        kerned += "AV";
    double letters = 0;
    for (const QChar c : kerned)
        letters += metrics.horizontalAdvance(QString(c));
    const double laidOut = metrics.horizontalAdvance(kerned), x = metrics.horizontalAdvance("X");
    int count = int((laidOut + 4) / x) + 1;
    ASSERT_LT(count * x, letters) << "the tree's font kerns A-V too little";
    MakeDevice(1, 1, 0x0A000001, false, kerned.toStdString());
    Intp::TDevice* xs = MakeDevice(2, 1, 0x0A000002, false, std::string(std::size_t(count), 'X'));
    QTreeWidgetItem* wide = m_Form->FindDeviceNode(xs);
    ASSERT_NE(wide, nullptr);
    const QModelIndex index = tree->indexFromItem(wide);
    int depth = tree->rootIsDecorated() ? 1 : 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        ++depth;
    const int needed = depth * tree->indentation() + tree->sizeHintForIndex(index).width();
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree->columnWidth(0) >= needed; }, 5000))
        << tree->columnWidth(0) << " for " << needed;
}

TEST_F(TreePane, APaneThatGaveWayToThePageComesBackWhenTheWindowWidens)
{
    m_Form->resize(1400, 800);
    m_Form->show();
    MakeDevice(1, 1, 0x0A000001, false, std::string(40, 'W'));
    QSplitter* splitter = Splitter();
    ASSERT_NE(splitter, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return splitter->sizes().value(0) > 300; }, 5000));
    const int wide = splitter->sizes().value(0);

    m_Form->resize(900, 800);
    ASSERT_TRUE(QTest::qWaitFor([&] { return splitter->sizes().value(0) < wide; }, 5000));
    m_Form->resize(1400, 800);
    EXPECT_TRUE(QTest::qWaitFor([&] { return splitter->sizes().value(0) >= wide; }, 5000))
        << splitter->sizes().value(0) << " of " << wide;
}

}  // namespace
