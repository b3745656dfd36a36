#include "pages/system/Modulebasics.h"

#include "intp/SystemSettings.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QLineEdit>
#include <QPushButton>

TModuleBasics::TModuleBasics(QWidget* parent) : TWizardModulePage("Basics", parent)
{
    m_Images[liLoggedIn] = PageGlyph("RC_BITMAP_16X16_ACCEPT");
    m_Images[liLoggedOut] = PageGlyph("RC_BITMAP_16X16_CANCEL");

    TPageForm form(this);
    m_Username = form.Text("User &Name:");
    m_Password = form.Password("&Password:", 0);
    MakeLoginField(m_Username);
    MakeLoginField(m_Password);
    m_Login = form.Button("&Login", "RC_BITMAP_16X16_LOGIN", true);
    m_Logout = form.Button("Log&out", "RC_BITMAP_16X16_LOGOUT");
    form.NeedsDevice(false);
    m_Devices = new TUntypedReportList();
    m_Devices->AddColumn("IP");
    m_Devices->setHeaderHidden(true);
    m_Devices->Model()->SetSortMode(smNone);
    m_Devices->setSelectionMode(QAbstractItemView::NoSelection);
    form.List(QString(), m_Devices);

    AddRead<Intp::TSessionBasicsSettingsGet>();
    // The page that logs in works whatever a read of a logged-out switch gives.
    SetUnavailableWhenUnread(false);
    SetHideWhileRefilling(false);
    WatchChanges({m_Username, m_Password});
    connect(m_Login, &QPushButton::clicked, this, [this] { EventOnLoginClick(); });
    connect(m_Logout, &QPushButton::clicked, this, [this] { EventOnLogoutClick(); });
}

void TModuleBasics::Fill(Intp::TDevice* device)
{
    m_Devices->Clear();
    UpdateActions();
    if (!device)
        return;
    for (Intp::TDevice* target : TargetDevices()) {
        int row = m_Devices->Model()->AddRow({IpText(target->GetIp())}, MacKey(target->GetMac()));
        SetRowImage(row, target->IsLoggedIn());
    }
}

void TModuleBasics::UpdateActions() { m_Login->setEnabled(CurrentDevice() && !m_Username->text().isEmpty()); }

void TModuleBasics::SetRowImage(int row, bool loggedIn)
{
    m_Devices->Model()->SetIcon(row, m_Images[loggedIn ? liLoggedIn : liLoggedOut]);
    m_Devices->Model()->SetNumber(row, 0, loggedIn ? liLoggedIn : liLoggedOut);
}

void TModuleBasics::SendLogin(const std::uint8_t digest[16])
{
    TListModel* model = m_Devices->Model();
    for (int row = model->RowCount() - 1; row >= 0; --row) {
        model->ClearIcon(row);
        model->SetNumber(row, 0, -1);
    }
    LoginSelectedDevices(digest, this);
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
