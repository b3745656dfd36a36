// Broadcast discovery of a full subnet: 254 fake switches in one namespace,
// the console in another (run it through bench_discovery.sh), or, with a
// second argument "routed", 4,094 switches filling every host address of the
// /20 198.18.16.0 that the console reaches through one gateway (the script
// routes it so: on the link, one neighbour entry per switch would overflow
// the kernel's neighbour table near 1,000). Each round opens a fresh main
// window, so every round is a first discovery, and times
// the Discovery action until every switch has its row in the device tree,
// and until the tree has been painted with every row (on screen): the
// first rows' paint is also timed from the first row.
// The baseline, in the same round, is a plain client's broadcast find
// receiving every answer. Each side is timed only once the switches are idle
// (the previous window's follow-up reads all answered), so neither pays for
// the other's traffic. Prints each round, the medians, their ratio
// (target: at most 3) and the switches lost (target: 0); the first window's
// round is reported apart, and with the others in a median of all rounds.
#include "console/DeviceTypesFile.h"
#include "console/FilterRules.h"
#include "pages/kit/FilterServer.h"
#include "console/MainForm.h"
#include "pages/kit/MessageBox.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "tests/e2e/RawClient.h"
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/pages/RunUntil.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The switches' subnet: the console's own /15 on the link, or the routed /20.
struct TSubnet {
    std::size_t Switches;
    uint32_t Network;
    uint32_t Mask;
    uint32_t FirstSwitchIp;
    uint32_t Broadcast() const { return Network | ~Mask; }
};
constexpr TSubnet OnLink{254, 0xC6120000, 0xFFFE0000, 0xC6120101};   // 198.18.0.0/15, from 198.18.1.1
constexpr TSubnet Routed{4094, 0xC6121000, 0xFFFFF000, 0xC6121001};  // 198.18.16.0/20, every host

// The discovery filter's own rules, set to the subnet as the dialog's custom
// method would: an answer is kept only once its address is known, so each
// switch's row is added once, as in the console.
class TSubnetFilter : public Filter::TFilterServer {
public:
    explicit TSubnetFilter(const TSubnet& subnet)
    {
        m_Settings.Method = Filter::fmCustom;
        m_Settings.Address = subnet.Network;
        m_Settings.Mask = subnet.Mask;
        m_Settings.Begin = Filter::SubnetBegin(subnet.Network, subnet.Mask);
        m_Settings.End = Filter::SubnetEnd(subnet.Network, subnet.Mask);
    }
    Filter::TFilterSettings* GetSettings() override { return &m_Settings; }
    bool Accept(uint32_t address) override { return Filter::AcceptAddress(m_Settings, address); }
    void GetTargets(TIpMaskList& targets) override { targets.push_back({m_Settings.Address, m_Settings.Mask}); }

private:
    Filter::TFilterSettings m_Settings;
};

Intp::TMacAddr MacOf(std::size_t i) { return Intp::TMacAddr(0x02, 0x00, 0x5E, 0x20, uint8_t(i >> 8), uint8_t(i + 1)); }

// CPU time of the calling (GUI) thread: steadier than the wall clock on a
// loaded machine.
double GuiCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Time the calling thread was ready to run but waited for a core (0 where
// the kernel does not tell): on a loaded machine most of a slow round.
double RunQueueWaitMs()
{
    std::ifstream stat("/proc/thread-self/schedstat");
    double running = 0, waiting = 0;
    stat >> running >> waiting;
    return waiting / 1e6;
}

// When the tree's rows first came and when a paint of the tree that had
// them ended, in ms from start.
class TPaintWatch : public QObject {
public:
    TPaintWatch(QTreeWidget* tree, std::chrono::steady_clock::time_point start, std::function<bool()> allListed)
        : m_Viewport(tree->viewport()), m_Start(start), m_AllListed(std::move(allListed))
    {
        m_Viewport->installEventFilter(this);
        // Rows below a group (the groups hold the devices).
        connect(tree->model(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent) {
            if (m_FirstRow < 0 && parent.isValid() && parent.parent().isValid() && parent.parent().parent().isValid())
                m_FirstRow = Now();
        });
    }
    double FirstRow() const { return m_FirstRow; }
    double FirstPaint() const { return m_FirstPaint; }
    double LastPaint() const { return m_LastPaint; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Painted here, inside the window system's paint, so the end is timed.
        if (event->type() != QEvent::Paint || m_Inside || watched != m_Viewport)
            return false;
        const bool hadFirst = m_FirstRow >= 0, hadAll = m_AllListed();
        m_Inside = true;
        QCoreApplication::sendEvent(watched, event);
        m_Inside = false;
        if (hadFirst && m_FirstPaint < 0)
            m_FirstPaint = Now();
        if (hadAll && m_LastPaint < 0)
            m_LastPaint = Now();
        return true;
    }

private:
    double Now() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_Start).count();
    }
    QWidget* m_Viewport;
    std::chrono::steady_clock::time_point m_Start;
    std::function<bool()> m_AllListed;
    bool m_Inside = false;
    double m_FirstRow = -1, m_FirstPaint = -1, m_LastPaint = -1;
};

