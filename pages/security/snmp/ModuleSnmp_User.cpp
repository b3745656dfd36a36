#include "pages/security/snmp/ModuleSnmp_User.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using namespace Intp;

namespace {
QString Shown(bool set) { return set ? "Enabled" : "Disabled"; }

// The last user of that name (with case), or null.
const TPropertySnmpUserEntry* FindUser(const std::vector<TPropertySnmpUserEntry>& users, const QString& name)
{
    const std::string bytes = SwitchBytes(name);
    auto it = std::find_if(users.rbegin(), users.rend(),
                           [&](const TPropertySnmpUserEntry& user) { return user.name == bytes; });
    return it == users.rend() ? nullptr : &*it;
}
} // namespace

TModuleSnmpUser::TModuleSnmpUser(QWidget* parent) : TModulePage("SNMPv3 User", parent)
{
    TPageForm form(this);
    m_List = new TUntypedReportList();
    m_List->AddColumn(QString(), ckNumber);
    m_List->AddColumn("User Name");
    m_List->AddColumn("Auth Password");
    m_List->AddColumn("Privacy Password");
    m_List->Model()->SetSortMode(smReference);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);
    const auto width = int(SnmpTextWidth);
    m_Username = MakeSwitchText(form.Text("User &Name:"), SnmpTextWidth);
    m_Auth = MakeSwitchText(form.Password("A&uth Password:", width), SnmpTextWidth);
    m_Privacy = MakeSwitchText(form.Password("&Privacy Password:", width), SnmpTextWidth);
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSnmpUserGet>();
    WatchChanges({m_Username, m_Auth, m_Privacy});

    connect(m_List, &TUntypedReportList::SelectedRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        m_Username->setText(m_List->Model()->Cell(row, 1));
        // Never read back: the passwords of another user don't stay.
        m_Auth->clear();
        m_Privacy->clear();
    });
    connect(m_Add, &QPushButton::clicked, this, [this] { Send(true); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { Send(false); });
}

void TModuleSnmpUser::Fill(TDevice* device)
{
    const auto& users = ValidRecord<TPropertySnmpUser>(device);
    m_Users.clear();
    std::copy_if(users.entries.begin(), users.entries.end(), std::back_inserter(m_Users),
                 [](const TPropertySnmpUserEntry& user) { return !user.name.empty(); });
    RebuildRows(m_List, true, m_Users, [](const TPropertySnmpUserEntry& user, int number) {
        TListRow row;
        row.cells = {QString::number(number), SwitchText(user.name), Shown(user.auth), Shown(user.privacy)};
        return row;
    });
    UpdateActions();
}

void TModuleSnmpUser::OnLeave()
{
    m_List->Clear();
    m_Users.clear();
}

void TModuleSnmpUser::UpdateActions()
{
    const bool named = CurrentDevice() && !m_Username->text().isEmpty();
    m_Add->setEnabled(named);
    m_Delete->setEnabled(named);
}

QString TModuleSnmpUser::Refusal(const std::vector<TPropertySnmpUserEntry>& users, bool add) const
{
    const TPropertySnmpUserEntry* user = FindUser(users, m_Username->text());
    if (add)
        return user ? "Entry already exists!" : QString();
    if (!user)
        return "Entry not found!";
    if (user->auth && m_Auth->text().isEmpty())
        return "Auth Password needed!";
    if (user->privacy && m_Privacy->text().isEmpty())
        return "Privacy Password needed!";
    return QString();
}

void TModuleSnmpUser::Send(bool add)
{
    const QString refusal = Refusal(m_Users, add);
    if (!Check(refusal.isEmpty(), refusal))
        return;
    const TSnmpUserChange change{SwitchBytes(m_Username->text()), SwitchBytes(m_Auth->text()),
                                 SwitchBytes(m_Privacy->text())};
    // Each switch as its own page checks the form against its own users.
    auto fill = [&](auto& request, TDevice* target) {
        const auto* users = target->LatestRead<TPropertySnmpUser>();
        if (!users)
            return OwnReadWhy<TPropertySnmpUser>(target, "its own users were not read");
        if (QString why = Refusal(users->entries, add); !why.isEmpty())
            return QString("its own page says \"%1\"").arg(why);
        request.SetPayload(change);
        return QString();
    };
    if (add)
        SendToEachTarget<TSessionSnmpUserAdd>(fill);
    else
        SendToEachTarget<TSessionSnmpUserDel>(fill);
}

REGISTER_PAGE(TModuleSnmpUser);
