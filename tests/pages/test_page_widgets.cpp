// Address fields and glyphs.
#include "pages/kit/PageWidgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QApplication>
#include <QFocusEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(IpEdit, ReadsAndShowsDottedAddresses)
{
    TIpEdit edit;
    EXPECT_EQ(edit.Value(), 0u);
    edit.setText("255.255.0.0");
    EXPECT_EQ(edit.Value(), 0xFFFF0000u);
    EXPECT_TRUE(edit.IsNetmask());
    edit.setText("abc");
    EXPECT_FALSE(edit.IsHost());
    edit.SetValue(0x0A000001);
    EXPECT_EQ(edit.text(), "10.0.0.1");
    EXPECT_TRUE(edit.IsHost());
}

TEST(IpEdit, LeavingTheFieldRewritesItAsTheValueReadOnlyWhenAsked)
{
    TIpEdit edit;
    edit.setText("10.0.0.01");
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(&edit, &out);
    EXPECT_EQ(edit.text(), "10.0.0.01");
    edit.SetRewriteOnExit(true);
    for (auto [typed, shown] : {std::pair{"10.0.0.01", "10.0.0.1"}, std::pair{"10.0.1", "255.255.255.255"},
                                std::pair{"99999", "255.255.255.255"}, std::pair{"", "0.0.0.0"}}) {
        edit.setText(typed);
        QCoreApplication::sendEvent(&edit, &out);
        EXPECT_EQ(edit.text(), shown) << typed;
    }
}

TEST(IpEdit, AClickIntoAFilledFieldPlacesTheCursorWithoutSelecting)
{
    QWidget window;
    auto* edit = new TIpEdit(&window);
    auto* other = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    edit->SetValue(0x0A000001);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(edit->width() - 4, edit->height() / 2));
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_FALSE(edit->hasSelectedText());
    QTest::keyClicks(edit, "2");
    EXPECT_EQ(edit->text(), "10.0.0.12");
}

TEST(MacEdit, TakesExactlyTwelveDigitsWithoutSeparatorsOrFormatShown)
{
    TMacEdit edit;
    QTest::keyClicks(&edit, "01:02:03:04:05:06");
    EXPECT_EQ(edit.text(), "01:02:03:04:"); // 12 characters at most
    EXPECT_FALSE(edit.Address());
    edit.setText("0a0B0c0D0e0F");
    EXPECT_EQ(edit.Address(), Intp::TMacAddr(10, 11, 12, 13, 14, 15));
}

TEST(Glyphs, EveryButtonGlyphIsDrawnAndUnknownNamesAreEmpty)
{
    for (const char* name :
         {"RC_BITMAP_16X16_ACCEPT", "RC_BITMAP_16X16_ADD", "RC_BITMAP_16X16_REMOVE", "RC_BITMAP_16X16_EDIT",
          "RC_BITMAP_16X16_CANCEL", "RC_BITMAP_16X16_CLEAR", "RC_BITMAP_16X16_REBOOT", "RC_BITMAP_16X16_LOGIN",
          "RC_BITMAP_16X16_LOGOUT", "RC_BITMAP_16X16_INTERNET", "RC_BITMAP_16X16_OPEN", "RC_BITMAP_16X16_NEXT",
          "RC_BITMAP_16X16_TIMER", "RC_BITMAP_16X16_SAVE", "RC_BITMAP_16X16_BACKUP", "RC_BITMAP_16X16_RESTORE",
          "RC_BITMAP_16X16_FIRMWARE", "RC_BITMAP_16X16_REFRESH", "RC_BITMAP_32X32_INTERNET", "RC_BITMAP_32X32_DEVICE"}) {
        QIcon icon = PageGlyph(name);
        EXPECT_FALSE(icon.isNull()) << name;
        QImage image = icon.pixmap(16, 16).toImage();
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(painted) << name;
    }
    EXPECT_TRUE(PageGlyph("RC_BITMAP_16X16_NOSUCH").pixmap(16, 16).toImage().pixel(8, 8) == 0u);
    EXPECT_TRUE(PageGlyph("nonsense").isNull());
}

TEST(Choice, AValueWithoutAnItemShowsNoItem)
{
    QComboBox combo;
    combo.addItems({"Auto Negotiation", "1G Full", "1G Half"});
    SetChoice(&combo, 2);
    EXPECT_EQ(combo.currentText(), "1G Half");
    SetChoice(&combo, 7);
    EXPECT_EQ(combo.currentIndex(), -1);
    SetChoice(&combo, -3);
    EXPECT_EQ(combo.currentIndex(), -1);
}

}  // namespace
