#include "pages/warning/ModuleWarning_Smtp.h"

#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The recipients the device's model takes.
int RecipientNum(const Intp::TDevice* device) { return device ? int(device->GetSmtpRecipientNum()) : 0; }

}  // namespace

TModuleWarningSmtp::TModuleWarningSmtp(QWidget* parent) : TModulePage("SMTP Settings", parent)
{
    TPageForm form(this);
    m_Mode = form.Choice("&Mode:", {"Disable", "Enable"});
    // The rest follows the mode and the form check.
    form.NeedsDevice(false);
    m_Address = form.Ip("Server &IP Address:");
    m_Address->SetRewriteOnExit(true);
    m_Sender = form.Text("Sender &E-mail:");
    m_Subject = form.Text("&Subject:");
    m_Account = form.Text("&Account:", 15);
    m_Password = form.Password("&Password:", 15);
    m_Confirm = form.Password("&Confirm Password:", 15);
    m_Recipients = form.Memo("&Recipients' E-mail:", "(one line per recipient)");
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    AddRead<Intp::TSessionWarningSmtpGet>();
    WatchChanges({m_Mode, m_Address, m_Sender, m_Subject, m_Account, m_Password, m_Confirm, m_Recipients});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleWarningSmtp::Fill(Intp::TDevice* device)
{
    const auto& record = ValidRecord<Intp::TPropertyWarningSmtp>(device);
    m_Mode->setCurrentIndex(record.enabled ? 1 : 0);
    m_Address->SetValue(record.server);
    m_Sender->setText(QString::fromStdString(record.sender));
    m_Subject->setText(QString::fromStdString(record.subject));
    m_Account->setText(QString::fromStdString(record.account));
    // The switch never returns the password; one typed for another switch goes too.
    m_Password->clear();
    m_Confirm->clear();
    m_Recipients->clear();
    for (int i = 0; i < int(record.recipients.size()) && i < RecipientNum(device); ++i) {
        if (!record.recipients[std::size_t(i)].empty())
            m_Recipients->appendPlainText(QString::fromStdString(record.recipients[std::size_t(i)]));
    }
    UpdateActions();
}

void TModuleWarningSmtp::OnLeave() { m_Recipients->clear(); }

void TModuleWarningSmtp::UpdateActions()
{
    Intp::TDevice* device = CurrentDevice();
    const bool on = device && m_Mode->currentIndex() == 1;
    const bool account = !m_Account->text().isEmpty();
    TPageForm::SetFieldsEnabled({m_Address, m_Sender, m_Subject, m_Account, m_Recipients}, on);
    TPageForm::SetFieldsEnabled({m_Password, m_Confirm}, on && account);
    const int lines = int(MemoLines(m_Recipients).size());
    const bool complete = m_Address->IsHost() && !m_Sender->text().isEmpty() && !m_Subject->text().isEmpty() &&
                          (!account || (!m_Password->text().isEmpty() && m_Password->text() == m_Confirm->text())) &&
                          lines >= 1 && lines <= RecipientNum(device);
    m_Apply->setEnabled(device && (!on || complete));
}

void TModuleWarningSmtp::EventOnApplyClick()
{
    const QStringList lines = MemoLines(m_Recipients);
    for (const QString& line : lines) {
        if (!Check(line.size() < 65, "E-mail address too long!"))
            return;
    }
    Intp::TPropertyWarningSmtp settings;
    settings.enabled = m_Mode->currentIndex() == 1;
    settings.server = m_Address->Value();
    settings.sender = m_Sender->text().toStdString();
    settings.subject = m_Subject->text().toStdString();
    settings.account = m_Account->text().toStdString();
    settings.password = m_Password->text().toStdString();
    // Lines beyond the model's count are not sent; recipients without a line stay empty.
    settings.recipients.resize(std::size_t(RecipientNum(CurrentDevice())));
    for (int i = 0; i < int(settings.recipients.size()) && i < lines.size(); ++i)
        settings.recipients[std::size_t(i)] = lines.at(i).toStdString();
    SendPayload<Intp::TSessionWarningSmtpSet>(settings);
}

REGISTER_PAGE(TModuleWarningSmtp);
