// Reception floods, each round on loopback, as fast as the senders can:
//  - protocol: 200,000 datagrams back to back into the main window's socket
//    (ping replies from 100,000 MACs, so the device registry also fills to
//    its bound); reports the longest GUI-thread stall (the largest gap
//    between ticks of a 1 ms timer) and the datagrams lost;
//  - syslog: 200,000 messages from 4 senders into the events page; reports
//    how many were stored, and the stall;
//  - find: one Discovery, then 200,000 find answers from 65,536 switches
//    whose follow-up reads are never answered (the filter keeps answers by
//    the discovery filter's own rules); reports the stall while the
//    discovery's follow-up ticks run (mostly within the flood) and after
//    them, the settings reads outstanding per switch and the memory taken,
//    against an idle event loop watched as long in the same round.
// Each stall is told with the events that filled it (the longest first,
// wall and CPU time, receiver), so a stall names its cause.
// The find flood's stall is to stay under 25 ms. Medians of 5 rounds (or
// the count given as the first argument); a second argument (protocol, syslog or find) runs that flood alone, e.g.
// `bench_flood 9 syslog` (as root, for the full receive buffer).
#include "console/FilterRules.h"
#include "console/IntpReceiveQueue.h"
#include "console/IntpSock.h"
#include "console/MainForm.h"
#include "intp/Codes.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/SystemSettings.h"
#include "pages/kit/FilterServer.h"
#include "intp/NetUtils.h"
#include "intp/Session.h"
#include "pages/kit/MessageBox.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"

#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QTimer>

#include <time.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Total = 200000;

struct TRound {
    double stallMs = 0;
    QString stallText;
    double seconds = 0;
    double sendSeconds = 0;  // until the last sender was done
    std::uint64_t arrived = 0;
};

// Sends datagrams to 127.0.0.1:port as fast as one socket can; done is
// raised to the clock's time when it is.
void SendAll(std::uint16_t port, int first, int count, const std::function<std::string(int)>& make,
             const QElapsedTimer* clock, std::atomic<qint64>* done)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = first; i < first + count; ++i) {
        const std::string bytes = make(i);
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    ::close(fd);
    const qint64 now = clock->nsecsElapsed();
    for (qint64 seen = done->load(); seen < now && !done->compare_exchange_weak(seen, now);) {
    }
}

qint64 ThreadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Times each event the event loop dispatches itself (nested ones count in
// theirs) and keeps those since the last Take().
class TTimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (m_Depth > 0 || !m_Watching)
            return Nested(receiver, event);
        const int type = int(event->type());
        const QString what = Describe(receiver);
        const qint64 wall = m_Clock.nsecsElapsed(), cpu = ThreadCpuNs();
        const bool done = Nested(receiver, event);
        m_Since.push_back({m_Clock.nsecsElapsed() - wall, ThreadCpuNs() - cpu, type, what});
        TTotal& total = m_Totals[QStringLiteral("event %1 to %2").arg(type).arg(what)];
        total.cpu += m_Since.back().cpu;
        total.most = std::max(total.most, m_Since.back().cpu);
        ++total.count;
        return done;
    }
    static TTimedApplication* Instance() { return static_cast<TTimedApplication*>(QCoreApplication::instance()); }
    void Watch(bool on)
    {
        m_Watching = on;
        m_Since.clear();
        if (on)
            m_Totals.clear();
        m_Clock.start();
    }
    // The events since the last call: their count and time, the longest few.
    QString Take()
    {
        std::sort(m_Since.begin(), m_Since.end(), [](const TEvent& a, const TEvent& b) { return a.wall > b.wall; });
        qint64 wall = 0, cpu = 0;
        for (const TEvent& e : m_Since) {
            wall += e.wall;
            cpu += e.cpu;
        }
        QString text = QStringLiteral("%1 events, %2 ms (CPU %3 ms)")
                           .arg(m_Since.size())
                           .arg(double(wall) / 1e6, 0, 'f', 1)
                           .arg(double(cpu) / 1e6, 0, 'f', 1);
        for (std::size_t i = 0; i < m_Since.size() && i < 3; ++i)
            text += QStringLiteral("; %1 ms (CPU %2) event %3 to %4")
                        .arg(double(m_Since[i].wall) / 1e6, 0, 'f', 1)
                        .arg(double(m_Since[i].cpu) / 1e6, 0, 'f', 1)
                        .arg(m_Since[i].type)
                        .arg(m_Since[i].what);
        m_Since.clear();
        return text;
    }

    // Where the GUI thread's CPU time went while watched: the receivers
    // that took most, with their count and longest event.
    QString Totals() const
    {
        std::vector<std::pair<QString, TTotal>> all(m_Totals.begin(), m_Totals.end());
        std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.second.cpu > b.second.cpu; });
        QString text;
        for (std::size_t i = 0; i < all.size() && i < 5; ++i)
            text += QStringLiteral("%1%2 ms in %3 (longest %4 ms): %5")
                        .arg(i ? QStringLiteral("; ") : QString())
                        .arg(double(all[i].second.cpu) / 1e6, 0, 'f', 0)
                        .arg(all[i].second.count)
                        .arg(double(all[i].second.most) / 1e6, 0, 'f', 1)
                        .arg(all[i].first);
        return text;
    }

