#include "pages/ports/ModulePort_Status2.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"

#include <map>

using namespace Intp;

namespace {

// The trunk group (from 1) of each port index below 32; 0 for none. A port
// the switch lists in several groups takes the highest.
std::vector<std::uint32_t> GroupOfPorts(const TPropertyPortTrunk2& trunks, std::uint32_t ports)
{
    std::vector<std::uint32_t> group(ports, 0);
    const std::size_t groups = trunks.entries.empty() ? 0 : trunks.entries.size() - 1;
    for (std::size_t g = 0; g < groups; ++g) {
        for (std::uint32_t p = 0; p < ports && p < 32; ++p) {
            if (trunks.entries[g].members >> p & 1u)
                group[p] = std::uint32_t(g + 1);
        }
    }
    return group;
}

} // namespace

TModulePortStatus2::TModulePortStatus2(QWidget* parent) : TModulePage("Port Status", parent)
{
    using R = TPortStatusRow;
    TPageForm form(this);
    m_List = new TTypedReportList<R>();
    m_List->Column("Port No.", [](const R& r) { return r.caption; });
    m_List->Column("Group ID", [](const R& r) { return r.group; });
    AddPortStatusColumns(m_List);
    m_List->Column("Security", [](const R& r) { return r.security ? QString("on") : QString("off"); });
    m_List->Model()->SetSortMode(smReference);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);

    // Names, trunk groups and configuration first; the status reply refills.
    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionPortTrunkGet2>(rwAlways, false);
    AddRead<TSessionPortConfigGet>(rwAlways, false);
    AddRead<TSessionPortStatusGet>(rwAlways);
    AddChain<TSessionPortNameGet, TSessionPortStatusGet>();
}

void TModulePortStatus2::Fill(TDevice* device)
{
    const auto& status = ValidRecord<TPropertyPortStatus>(device);
    if (!device || !status.valid) {
        m_List->Clear();
        return;
    }
    const std::uint32_t ports = device->GetPortNum();
    const std::vector<std::uint32_t> group = GroupOfPorts(ValidRecord<TPropertyPortTrunk2>(device), ports);
    // Each configuration entry names its port or trunk group (index
    // PortNum + g - 1): a port in a group shows its group's security.
    // Entries past the reply's count are padding, not ports.
    std::map<std::uint32_t, bool> security;
    const auto& config = ValidRecord<TPropertyPortConfig>(device);
    for (std::size_t i = 0; i < config.count && i < config.entries.size(); ++i)
        security[config.entries[i].port] = config.entries[i].security;
    TPortLayout layout;
    layout.BuildFor(device);
    std::vector<TPortStatusRow> rows;
    for (int row = 0; row < layout.RowCount(); ++row) {
        const std::size_t p = std::size_t(layout.IndexOfRow(row));
        if (p >= status.entries.size())
            continue;
        const std::uint32_t g = group[p];
        const auto flag = security.find(g ? ports + g - 1 : std::uint32_t(p));
        rows.push_back({layout.RowName(row), g ? QString("Trunk. %1").arg(g) : QString("N/A"), status.entries[p],
                        flag != security.end() && flag->second});
    }
    m_List->Update(std::move(rows));
}

REGISTER_PAGE(TModulePortStatus2);
