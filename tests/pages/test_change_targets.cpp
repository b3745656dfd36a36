// Changes sent to switches of other port counts and generations:
// each target takes its own right bytes, or is named and sent nothing.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Igmp.h"
#include "intp/IpSecurity.h"
#include "intp/Qos.h"
#include "intp/Warning.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/ports/ModuleMonitor_Mirror.h"
#include "pages/ports/ModuleMonitor_Mirror2.h"
#include "pages/ports/ModulePort_Config.h"
#include "pages/ports/ModulePort_Limit.h"
#include "pages/ports/ModulePort_Limit2.h"
#include "pages/ports/ModulePort_Trunk.h"
#include "pages/ports/ModulePort_Trunk2.h"
#include "pages/ports/Moduleredundancy_fastrecovery.h"
#include "pages/ports/Moduleredundancy_ring.h"
#include "pages/ports/Moduleredundancy_rstp.h"
#include "pages/ports/multicast/ModuleIgmp.h"
#include "pages/ports/qos/ModuleQos.h"
#include "pages/ports/qos/ModuleQos2.h"
#include "pages/ports/qos/ModuleQos2_Port.h"
#include "pages/ports/qos/ModuleQos_Cos.h"
#include "pages/ports/qos/ModuleQos_Port.h"
#include "pages/security/ModuleSecurity_8021xPort.h"
#include "pages/security/ModuleSecurity_MacAging.h"
#include "pages/security/ModuleSecurity_MultiFilter.h"
#include "pages/security/vlan/ModuleVlan_8021qPort.h"
#include "pages/security/vlan/ModuleVlan_PortBased.h"
#include "pages/warning/ModuleWarning_Event.h"
#include "pages/warning/ModuleWarning_Fault.h"

#include <QPushButton>

#include <functional>

using namespace Intp;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The targets: the current switch (8 ports, 2 trunk groups), then one of
// the same model, one with fewer ports, one with more, one with another
// trunk group count and one of the other generation.
enum { Current, Same, Fewer, More, Groups, Other };

struct TRow {
    const char* name;
    std::function<TModulePage*()> make;
    bool second;  // of the second generation's page tree only
    std::uint16_t set, read;
    std::function<void(TDevice*)> put;  // the page's own records on each switch
    const char* expect;                 // Same..Other: 'S' sent, 'N' named
    Bytes current = {}, more = {};      // hand-written, where given
    std::function<void(TModulePage*)> press = nullptr;
};

struct TNoFill {
    void operator()(std::size_t, auto&) const {}
};
template <class R, class F = TNoFill> R& PutPerPort(TDevice* device, F fill = {})
{
    return Property<R>::Get(device) = IntpTest::PerPort<R>(ModelOf(device), fill);
}
template <class R> void PutRecord(TDevice* device, R record) { Property<R>::Get(device) = (record.valid = true, record); }
template <class P> P* As(TModulePage* page) { return static_cast<P*>(page); }
bool Big(TDevice* device) { return device->GetPortNum() > 8; }

