#include "pages/kit/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStringList>
#include <QTimer>

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

TEST(MessageBox, BoxOpenedWhileAnotherIsOpenWaitsForIt)
{
    // Real boxes, answered by a timer that plays the user.
    TMessageBoxHook old = SetMessageBoxHook(nullptr);
    QStringList shown;
    int waiting = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (!shown.contains(box->text()))
            shown << box->text();
        // The first box stays open until both others wait behind it.
        if (box->text() == "first" && waiting < 2)
            return;
        box->button(box->text() == "second" ? QMessageBox::Yes : QMessageBox::Ok)->click();
    });
    user.start(0);
    // Notifications delivered inside the first box's loop ask again.
    QMessageBox::StandardButton second = QMessageBox::NoButton;
    bool third = false;
    QTimer::singleShot(0, [&] {
        ++waiting;
        second = ShowMessageBox(QMessageBox::Question, "second", QMessageBox::Yes | QMessageBox::No);
    });
    QTimer::singleShot(0, [&] {
        ++waiting;
        third = AskOkCancel("third");
    });
    ShowWarning("first");
    user.stop();
    EXPECT_EQ(shown, QStringList({"first", "second", "third"}));
    EXPECT_EQ(second, QMessageBox::Yes);
    EXPECT_TRUE(third);
    EXPECT_FALSE(IsMessageBoxOpen());
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
