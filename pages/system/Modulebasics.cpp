#include "pages/system/Modulebasics.h"
#include "pages/kit/PageRegistry.h"

#include "intp/SystemSettings.h"
#include "intp/NetUtils.h"
#include "intp/Operations.h"
#include "pages/kit/PageList.h"
#include "pages/rules/PageRules.h"
#include "pages/kit/PageWidgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TModuleBasics::TModuleBasics(QWidget* parent) : TWizardModulePage("Basics", parent)
{
    m_Images[liLoggedIn] = PageGlyph("RC_BITMAP_16X16_ACCEPT");
    m_Images[liLoggedOut] = PageGlyph("RC_BITMAP_16X16_CANCEL");

    m_Label1 = new QLabel("User &Name:", this);
    m_Username = new QLineEdit(this);
    m_Label1->setBuddy(m_Username);
    m_Label2 = new QLabel("&Password:", this);
    m_Password = new QLineEdit(this);
    m_Password->setEchoMode(QLineEdit::Password);
    m_Label2->setBuddy(m_Password);
    MakeLoginField(m_Username);
    MakeLoginField(m_Password);
    m_Login = new QPushButton("&Login", this);
    m_Login->setDefault(true);
    LoadGlyph(m_Login, "RC_BITMAP_16X16_LOGIN");
    m_Logout = new QPushButton("Log&out", this);
    LoadGlyph(m_Logout, "RC_BITMAP_16X16_LOGOUT");
    m_Devices = new TPageListView(this);
    m_Devices->AddColumn("IP");
    m_Devices->setHeaderHidden(true);
    m_Devices->Model()->SetSortMode(smNone);
    m_Devices->setSelectionMode(QAbstractItemView::NoSelection);

    auto* fields = new QGridLayout;
    fields->addWidget(m_Label1, 0, 0);
    fields->addWidget(m_Username, 0, 1);
    fields->addWidget(m_Label2, 1, 0);
    fields->addWidget(m_Password, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_Login);
    buttons->addWidget(m_Logout);
    buttons->addStretch(1);
    fields->addLayout(buttons, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* panel = new QHBoxLayout;
    panel->addLayout(fields, 1);
    panel->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panel);
    layout->addWidget(m_Devices, 1);

    AddRead<Intp::TSessionBasicsSettingsGet>();
    AddInputs({m_Label1, m_Label2, m_Username, m_Password, m_Logout});
    SetHideWhileRefilling(false);

    connect(m_Username, &QLineEdit::textChanged, this, [this] { EventOnUsernameChange(); });
    connect(m_Password, &QLineEdit::textChanged, this, [this] { EventOnUsernameChange(); });
    connect(m_Login, &QPushButton::clicked, this, [this] { EventOnLoginClick(); });
    connect(m_Logout, &QPushButton::clicked, this, [this] { EventOnLogoutClick(); });
}

void TModuleBasics::Fill(Intp::TDevice* device)
{
    m_Devices->Clear();
    if (!device) {
        m_Login->setEnabled(false);
        return;
    }
    EventOnUsernameChange();
    for (Intp::TDevice* target : TargetDevices()) {
        int row = m_Devices->Model()->AddRow({QString::fromStdString(IpToString(target->GetIp()))},
                                             MacKey(target->GetMac()));
        SetRowImage(row, target->IsLoggedIn());
    }
}

void TModuleBasics::EventOnUsernameChange() { m_Login->setEnabled(!m_Username->text().isEmpty()); }

void TModuleBasics::SetRowImage(int row, bool loggedIn)
{
    m_Devices->Model()->SetIcon(row, m_Images[loggedIn ? liLoggedIn : liLoggedOut]);
    m_Devices->Model()->SetNumber(row, 0, loggedIn ? liLoggedIn : liLoggedOut);
}

void TModuleBasics::SendLogin(const std::uint8_t digest[16])
{
    TPageListModel* model = m_Devices->Model();
    for (int row = model->RowCount() - 1; row >= 0; --row) {
        model->ClearIcon(row);
        model->SetNumber(row, 0, -1);
    }
    SendToSelectedDevices<Intp::TSessionIntpLogin>(
        [digest](Intp::TSessionIntpLogin& request) { request.SetPayload(digest); }, this);
}

void TModuleBasics::EventOnLoginClick()
{
    Intp::TMd5Digest digest = LoginDigest(m_Username->text(), m_Password->text());
    SendLogin(digest.data());
}

void TModuleBasics::EventOnLogoutClick()
{
    const std::uint8_t zero[16] = {};
    SendLogin(zero);
}

void TModuleBasics::OnWizardEvent(Intp::TDevice* device, std::uint16_t, std::uint16_t, const void*)
{
    if (!device)
        return;
    // The library has already set or cleared the flag from the reply; after
    // a time-out the row shows the state the device had before.
    int row = m_Devices->Model()->FindTag(MacKey(device->GetMac()));
    if (row >= 0)
        SetRowImage(row, device->IsLoggedIn());
}

int TModuleBasics::RowImage(const Intp::TDevice* device) const
{
    if (!device)
        return -1;
    int row = m_Devices->Model()->FindTag(MacKey(device->GetMac()));
    if (row < 0 || !m_Devices->Model()->Row(row).hasIcon)
        return -1;
    return int(m_Devices->Model()->Number(row, 0));
}

REGISTER_PAGE(TModuleBasics);
