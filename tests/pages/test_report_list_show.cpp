// A report list shown after its rows changed while hidden: the show costs
// the texts of the rows on screen, not of every changed row.
#include "pages/kit/TypedReportList.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

struct TRow {
    int number = 0;
    int state = 0;
};

TEST(ReportListShow, ShowingAfterHiddenChangesMakesTheTextsOfTheRowsOnScreenOnly)
{
    int texts = 0;
    TTypedReportList<TRow> list;
    list.Column("No.", [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    list.Column("State", [&texts](const TRow& r) {
        ++texts;
        return QString::number(r.state);
    });
    for (int i = 0; i < 3000; ++i)
        list.Add({i, 0});
    list.resize(400, 200);
    list.show();
    QCoreApplication::processEvents();
    list.hide();
    for (int line = 0; line < list.RowCount(); ++line)
        list.Change(line, [](TRow& r) { r.state = 1; });

    texts = 0;
    list.show();
    QCoreApplication::processEvents();
    EXPECT_LT(texts, 1000);
    // Every row reads as it is now, on screen or not.
    EXPECT_EQ(list.Model()->Cell(2999, 1), "1");
    EXPECT_EQ(list.Model()->data(list.Model()->index(0, 1)).toString(), "1");
}

TEST(ReportListShow, RowsAddedWhileHiddenReadSortAndTipAsTheirValues)
{
    int texts = 0;
    TTypedReportList<TRow> list;
    list.Column("No.", [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    list.Column("State", [&texts](const TRow& r) {
        ++texts;
        return r.state ? QString("up") : QString();
    });
    list.SetToolTip([](const QStringList& cells) { return "No. " + cells.value(0); });
    for (int i = 0; i < 100; ++i)
        list.Add({100 - i, i % 2});
    EXPECT_EQ(texts, 0);

    TListModel* model = list.Model();
    EXPECT_EQ(model->Cell(1, 1), "up");
    EXPECT_EQ(model->data(model->index(0, 0), Qt::ToolTipRole).toString(), "No. 100");
    model->SortRows(0, 1);
    EXPECT_EQ(model->Cell(0, 0), "1");
    EXPECT_EQ(model->data(model->index(99, 0), Qt::ToolTipRole).toString(), "No. 100");
    EXPECT_EQ(list.Text(0, 0), "1");
}

}  // namespace