private:
    struct TTotal {
        qint64 cpu = 0, most = 0;
        int count = 0;
    };
    struct TEvent {
        qint64 wall, cpu;
        int type;
        QString what;
    };
    bool Nested(QObject* receiver, QEvent* event)
    {
        ++m_Depth;
        const bool done = QApplication::notify(receiver, event);
        --m_Depth;
        return done;
    }
    // The receiver's class and name, and its parents'.
    static QString Describe(QObject* o)
    {
        QString text;
        for (int i = 0; o && i < 3; ++i, o = o->parent())
            text += (i ? QStringLiteral(" in ") : QString()) + QString::fromLatin1(o->metaObject()->className()) +
                    (o->objectName().isEmpty() ? QString() : QStringLiteral(" '%1'").arg(o->objectName()));
        return text;
    }
    int m_Depth = 0;
    bool m_Watching = false;
    QElapsedTimer m_Clock;
    std::vector<TEvent> m_Since;
    std::map<QString, TTotal> m_Totals;
};

// The worst gap between ticks of a 1 ms timer while it lives (a stall of
// the GUI thread's event loop), and the events that filled it.
class TStallProbe {
public:
    TStallProbe()
    {
        TTimedApplication::Instance()->Watch(true);
        m_Clock.start();
        m_Tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_Tick, &QTimer::timeout, [this] {
            const qint64 now = m_Clock.nsecsElapsed();
            const QString events = TTimedApplication::Instance()->Take();
            if (now - m_Last > m_Worst) {
                m_Worst = now - m_Last;
                m_WorstAt = m_Last;
                m_WorstEvents = events;
            }
            m_Last = now;
        });
        m_Tick.start(1);
        m_Last = m_Clock.nsecsElapsed();
    }
    ~TStallProbe() { TTimedApplication::Instance()->Watch(false); }
    QElapsedTimer& Clock() { return m_Clock; }
    // Starts the watch again from now.
    void Restart()
    {
        m_Last = m_Clock.nsecsElapsed();
        m_Worst = m_WorstAt = 0;
        m_WorstEvents.clear();
        TTimedApplication::Instance()->Take();
    }
    // In ms, the gap still open included (none: 0).
    double WorstMs() const
    {
        return std::max(0.0, double(std::max(m_Worst, m_Clock.nsecsElapsed() - m_Last)) / 1e6 - 1.0);
    }
    // When the worst gap began and what ran in it.
    QString WorstText() const
    {
        return QStringLiteral("at %1 ms: %2").arg(double(m_WorstAt) / 1e6, 0, 'f', 0).arg(m_WorstEvents);
    }

