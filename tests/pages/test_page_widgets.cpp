// Address fields and glyphs.
#include "pages/kit/PageWidgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QApplication>
#include <QFocusEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

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

TEST(IpEdit, LeavingTheFieldRewritesAnAddressOnlyWhenAskedAndKeepsOtherText)
{
    TIpEdit edit;
    edit.setText("10.0.0.01");
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(&edit, &out);
    EXPECT_EQ(edit.text(), "10.0.0.01");
    edit.SetRewriteOnExit(true);
    QCoreApplication::sendEvent(&edit, &out);
    EXPECT_EQ(edit.text(), "10.0.0.1");
    edit.setText("10.0.1");
    QCoreApplication::sendEvent(&edit, &out);
    EXPECT_EQ(edit.text(), "10.0.1");
}

TEST(IpEdit, TypingIntoAFilledFieldReplacesItsAddress)
{
    QWidget window;
    auto* edit = new TIpEdit(&window);
    auto* other = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    edit->SetRewriteOnExit(true);
    edit->SetValue(0);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(4, edit->height() / 2));
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClicks(edit, "192.168.1.20");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "192.168.1.20");
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, "10.0.0.1");
    EXPECT_EQ(edit->Value(), 0x0A000001u);
}

TEST(MacEdit, TakesTheColonAndDashFormsWholeAndShowsItsFormat)
{
    TMacEdit edit;
    EXPECT_FALSE(edit.placeholderText().isEmpty());
    for (const char* text : {"01:02:03:04:05:06", "01-02-03-04-05-06", "010203040506"}) {
        edit.clear();
        QTest::keyClicks(&edit, text);
        EXPECT_EQ(edit.Address(), Intp::TMacAddr(1, 2, 3, 4, 5, 6)) << text;
    }
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
