#include "pages/security/ModuleSecurity_8021x.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TModuleSecurity8021x::TModuleSecurity8021x(QWidget* parent) : TModulePage("802.1x", parent)
{
    using R = Intp::TPropertySecurity8021x;
    TPageForm form(this);
    m_Protocol = m_Fields.Choice(form.Choice("802.1&x Protocol:", {"Disable", "Enable"}), &R::enabled);
    // The rest follows the protocol and the server rule.
    form.NeedsDevice(false);
    m_ServerTitle = form.Heading("Radius Server Settings:");
    m_ServerIp = m_Fields.Ip(form.Ip("Radius Server &IP:"), &R::server);
    m_ServerIp->SetRewriteOnExit(true);
    m_ServerPort = m_Fields.Number(form.Number("Server &Port:", 1, 65535), &R::serverPort);
    m_AccountingPort = m_Fields.Number(form.Number("A&ccounting Port:", 1, 65535), &R::accountingPort);
    m_SharedKey = m_Fields.Text(form.Text("Shared &Key:"), &R::sharedKey);
    m_NasId = m_Fields.Text(form.Text("&NAS Identifier:"), &R::nasId);
    m_AdvancedTitle = form.Heading("Advanced Settings:");
    m_Quiet = m_Fields.Number(form.Number("&Quiet Period:", 0, 65535), &R::quietPeriod);
    m_ReAuth = m_Fields.Number(form.Number("&Re-Auth Period:", 1, 999999), &R::reAuthPeriod);
    m_TX = m_Fields.Number(form.Number("&TX Period:", 0, 65535), &R::txPeriod);
    m_Supplicant = m_Fields.Number(form.Number("S&upplicant Timeout:", 1, 300), &R::supplicantTimeout);
    m_ServerTimeout = m_Fields.Number(form.Number("Server Time&out:", 1, 300), &R::serverTimeout);
    m_MaxRequest = m_Fields.Number(form.Number("&Max Requests:", 1, 10), &R::maxRequests);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();

    AddRead<Intp::TSessionSecurity8021xGet>();
    WatchChanges({m_Protocol, m_ServerIp, m_SharedKey, m_NasId});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleSecurity8021x::Fill(Intp::TDevice* device)
{
    m_Fields.Fill(ValidRecord<Intp::TPropertySecurity8021x>(device));
    UpdateActions();
}

void TModuleSecurity8021x::EventOnApplyClick()
{
    using R = Intp::TPropertySecurity8021x;
    const R shown = m_Fields.Read();
    // A refill puts the key read back and clears the mark of an edit.
    const bool typed = m_SharedKey->isModified();
    const bool all = m_Fields.ShowsAll();
    SendToEachTarget<Intp::TSessionSecurity8021xSet>([&](Intp::TSessionSecurity8021xSet& request,
                                                         Intp::TDevice* device) {
        R payload = shown;
        if (!typed || !all) {
            // Its own key, and its own value of a field left blank or
            // showing a number it can't hold.
            const R* own = device->LatestRead<R>();
            if (!own && typed)
                return QString("its own values of the fields the page shows none of were not read");
            if (!own)
                return QString("its shared key has not been read; type the key to change it with the others");
            payload = m_Fields.ReadOver(*own);
            if (!typed)
                payload.sharedKey = own->sharedKey;
        }
        request.SetPayload(payload);
        return QString();
    });
}

void TModuleSecurity8021x::UpdateActions()
{
    const bool device = CurrentDevice() != nullptr;
    const bool on = device && m_Protocol->currentIndex() == 1;
    TPageForm::SetFieldsEnabled({m_ServerTitle, m_ServerIp, m_ServerPort, m_AccountingPort, m_SharedKey, m_NasId,
                                 m_AdvancedTitle, m_Quiet, m_ReAuth, m_TX, m_Supplicant, m_ServerTimeout,
                                 m_MaxRequest},
                                on);
    QString why;
    if (!device)
        why = "No switch is selected.";
    else if (!on)
        why.clear();
    else if (!m_ServerIp->IsHost())
        why = "The RADIUS server IP address is not a valid host address.";
    else if (m_SharedKey->text().isEmpty())
        why = "The shared key is empty.";
    else if (m_NasId->text().isEmpty())
        why = "The NAS identifier is empty.";
    SetEnabledWhy(m_Apply, why);
}

REGISTER_PAGE(TModuleSecurity8021x);
