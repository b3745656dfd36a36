#include "pages/kit/SwitchText.h"
#include "pages/ports/Moduleredundancy_rstp_info.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"
#include "pages/rules/RedundancyRules.h"

#include <QLabel>

using namespace Intp;

namespace {

const std::vector<const char*> FalseTrue = {"False", "True"};
const std::vector<const char*> P2pNames = {"False", "True", "Auto"};
const std::vector<const char*> StateNames = {"Disabled", "Discarding", "Learning", "Forwarding", "Non Stp"};
const std::vector<const char*> RoleNames = {"Disabled", "Root",    "Designated", "Alternated",
                                            "Backup",   "Non Stp", "Unknown"};

// A column of a port value's name.
TTypedReportList<TRstpInfoRow>::TText Named(const std::vector<const char*>& names,
                                           uint32_t TPropertyRedundancyRstpInfoPort::*value)
{
    return [&names, value](const TRstpInfoRow& row) { return SwitchText(NameOf(names, row.port.*value)); };
}
TTypedReportList<TRstpInfoRow>::TText Flag(bool TPropertyRedundancyRstpInfoPort::*flag)
{
    return [flag](const TRstpInfoRow& row) { return QString::fromLatin1(FalseTrue[row.port.*flag ? 1 : 0]); };
}

} // namespace

TModuleRedundancyRstpInfo::TModuleRedundancyRstpInfo(QWidget* parent) : TModulePage("RSTP Information", parent)
{
    using E = TPropertyRedundancyRstpInfoPort;
    TPageForm form(this);
    form.Section(BoldLabel("Root Bridge Information", this));
    const auto value = [&](const QString& label) { return static_cast<QLabel*>(form.Field(label, new QLabel)); };
    m_BridgeId = value("Bridge ID:");
    m_Priority = value("Root Priority:");
    m_RootPort = value("Root Port:");
    m_PathCost = value("Root Path Cost:");
    m_MaxAge = value("Max Age Time:");
    m_Hello = value("Hello Time:");
    m_Delay = value("Forward Delay Time:");

    m_List = new TTypedReportList<TRstpInfoRow>();
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    m_List->Column("Port", [](const TRstpInfoRow& row) { return row.caption; });
    m_List->Column(
        "Path Cost", [](const TRstpInfoRow& row) { return QString::number(row.port.pathCost); },
        [](const TRstpInfoRow& row) { return (long long)row.port.pathCost; }, right);
    m_List->Column(
        "Port Priority", [](const TRstpInfoRow& row) { return QString::number(row.port.priority); },
        [](const TRstpInfoRow& row) { return (long long)row.port.priority; }, right);
    m_List->Column("OperP2P", Named(P2pNames, &E::p2p));
    m_List->Column("OperEdge", Flag(&E::edge));
    m_List->Column("STP Neighbor", Flag(&E::neighbour));
    m_List->Column("State", Named(StateNames, &E::state));
    m_List->Column("Role", Named(RoleNames, &E::role));
    m_List->Model()->SetSortMode(smPerColumn);
    form.List("Port Information", m_List, true);

    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionRedundancyRstpInfoGet>();
}

void TModuleRedundancyRstpInfo::Fill(TDevice* device)
{
    m_List->Clear();
    const auto& info = ValidRecord<TPropertyRedundancyRstpInfo>(device);
    const QList<QLabel*> values = {m_BridgeId, m_Priority, m_RootPort, m_PathCost, m_MaxAge, m_Hello, m_Delay};
    // Without a record nothing of another switch stays (the page shows not available).
    if (!info.valid) {
        for (QLabel* label : values)
            label->clear();
        return;
    }
    if (!info.enabled) {
        for (QLabel* label : values)
            label->setText("N/A");
        return;
    }
    QString id;
    for (uint8_t byte : info.rootBridgeId)
        id += QString("%1").arg(byte, 2, 16, QChar('0')).toUpper();
    m_BridgeId->setText(id);
    m_Priority->setText(QString::number(info.rootPriority));
    m_RootPort->setText(info.rootPort == RstpRootIsSelf ? QString("Root")
                                                         : SwitchText(PortCaption(int(info.rootPort))));
    m_PathCost->setText(QString::number(info.rootPathCost));
    m_MaxAge->setText(QString::number(info.maxAge));
    m_Hello->setText(QString::number(info.helloTime));
    m_Delay->setText(QString::number(info.forwardDelay));
    const auto& names = ValidRecord<TPropertyPortName>(device);
    for (std::size_t port = 0; port < info.ports.size(); ++port) {
        if (port < names.names.size() && IsHiddenPort(names.names[port]))
            continue;
        m_List->Add({SwitchText(PortCaption(m_List->RowCount() + 1)), info.ports[port]});
    }
}

REGISTER_PAGE(TModuleRedundancyRstpInfo);
