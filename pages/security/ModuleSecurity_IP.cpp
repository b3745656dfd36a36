#include "pages/security/ModuleSecurity_IP.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

TModuleSecurityIP::TModuleSecurityIP(QWidget* parent) : TModulePage("IP Security", parent)
{
    using R = Intp::TPropertySecurityIp;
    TPageForm form(this);
    m_Mode = m_Fields.Choice(form.Choice("&Mode:", {"Disable", "Enable"}), &R::enabled);
    // The rest follows the mode and the address rule.
    form.NeedsDevice(false);
    m_Management = new TPortCheckList();
    m_Management->SetShortLines({"Enable Web Management", "Enable Telnet Management", "Enable SNMP Management"});
    m_Fields.Mask(m_Management, &R::services);
    form.Section(m_Management);
    m_SecureIPs = new QListWidget();
    form.List("Secure &IP List:", m_SecureIPs);
    m_Address = form.Ip("&IP Address:");
    m_Address->SetRewriteOnExit(true);
    m_Add = form.Button("Add", "RC_BITMAP_16X16_ADD");
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    AddRead<Intp::TSessionSecurityIpGet>();
    WatchChanges({m_Mode, m_Address});
    connect(m_SecureIPs, &QListWidget::itemClicked, this, [this] { EventOnListClick(); });
    connect(m_SecureIPs, &QListWidget::currentRowChanged, this, [this] { EventOnListClick(); });
    connect(m_Add, &QPushButton::clicked, this, [this] { EventOnAddClick(); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { EventOnDeleteClick(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

int TModuleSecurityIP::Capacity() const
{
    const Intp::TDevice* device = CurrentDevice();
    return device ? int(device->GetSecureIpNum()) : 0;
}

void TModuleSecurityIP::Fill(Intp::TDevice* device)
{
    const auto& record = ValidRecord<Intp::TPropertySecurityIp>(device);
    m_Fields.Fill(record);
    m_SecureIPs->clear();
    // The listing ends at the first empty place.
    for (std::uint32_t address : record.addresses) {
        if (address == 0 || m_SecureIPs->count() >= Capacity())
            break;
        m_SecureIPs->addItem(IpText(address));
    }
    UpdateActions();
}

void TModuleSecurityIP::OnLeave() { m_SecureIPs->clear(); }

int TModuleSecurityIP::LineOfAddress() const
{
    for (int line = 0; line < m_SecureIPs->count(); ++line) {
        if (m_SecureIPs->item(line)->text() == m_Address->text())
            return line;
    }
    return -1;
}

void TModuleSecurityIP::UpdateActions()
{
    Intp::TDevice* device = CurrentDevice();
    const bool on = device && m_Mode->currentIndex() == 1;
    TPageForm::SetFieldsEnabled({m_Management, m_SecureIPs, m_Address}, on);
    const bool host = on && m_Address->IsHost();
    m_Delete->setEnabled(host);
    if (on && m_SecureIPs->count() >= Capacity())
        SetEnabledWhy(m_Add, QString("The list is full: this switch's model takes %1.").arg(Counted(Capacity(), "address", "addresses")));
    else
        SetEnabledWhy(m_Add, host ? QString() : QString(on ? "Type a valid host address." : "Choose Enable as the mode to edit the list."));
    SetEnabledWhy(m_Apply, device ? QString() : QString("No switch is selected."));
}

void TModuleSecurityIP::EventOnListClick()
{
    QListWidgetItem* item = m_SecureIPs->currentItem();
    m_Address->setText(item ? item->text() : QString());
}

void TModuleSecurityIP::EventOnAddClick()
{
    if (!Check(LineOfAddress() < 0, "Entry already exists!"))
        return;
    if (m_SecureIPs->count() >= Capacity())
        return;
    m_SecureIPs->addItem(m_Address->text());
    UpdateActions();
}

void TModuleSecurityIP::EventOnDeleteClick()
{
    const int line = LineOfAddress();
    if (!Check(line >= 0, "Entry not found!"))
        return;
    delete m_SecureIPs->takeItem(line);
    UpdateActions();
}

void TModuleSecurityIP::EventOnApplyClick()
{
    Intp::TPropertySecurityIp settings = m_Fields.Read();
    settings.addresses.clear();
    if (settings.enabled) {
        for (int line = 0; line < m_SecureIPs->count(); ++line)
            settings.addresses.push_back(StringToIp(m_SecureIPs->item(line)->text().toStdString()));
    } else {
        settings.services = 0;
    }
    const std::size_t listed = settings.addresses.size();
    // Each switch gets its own model's places; one with fewer than listed is named.
    SendToEachTarget<Intp::TSessionSecurityIpSet>([&](Intp::TSessionSecurityIpSet& request, Intp::TDevice* device) {
        const std::size_t places = device->GetSecureIpNum();
        if (places == 0)
            return QString("its model has no secure IP list");
        if (listed > places)
            return QString("its model takes at most %1 secure addresses").arg(places);
        Intp::TPropertySecurityIp payload = settings;
        payload.addresses.resize(places);
        request.SetPayload(payload);
        return QString();
    });
}

REGISTER_PAGE(TModuleSecurityIP);
