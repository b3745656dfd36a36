#include "pages/warning/ModuleWarning_Smtp.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"

#include <QPushButton>

namespace {

// The recipients the device's model takes.
int RecipientNum(const Intp::TDevice* device) { return device ? int(device->GetSmtpRecipientNum()) : 0; }

}  // namespace

TModuleWarningSmtp::TModuleWarningSmtp(QWidget* parent) : TModulePage("SMTP Settings", parent)
{
    using R = Intp::TPropertyWarningSmtp;
    TPageForm form(this);
    m_Mode = m_Fields.Choice(form.Choice("&Mode:", {"Disable", "Enable"}), &R::enabled);
    // The rest follows the mode and the form check.
    form.NeedsDevice(false);
    m_Address = m_Fields.Ip(form.Ip("Server &IP Address:"), &R::server);
    m_Address->SetRewriteOnExit(true);
    m_Sender = m_Fields.Text(form.Text("Sender &E-mail:"), &R::sender);
    m_Subject = m_Fields.Text(form.Text("&Subject:"), &R::subject);
    m_Account = m_Fields.Text(form.Text("&Account:", 15), &R::account);
    m_Password = m_Fields.Text(form.Password("&Password:", 15), &R::password);
    m_Confirm = MakeSwitchText(form.Password("&Confirm Password:", 15), 0);
    m_Recipients = m_Fields.Lines(form.Memo("&Recipients' E-mail:", "(one line per recipient)"), &R::recipients);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    AddRead<Intp::TSessionWarningSmtpGet>();
    WatchChanges({m_Mode, m_Address, m_Sender, m_Subject, m_Account, m_Password, m_Confirm, m_Recipients});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleWarningSmtp::Fill(Intp::TDevice* device)
{
    Intp::TPropertyWarningSmtp record = ValidRecord<Intp::TPropertyWarningSmtp>(device);
    record.recipients.resize(std::size_t(RecipientNum(device)));
    // No reply carries the password: it is typed again; the confirmation keeps its text.
    record.password.clear();
    m_Fields.Fill(record);
    UpdateActions();
}

void TModuleWarningSmtp::OnLeave() { m_Recipients->clear(); }

void TModuleWarningSmtp::UpdateActions()
{
    Intp::TDevice* device = CurrentDevice();
    const int recipients = RecipientNum(device);
    const bool on = device && m_Mode->currentIndex() == 1;
    const bool account = !m_Account->text().isEmpty();
    TPageForm::SetFieldsEnabled({m_Address, m_Sender, m_Subject, m_Account, m_Recipients}, on);
    TPageForm::SetFieldsEnabled({m_Password, m_Confirm}, on && account);
    const int lines = int(MemoLines(m_Recipients).size());
    // The first check that fails says why Apply is off.
    QString why;
    if (!device)
        why = "No switch is selected.";
    else if (recipients == 0)
        why = "This switch's model takes no e-mail recipients.";
    else if (!on)
        why.clear();
    else if (!m_Address->IsHost())
        why = "The server IP address is not a valid host address.";
    else if (m_Sender->text().isEmpty())
        why = "The sender e-mail is empty.";
    else if (m_Subject->text().isEmpty())
        why = "The subject is empty.";
    else if (account && m_Password->text().isEmpty())
        why = "The account needs a password.";
    else if (account && m_Password->text() != m_Confirm->text())
        why = "The password and its confirmation differ.";
    else if (lines < 1)
        why = "No recipient is given.";
    else if (lines > recipients)
        why = QString("Too many recipients: this switch's model takes at most %1.").arg(recipients);
    SetEnabledWhy(m_Apply, why);
}

void TModuleWarningSmtp::EventOnApplyClick()
{
    const Intp::TPropertyWarningSmtp settings = m_Fields.Read();
    for (const std::string& recipient : settings.recipients) {
        if (!Check(recipient.size() < 65, "E-mail address too long!"))
            return;
    }
    // Each switch gets its own model's recipient fields; one whose model takes
    // fewer than the lines given is named, not changed.
    const int lines = int(MemoLines(m_Recipients).size());
    SendToEachTarget<Intp::TSessionWarningSmtpSet>([&](Intp::TSessionWarningSmtpSet& request, Intp::TDevice* device) {
        const int recipients = RecipientNum(device);
        if (recipients == 0)
            return QString("its model takes no e-mail recipients");
        if (settings.enabled && lines > recipients)
            return QString("its model takes at most %1").arg(Counted(recipients, "recipient", "recipients"));
        Intp::TPropertyWarningSmtp payload = settings;
        payload.recipients.resize(std::size_t(recipients));
        request.SetPayload(payload);
        return QString();
    });
}

REGISTER_PAGE(TModuleWarningSmtp);
