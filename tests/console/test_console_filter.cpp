#include "console/FilterForm.h"
#include "pages/kit/MessageBox.h"
#include "tests/common/Ip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

using namespace Filter;

namespace {

constexpr uint32_t kHost = 0xFFFFFFFFu;
const TIpMask kLan{Ip(192, 168, 1, 20), Ip(255, 255, 255, 0)};
const TIpMask kLab{Ip(10, 77, 0, 1), Ip(255, 255, 0, 0)};

TFilterSettings Initial() {
    TFilterSettings s;
    s.LocalSubnets = {kLan, kLab};
    return s;
}

}  // namespace

// --- Accept and GetTargets ----------------------------------------------------

TEST(FilterAccept, InitialSettingsPassEveryAddressButZeroAndTargetEveryLocalSubnet) {
    TFilterSettings s = Initial();
    ASSERT_EQ(s.Begin, 0u);
    EXPECT_FALSE(AcceptAddress(s, 0));
    EXPECT_TRUE(AcceptAddress(s, 1));
    EXPECT_TRUE(AcceptAddress(s, Ip(8, 8, 8, 8)));
    EXPECT_TRUE(AcceptAddress(s, 0xFFFFFFFFu));
    TIpMaskList targets;
    CollectTargets(s, targets);
    EXPECT_EQ(targets, (TIpMaskList{kLan, kLab}));
}

TEST(FilterAccept, LocalSubnetMethodTargetsTheSubnetAndPassesItsRangeAndTheUnicasts) {
    TFilterSettings s = Initial();
    s.Method = fmSubnet;
    s.Address = kLan.Address;
    s.Mask = kLan.Mask;
    s.Begin = Ip(192, 168, 1, 0);
    s.End = Ip(192, 168, 1, 255);
    s.Unicasts = {{Ip(10, 9, 9, 9), kHost}};
    TIpMaskList targets;
    CollectTargets(s, targets);
    EXPECT_EQ(targets, (TIpMaskList{kLan, {Ip(10, 9, 9, 9), kHost}}));
    EXPECT_EQ(targets[0].Address | ~targets[0].Mask, Ip(192, 168, 1, 255));
    EXPECT_TRUE(AcceptAddress(s, Ip(192, 168, 1, 0)));
    EXPECT_TRUE(AcceptAddress(s, Ip(192, 168, 1, 255)));
    EXPECT_FALSE(AcceptAddress(s, Ip(192, 168, 2, 0)));
    EXPECT_TRUE(AcceptAddress(s, Ip(10, 9, 9, 9)));
}

TEST(FilterAccept, CustomMethodTargetsLocalSubnetsOnlyWithoutUnicasts) {
    TFilterSettings s = Initial();
    s.Method = fmCustom;
    TIpMaskList withoutUnicasts;
    CollectTargets(s, withoutUnicasts);
    EXPECT_EQ(withoutUnicasts, (TIpMaskList{kLan, kLab}));

    s.Unicasts = {{Ip(10, 9, 9, 9), kHost}, {Ip(10, 9, 9, 10), kHost}};
    TIpMaskList withUnicasts;
    CollectTargets(s, withUnicasts);
    EXPECT_EQ(withUnicasts, s.Unicasts);
}

TEST(FilterAccept, SecondUnicastOutsideTheRangePasses) {
    TFilterSettings s = Initial();
    s.Begin = Ip(10, 0, 0, 1);
    s.End = Ip(10, 0, 0, 9);
    s.Unicasts = {{Ip(172, 16, 0, 1), kHost}, {Ip(172, 16, 0, 2), kHost}};
    EXPECT_TRUE(AcceptAddress(s, Ip(172, 16, 0, 2)));
    EXPECT_FALSE(AcceptAddress(s, Ip(172, 16, 0, 3)));
}

// --- Custom edits ----------------------------------------------------------------

