// The login page: per-row outcomes of login and logout.
#include "PageTestHost.h"

#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/Operations.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/system/Modulebasics.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LoginPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Logins go to the target devices of the registered page host.
        m_OldHost = g_ModuleCallback;
        g_ModuleCallback = &env.host;
        page.SetHost(&env.host);
        env.page = &page;
        a = env.AddDevice(1, Ip(10, 0, 0, 1), false);
        b = env.AddDevice(2, Ip(10, 0, 0, 2), false);
        c = env.AddDevice(3, Ip(10, 0, 0, 3), true);
        env.host.selection = {a, b, c};
        page.OnNotify(a, ncSelectionChanged, 0);
    }
    void TearDown() override { g_ModuleCallback = m_OldHost; }

    QStringList Captions() const
    {
        QStringList texts;
        for (int row = 0; row < page.m_Devices->RowCount(); ++row)
            texts.append(page.m_Devices->Model()->Cell(row, 0));
        return texts;
    }

    TPageTestEnvironment env;
    TModuleBasics page;
    Intp::TDevice* a = nullptr;
    Intp::TDevice* b = nullptr;
    Intp::TDevice* c = nullptr;
    TModuleCallback* m_OldHost = nullptr;
};

TEST_F(LoginPageTest, ListsEverySelectedSwitchWithItsLoginState)
{
    EXPECT_EQ(Captions(), (QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    EXPECT_EQ(page.RowImage(a), TModuleBasics::liLoggedOut);
    EXPECT_EQ(page.RowImage(c), TModuleBasics::liLoggedIn);
    EXPECT_TRUE(page.isVisible());
}

TEST_F(LoginPageTest, AnEmptyUserNameDisablesLoginButNotLogout)
{
    EXPECT_FALSE(page.m_Login->isEnabled());
    EXPECT_TRUE(page.m_Logout->isEnabled());
    page.m_Password->setText("secret");
    EXPECT_FALSE(page.m_Login->isEnabled());
    page.m_Username->setText("admin");
    EXPECT_TRUE(page.m_Login->isEnabled());
}

TEST_F(LoginPageTest, WithoutADeviceEverythingIsDisabledAndTheListEmpty)
{
    page.m_Username->setText("admin");
    env.host.selection.clear();
    page.OnNotify(nullptr, ncSelectionChanged, 0);
    EXPECT_FALSE(page.m_Login->isEnabled());
    EXPECT_FALSE(page.m_Logout->isEnabled());
    EXPECT_FALSE(page.m_Username->isEnabled());
    EXPECT_EQ(page.m_Devices->RowCount(), 0);
}

TEST_F(LoginPageTest, RefreshReadsTheSettingsWhoseReplyCarriesTheLoginState)
{
    EXPECT_EQ(page.Refresh(true), 3);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccBasicsSettingsGet).size(), 3u);
    a->SetLoggedIn(true);  // as the library reads it from the reply
    page.OnNotify(a, Intp::ccBasicsSettingsGet, Intp::ssOk);
    EXPECT_EQ(page.RowImage(a), TModuleBasics::liLoggedIn);
}

TEST_F(LoginPageTest, LoginSendsTheDigestAndEachRowShowsItsOwnOutcome)
{
    page.m_Username->setText("admin");
    page.m_Password->setText("pw");
    page.m_Login->click();

    auto logins = env.protocol.SentWith(Intp::ccIntpLogin);
    ASSERT_EQ(logins.size(), 3u);
    Intp::TMd5Digest digest = Intp::MakeLoginDigest("admin", "pw");
    for (const IntpTest::TSent& frame : logins)
        EXPECT_EQ(frame.payload, std::vector<uint8_t>(digest.begin(), digest.end()));
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccBasicsSettingsGet).empty());  // no read, no waiting for one
    // No image while the requests are under way.
    EXPECT_EQ(page.RowImage(a), -1);
    EXPECT_EQ(page.RowImage(b), -1);
    EXPECT_EQ(page.RowImage(c), -1);

    env.protocol.Reply(Intp::ccIntpLogin, a);       // accepted
    env.protocol.Reply(Intp::ccIntpLogin, b, {0, 0, 0, 0}, 0x0010);  // refused by the switch
    EXPECT_EQ(page.RowImage(a), TModuleBasics::liLoggedIn);
    EXPECT_EQ(page.RowImage(b), TModuleBasics::liLoggedOut);
    EXPECT_EQ(page.RowImage(c), -1);  // still waiting

    ASSERT_TRUE(env.protocol.TimeOut(c, Intp::ccIntpLogin));
    EXPECT_EQ(page.RowImage(c), TModuleBasics::liLoggedIn);  // the state it had before
}

TEST_F(LoginPageTest, TextsBeyondAsciiAreSentAsOneLatin1BytePerCharacter)
{
    page.m_Username->setText(QString::fromUtf8("Jos\u00e9"));
    page.m_Password->setText(QString::fromUtf8("\u00fc\u00df"));
    page.m_Login->click();
    Intp::TMd5Digest digest = Intp::MakeLoginDigest("Jos\xe9", "\xfc\xdf");
    auto logins = env.protocol.SentWith(Intp::ccIntpLogin);
    ASSERT_EQ(logins.size(), 3u);
    for (const IntpTest::TSent& frame : logins)
        EXPECT_EQ(frame.payload, std::vector<uint8_t>(digest.begin(), digest.end()));
}

TEST_F(LoginPageTest, FieldsTakeAtMostSixteenLatin1Characters)
{
    for (QLineEdit* edit : {page.m_Username, page.m_Password}) {
        QTest::keyClicks(edit, "abcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(edit->text(), "abcdefghijklmnop");
        edit->clear();
        for (const QString& key : {QStringLiteral("a"), QString(QChar(0x20AC)), QStringLiteral("b")}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
            QApplication::sendEvent(edit, &press);
        }
        EXPECT_EQ(edit->text(), "ab");
    }
}

TEST_F(LoginPageTest, LogoutSendsAZeroDigestToEverySelectedSwitch)
{
    a->SetLoggedIn(true);
    page.m_Logout->click();
    auto logouts = env.protocol.SentWith(Intp::ccIntpLogin);
    ASSERT_EQ(logouts.size(), 3u);
    for (const IntpTest::TSent& frame : logouts)
        EXPECT_EQ(frame.payload, std::vector<uint8_t>(16, 0));
    EXPECT_EQ(logouts[2].mac, c->GetMac());

    env.protocol.Reply(Intp::ccIntpLogin, a);
    env.protocol.Reply(Intp::ccIntpLogin, c);
    EXPECT_FALSE(a->IsLoggedIn());
    EXPECT_EQ(page.RowImage(a), TModuleBasics::liLoggedOut);
    EXPECT_EQ(page.RowImage(c), TModuleBasics::liLoggedOut);
}

TEST_F(LoginPageTest, AnOutcomeForADeselectedSwitchChangesNoRow)
{
    page.m_Username->setText("admin");
    page.m_Login->click();
    env.host.selection = {a, b};
    page.OnNotify(a, ncSelectionChanged, 0);
    env.protocol.Reply(Intp::ccIntpLogin, c);
    EXPECT_EQ(page.m_Devices->RowCount(), 2);
    EXPECT_EQ(page.RowImage(c), -1);
    page.OnWizardEvent(nullptr, Intp::ccIntpLogin, 0, nullptr);
}

}  // namespace