const std::vector<TRow> Rows = {
    {"Mirror", [] { return new TModuleMonitorMirror; }, false, ccMonitorMirrorSet, ccMonitorMirrorGet,
     [](TDevice* d) { PutRecord(d, TPropertyMonitorMirror{true, 1, 2, Big(d) ? 0x1000u : 0x4u, 0}); },
     "SNSSN", {1, 2, 0, 0, 0, 4, 0, 0, 0, 0}, {1, 2, 0, 0, 0x10, 4, 0, 0, 0, 0}},  // port 13 kept
    {"MirrorUnread", [] { return new TModuleMonitorMirror; }, false, ccMonitorMirrorSet, ccMonitorMirrorGet,
     [](TDevice* d) { Property<TPropertyMonitorMirror>::Get(d) = {!Big(d), 1, 2, 0x4, 0}; }, "SNNSN"},
    {"Mirror2", [] { return new TModuleMonitorMirror2; }, true, ccMonitorMirror2Set, ccMonitorMirror2Get,
     [](TDevice* d) { PutRecord(d, TPropertyMonitorMirror2{true, 3, 6, 1}); }, "SNSSN"},
    {"PortConfig", [] { return new TModulePortConfig; }, false, ccPortConfigSet, ccPortConfigGet, {}, "SNSSS"},
    {"Limit", [] { return new TModulePortLimit; }, false, ccPortLimitSet, ccPortLimitGet,
     [](TDevice* d) { PutPerPort<TPropertyPortLimit>(d); }, "SNSSN"},
    {"Limit2", [] { return new TModulePortLimit2; }, true, ccPortLimit2Set, ccPortLimit2Get,
     [](TDevice* d) { PutPerPort<TPropertyPortLimit2>(d); }, "SNSSN"},
    {"FastRecovery", [] { return new TModuleRedundancyFastRecovery; }, false, ccRedundancyFastRecoverySet,
     ccRedundancyFastRecoveryGet, [](TDevice* d) { PutPerPort<TPropertyRedundancyFastRecovery>(d); }, "SNSSN"},
    {"Rstp", [] { return new TModuleRedundancyRstp; }, false, ccRedundancyRstpSet, ccRedundancyRingGet,
     [](TDevice* d) {
         auto& rstp = PutPerPort<TPropertyRedundancyRstp>(d, [](std::size_t, auto& p) { p.pathCost = 1; });
         std::tie(rstp.bridgePriority, rstp.maxAge, rstp.helloTime, rstp.forwardDelay) = std::tuple(4096, 20, 2, 15);
         PutRecord(d, TPropertyRedundancyRing{});
     },
     "SNSSS"},
    {"Ring", [] { return new TModuleRedundancyRing; }, false, ccRedundancyRingSet, ccRedundancyRstpGet,
     [](TDevice* d) {
         TPropertyRedundancyRing ring;
         std::tie(ring.ringEnabled, ring.secondPort) = std::tuple(true, 5);
         PutRecord(d, ring);
         PutPerPort<TPropertyRedundancyRstp>(d);
     },
     "SNSSS"},
    {"QosPort", [] { return new TModuleQosPort; }, false, ccQosPortSet, ccQosPortGet,
     [](TDevice* d) { PutPerPort<TPropertyQosPort>(d, [](std::size_t i, auto& q) { q = i > 7 ? 3 : 1; }); },
     "SNSSN", {1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3, 3, 3, 3, 3, 3}},
    {"Qos2Port", [] { return new TModuleQos2Port; }, true, ccQos2PortSet, ccQos2PortGet,
     [](TDevice* d) { PutPerPort<TPropertyQos2Port>(d); }, "SNSSN"},
    {"QosCos", [] { return new TModuleQosCos; }, false, ccQosCosSet, ccQosCosGet,
     [](TDevice* d) { PutPerPort<TPropertyQosCos>(d); }, "SNSSN"},
    {"Dot1xPort", [] { return new TModuleSecurity8021xPort; }, false, ccSecurity8021xPortSet,
     ccSecurity8021xPortGet, [](TDevice* d) { PutPerPort<TPropertySecurity8021xPort>(d); }, "SNSSS"},
    {"Vlan8021qPort", [] { return new TModuleVlan8021qPort; }, false, ccVlan8021qPortSet, ccVlan8021qPortGet,
     [](TDevice* d) {
         PutRecord(d, TPropertyVlan{true, vm8021q});
         PutRecord(d, TPropertyVlan8021qPort{true, 0, {{1, 0xFF, 0}}});
     },
     "SNSSS"},
    {"PortBased", [] { return new TModuleVlanPortBased; }, false, ccVlanPortEdit, ccVlanPortGet,
     [](TDevice* d) {
         PutRecord(d, TPropertyVlan{true, vmPortBased});
         PutRecord(d, IntpTest::Table<TPropertyVlanPort>({{5, Big(d) ? 0x1001u : 0x1u, "Five"}}));
     },
     "SSSSS", {}, {}, [](TModulePage* p) {
         As<TModuleVlanPortBased>(p)->m_GroupName->setText("Five");
         As<TModuleVlanPortBased>(p)->m_Vid->setValue(5);
         As<TModuleVlanPortBased>(p)->m_Ports->SetMask(0x3);
         As<TModuleVlanPortBased>(p)->m_Edit->click();
     }},
    {"MultiFilter", [] { return new TModuleSecurityMultiFilter; }, true, ccSecurityMultiFilterAdd,
     ccSecurityMultiFilterGet,
     [](TDevice* d) {
         PutRecord(d, IntpTest::Table<TPropertySecurityMultiFilter>({{Big(d) ? 0x1001u : 0x1u, Ip(239, 1, 1, 1), 1}}));
     },
     "SNSSN", {}, {}, [](TModulePage* p) {
         As<TModuleSecurityMultiFilter>(p)->m_Ip->setText("239.1.1.1");
         As<TModuleSecurityMultiFilter>(p)->m_Ports->SetMask(0x80);
         As<TModuleSecurityMultiFilter>(p)->m_Add->click();
     }},
    {"Trunk", [] { return new TModulePortTrunk; }, false, ccPortTrunkSet, ccPortTrunkGet,
     [](TDevice* d) { PutPerPort<TPropertyPortTrunk>(d, [](std::size_t, auto& e) { e.members = 0x3; }); },
     "SSSNN"},
    {"Trunk2", [] { return new TModulePortTrunk2; }, true, ccPortTrunkSet2, ccPortTrunkGet2,
     [](TDevice* d) { PutPerPort<TPropertyPortTrunk2>(d); }, "SSSNN"},
    {"Fault", [] { return new TModuleWarningFault; }, false, ccWarningFaultSet, ccWarningFaultGet,
     [](TDevice* d) { PutRecord(d, TPropertyWarningFault{true, 0, Big(d) ? 0x1000u : 0x80u}); }, "SNSSN",
     {0, 0, 0, 0, 0, 0, 0, 0x80}, {0, 0, 0, 0, 0, 0, 0x10, 0x80}},
    {"Event", [] { return new TModuleWarningEvent; }, false, ccWarningEventSet, ccWarningEventGet,
     [](TDevice* d) {
         PutRecord(d, TPropertyWarningEvent{true, 0, Big(d) ? 0x1001u : 0x1u, 0, 0, 0, 0});
         PutRecord(d, TPropertyWarningSyslog{.mode = 1});
     },
     "SSSSS"},
    // Pages of one generation without per-port data.
    {"Qos", [] { return new TModuleQos; }, false, ccQosSet, ccQosGet,
     [](TDevice* d) { PutRecord(d, TPropertyQos{true, 1, 2}); }, "SSSSN", {1, 2}},
    {"MacAging", [] { return new TModuleSecurityMacAging; }, false, ccSecurityMacAgingSet, ccSecurityMacAgingGet,
     [](TDevice* d) { PutRecord(d, TPropertySecurityMacAging{true, 300, true}); }, "SSSSN", {0, 0, 1, 0x2C, 1}},
    {"Qos2", [] { return new TModuleQos2; }, true, ccQos2Set, ccQos2Get,
     [](TDevice* d) { PutRecord(d, TPropertyQos2{true, 2}); }, "SSSSN"},
    {"Igmp2", [] { return new TModuleIgmp2; }, true, ccIgmp2Set, ccIgmp2Get,
     [](TDevice* d) { PutRecord(d, TPropertyIgmp2{true, true, 1, 10, 2}); }, "SSSSN"},
};