TEST(FilterCustom, InvalidAddressAndMaskTurnIntoZero) {
    TCustomValues v = EvaluateCustom("127.0.0.1", "255.0.255.0", false, "", "");
    EXPECT_EQ(v.Address, 0u);
    EXPECT_EQ(v.Mask, 0u);
    EXPECT_EQ(v.Begin, 0u);
    EXPECT_EQ(v.End, 0xFFFFFFFFu);
    v = EvaluateCustom("garbage", "", false, "", "");
    EXPECT_EQ(v.Address, 0u);
}

TEST(FilterCustom, BoundsOutsideTheSubnetOrReversedAreClampedToTheSubnet) {
    // Without a range the subnet bounds apply; a range inside the subnet is kept.
    const struct {
        bool range;
        const char *begin, *end;
        uint32_t wantBegin, wantEnd;
    } cases[] = {
        {false, "10.1.0.5", "10.1.0.9", Ip(10, 1, 0, 0), Ip(10, 1, 255, 255)},
        {true, "10.1.0.5", "10.1.0.9", Ip(10, 1, 0, 5), Ip(10, 1, 0, 9)},
        {true, "10.2.0.5", "10.3.0.9", Ip(10, 1, 0, 0), Ip(10, 1, 255, 255)},
        {true, "10.1.0.9", "10.1.0.5", Ip(10, 1, 0, 9), Ip(10, 1, 255, 255)},
        {true, "junk", "255.255.255.255", Ip(10, 1, 0, 0), Ip(10, 1, 255, 255)},
    };
    for (const auto& c : cases) {
        TCustomValues v = EvaluateCustom("10.1.2.3", "255.255.0.0", c.range, c.begin, c.end);
        EXPECT_EQ(v.Address, Ip(10, 1, 2, 3));
        EXPECT_EQ(v.Begin, c.wantBegin) << c.begin;
        EXPECT_EQ(v.End, c.wantEnd) << c.end;
    }
}

// --- Remote ranges ---------------------------------------------------------------

TEST(FilterRemote, ProposedEndSetsTheTrailingZeroBits) {
    EXPECT_EQ(ProposeRangeEnd(Ip(192, 168, 1, 0)), Ip(192, 168, 1, 255));
    EXPECT_EQ(ProposeRangeEnd(Ip(192, 168, 1, 5)), Ip(192, 168, 1, 5));
    EXPECT_EQ(ProposeRangeEnd(0), 0xFFFFFFFFu);
    EXPECT_EQ(ProposeRangeEnd(Ip(128, 0, 0, 0)), 0xFFFFFFFFu);
    EXPECT_EQ(ProposeRangeEnd(Ip(10, 0, 0, 0)), Ip(11, 255, 255, 255));
}

TEST(FilterRemote, RangesAskFromSixtyFiveAddressesAndStopAboveTheCap) {
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 1), Ip(10, 0, 0, 64)), rcOk);
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 1), Ip(10, 0, 0, 65)), rcConfirm);
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 0), Ip(10, 0, 255, 255)), rcConfirm);
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 0), Ip(10, 1, 0, 0)), rcTooMany);
    EXPECT_EQ(CheckRange(1, 0xFFFFFFFEu), rcTooMany);
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 5), Ip(10, 0, 0, 5)), rcOk);
    // Zero bounds and reversed ranges are invalid.
    EXPECT_EQ(CheckRange(0, Ip(10, 0, 0, 5)), rcInvalid);
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 5), 0), rcInvalid);
    EXPECT_EQ(CheckRange(Ip(10, 0, 0, 6), Ip(10, 0, 0, 5)), rcInvalid);
}

// --- Restoring the method -------------------------------------------------------

TEST(FilterRestore, WithoutLocalSubnetsTheMethodFallsBackToCustom) {
    TFilterSettings s;
    s.Method = fmGateway;
    s.Address = Ip(10, 0, 0, 1);
    s.Mask = Ip(255, 0, 0, 0);
    s.Begin = Ip(10, 0, 0, 0);
    s.End = Ip(10, 255, 255, 255);
    EXPECT_FALSE(RestoreMethod(s, -1));
    EXPECT_EQ(s.Method, fmCustom);
    s.Begin = Ip(10, 0, 0, 5);
    EXPECT_TRUE(RestoreMethod(s, -1));
}

