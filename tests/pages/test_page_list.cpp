// Sortable lists, typed and edited list rows and the per-port layout.
#include "pages/kit/NumberBox.h"
#include "pages/kit/TypedReportList.h"
#include "pages/kit/UntypedEditedList.h"
#include "pages/kit/PortLayout.h"
#include "tests/pages/RunUntil.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>

#include <gtest/gtest.h>

namespace {

QStringList Column(const TListModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.RowCount(); ++row)
        texts.append(model.Cell(row, column));
    return texts;
}

class SortableListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.AddColumn("No.", ckNumber);
        view.AddColumn("Name");
        view.AddColumn("IP Address", ckNumber);
        Fill();
    }

    void Fill()
    {
        view.Clear();
        Add(1, "beta", "10.0.0.10", 0x0A00000A);
        Add(2, "Alpha", "10.0.0.9", 0x0A000009);
        Add(3, "alpha2", "200.0.0.1", 0xC8000001);
    }

    void Add(int number, const char* name, const char* ip, long long address)
    {
        TListRow row;
        row.cells = {QString::number(number), name, ip};
        row.numbers = {number, 0, address};
        view.Model()->AddRow(row);
    }

    TUntypedReportList view;
};

TEST_F(SortableListTest, EveryListsColumnsGrowToTheirWidestCell)
{
    view.show();
    const QString name = "Transmitting block 586 of 586, writing flash";
    Add(4, name.toLatin1().constData(), "10.0.0.4", 0x0A000004);
    QCoreApplication::processEvents();
    EXPECT_GE(view.header()->sectionSize(1), view.fontMetrics().horizontalAdvance(name));
}

TEST_F(SortableListTest, ANewColumnSortsAscendingAndTheSameColumnReverses)
{
    view.Model()->ClickColumn(1);
    EXPECT_EQ(Column(*view.Model(), 1), (QStringList{"Alpha", "alpha2", "beta"}));
    view.Model()->ClickColumn(1);
    EXPECT_EQ(Column(*view.Model(), 1), (QStringList{"beta", "alpha2", "Alpha"}));
    view.Model()->ClickColumn(2);
    EXPECT_EQ(Column(*view.Model(), 2), (QStringList{"10.0.0.9", "10.0.0.10", "200.0.0.1"}));
}

// Cells order by character code (as their UTF-8 bytes), with only a..z folded.
TEST(CellOrder, ByCodePointWithOnlyAsciiLettersFolded)
{
    EXPECT_EQ(CompareCells("abc", "ABC", ckText), 0);
    EXPECT_EQ(CompareCells("abc", "abd", ckText), -1);
    EXPECT_EQ(CompareCells("ab", "abc", ckText), -1);
    EXPECT_EQ(CompareCells("b", "A", ckText), 1);
    // Letters fold to upper case, so '_' (0x5F) sorts after every letter.
    EXPECT_EQ(CompareCells("_", "a", ckText), 1);
    EXPECT_EQ(CompareCells("_", "a", ckExactText), -1);
    EXPECT_EQ(CompareCells(QString::fromUtf16(u"\u00e9"), QString::fromUtf16(u"\u00c9z"), ckText), 1);
    EXPECT_EQ(CompareCells(QString::fromUtf16(u"\U0001F600"), QString::fromUtf16(u"\uFFFD"), ckExactText), 1);
}

TEST_F(SortableListTest, TheCaptionColumnStartsAsTheSortColumnSoItsFirstClickReverses)
{
    view.Model()->ClickColumn(0);
    EXPECT_EQ(Column(*view.Model(), 0), (QStringList{"3", "2", "1"}));
}

TEST_F(SortableListTest, ARefillShowsRecordOrderAgain)
{
    view.Model()->ClickColumn(2);
    view.Model()->ClickColumn(2);
    EXPECT_EQ(Column(*view.Model(), 0), (QStringList{"3", "1", "2"}));
    Fill();
    EXPECT_EQ(Column(*view.Model(), 0), (QStringList{"1", "2", "3"}));
}

TEST_F(SortableListTest, PerColumnDirectionsStartEqualAndAlternate)
{
    view.Model()->SetSortMode(smPerColumn);
    EXPECT_EQ(view.Model()->SortDirection(1), 0);
    view.Model()->ClickColumn(1);
    EXPECT_EQ(Column(*view.Model(), 1), (QStringList{"Alpha", "alpha2", "beta"}));
    view.Model()->ClickColumn(2);  // its own direction, ascending
    EXPECT_EQ(Column(*view.Model(), 2), (QStringList{"10.0.0.9", "10.0.0.10", "200.0.0.1"}));
    view.Model()->ClickColumn(1);
    EXPECT_EQ(Column(*view.Model(), 1), (QStringList{"beta", "alpha2", "Alpha"}));
}