private:
    QElapsedTimer m_Clock;
    QTimer m_Tick;
    qint64 m_Last = 0;
    qint64 m_Worst = 0;
    qint64 m_WorstAt = 0;
    QString m_WorstEvents;
};

// Runs the senders and the event loop until arrived() reaches Total or
// stops growing for 2 s; the GUI stall is the largest gap between ticks.
// A given probe watches from before the flood (and goes on after it);
// each pass of the loop calls onPass.
TRound Flood(std::uint16_t port, int senders, const std::function<std::string(int)>& make,
             const std::function<std::uint64_t()>& arrived, TStallProbe* watching = nullptr,
             const std::function<void()>& onPass = {})
{
    std::unique_ptr<TStallProbe> own;
    if (!watching) {
        own = std::make_unique<TStallProbe>();
        QApplication::processEvents();
        own->Restart();
    }
    TStallProbe& probe = watching ? *watching : *own;
    QElapsedTimer& clock = probe.Clock();
    const qint64 start = clock.nsecsElapsed();
    std::atomic<qint64> sent{0};
    std::vector<std::thread> threads;
    for (int s = 0; s < senders; ++s)
        threads.emplace_back(SendAll, port, s * (Total / senders), Total / senders, make, &clock, &sent);
    std::uint64_t seen = 0;
    qint64 progressAt = clock.elapsed();
    while (arrived() < std::uint64_t(Total) && clock.elapsed() - progressAt < 2000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (onPass)
            onPass();
        if (arrived() != seen) {
            seen = arrived();
            progressAt = clock.elapsed();
        }
    }
    TRound round;
    round.stallMs = probe.WorstMs();
    round.stallText = probe.WorstText();
    for (auto& t : threads)
        t.join();
    round.seconds = double(clock.nsecsElapsed() - start) / 1e9;
    round.sendSeconds = double(sent - start) / 1e9;
    round.arrived = arrived();
    return round;
}

// Runs the event loop until done() or the time is up; answers the worst
// stall meanwhile, in ms.
double WatchStall(TStallProbe& probe, int maxMs, const std::function<bool()>& done)
{
    const qint64 end = probe.Clock().elapsed() + maxMs;
    while (!done() && probe.Clock().elapsed() < end)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return probe.WorstMs();
}

double WatchStall(int maxMs, const std::function<bool()>& done)
{
    TStallProbe probe;
    return WatchStall(probe, maxMs, done);
}

template <class T>
T Median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string PingReply(int i)
{
    std::string frame(Intp::HeaderSize + 12, '\0');
    const int mac = i % 100000;
    Intp::THeader header;
    header.code = Intp::ccIntpPing2;
    header.length = 12;
    header.mac = Intp::TMacAddr(0x02, 0x00, 0x5E, uint8_t(mac >> 16), uint8_t(mac >> 8), uint8_t(mac));
    header.Write(reinterpret_cast<std::uint8_t*>(frame.data()));
    return frame;
}

constexpr int FindSwitches = 65536;
constexpr const char* FindModelId = "BENCH-FIND";

Intp::TMacAddr FindMac(int i) { return Intp::TMacAddr(0x02, 0x00, 0x5F, 0x00, uint8_t(i >> 8), uint8_t(i)); }

std::string FindReply(int i)
{
    std::string frame(Intp::HeaderSize + 8, '\0');
    Intp::THeader header;
    header.code = Intp::ccIntpFind;
    header.length = 8;
    header.mac = FindMac(i % FindSwitches);
    header.Write(reinterpret_cast<std::uint8_t*>(frame.data()));
    const std::uint32_t pid = Intp::MakeProductId(FindModelId);
    for (int b = 0; b < 4; ++b)
        frame[Intp::HeaderSize + b] = char(pid >> (24 - 8 * b));
    return frame;
}

