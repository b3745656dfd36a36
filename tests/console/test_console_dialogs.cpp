#include "FakePages.h"

#include "console/AboutDialog.h"
#include "console/LoginDialog.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/PageInterface.h"
#include "console/TopologyLauncher.h"
#include "console/WizardsModule.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

// Runs action once the next modal dialog's event loop is running.
void WhenModal(std::function<void()> action) {
    QTimer::singleShot(0, qApp, std::move(action));
}

class TMessageBoxRecorder {
public:
    TMessageBoxRecorder() {
        m_Old = SetMessageBoxHook([this](const TMessageBoxRequest& request) {
            Texts.push_back(request.text);
            return QMessageBox::Ok;
        });
    }
    ~TMessageBoxRecorder() { SetMessageBoxHook(m_Old); }
    QStringList Texts;

private:
    TMessageBoxHook m_Old;
};

}  // namespace

// --- Login -----------------------------------------------------------------------

TEST(LoginForm, UserNameAloneDecidesWhetherLoginIsEnabled) {
    TLoginForm form;
    EXPECT_TRUE(form.LoginButton()->isEnabled());
    QTest::keyClicks(form.PasswordEdit(), "secret");
    EXPECT_FALSE(form.LoginButton()->isEnabled());
    QTest::keyClicks(form.UsernameEdit(), "admin");
    EXPECT_TRUE(form.LoginButton()->isEnabled());
    form.UsernameEdit()->selectAll();
    QTest::keyClick(form.UsernameEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(form.LoginButton()->isEnabled());
}

TEST(LoginForm, CancelAnswersFalseAndLeavesTheTextsAlone) {
    TLoginForm form;
    QString user = "unchanged", password = "unchanged";
    WhenModal([&] {
        QTest::keyClicks(form.UsernameEdit(), "admin");
        form.CancelButton()->click();
    });
    EXPECT_FALSE(form.AskCredentials(user, password));
    EXPECT_EQ(user, "unchanged");
    EXPECT_EQ(password, "unchanged");
}

TEST(LoginForm, LoginAnswersTheTextsAndKeepsThemForTheNextUse) {
    TLoginForm form;
    QString user, password;
    WhenModal([&] {
        QTest::keyClicks(form.UsernameEdit(), "admin");
        QTest::keyClicks(form.PasswordEdit(), "pw");
        form.LoginButton()->click();
    });
    ASSERT_TRUE(form.AskCredentials(user, password));
    EXPECT_EQ(user, "admin");
    EXPECT_EQ(password, "pw");

    QString again, againPassword;
    WhenModal([&] { form.LoginButton()->click(); });
    ASSERT_TRUE(form.AskCredentials(again, againPassword));
    EXPECT_EQ(again, "admin");
    EXPECT_EQ(againPassword, "pw");
}

TEST(LoginForm, TextsHoldAtMostSixteenSingleByteCharacters) {
    TLoginForm form;
    QTest::keyClicks(form.UsernameEdit(), "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(form.UsernameEdit()->text(), "abcdefghijklmnop");
    for (const QString& key : {QStringLiteral("a"), QString(QChar(0x20AC)), QStringLiteral("b")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        QApplication::sendEvent(form.PasswordEdit(), &press);
    }
    EXPECT_EQ(form.PasswordEdit()->text(), "ab");
    EXPECT_EQ(form.PasswordEdit()->echoMode(), QLineEdit::Password);
}

// --- About -----------------------------------------------------------------------

TEST(AboutForm, VersionTextFromTheVersionNumbers) {
    EXPECT_EQ(TAboutForm::VersionText("1.2.3.4"), "Version 1.2.3 (build 4)");
    EXPECT_EQ(TAboutForm::VersionText("2.1.0"), "Version 2.1.0 (build 0)");
    EXPECT_EQ(TAboutForm::VersionText(""), "(No Version Info)");
    EXPECT_EQ(TAboutForm::VersionText("1.x.3"), "(No Version Info)");
    EXPECT_EQ(TAboutForm::VersionText("1.2.3.4.5"), "(No Version Info)");
    EXPECT_EQ(TAboutForm::VersionText("1.70000"), "(No Version Info)");
}

TEST(AboutForm, LinkAndLogoOpenTheAddress) {
    TAboutForm form(nullptr, "www.example.com");
    QList<QUrl> opened;
    form.SetUrlOpener([&](const QUrl& url) { return opened.push_back(url), true; });
    form.show();
    EXPECT_TRUE(form.UrlLabel()->isVisible());
    QTest::mouseClick(form.UrlLabel(), Qt::LeftButton);
    QTest::mouseClick(form.LogoLabel(), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], QUrl("http://www.example.com"));

    // An empty address hides the link and a click on the logo opens nothing.
    TAboutForm empty;
    empty.SetUrlOpener([&](const QUrl& url) { return opened.push_back(url), true; });
    empty.show();
    EXPECT_FALSE(empty.UrlLabel()->isVisible());
    QTest::mouseClick(empty.LogoLabel(), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2);

    // Without a browser the user is told.
    TMessageBoxRecorder boxes;
    form.SetUrlOpener([](const QUrl&) { return false; });
    QTest::mouseClick(form.UrlLabel(), Qt::LeftButton);
    EXPECT_EQ(boxes.Texts, QStringList{WebPageFailedMessage(QUrl("http://www.example.com"))});
}

// --- Devices Topology -------------------------------------------------------------

TEST(TopologyFrame, ViewerIsLookedUpBesideTheProgram) {
    TJavaTopologyFrame frame;
    EXPECT_EQ(frame.JarPath(), QDir(QCoreApplication::applicationDirPath()).filePath("TopologyView.jar"));
}

TEST(TopologyFrame, MissingJarIsReportedAndNothingStarts) {
    TMessageBoxRecorder boxes;
    TJavaTopologyFrame frame(nullptr, "/nonexistent/TopologyView.jar");
    int started = 0;
    frame.SetStarter([&](const QString&, const QStringList&) { return ++started, true; });
    frame.OpenButton()->click();
    EXPECT_EQ(started, 0);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_TRUE(boxes.Texts[0].contains("/nonexistent/TopologyView.jar"));
}

TEST(TopologyFrame, OpenStartsJavaOnTheJarAndReportsAMissingRuntime) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString jar = dir.filePath("TopologyView.jar");
    QFile file(jar);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    TMessageBoxRecorder boxes;
    TJavaTopologyFrame frame(nullptr, jar);
    QString program;
    QStringList arguments;
    bool javaPresent = true;
    frame.SetStarter([&](const QString& p, const QStringList& a) {
        program = p;
        arguments = a;
        return javaPresent;
    });
    frame.OpenButton()->click();
    EXPECT_EQ(program, "java");
    EXPECT_EQ(arguments, (QStringList{"-jar", jar}));
    EXPECT_TRUE(boxes.Texts.isEmpty());

    javaPresent = false;
    frame.OpenButton()->click();
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_TRUE(boxes.Texts[0].contains("Java"));
}

// --- Wizards ----------------------------------------------------------------------

TEST(WizardFrame, ButtonsSelectTheTwoWizardPages) {
    TFakePageHost host;
    TModuleCallback* old = g_ModuleCallback;
    g_ModuleCallback = &host;
    TWizardFrame frame;
    frame.GroupIpButton()->click();
    frame.GroupFwButton()->click();
    g_ModuleCallback = old;
    EXPECT_EQ(host.selectedPages, (QStringList{"Wizards/Group IP Setting", "Wizards/Group Firmware Update"}));
}