TEST_F(SortableListTest, TextOnAColouredRowReads)
{
    TListModel& model = *view.Model();
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::ForegroundRole).isValid());
    model.SetBackground(0, QColor(0, 0, 255));
    model.SetBackground(1, QColor(255, 255, 0));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    EXPECT_EQ(model.data(model.index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
}

TEST_F(SortableListTest, NoSortModeKeepsTheRows)
{
    view.Model()->SetSortMode(smNone);
    view.Model()->ClickColumn(1);
    EXPECT_EQ(Column(*view.Model(), 0), (QStringList{"1", "2", "3"}));
}

TEST_F(SortableListTest, TheSelectionFollowsItsRowThroughASort)
{
    view.SelectRow(0);  // "beta"
    view.Model()->ClickColumn(1);
    ASSERT_GE(view.SelectedRow(), 0);
    EXPECT_EQ(view.Model()->Cell(view.SelectedRow(), 1), "beta");
}

// A typed list writes a row changed out of sight when the row is read, comes
// on screen (its column growing then) or the list sorts; a row on screen at once.
TEST(TypedReportList, ARowOutOfSightIsWrittenWhenReadShownOrSorted)
{
    struct TRow {
        int number = 0;
        QString name;
    };
    TTypedReportList<TRow> list;
    list.Column("No.", [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    list.Column("Name", [](const TRow& r) { return r.name; });
    list.Column("End", [](const TRow&) { return QString(); });
    for (int i = 0; i < 500; ++i)
        list.Add({i, "row"});
    list.resize(400, 200);
    list.show();
    QCoreApplication::processEvents();
    const TListModel& model = *list.Model();
    const QString wide = "a name far wider than the column ever was";

    list.Change(0, [](TRow& r) { r.name = "first"; });
    EXPECT_EQ(model.Row(0).cells.at(1), "first");
    list.Change(499, [&](TRow& r) { r.name = wide; });
    EXPECT_NE(model.Row(499).cells.at(1), wide);
    EXPECT_EQ(model.data(model.index(499, 1)).toString(), wide);

    list.Change(498, [&](TRow& r) { r.name = wide; });
    EXPECT_LT(list.header()->sectionSize(1), list.fontMetrics().horizontalAdvance(wide));
    list.scrollToBottom();
    EXPECT_TRUE(RunUntil([&] { return list.header()->sectionSize(1) >= list.fontMetrics().horizontalAdvance(wide); },
                         std::chrono::seconds(5)));
    EXPECT_EQ(model.Row(498).cells.at(1), wide);

    list.Change(10, [](TRow& r) { r.number = 1000; });
    list.Model()->ClickColumn(0);  // descending
    EXPECT_EQ(model.Row(0).cells.at(0), "1000");
}

class EditedListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.AddCaptionColumn("Port No.");
        state = list.AddChoiceColumn("State", {"Disable", "Enable"});
        flow = list.AddChoiceColumn("Flow Control", {"Disable", "Symmetric", "Asymmetric"});
        cost = list.AddNumberColumn("Path Cost", [](int first) { return first + 1 > 5 ? 1 : first + 1; });
        list.BindEditor(state, &stateEditor);
        list.BindEditor(flow, &flowEditor);
        list.BindEditor(cost, &costEditor);
        stateEditor.addItems({"Disable", "Enable"});
        flowEditor.addItems({"Disable", "Symmetric", "Asymmetric"});
        costEditor.SetLimits(0, 100);
        list.AddEditedRow("Port.01", 0, {1, 2, 5});
        list.AddEditedRow("Port.02", 1, {0, 0, 3});
        list.AddEditedRow("Port.04", 3, {1, 1, 4});
    }

    TUntypedEditedList list;
    QComboBox stateEditor, flowEditor;
    TNumberBox costEditor;
    int state = 0, flow = 0, cost = 0;
};

TEST_F(EditedListTest, EditorsFollowTheSelectedRowAndAreDisabledWithoutOne)
{
    list.UpdateEditors();
    EXPECT_FALSE(flowEditor.isEnabled());
    list.SelectRow(1);
    EXPECT_TRUE(flowEditor.isEnabled());
    EXPECT_EQ(flowEditor.currentIndex(), 0);
    EXPECT_EQ(costEditor.value(), 3);
    EXPECT_EQ(list.Index(2), 3);  // rows keep their port index
}

TEST_F(EditedListTest, AnEditorChangesTheSelectedRowOnly)
{
    list.SelectRow(1);
    flowEditor.setCurrentIndex(2);
    EXPECT_EQ(list.Value(1, flow), 2);
    EXPECT_EQ(list.Model()->Cell(1, flow), "Asymmetric");
    EXPECT_EQ(list.Value(0, flow), 2);
    EXPECT_EQ(list.Value(2, flow), 1);
}

TEST_F(EditedListTest, AHeaderClickSetsEveryRowToTheStepOfTheFirstRow)
{
    list.SelectRow(2);
    emit list.header()->sectionClicked(flow);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list.Value(row, flow), 0) << row;  // "Asymmetric" + 1 wraps to "Disable"
        EXPECT_EQ(list.Model()->Cell(row, flow), "Disable");
    }
    EXPECT_EQ(flowEditor.currentIndex(), 0);
    EXPECT_EQ(list.Model()->Cell(0, 0), "Port.01");

    emit list.header()->sectionClicked(state);  // on/off columns negate the first row
    EXPECT_EQ(list.Values(0), (std::vector<long long>{0, 0, 5}));
    EXPECT_EQ(list.Values(1), (std::vector<long long>{0, 0, 3}));

    emit list.header()->sectionClicked(cost);  // a page's own step
    EXPECT_EQ(list.Value(2, cost), 1);
}