// The discovery filter's own rules, set to the loopback address: an answer
// is kept only once its address is known, as in the console.
class TLoopbackFilter : public Filter::TFilterServer {
public:
    TLoopbackFilter()
    {
        m_Settings.Method = Filter::fmCustom;
        m_Settings.Address = m_Settings.Begin = m_Settings.End = INADDR_LOOPBACK;
        m_Settings.Mask = 0xFFFFFFFFu;
    }
    Filter::TFilterSettings* GetSettings() override { return &m_Settings; }
    bool Accept(std::uint32_t address) override { return Filter::AcceptAddress(m_Settings, address); }
    void GetTargets(TIpMaskList& targets) override { targets.push_back({m_Settings.Address, m_Settings.Mask}); }

private:
    Filter::TFilterSettings m_Settings;
};

double ResidentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / double(1 << 20);
}

// One Discovery answered by 200,000 find replies; every request the console
// sends goes to a socket that never reads.
int RunFindFlood(int rounds)
{
    Intp::InitDeviceTypes();
    Intp::TDeviceType model;
    model.Name = "Bench model";
    model.PortNum = 8;
    Intp::RegisterDeviceType(&model, {FindModelId});
    const int sink = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    ::bind(sink, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    ::getsockname(sink, reinterpret_cast<sockaddr*>(&local), &length);
    TLoopbackFilter filter;
    std::vector<double> stalls, idles, perSwitch, memory;
    for (int r = 0; r < rounds; ++r) {
        TMainForm::TOptions options;
        options.bindAddress = QHostAddress(QHostAddress::LocalHost);
        options.openSyslog = false;
        options.trayIcon = false;
        auto form = std::make_unique<TMainForm>(options);
        if (!form->Init())
            return 2;
        form->SetFilterServer(&filter);
        form->IntpSock()->SetRemotePort(ntohs(local.sin_port));
        form->show();
        QApplication::processEvents();
        const double idle = WatchStall(3000, [] { return false; });
        const double rssBefore = ResidentMb();
        TIntpSocketThread* queue = form->IntpQueue();
        const std::uint64_t before = queue->Delivered();
        // The follow-up ticks (six counted ticks of 400 ms) run mostly
        // within the flood: the stalls are split where the last one ends.
        TStallProbe probe;
        QApplication::processEvents();
        probe.Restart();
        form->EventOnDiscoveryExecute();
        double whileTicking = -1;
        QString tickingText;
        bool flooding = true, endedInFlood = false;
        auto ticksEnded = [&] {
            if (whileTicking < 0 && !form->DiscoveryTimer()->isActive()) {
                endedInFlood = flooding;
                whileTicking = probe.WorstMs();
                tickingText = probe.WorstText();
                probe.Restart();
            }
        };
        TRound round = Flood(form->IntpSock()->LocalPort(), 1, FindReply, [&] { return queue->Delivered() - before; },
                             &probe, ticksEnded);
        flooding = false;
        WatchStall(probe, 4000, [&] {
            ticksEnded();
            return whileTicking >= 0;
        });
        ticksEnded();
        // The rest of the flood after the last tick, if it outlasted them.
        const double afterTicks = endedInFlood ? probe.WorstMs() : 0;
        const QString afterText =
            endedInFlood ? probe.WorstText() : QStringLiteral("none (the ticks outlasted the flood)");
        std::size_t outstanding = 0, most = 0;
        for (int i = 0; i < FindSwitches; ++i) {
            const std::size_t n = Intp::CountOutstanding(Intp::ccBasicsSettingsGet, FindMac(i));
            outstanding += n;
            most = std::max(most, n);
        }
        const double stall = std::max(whileTicking, afterTicks);
        const QString totals = TTimedApplication::Instance()->Totals();
        const double mean = double(outstanding) / double(std::max<std::size_t>(1, Intp::GetDeviceCount()));
        const double mb = ResidentMb() - rssBefore;
        std::printf("find round %d%s: %llu of %d delivered, devices %zu, worst GUI stall %.1f ms (while the "
                    "follow-up ticks ran %.1f, after them %.1f; idle loop %.1f), settings reads outstanding %.2f "
                    "per switch (most %zu), +%.0f MB, %.2f s\n  worst while ticking %s\n  worst after %s\n  GUI CPU %s\n",
                    r, r == 0 ? " (cold)" : "", (unsigned long long)round.arrived, Total, Intp::GetDeviceCount(),
                    stall, whileTicking, afterTicks, idle, mean, most, mb, round.seconds, qPrintable(tickingText),
                    qPrintable(afterText), qPrintable(totals));
        if (r > 0 || rounds == 1) {
            stalls.push_back(stall);
            idles.push_back(idle);
            perSwitch.push_back(mean);
            memory.push_back(mb);
        }
        form->Shutdown();
        form.reset();
        Intp::DeleteAllDevices();
    }
    ::close(sink);
    std::printf("find flood, median of %zu warm rounds: worst GUI stall %.1f ms (min %.1f, max %.1f; target 25), "
                "idle loop %.1f ms, settings reads outstanding %.2f per switch (target 1), +%.0f MB\n",
                stalls.size(), Median(stalls), *std::min_element(stalls.begin(), stalls.end()),
                *std::max_element(stalls.begin(), stalls.end()), Median(idles), Median(perSwitch), Median(memory));
    return 0;
}

// The baseline of the syslog flood: a plain recvmmsg loop on a socket with
// the same buffer, fed by the same 4 senders. Answers datagrams received
// and seconds until the last (or until 2 s without one).
TRound PlainReceiveLoop(const std::function<std::string(int)>& make)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    SetLargestReceiveBuffer(fd, kSyslogReceiveBufferSize);
    const timeval wait{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    constexpr unsigned Batch = 64;
    std::vector<char> buffers(Batch * 2048);
    std::vector<iovec> vectors(Batch);
    std::vector<mmsghdr> messages(Batch);
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> sent{0};
    std::vector<std::thread> threads;
    for (int s = 0; s < 4; ++s)
        threads.emplace_back(SendAll, ntohs(local.sin_port), s * (Total / 4), Total / 4, make, &clock, &sent);
    std::uint64_t received = 0;
    qint64 last = 0;
    while (received < std::uint64_t(Total)) {
        for (unsigned i = 0; i < Batch; ++i) {
            vectors[i] = {buffers.data() + i * 2048, 2048};
            messages[i] = {};
            messages[i].msg_hdr.msg_iov = &vectors[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int count = ::recvmmsg(fd, messages.data(), Batch, MSG_WAITFORONE, nullptr);
        if (count <= 0)
            break;
        received += std::uint64_t(count);
        last = clock.nsecsElapsed();
    }
    for (auto& t : threads)
        t.join();
    ::close(fd);
    TRound round;
    round.arrived = received;
    round.seconds = double(last) / 1e9;
    round.sendSeconds = double(sent) / 1e9;
    return round;
}

std::string SyslogLine(int i) { return "<13>Oct 11 22:14:15 sw-" + std::to_string(i % 250) + " flood " + std::to_string(i); }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TTimedApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    SetMessageBoxHook([](const TMessageBoxRequest&) { return QMessageBox::Ok; });
    const char* only = argc > 2 ? argv[2] : "";
    if (std::strcmp(only, "find") == 0)
        return RunFindFlood(rounds);

    const bool all = *only == 0;
    std::vector<double> stalls, seconds;
    std::vector<std::uint64_t> lost;
    for (int r = 0; (all || std::strcmp(only, "protocol") == 0) && r < rounds; ++r) {
        TMainForm::TOptions options;
        options.bindAddress = QHostAddress(QHostAddress::LocalHost);
        options.openSyslog = false;
        options.trayIcon = false;
        auto form = std::make_unique<TMainForm>(options);
        if (!form->Init())
            return 2;
        form->show();
        TIntpSocketThread* queue = form->IntpQueue();
        const std::uint64_t before = queue->Delivered();
        TRound round = Flood(form->IntpSock()->LocalPort(), 1, PingReply,
                             [&] { return queue->Delivered() - before; });
        stalls.push_back(round.stallMs);
        seconds.push_back(round.seconds);
        lost.push_back(Total - round.arrived);
        std::printf("protocol round %d: %d sent, %llu delivered (%llu dropped by the queue), devices %zu, "
                    "worst GUI stall %.1f ms, %.2f s\n",
                    r, Total, (unsigned long long)round.arrived, (unsigned long long)queue->Dropped(),
                    Intp::GetDeviceCount(), round.stallMs, round.seconds);
        form->Shutdown();
        form.reset();
        Intp::DeleteAllDevices();
    }
    if (!stalls.empty())
        std::printf("protocol flood, median of %d: worst GUI stall %.1f ms (target 50), lost %llu of %d, %.2f s\n",
                rounds, Median(stalls), (unsigned long long)Median(lost), Total, Median(seconds));

    // Stored counts of every round; the stall and the ratio of the warm
    // rounds (the cold first round is told on its own line).
    std::vector<double> syslogStalls, syslogRatios;
    std::vector<std::uint64_t> stored;
    for (int r = 0; (all || std::strcmp(only, "syslog") == 0) && r < rounds; ++r) {
        const TRound plain = PlainReceiveLoop(SyslogLine);
        TSyslogFrame page;
        TSyslogSocketThread queue([&] { return static_cast<Syslog::TSyslogServer*>(&page); });
        if (!queue.Open(0, QHostAddress::LocalHost))
            return 2;
        // As the main window does: the count shows what the kernel dropped.
        QObject::connect(&queue, &TSyslogSocketThread::KernelDropped, &page,
                         [&](quint64 total) { page.SetKernelDropped(total); });
        TRound round = Flood(queue.LocalPort(), 4, SyslogLine, [&] { return std::uint64_t(page.Store().Size()); });
        const double rate = double(round.arrived) / std::max(1e-9, round.seconds);
        const double plainRate = double(plain.arrived) / std::max(1e-9, plain.seconds);
        stored.push_back(round.arrived);
        if (r > 0 || rounds == 1) {
            syslogStalls.push_back(round.stallMs);
            syslogRatios.push_back(rate / plainRate);
        }
        std::printf("syslog round %d%s: %d sent by 4 senders (done at %.2f s), %llu stored (%.0f/s), receive buffer "
                    "%d bytes, count shown \"%s\", worst GUI stall %.1f ms, %.2f s; plain recvmmsg loop %llu "
                    "received (%.0f/s, senders done at %.2f s, last at %.2f s); ratio %.2f\n",
                    r, r == 0 ? " (cold)" : "", Total, round.sendSeconds, (unsigned long long)round.arrived, rate,
                    queue.ReceiveBufferSize(), qPrintable(page.NumLabel()->text()), round.stallMs, round.seconds,
                    (unsigned long long)plain.arrived, plainRate, plain.sendSeconds, plain.seconds,
                    rate / plainRate);
    }
    if (!stored.empty())
        std::printf("syslog flood: %llu of %d stored in the round that stored least (of %zu); median of %zu warm "
                    "rounds: worst GUI stall %.1f ms, ratio to the plain loop %.2f (min %.2f, max %.2f)\n",
                    (unsigned long long)*std::min_element(stored.begin(), stored.end()), Total, stored.size(),
                    syslogRatios.size(), Median(syslogStalls), Median(syslogRatios),
                    *std::min_element(syslogRatios.begin(), syslogRatios.end()),
                    *std::max_element(syslogRatios.begin(), syslogRatios.end()));
    return all ? RunFindFlood(rounds) : 0;
}
