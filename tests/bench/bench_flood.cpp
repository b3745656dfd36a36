// Reception floods, each round on loopback, as fast as the senders can:
//  - protocol: 200,000 datagrams back to back into the main window's socket
//    (ping replies from 100,000 MACs, so the device registry also fills to
//    its bound); reports the longest GUI-thread stall (the largest gap
//    between ticks of a 1 ms timer) and the datagrams lost;
//  - syslog: 200,000 messages from 4 senders into the events page; reports
//    how many were stored, and the stall.
// Medians of 5 rounds (or the count given as the first argument).
#include "console/IntpReceiveQueue.h"
#include "console/IntpSock.h"
#include "console/MainForm.h"
#include "intp/Codes.h"
#include "intp/Device.h"
#include "intp/Session.h"
#include "pages/kit/MessageBox.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Total = 200000;

struct TRound {
    double stallMs = 0;
    double seconds = 0;
    std::uint64_t arrived = 0;
};

// Sends datagrams to 127.0.0.1:port as fast as one socket can.
void SendAll(std::uint16_t port, int first, int count, const std::function<std::string(int)>& make)
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
}

// Runs the senders and the event loop until arrived() reaches Total or
// stops growing for 2 s; the GUI stall is the largest gap between ticks.
TRound Flood(std::uint16_t port, int senders, const std::function<std::string(int)>& make,
             const std::function<std::uint64_t()>& arrived)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 worst = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - lastTick);
        lastTick = now;
    });
    tick.start(1);
    QApplication::processEvents();
    lastTick = clock.nsecsElapsed();
    const qint64 start = lastTick;
    std::vector<std::thread> threads;
    for (int s = 0; s < senders; ++s)
        threads.emplace_back(SendAll, port, s * (Total / senders), Total / senders, make);
    std::uint64_t seen = 0;
    qint64 progressAt = clock.elapsed();
    while (arrived() < std::uint64_t(Total) && clock.elapsed() - progressAt < 2000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (arrived() != seen) {
            seen = arrived();
            progressAt = clock.elapsed();
        }
    }
    for (auto& t : threads)
        t.join();
    TRound round;
    round.stallMs = double(worst) / 1e6 - 1.0;
    round.seconds = double(clock.nsecsElapsed() - start) / 1e9;
    round.arrived = arrived();
    tick.stop();
    return round;
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

std::string SyslogLine(int i) { return "<13>Oct 11 22:14:15 sw-" + std::to_string(i % 250) + " flood " + std::to_string(i); }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    SetMessageBoxHook([](const TMessageBoxRequest&) { return QMessageBox::Ok; });

    std::vector<double> stalls, seconds;
    std::vector<std::uint64_t> lost;
    for (int r = 0; r < rounds; ++r) {
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
    std::printf("protocol flood, median of %d: worst GUI stall %.1f ms (target 50), lost %llu of %d, %.2f s\n",
                rounds, Median(stalls), (unsigned long long)Median(lost), Total, Median(seconds));

    std::vector<double> syslogStalls;
    std::vector<std::uint64_t> stored;
    for (int r = 0; r < rounds; ++r) {
        TSyslogFrame page;
        TSyslogSocketThread queue([&] { return static_cast<Syslog::TSyslogServer*>(&page); });
        if (!queue.Open(0, QHostAddress::LocalHost))
            return 2;
        TRound round = Flood(queue.LocalPort(), 4, SyslogLine, [&] { return std::uint64_t(page.Store().Size()); });
        syslogStalls.push_back(round.stallMs);
        stored.push_back(round.arrived);
        std::printf("syslog round %d: %d sent by 4 senders, %llu stored, receive buffer %d bytes, worst GUI stall "
                    "%.1f ms, %.2f s\n",
                    r, Total, (unsigned long long)round.arrived, queue.ReceiveBufferSize(), round.stallMs,
                    round.seconds);
    }
    std::printf("syslog flood, median of %d: %llu of %d stored, worst GUI stall %.1f ms\n", rounds,
                (unsigned long long)Median(stored), Total, Median(syslogStalls));
    return 0;
}