// --- The dialog -------------------------------------------------------------------

namespace {

class FilterForm : public ::testing::Test {
protected:
    void SetUp() override {
        m_OldHook = SetMessageBoxHook([this](const TMessageBoxRequest& request) {
            m_Boxes.push_back(request.text);
            return m_Answer;
        });
    }
    void TearDown() override { SetMessageBoxHook(m_OldHook); }

    std::unique_ptr<TFilterForm> MakeForm(const TIpMaskVector& subnets = {kLan, kLab}) {
        auto form = std::make_unique<TFilterForm>(subnets);
        form->SetRouteLookup([](uint32_t address, TBestRoute& route) {
            if ((address >> 24) != 10)
                return false;
            route.NextHop = Ip(10, 0, 0, 254) - (address & 0xFF);  // descending with the address
            route.IfIndex = address & 0xFF;
            return true;
        });
        form->SetNameLookup([](uint32_t index) { return QStringLiteral("if%1").arg(index); });
        return form;
    }

    // Shown with the remote panel unfolded.
    std::unique_ptr<TFilterForm> OpenForm() {
        auto form = MakeForm();
        form->show();
        form->RemoteButton()->click();
        return form;
    }

    static void TypeRemote(TFilterForm& form, const QString& text) {
        form.RemoteIp()->clear();
        QTest::keyClicks(form.RemoteIp(), text);
    }

    static QStringList Column(const TFilterForm& form, int column) {
        QStringList texts;
        const QAbstractItemModel* rows = form.RemoteList()->model();
        for (int i = 0; i < rows->rowCount(); ++i)
            texts << rows->index(i, column).data().toString();
        return texts;
    }

    TMessageBoxHook m_OldHook;
    QStringList m_Boxes;
    QMessageBox::StandardButton m_Answer = QMessageBox::Ok;
};

}  // namespace

TEST_F(FilterForm, RangeOfSixtyFiveAsksAndCancelAddsNothing) {
    auto form = OpenForm();
    TypeRemote(*form, "10.0.0.1");
    form->RemoteIpEnd()->setText("10.0.0.65");
    m_Answer = QMessageBox::Cancel;
    form->RemoteAddRangeButton()->click();
    ASSERT_EQ(m_Boxes.size(), 1);
    EXPECT_TRUE(m_Boxes[0].startsWith("You are going to add more then 64 unicast discovery entries"));
    EXPECT_TRUE(m_Boxes[0].endsWith("\n\nAre you sure to do this?"));
    EXPECT_EQ(form->RemoteList()->model()->rowCount(), 0);

    m_Answer = QMessageBox::Ok;
    form->RemoteAddRangeButton()->click();
    EXPECT_EQ(form->RemoteList()->model()->rowCount(), 65);
    // Sixty-four add without asking.
    m_Boxes.clear();
    auto fresh = OpenForm();
    TypeRemote(*fresh, "10.0.0.1");
    fresh->RemoteIpEnd()->setText("10.0.0.64");
    fresh->RemoteAddRangeButton()->click();
    EXPECT_TRUE(m_Boxes.isEmpty());
    EXPECT_EQ(fresh->RemoteList()->model()->rowCount(), 64);
}

TEST_F(FilterForm, RangeAboveTheCapIsRefusedWithAnErrorBox) {
    auto form = OpenForm();
    TypeRemote(*form, "10.0.0.0");
    EXPECT_EQ(form->RemoteIpEnd()->text(), "11.255.255.255");
    form->RemoteAddRangeButton()->click();
    ASSERT_EQ(m_Boxes.size(), 1);
    EXPECT_TRUE(m_Boxes[0].startsWith("Too many addresses in range!"));
    EXPECT_EQ(form->RemoteList()->model()->rowCount(), 0);
    // A proposal of all ones counts as no end.
    TypeRemote(*form, "128.0.0.0");
    EXPECT_EQ(form->RemoteIpEnd()->text(), "255.255.255.255");
    form->RemoteAddRangeButton()->click();
    EXPECT_EQ(m_Boxes.last(), "Invalid IP range!");
}

