#include "pages/warning/ModuleWarning_Smtp.h"

#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

TModuleWarningSmtp::TModuleWarningSmtp(QWidget* parent)
    : TModulePage("SMTP Settings", parent), m_Form(std::make_unique<TPageForm>(this))
{
    m_Mode = m_Form->Choice("&Mode:", {"Disable", "Enable"});
    // The rest follows the mode and the form check.
    m_Form->NeedsDevice(false);
    m_Address = m_Form->Ip("Server &IP Address:");
    m_Address->SetRewriteOnExit(true);
    m_Sender = m_Form->Text("Sender &E-mail:");
    m_Subject = m_Form->Text("&Subject:");
    m_Account = m_Form->Text("&Account:", 15);
    m_Password = m_Form->Password("&Password:", 15);
    m_Confirm = m_Form->Password("&Confirm Password:", 15);
    m_Recipients = m_Form->Memo("&Recipients' E-mail:", "(one line per recipient)");
    m_Apply = m_Form->Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    AddRead<Intp::TSessionWarningSmtpGet>();
    connect(m_Mode, &QComboBox::currentIndexChanged, this, [this] { EventOnModeChange(); });
    connect(m_Address, &QLineEdit::textChanged, this, [this] { EventOnAddressChange(); });
    connect(m_Account, &QLineEdit::textChanged, this, [this] { EventOnAccountChange(); });
    for (QLineEdit* edit : {m_Sender, m_Subject, m_Password, m_Confirm})
        connect(edit, &QLineEdit::textChanged, this, [this] { EventOnSenderChange(); });
    connect(m_Recipients, &QPlainTextEdit::textChanged, this, [this] { EventOnSenderChange(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

TModuleWarningSmtp::~TModuleWarningSmtp() = default;

void TModuleWarningSmtp::Fill(Intp::TDevice* device)
{
    m_Mode->setCurrentIndex(0);
    m_Address->SetValue(0);
    for (QLineEdit* edit : {m_Sender, m_Subject, m_Account, m_Password, m_Confirm})
        edit->clear();  // the switch never returns the password: none is shown
    m_Recipients->clear();
    if (device) {
        m_RecipientNum = int(device->GetSmtpRecipientNum());
        const auto& record = Intp::Property<Intp::TPropertyWarningSmtp>::Get(device);
        if (record.valid) {
            m_Mode->setCurrentIndex(record.enabled ? 1 : 0);
            m_Address->SetValue(record.server);
            m_Sender->setText(QString::fromStdString(record.sender));
            m_Subject->setText(QString::fromStdString(record.subject));
            m_Account->setText(QString::fromStdString(record.account));
            for (std::size_t i = 0; i < record.recipients.size() && int(i) < m_RecipientNum; ++i) {
                if (!record.recipients[i].empty())
                    m_Recipients->appendPlainText(QString::fromStdString(record.recipients[i]));
            }
        }
    }
    EventOnModeChange();
    if (!device)
        m_Apply->setEnabled(false);
}

void TModuleWarningSmtp::OnLeave() { m_Recipients->clear(); }

void TModuleWarningSmtp::EventOnModeChange()
{
    const bool on = m_Mode->currentIndex() == 1 && CurrentDevice();
    for (QWidget* field : std::initializer_list<QWidget*>{m_Address, m_Sender, m_Subject, m_Account, m_Recipients})
        m_Form->SetFieldEnabled(field, on);
    for (QWidget* field : {m_Password, m_Confirm})
        m_Form->SetFieldEnabled(field, on && !m_Account->text().isEmpty());
    if (on)
        EventOnAddressChange();
    else
        m_Apply->setEnabled(true);
}

void TModuleWarningSmtp::EventOnAccountChange()
{
    for (QWidget* field : {m_Password, m_Confirm})
        m_Form->SetFieldEnabled(field, !m_Account->text().isEmpty());
    EventOnSenderChange();
}

void TModuleWarningSmtp::EventOnAddressChange()
{
    m_ServerAddress = m_Address->Value();
    EventOnSenderChange();
}

QStringList TModuleWarningSmtp::RecipientLines() const
{
    QStringList lines = m_Recipients->toPlainText().split('\n');
    // A last line break opens no recipient.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TModuleWarningSmtp::EventOnSenderChange()
{
    const int lines = int(RecipientLines().size());
    const bool account =
        m_Account->text().isEmpty() || (!m_Password->text().isEmpty() && m_Password->text() == m_Confirm->text());
    m_Apply->setEnabled(IsHostIp(m_ServerAddress) && !m_Sender->text().isEmpty() && !m_Subject->text().isEmpty() &&
                        account && lines >= 1 && lines <= m_RecipientNum);
}

void TModuleWarningSmtp::EventOnApplyClick()
{
    const QStringList lines = RecipientLines();
    for (const QString& line : lines) {
        if (!Check(line.size() < 65, "E-mail address too long!"))
            return;
    }
    Intp::TPropertyWarningSmtp settings;
    settings.enabled = m_Mode->currentIndex() == 1;
    settings.server = m_ServerAddress;
    settings.sender = m_Sender->text().toStdString();
    settings.subject = m_Subject->text().toStdString();
    settings.account = m_Account->text().toStdString();
    settings.recipients.resize(std::size_t(std::max(m_RecipientNum, 0)));
    for (int i = 0; i < m_RecipientNum && i < int(lines.size()); ++i)
        settings.recipients[std::size_t(i)] = lines.at(i).toStdString();
    const std::string password = m_Password->text().toStdString();
    SendToSelectedDevices<Intp::TSessionWarningSmtpSet>(
        [&](Intp::TSessionWarningSmtpSet& request) { request.SetRecord(settings, password); });
}

REGISTER_PAGE(TModuleWarningSmtp);