class ChangeTargets : public ::testing::TestWithParam<TRow> {
protected:
    TDevice* Add(std::uint8_t last, std::uint32_t model)
    {
        TDevice* device = env.AddDevice(last, Ip(10, 0, 0, last));
        device->SetType(model);
        env.host.selection.push_back(device);
        Property<TPropertyPortName>::Get(device) = IntpTest::PortNames(ModelOf(device));
        Property<TPropertyPortConfig>::Get(device) = IntpTest::PortConfig(ModelOf(device));
        if (GetParam().put)
            GetParam().put(device);
        return device;
    }
    void TearDown() override { g_LayoutThreshold = m_Threshold; }
    TPageTestEnvironment env;

private:
    int m_Threshold = g_LayoutThreshold;
};

TEST_P(ChangeTargets, EachTargetTakesItsOwnBytesOrIsNamed)
{
    const TRow& row = GetParam();
    // Models above the threshold are of the second generation.
    std::uint32_t other = row.second ? TestModel(8, 0, 2, 4) : 0;
    const std::uint32_t model = TestModel(8, 0, 2, 4), fewer = TestModel(4, 0, 2, 4), more = TestModel(16, 0, 2, 4),
                        groups = TestModel(8, 0, 3, 4);
    other = row.second ? other : TestModel(8, 0, 2, 4);
    g_LayoutThreshold = int(row.second ? other : groups);
    const std::vector<TDevice*> devices{Add(1, model), Add(2, model), Add(3, fewer), Add(4, more), Add(5, groups),
                                        Add(6, other)};
    std::unique_ptr<TModulePage> page(row.make());
    page->SetHost(&env.host);
    env.page = page.get();
    page->OnNotify(devices[Current], row.read, ssOk);
    if (row.press)
        row.press(page.get());
    else
        for (QPushButton* button : page->findChildren<QPushButton*>())
            if (button->text().remove('&') == "Apply")
                button->click();

    std::map<TDevice*, std::vector<Bytes>> sent;
    for (const IntpTest::TSent& frame : env.protocol.SentWith(row.set))
        for (TDevice* device : devices)
            if (device->GetMac() == frame.mac)
                sent[device].push_back(frame.payload);
    ASSERT_FALSE(sent[devices[Current]].empty());
    if (!row.current.empty()) {
        EXPECT_EQ(sent[devices[Current]][0], row.current);
    }
    if (!row.more.empty() && !sent[devices[More]].empty()) {
        EXPECT_EQ(sent[devices[More]][0], row.more);
    }
    for (TDevice* device : devices)
        env.protocol.Reply(row.set, device);
    const bool anyNamed = std::string_view(row.expect).find('N') != std::string_view::npos;
    RunUntil([&] { return anyNamed ? !env.messages.isEmpty() : page->StatusLine()->text() == "Changed on 6 switches."; },
             std::chrono::seconds(2));
    const QString told = env.messages.join('\n');
    for (int target = Same; target <= Other; ++target) {
        SCOPED_TRACE(target);
        const bool named = told.contains(TChangeReport::DeviceText(devices[std::size_t(target)]) + ": not changed");
        EXPECT_EQ(row.expect[target - 1] == 'N', named);
        EXPECT_EQ(row.expect[target - 1] == 'N', sent[devices[std::size_t(target)]].empty());
    }
    env.page = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Pages, ChangeTargets, ::testing::ValuesIn(Rows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