TEST_F(FilterForm, InvalidRemoteAddressIsReported) {
    auto form = OpenForm();
    TypeRemote(*form, "10.0.0");
    form->RemoteIp()->setText("nonsense");
    form->RemoteAddButton()->click();
    EXPECT_EQ(m_Boxes, QStringList{"Invalid IP address!"});
    EXPECT_EQ(form->RemoteList()->model()->rowCount(), 0);
}

TEST_F(FilterForm, AddressAlreadyListedLeavesASingleRow) {
    auto form = OpenForm();
    TypeRemote(*form, "10.0.0.7");
    form->RemoteAddButton()->click();
    form->RemoteAddButton()->click();
    form->RemoteIpEnd()->setText("10.0.0.8");
    form->RemoteAddRangeButton()->click();
    EXPECT_EQ(Column(*form, 0), (QStringList{"10.0.0.7", "10.0.0.8"}));
}

TEST_F(FilterForm, AddressWithoutRouteIsAddedAsInvalid) {
    auto form = OpenForm();
    TypeRemote(*form, "172.16.0.1");
    form->RemoteAddButton()->click();
    TypeRemote(*form, "10.0.0.1");
    form->RemoteAddButton()->click();
    EXPECT_EQ(Column(*form, 1), (QStringList{"(Invalid)", "10.0.0.253"}));
    EXPECT_EQ(Column(*form, 2), (QStringList{"(Invalid)", "if1"}));
    EXPECT_TRUE(form->RemoteClearButton()->isEnabled());
}

TEST_F(FilterForm, HeaderClicksSortByRowDataAndReverse) {
    auto form = OpenForm();
    for (const char* address : {"10.0.0.9", "10.0.0.10", "10.0.0.100"}) {
        TypeRemote(*form, address);
        form->RemoteAddButton()->click();
    }
    form->RemoteList()->header()->sectionClicked(0);
    EXPECT_EQ(Column(*form, 0), (QStringList{"10.0.0.9", "10.0.0.10", "10.0.0.100"}));
    form->RemoteList()->header()->sectionClicked(0);
    EXPECT_EQ(Column(*form, 0), (QStringList{"10.0.0.100", "10.0.0.10", "10.0.0.9"}));
    // The interface column sorts by index, not by the name text.
    form->RemoteList()->header()->sectionClicked(2);
    EXPECT_EQ(Column(*form, 2), (QStringList{"if9", "if10", "if100"}));
}

