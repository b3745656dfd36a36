// The form builder and the field binding: spin boxes, notes, Enter on a
// page, and switch texts (Latin-1, as wide as the wire field).
#include "PageTestKit.h"

#include "intp/Warning.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageForm.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct TVlanRecord {
    bool valid = false;
    std::uint32_t vid = 0;
};

class TFormPage : public TModulePage {
public:
    TFormPage() : TModulePage("Form Page")
    {
        TPageForm form(this);
        form.NeedsDevice(false);
        vid = m_Vlan.Number(form.Number("&VID:", 1, 4094, "(1~4094)"), &TVlanRecord::vid);
        subject = m_Smtp.Text(form.Text("&Subject:"), &Intp::TPropertyWarningSmtp::subject);
        recipients = m_Smtp.Lines(form.Memo("&Recipients:"), &Intp::TPropertyWarningSmtp::recipients);
        form.Button("&Cancel");
        apply = form.Button("&Apply", nullptr, true);
    }

    TFieldBinding<TVlanRecord> m_Vlan;
    TFieldBinding<Intp::TPropertyWarningSmtp> m_Smtp;
    TNumberBox* vid;
    QLineEdit* subject;
    QPlainTextEdit* recipients;
    QPushButton* apply;

protected:
    void Fill(Intp::TDevice*) override {}
};

class PageForm : public ::testing::Test {
protected:
    TPageTestEnvironment env;
    TFormPage page;
};

TEST_F(PageForm, ASpinBoxTakesItsMemberAndAValueItCantShowGoesBackAsRead)
{
    page.m_Vlan.Fill({true, 100});
    EXPECT_EQ(page.vid->value(), 100);
    page.vid->setValue(200);
    EXPECT_EQ(page.m_Vlan.Read().vid, 200u);

    page.m_Vlan.Fill({true, 5000});
    EXPECT_EQ(page.m_Vlan.Read().vid, 5000u);
    page.vid->setValue(10);
    EXPECT_EQ(page.m_Vlan.Read().vid, 10u);

    // The note stands beside the spin box and follows it.
    const auto notes = page.findChildren<QLabel*>();
    const auto note = std::find_if(notes.begin(), notes.end(), [](QLabel* l) { return l->text() == "(1~4094)"; });
    ASSERT_NE(note, notes.end());
    TPageForm::SetFieldEnabled(page.vid, false);
    EXPECT_FALSE((*note)->isEnabled());
}

TEST_F(PageForm, EnterInAFieldPressesTheDefaultButtonButNotInAMemoOrWhileItIsDisabled)
{
    QSignalSpy pressed(page.apply, &QPushButton::clicked);
    page.subject->setFocus();
    QTest::keyClick(page.subject, Qt::Key_Return);
    QTest::keyClick(page.vid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(pressed.count(), 2);

    QTest::keyClick(page.recipients, Qt::Key_Return);
    EXPECT_EQ(pressed.count(), 2);
    EXPECT_EQ(page.recipients->toPlainText(), "\n");

    page.apply->setEnabled(false);
    QTest::keyClick(page.subject, Qt::Key_Return);
    EXPECT_EQ(pressed.count(), 2);
}

TEST_F(PageForm, SwitchTextsKeepTheirBytesRefuseWhatLatin1CantHoldAndTakeTheWireWidth)
{
    Intp::TPropertyWarningSmtp smtp;
    smtp.subject = "St\xF6rung";
    smtp.recipients = {"m\xFCller\xA0@example.org"};
    page.m_Smtp.Fill(smtp);
    EXPECT_EQ(page.subject->text(), QString::fromUtf8("Störung"));
    EXPECT_EQ(page.m_Smtp.Read().subject, "St\xF6rung");
    EXPECT_EQ(page.m_Smtp.Read().recipients, std::vector<std::string>{"m\xFCller\xA0@example.org"});

    // Typed and pasted: the euro sign is refused, the rest is taken.
    TypeText(page.subject, QString::fromUtf8("€ß"));
    EXPECT_EQ(page.subject->text(), QString::fromUtf8("Störungß"));
    page.recipients->insertPlainText(QString::fromUtf8("\na€b"));
    TypeText(page.recipients, QString::fromUtf8("€c"));
    EXPECT_EQ(page.m_Smtp.Read().recipients, (std::vector<std::string>{"m\xFCller\xA0@example.org", "abc"}));

    EXPECT_EQ(page.subject->maxLength(), int(Intp::SmtpTextWidth));
    page.subject->clear();
    TypeText(page.subject, QString(Intp::SmtpTextWidth + 1, QChar(0xE9)));
    EXPECT_EQ(page.m_Smtp.Read().subject, std::string(Intp::SmtpTextWidth, '\xE9'));
}

}  // namespace
