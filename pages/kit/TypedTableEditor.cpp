#include "pages/kit/TypedTableEditor.h"

#include "intp/Ports.h"
#include "pages/kit/ChangeReport.h"
#include "pages/kit/PortMerge.h"

#include <algorithm>

void TTableEditorBase::BindBase(TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del,
                                QAbstractButton* modify)
{
    m_List = list;
    m_Add = add;
    m_Modify = modify;
    m_Delete = del;
    if (modify)
        QObject::connect(modify, &QAbstractButton::clicked, modify, [this] { EventOnModifyClick(); });
    QObject::connect(list, &TUntypedReportList::SelectedRowChanged, list, [this](int row) {
        FillFormFromRow(row);
        UpdateButtons();
    });
    // A click on the line already selected fills the form from it again.
    QObject::connect(list, &QAbstractItemView::clicked, list, [this](const QModelIndex& index) {
        FillFormFromRow(index.row());
        UpdateButtons();
    });
    QObject::connect(add, &QAbstractButton::clicked, add, [this] { EventOnAddClick(); });
    QObject::connect(del, &QAbstractButton::clicked, del, [this] { EventOnDeleteClick(); });
}

bool TTableEditorBase::IsListed(const QString& key) const
{
    return std::find(m_Keys.begin(), m_Keys.end(), key) != m_Keys.end();
}

void TTableEditorBase::UpdateButtons()
{
    if (m_Page && !m_Page->CurrentDevice()) {
        for (QAbstractButton* button : {m_Add, m_Modify, m_Delete})
            if (button)
                button->setEnabled(false);
        return;
    }
    if (m_KeyGiven) {
        const bool given = m_KeyGiven();
        m_Add->setEnabled(given);
        m_Delete->setEnabled(given);
        return;
    }
    const std::optional<QString> key = FormKey();
    const bool listed = key && IsListed(*key);
    const std::optional<QString> keyOnly = FormKeyOnly();
    m_Add->setEnabled(key && !listed);
    if (m_Modify)
        m_Modify->setEnabled(listed);
    m_Delete->setEnabled(keyOnly && IsListed(*keyOnly));
}

QString TTableEditorBase::PortOnTarget(std::uint32_t& index, const Intp::TDevice* source, const Intp::TDevice* target)
{
    const Intp::TDeviceType& from = Intp::ModelOf(source);
    const Intp::TDeviceType& to = Intp::ModelOf(target);
    const bool trunk = index >= from.PortNum;
    const std::uint32_t number = trunk ? index - from.PortNum : index;
    if (number < (trunk ? to.TrunkGroupNum : to.PortNum)) {
        index = trunk ? to.PortNum + number : number;
        return QString();
    }
    return QString("its model has %1 and %2, this entry is for %3 %4")
        .arg(Counted(to.PortNum, "port", "ports"))
        .arg(Counted(to.TrunkGroupNum, "trunk group", "trunk groups"))
        .arg(trunk ? "trunk group" : "port")
        .arg(number + 1);
}

QString TTableEditorBase::PositionOnTarget(std::uint32_t& position, Intp::TDevice* source, Intp::TDevice* target)
{
    auto listed = [](const Intp::TPropertyPortConfig& config) {
        return config.valid ? std::min<std::size_t>(config.count, config.entries.size()) : 0;
    };
    const auto& from = Intp::Property<Intp::TPropertyPortConfig>::Get(source);
    if (position >= listed(from))
        return "the port is not in this switch's port configuration";
    std::uint32_t index = from.entries[position].port;
    if (QString why = PortOnTarget(index, source, target); !why.isEmpty())
        return why;
    // Its own page offers no port it hides.
    if (QString why = PortMerge::UnlistedWhy(target, std::vector<int>{int(index)}); !why.isEmpty())
        return why;
    const auto* to = target->LatestRead<Intp::TPropertyPortConfig>();
    if (!to)
        return "its port configuration has not been read";
    for (std::size_t i = 0; i < listed(*to); ++i) {
        if (to->entries[i].port == index) {
            position = std::uint32_t(i);
            // Its own page offers the first 32 positions alone.
            return i < 32 ? QString() : QString("that port stands past the first 32 of its port configuration");
        }
    }
    return "its port configuration does not list that port";
}

QString TTableEditorBase::PositionsOnTarget(std::uint32_t& mask, Intp::TDevice* source, Intp::TDevice* target)
{
    std::uint32_t own = 0;
    for (std::uint32_t bit = 0; bit < 32; ++bit) {
        std::uint32_t position = bit;
        if (!((mask >> bit) & 1u))
            continue;
        if (QString why = PositionOnTarget(position, source, target); !why.isEmpty())
            return why;
        own |= 1u << position;
    }
    mask = own;
    return QString();
}

QString TTableEditorBase::LinesOnTarget(std::uint32_t lines, Intp::TDevice* source, Intp::TDevice* target)
{
    if (QString why = PositionsOnTarget(lines, source, target); !why.isEmpty())
        return "its own page lacks a port line this page shows: " + why;
    // The lines' ports on target: its own page has no line of a hidden one.
    const auto* config = target->LatestRead<Intp::TPropertyPortConfig>();
    std::vector<int> ports;
    for (std::size_t i = 0; config && i < std::min<std::size_t>(config->entries.size(), 32); ++i)
        if (lines >> i & 1u)
            ports.push_back(int(config->entries[i].port));
    return PortMerge::UnlistedWhy(target, ports);
}

QString TTableEditorBase::ModelWhy(bool refused)
{
    return refused ? QString("its model can't take this entry") : QString();
}

QString TTableEditorBase::LinesWhy(int shown, int offered)
{
    if (offered >= shown)
        return QString();
    return QString("its own page offers %1, this page shows %2")
        .arg(Counted(offered, "port", "ports"))
        .arg(Counted(shown, "port", "ports"));
}