TEST_F(FilterForm, DeleteFollowsTheSelectionAndClearEmptiesTheList) {
    auto form = OpenForm();
    TypeRemote(*form, "10.0.0.1");
    form->RemoteIpEnd()->setText("10.0.0.3");
    form->RemoteAddRangeButton()->click();
    EXPECT_FALSE(form->RemoteDeleteButton()->isEnabled());
    form->RemoteList()->selectionModel()->select(form->RemoteList()->model()->index(1, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(form->RemoteDeleteButton()->isEnabled());
    form->RemoteDeleteButton()->click();
    EXPECT_EQ(Column(*form, 0), (QStringList{"10.0.0.1", "10.0.0.3"}));
    EXPECT_FALSE(form->RemoteDeleteButton()->isEnabled());
    // A deleted address can be added again.
    TypeRemote(*form, "10.0.0.2");
    form->RemoteAddButton()->click();
    EXPECT_EQ(form->RemoteList()->model()->rowCount(), 3);
    form->RemoteClearButton()->click();
    EXPECT_EQ(form->RemoteList()->model()->rowCount(), 0);
    EXPECT_FALSE(form->RemoteClearButton()->isEnabled());
}

TEST_F(FilterForm, OkStoresTheCustomRangeAndTheRemoteRowsInRowOrder) {
    auto form = OpenForm();
    ASSERT_TRUE(form->CustomRadio()->isChecked());
    form->CustomIp()->clear();
    QTest::keyClicks(form->CustomIp(), "10.1.2.3");
    form->CustomMask()->clear();
    QTest::keyClicks(form->CustomMask(), "255.255.255.0");
    form->CustomRange()->click();
    EXPECT_TRUE(form->CustomBegin()->isEnabled());
    form->CustomBegin()->setText("10.1.2.50");
    form->CustomEnd()->setText("10.9.9.9");  // outside: becomes the subnet's end
    emit form->CustomEnd()->editingFinished();
    EXPECT_EQ(form->CustomEnd()->text(), "10.1.2.255");
    for (const char* address : {"10.0.0.9", "10.0.0.3"}) {
        TypeRemote(*form, address);
        form->RemoteAddButton()->click();
    }
    form->OkButton()->click();
    const TFilterSettings* s = form->GetSettings();
    EXPECT_EQ(s->Method, fmCustom);
    EXPECT_EQ(s->Address, Ip(10, 1, 2, 3));
    EXPECT_EQ(s->Mask, Ip(255, 255, 255, 0));
    EXPECT_EQ(s->Begin, Ip(10, 1, 2, 50));
    EXPECT_EQ(s->End, Ip(10, 1, 2, 255));
    EXPECT_EQ(s->Unicasts, (TIpMaskList{{Ip(10, 0, 0, 9), kHost}, {Ip(10, 0, 0, 3), kHost}}));
    EXPECT_TRUE(form->Accept(Ip(10, 1, 2, 60)));
    EXPECT_FALSE(form->Accept(Ip(10, 1, 2, 10)));
    EXPECT_TRUE(form->Accept(Ip(10, 0, 0, 3)));
}

TEST_F(FilterForm, OkOnLocalSubnetTakesTheChosenLine) {
    auto form = MakeForm();
    form->show();
    form->SubnetRadio()->click();
    form->SubnetCombo()->setCurrentIndex(1);
    form->OkButton()->click();
    TIpMaskList targets;
    form->GetTargets(targets);
    EXPECT_EQ(targets, TIpMaskList{kLab});
    EXPECT_EQ(form->GetSettings()->Begin, Ip(10, 77, 0, 0));
    EXPECT_EQ(form->GetSettings()->End, Ip(10, 77, 255, 255));
}

TEST_F(FilterForm, ConfiguredSubnetThatIsGoneShowsAsPrimaryInterface) {
    auto form = MakeForm();
    TFilterSettings s = *form->GetSettings();
    s.Method = fmSubnet;
    s.Address = Ip(172, 20, 0, 5);
    s.Mask = Ip(255, 255, 255, 0);
    s.Unicasts = {{Ip(10, 0, 0, 5), kHost}};
    form->SetSettings(s);
    EXPECT_TRUE(form->GatewayRadio()->isChecked());
    EXPECT_EQ(form->GetSettings()->Method, fmGateway);
    EXPECT_EQ(form->GetSettings()->Begin, Ip(192, 168, 1, 0));
    EXPECT_EQ(form->GetSettings()->End, Ip(192, 168, 1, 255));
    EXPECT_EQ(form->GatewayLabel()->text(), "192.168.1.20/255.255.255.0");
    EXPECT_EQ(Column(*form, 0), QStringList{"10.0.0.5"});
    EXPECT_FALSE(form->RemoteIp()->isEnabled());
}

TEST_F(FilterForm, WithoutLocalSubnetsOnlyCustomIsOffered) {
    auto form = MakeForm({});
    form->show();
    EXPECT_FALSE(form->SubnetRadio()->isEnabled());
    EXPECT_FALSE(form->GatewayRadio()->isEnabled());
    EXPECT_TRUE(form->CustomRadio()->isChecked());
    EXPECT_EQ(form->GatewayLabel()->text(), "No networking or fetch subnets failed!");
}