// Requests the switches have taken so far, by the fleet's own counters, of
// every command that the first switch was sent (each is sent the same).
unsigned long long FleetRequests(const FakeSwitch::TFleet& fleet, std::size_t count)
{
    std::vector<uint16_t> codes;
    for (const auto& [code, n] : fleet.Snapshot(0).Requests)
        codes.push_back(code);
    unsigned long long total = 0;
    for (std::size_t i = 0; i < count; ++i)
        for (uint16_t code : codes)
            total += fleet.Requests(i, code);
    return total;
}

// Waits until the switches have answered all that was sent to them: their
// request counters stand still for a quiet spell (a datagram queued for them
// is taken within it). Answers the requests they took meanwhile.
unsigned long long WaitFleetIdle(const FakeSwitch::TFleet& fleet, std::size_t count)
{
    constexpr std::chrono::milliseconds Quiet = 50ms, Poll = 5ms, Most = 30s;
    const auto start = std::chrono::steady_clock::now();
    auto still = start;
    const unsigned long long first = FleetRequests(fleet, count);
    unsigned long long last = first;
    for (auto now = start; now - start < Most && now - still < Quiet; now = std::chrono::steady_clock::now()) {
        std::this_thread::sleep_for(Poll);
        if (const unsigned long long seen = FleetRequests(fleet, count); seen != last) {
            last = seen;
            still = std::chrono::steady_clock::now();
        }
    }
    return last - first;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char* ns = std::getenv("E2E_SWITCH_NETNS");
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const TSubnet subnet = argc > 2 && std::string(argv[2]) == "routed" ? Routed : OnLink;
    const std::size_t SwitchCount = subnet.Switches;
    if (!ns) {
        std::fprintf(stderr, "run through bench_discovery.sh (needs the switches' namespace)\n");
        return 2;
    }
    SetMessageBoxHook([](const TMessageBoxRequest&) { return QMessageBox::Ok; });

    // The shipped model table, as the program loads it.
    Intp::InitDeviceTypes();
    std::ifstream models(CONSOLE_DEVICES_DEV, std::ios::binary);
    const auto fileModels = FakeSwitch::LoadModels(CONSOLE_DEVICES_DEV);
    if (!models || !LoadDeviceTypes(models, RegisterFileModel) || fileModels.empty() ||
        fileModels.front().ProductIds.empty()) {
        std::fprintf(stderr, "cannot load %s\n", CONSOLE_DEVICES_DEV);
        return 2;
    }
    FakeSwitch::TFleet fleet;
    fleet.SetNetworkNamespace(ns);
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        FakeSwitch::TSwitchSettings s;
        MacOf(i).CopyTo(s.Mac.data());
        s.ProductId = fileModels.front().ProductIds.front();
        s.Factory.Name = "Bench-" + std::to_string(i + 1);
        s.Factory.Ip = subnet.FirstSwitchIp + uint32_t(i);
        s.Factory.Netmask = subnet.Mask;
        fleet.Add(s);
    }
    std::string error;
    if (!fleet.Start(&error)) {
        std::fprintf(stderr, "fleet: %s\n", error.c_str());
        return 2;
    }

    TSubnetFilter filter(subnet);
    std::vector<double> plain, console, guiCpu, guiWait, firstShown, lastShown;
    std::size_t lost = 0;
    for (int round = 0; round < rounds; ++round) {
        // The previous window's follow-up reads may still be on their way.
        const unsigned long long idleBeforeFind = WaitFleetIdle(fleet, SwitchCount);
        const E2E::TFindResult find = E2E::TimedFind(subnet.Broadcast(), SwitchCount);

        TMainForm::TOptions options;
        options.openSyslog = false;
        options.trayIcon = false;
        auto form = std::make_unique<TMainForm>(options);
        if (!form->Init())
            return 2;
        form->SetFilterServer(&filter);
        form->show();
        QApplication::processEvents();

        const unsigned long long idleBeforeConsole = WaitFleetIdle(fleet, SwitchCount);
        // A cursor keeps the check cheap: it runs after every event batch.
        std::size_t listed = 0;
        auto isListed = [&](std::size_t i) {
            Intp::TDevice* d = Intp::FindDevice(MacOf(i), false);
            return d && form->FindDeviceNode(d);
        };
        const auto start = std::chrono::steady_clock::now();
        auto allListed = [&] {
            while (listed < SwitchCount && isListed(listed))
                ++listed;
            return listed == SwitchCount;
        };
        TPaintWatch paints(form->Tree(), start, allListed);
        const double cpuStart = GuiCpuMs();
        const double waitStart = RunQueueWaitMs();
        form->EventOnDiscoveryExecute();
        RunUntil(allListed, 20s);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        RunUntil([&] { return paints.LastPaint() >= 0; }, 5s);
        guiCpu.push_back(GuiCpuMs() - cpuStart);
        guiWait.push_back(RunQueueWaitMs() - waitStart);
        std::size_t missing = 0;
        for (std::size_t i = 0; i < SwitchCount; ++i)
            missing += !isListed(i);
        lost += missing + (SwitchCount - find.Found);
        plain.push_back(find.Milliseconds);
        console.push_back(ms);
        firstShown.push_back(paints.FirstPaint() - paints.FirstRow());
        lastShown.push_back(paints.LastPaint());
        std::printf("round %d: plain client %.1f ms (%zu answers), console %.1f ms (%zu listed; GUI thread CPU %.1f ms, "
                    "waiting for a core %.1f ms), on screen: first rows %.1f ms after the first row came (at %.1f), "
                    "every row at %.1f ms; requests answered while waiting for idle switches: %llu before the find, "
                    "%llu before the console%s\n",
                    round, find.Milliseconds, find.Found, ms, SwitchCount - missing, guiCpu.back(), guiWait.back(),
                    firstShown.back(), paints.FirstRow(), lastShown.back(), idleBeforeFind,
                    idleBeforeConsole, round == 0 ? ", first window" : "");
        form->Shutdown();
        form.reset();
        QApplication::processEvents();
    }
    fleet.Stop();
    // Round 0 (the first window) apart; per-round ratios for min and max.
    std::vector<double> ratios;
    for (std::size_t r = console.size() > 1 ? 1 : 0; r < console.size(); ++r)
        ratios.push_back(console[r] / std::max(plain[r], 1e-3));
    const auto warm = [&](const std::vector<double>& v) {
        return v.size() > 1 ? std::vector<double>(v.begin() + 1, v.end()) : v;
    };
    const double cold = console.front() / std::max(plain.front(), 1e-3);
    std::vector<double> shownRatios;
    for (std::size_t r = lastShown.size() > 1 ? 1 : 0; r < lastShown.size(); ++r)
        shownRatios.push_back(lastShown[r] / std::max(plain[r], 1e-3));
    std::vector<double> all = ratios;
    if (console.size() > 1)
        all.push_back(cold);
    std::printf("%zu switches, median of %zu warm rounds: console %.1f ms, plain client %.1f ms, ratio %.2f "
                "(min %.2f, max %.2f; target 3); cold round %.2f; all %zu rounds, cold included: ratio %.2f; "
                "GUI thread CPU median %.1f ms, waiting for a core %.1f ms; lost %zu\n",
                SwitchCount, ratios.size(), Median(warm(console)), Median(warm(plain)), Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()),
                cold, all.size(), Median(all), Median(warm(guiCpu)), Median(warm(guiWait)), lost);
    const std::vector<double> first = warm(firstShown);
    std::printf("on screen, median of %zu warm rounds: first rows painted %.1f ms after the first row (min %.1f, max "
                "%.1f; target 20), every row at %.1f ms, ratio to the plain client %.2f (min %.2f, max %.2f; target 3); "
                "cold round: first rows %.1f ms, every row ratio %.2f\n",
                shownRatios.size(), Median(first), *std::min_element(first.begin(), first.end()),
                *std::max_element(first.begin(), first.end()), Median(warm(lastShown)), Median(shownRatios),
                *std::min_element(shownRatios.begin(), shownRatios.end()),
                *std::max_element(shownRatios.begin(), shownRatios.end()), firstShown.front(),
                lastShown.front() / std::max(plain.front(), 1e-3));
    return 0;
}
