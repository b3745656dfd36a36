#include "pages/kit/MessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(MessageBox, HookAnswersTheBoxWithItsTextAndButtons)
{
    std::vector<TMessageBoxRequest> seen;
    TMessageBoxHook old = SetMessageBoxHook([&](const TMessageBoxRequest& request) {
        seen.push_back(request);
        EXPECT_TRUE(IsMessageBoxOpen());
        return QMessageBox::Ok;
    });
    EXPECT_TRUE(AskOkCancel("Are you sure?"));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "Are you sure?");
    EXPECT_EQ(seen[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_FALSE(IsMessageBoxOpen());
    SetMessageBoxHook(old);
}

TEST(MessageBox, BoxOpenedWhileAnotherIsOpenIsNotStacked)
{
    int shown = 0;
    QMessageBox::StandardButton inner = QMessageBox::NoButton;
    bool innerOk = true;
    TMessageBoxHook old = SetMessageBoxHook([&](const TMessageBoxRequest&) {
        ++shown;
        // A notification delivered inside the box's loop asks again.
        inner = ShowMessageBox(QMessageBox::Question, "second", QMessageBox::Yes | QMessageBox::No);
        innerOk = AskOkCancel("third");
        return QMessageBox::Ok;
    });
    ShowWarning("first");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(inner, QMessageBox::No);
    EXPECT_FALSE(innerOk);
    SetMessageBoxHook(old);
}

TEST(MessageBox, EscapeAnswerPrefersTheHarmlessButton)
{
    EXPECT_EQ(EscapeAnswer(QMessageBox::Ok | QMessageBox::Cancel), QMessageBox::Cancel);
    EXPECT_EQ(EscapeAnswer(QMessageBox::Yes | QMessageBox::No), QMessageBox::No);
    EXPECT_EQ(EscapeAnswer(QMessageBox::Abort | QMessageBox::Ignore), QMessageBox::Ignore);
    EXPECT_EQ(EscapeAnswer(QMessageBox::Ok), QMessageBox::Ok);
    EXPECT_EQ(EscapeAnswer(QMessageBox::Retry), QMessageBox::Retry);
}
