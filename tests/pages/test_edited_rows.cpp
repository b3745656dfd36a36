// Typed edited lists: members of any integer type, column rules, choice
// values without an item, editor options; the rows of per-port records.

#include "pages/kit/ModulePage.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/TypedEditedList.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

class TListPage : public TModulePage {
public:
    TListPage() : TModulePage("Rows") {}
    void Fill(Intp::TDevice*) override {}
};

// A port of a VLAN-like page: its mode decides which ids it takes.
struct TLine {
    std::uint8_t port = 0;
    bool on = false;
    std::uint32_t mode = 0;  // Access, 802.1Q, Hybrid
    std::uint16_t untagged = 1;
    QString tagged;
};

class TypedEditedList : public ::testing::Test {
protected:
    void SetUp() override
    {
        TPageForm form(&page);
        list = new TTypedEditedList<TLine>();
        list->PortCaption("Port No.", &TLine::port);
        on = list->Choice("State", &TLine::on, {"Disable", "Enable"}, "&State:");
        mode = list->Choice("Link Type", &TLine::mode, {"Access", "802.1Q", "Hybrid"}, "&Link Type:");
        list->SetMissingText(mode, "Unknown (%1)");
        untagged = list->Number("Untagged VID", &TLine::untagged, 1, 4094, "&Untagged VID:");
        tagged = list->Text("Tagged VIDs", &TLine::tagged, "&Tagged VID:", {12, "Comma or space between ids"});
        list->EnabledWhen(untagged, [](const TLine& line) { return line.mode != 1; });
        list->EnabledWhen(tagged, [](const TLine& line) { return line.mode != 0; });
        list->OnChange(mode, [](TLine& line) {
            if (line.mode == 1)
                line.untagged = 1;
            if (line.mode == 0)
                line.tagged.clear();
        });
        form.List(QString(), list);
        list->CreateEditors(form);
        modeEditor = static_cast<QComboBox*>(list->EditorOf(mode));
        untaggedEditor = static_cast<TNumberBox*>(list->EditorOf(untagged));
        taggedEditor = static_cast<QLineEdit*>(list->EditorOf(tagged));
    }

    TListPage page;
    TTypedEditedList<TLine>* list = nullptr;
    QComboBox* modeEditor = nullptr;
    TNumberBox* untaggedEditor = nullptr;
    QLineEdit* taggedEditor = nullptr;
    int on = 0, mode = 0, untagged = 0, tagged = 0;
};

TEST_F(TypedEditedList, RulesFollowTheSelectedRowAndAValueWithoutAnItemGoesBackAsRead)
{
    TPortLayout ports;
    ports.Build(2, {"A", "B"});
    list->SetPortRows(ports, {{0, true, 2, 5, "7 8"}, {1, false, 7, 3, "9"}});
    EXPECT_EQ(list->Model()->Cell(1, mode), "Unknown (7)");
    EXPECT_EQ(taggedEditor->maxLength(), 12);
    EXPECT_EQ(taggedEditor->toolTip(), "Comma or space between ids");

    list->SelectRow(1);
    EXPECT_EQ(modeEditor->placeholderText(), "Unknown (7)");
    EXPECT_EQ(list->Rows()[1].mode, 7u);

    list->SelectRow(0);
    EXPECT_TRUE(untaggedEditor->isEnabled() && taggedEditor->isEnabled());
    modeEditor->setCurrentIndex(1);  // 802.1Q: untagged back to 1 and off
    EXPECT_EQ(untaggedEditor->value(), 1);
    EXPECT_FALSE(untaggedEditor->isEnabled());
    modeEditor->setCurrentIndex(0);  // Access: no tagged ids
    EXPECT_EQ(list->Model()->Cell(0, tagged), "");
    EXPECT_FALSE(taggedEditor->isEnabled());

    list->header()->sectionClicked(mode);  // every row 802.1Q, with its rule
    list->header()->sectionClicked(on);    // bool: the first row negated
    for (const TLine& line : list->Rows()) {
        EXPECT_EQ(line.mode, 1u);
        EXPECT_EQ(line.untagged, 1);
        EXPECT_FALSE(line.on);
    }
}

TEST(PortRows, HiddenPortsAreLeftOutAndCountedAndRowsSortByCaption)
{
    std::vector<TLine> entries(4);
    entries[1].port = 1, entries[2].port = 3, entries[3].port = 2;  // port 1 is not offered
    TPortLayout ports;
    ports.BuildEntries(4, {"C", "Port.XX", "b", "a"}, {0, 1, 3, 2});
    TTypedEditedList<TLine> list;
    list.PortCaption("Port No.", &TLine::port, roCaption);
    list.SetPortRows(ports, entries);
    EXPECT_EQ(list.HiddenCount(), 1);
    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(list.Model()->Cell(0, 0), "a");
    EXPECT_EQ(list.Rows()[2].port, 0);  // "C" after "b": a..z folded
}

}  // namespace