TEST_F(EditedListTest, TheCaptionHeaderAndAnEmptyListDoNothing)
{
    emit list.header()->sectionClicked(0);
    EXPECT_EQ(list.Values(1), (std::vector<long long>{0, 0, 3}));
    list.Clear();
    emit list.header()->sectionClicked(flow);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_FALSE(flowEditor.isEnabled());
}

TEST(PortLayout, PortXXGetsNoRowAndListedPortsAreNumberedConsecutively)
{
    TPortLayout layout;
    layout.Build(6, {"Port.01", "Port.02", "Port.XX", "Uplink", "Port.XX", "Port.06"});
    EXPECT_EQ(layout.PortCount(), 6);
    EXPECT_EQ(layout.RowCount(), 4);
    EXPECT_EQ(layout.HiddenCount(), 2);
    EXPECT_TRUE(layout.IsHidden(2));
    EXPECT_EQ(layout.RowOfPort(2), -1);
    EXPECT_EQ(layout.RowOfPort(3), 2);
    EXPECT_EQ(layout.PortOfRow(3), 5);
    EXPECT_EQ(layout.RowName(2), "Uplink");
    EXPECT_EQ(layout.RowOfPort(6), -1);
    EXPECT_EQ(layout.PortOfRow(-1), -1);
}

TEST(PortLayout, TrunkGroupsFollowThePortsAndAreNamedTrunkNN)
{
    TPortLayout layout;
    layout.Build(2, {}, 2);  // without names every port is listed as Port.NN
    EXPECT_EQ(layout.PortCount(), 4);
    EXPECT_EQ(layout.RowName(0), "Port.01");
    EXPECT_EQ(layout.RowName(1), "Port.02");
    EXPECT_EQ(layout.RowName(2), "Trunk.01");
    EXPECT_TRUE(layout.IsTrunkGroup(3));
    EXPECT_FALSE(layout.IsTrunkGroup(1));
}

TEST(PortLayout, MoreThan32PortsDoNotFitAMask)
{
    TPortLayout layout;
    layout.Build(32, {});
    EXPECT_TRUE(layout.FitsMask());
    layout.Build(48, {});
    EXPECT_FALSE(layout.FitsMask());
}

TEST(TableRows, ARebuildShowsTheRecordInOrderAndAnInvalidRecordNothing)
{
    TUntypedReportList view;
    view.AddColumn("", ckNumber);
    view.AddColumn("Group ID", ckNumber);
    std::vector<int> groups = {7, 3, 5};
    auto makeRow = [](int group, int number) {
        TListRow row;
        row.cells = {QString::number(number), QString::number(group)};
        row.numbers = {number, group};
        return row;
    };
    RebuildRows(&view, true, groups, makeRow);
    view.Model()->ClickColumn(1);
    EXPECT_EQ(view.Model()->Cell(0, 1), "3");
    RebuildRows(&view, true, groups, makeRow);
    EXPECT_EQ(view.Model()->Cell(0, 1), "7");
    EXPECT_EQ(view.Model()->Row(2).tag, 3);
    RebuildRows(&view, false, groups, makeRow);
    EXPECT_EQ(view.RowCount(), 0);
}

}  // namespace
