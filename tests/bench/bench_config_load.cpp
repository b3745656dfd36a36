// Load Config as the user meets it, against Qt's XML reader alone on the
// same file: the format's largest file (65,535 unicast entries and a local
// subnet) and the 16 MiB file of empty elements. Each round is a fresh
// process that
//  (a) reads the file with QXmlStreamReader alone, every token and nothing
//      done with it (a first, untimed pass warms the code; the allocator
//      gives back its free pages before the timed one, as before the load);
//  (b) shows the main window, opens its Settings menu and clicks "Load
//      Config" (the file dialog answered with the file), and times the click
//      up to the window's next paint (wall clock and GUI-thread CPU): the
//      read, the filter's refresh and the discovery the load starts. The
//      discovery's datagrams go through the window's own socket, all to a
//      socket of this process on 127.0.0.1 that never reads them;
//  (c) tells the resident memory the load kept: as the process holds it,
//      and after the allocator gave back its free pages.
// Prints each round and the medians (wall clock and CPU time); targets: the
// largest file within 2x of the reader alone, the 16 MiB file within 1.2x,
// under 50 MB kept.
// usage: bench_config_load [rounds]   (a child runs as bench_config_load --child FILE ROWS)
#include "console/ConfigActions.h"
#include "console/DeviceTypesFile.h"
#include "console/FilterForm.h"
#include "console/IntpSock.h"
#include "console/MainForm.h"
#include "console/ProtocolHost.h"
#include "intp/DeviceType.h"
#include "pages/kit/MessageBox.h"
#include "tests/bench/ConfigDocuments.h"
#include "tests/bench/QtBench.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Counts the paint events of one window's widgets.
class TPaintWatch : public QObject {
public:
    explicit TPaintWatch(QWidget* window) : m_Window(window) { qApp->installEventFilter(this); }
    ~TPaintWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_Window)
            ++m_Paints;
        return false;
    }
    // Runs the event loop until a paint of the window after the call; false
    // when none came within 60 s.
    bool WaitForPaint()
    {
        const int seen = m_Paints;
        QElapsedTimer waited;
        waited.start();
        while (m_Paints == seen && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        return m_Paints != seen;
    }

private:
    QWidget* m_Window;
    int m_Paints = 0;
};

// Wall and CPU time of the reader alone; negative when it failed.
double ReaderAloneMs(const QString& path, double& cpuMs)
{
    QElapsedTimer clock;
    double ms = 0;
    for (int pass = 0; pass < 2; ++pass) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        malloc_trim(0);  // as before the load
        clock.start();
        const double cpuStart = ThreadCpuMs();
        QXmlStreamReader reader(&file);
        while (!reader.atEnd())
            reader.readNext();
        ms = double(clock.nsecsElapsed()) / 1e6;
        cpuMs = ThreadCpuMs() - cpuStart;
        if (reader.hasError())
            return -1;
    }
    return ms;
}

// A UDP socket on 127.0.0.1 that takes the discovery's datagrams and never
// reads them (the kernel drops what its buffer can't hold).
class TLoopbackSink {
public:
    TLoopbackSink() : m_Fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_Fd >= 0 && ::bind(m_Fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(m_Fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_Port = ntohs(address.sin_port);
    }
    ~TLoopbackSink()
    {
        if (m_Fd >= 0)
            ::close(m_Fd);
    }
    std::uint16_t Port() const { return m_Port; }

private:
    int m_Fd;
    std::uint16_t m_Port = 0;
};

// The menu bar's menu of the given title.
QMenu* MenuTitled(QMainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions())
        if (action->menu() && action->text() == title)
            return action->menu();
    return nullptr;
}

int RunChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int rows = std::atoi(argv[3]);
    SetMessageBoxHook([](const TMessageBoxRequest& request) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });
    SetConfigFileHook([&](bool save) { return save ? QString() : path; });

    double readerCpuMs = 0;
    const double readerMs = ReaderAloneMs(path, readerCpuMs);

    // The console as its main() starts it, on loopback, without the syslog
    // listener (port 514 needs root) nor the tray.
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    Intp::InitDeviceTypes();
    LoadDevicesFile(CONSOLE_DEVICES_DEV);
    TLoopbackSink sink;
    if (sink.Port() == 0)
        return 2;
    TMainForm::TOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.remotePort = sink.Port();
    options.openSyslog = false;
    options.trayIcon = false;
    TMainForm form(options);
    if (!form.Init())
        return 2;
    // Every datagram goes out through the window's socket, to the sink.
    int finds = 0;
    form.Host()->SetSendHook([&](std::uint32_t, const std::uint8_t* data, std::size_t size) {
        ++finds;
        form.IntpSock()->Send(INADDR_LOOPBACK, data, size);
    });
    TPaintWatch watch(&form);
    form.show();
    if (!watch.WaitForPaint())
        return 2;
    QMenu* settings = MenuTitled(form, QObject::tr("&Settings"));
    QAction* load = form.Action(QStringLiteral("acLoadConfig"));
    if (!settings || !load || !settings->actions().contains(load))
        return 2;
    form.menuBar()->setActiveAction(settings->menuAction());
    if (!QTest::qWaitForWindowExposed(settings))
        return 2;
    QApplication::processEvents();
    malloc_trim(0);
    const long before = ResidentKb();

    QElapsedTimer clock;
    clock.start();
    const double cpuStart = ThreadCpuMs();
    QTest::mouseClick(settings, Qt::LeftButton, Qt::NoModifier, settings->actionGeometry(load).center());
    const bool painted = watch.WaitForPaint();
    const double loadMs = double(clock.nsecsElapsed()) / 1e6;
    const double loadCpuMs = ThreadCpuMs() - cpuStart;

    const long kept = ResidentKb() - before;
    malloc_trim(0);
    const long keptTrimmed = ResidentKb() - before;
    TIpMaskList targets;
    form.GetFilterServer()->GetTargets(targets);
    const bool loaded = form.FilterForm()->GetSettings()->Unicasts.size() == std::size_t(rows);
    form.Shutdown();
    if (!loaded || !painted || finds != int(targets.size()) || readerMs < 0) {
        std::fprintf(stderr, "loaded %d, painted %d, %d finds of %d, reader %.1f\n", loaded, painted, finds,
                     int(targets.size()), readerMs);
        return 3;
    }
    std::printf("%.3f %.3f %.3f %.3f %.3f %.3f\n", readerMs, readerCpuMs, loadMs, loadCpuMs, double(kept) / 1000,
                double(keptTrimmed) / 1000);
    return 0;
}

struct TRound {
    double readerMs, readerCpuMs, loadMs, loadCpuMs, keptMb, keptTrimmedMb;
};

bool RunOnce(const char* self, const QString& path, int rows, TRound& round)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromLocal8Bit(self), {"--child", path, QString::number(rows)});
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    const QStringList words = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().split(' ');
    if (words.size() != 6)
        return false;
    round = {words[0].toDouble(), words[1].toDouble(), words[2].toDouble(),
             words[3].toDouble(), words[4].toDouble(), words[5].toDouble()};
    return true;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 3 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argc, argv);

    QCoreApplication app(argc, argv);
    const int rounds = BenchRounds(argc > 1 ? std::max(1, std::atoi(argv[1])) : 5);
    QTemporaryDir dir;
    struct TFile {
        const char* name;
        QByteArray document;
        int rows;
        double target;
    } files[] = {{"largest", LargestConfigDocument(), int(kMaxConfigEntries - 1), 2.0},
                 {"flat", FlatConfigDocument(), 0, 1.2}};
    for (const TFile& file : files) {
        const QString path = dir.filePath(QString::fromLatin1(file.name) + QStringLiteral(".xml"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.document) != file.document.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        out.close();
        std::vector<double> reader, readerCpu, load, cpu, kept, keptTrimmed, ratio, cpuRatio;
        for (int r = 0; r < rounds; ++r) {
            TRound round{};
            if (!RunOnce(argv[0], path, file.rows, round)) {
                std::fprintf(stderr, "%s, round %d: the child failed\n", file.name, r);
                return 1;
            }
            std::printf("%s (%.1f MiB), round %d: reader alone %.1f ms (CPU %.1f ms); load to paint %.1f ms (CPU "
                        "%.1f ms); kept %.1f MB (%.1f MB trimmed)\n",
                        file.name, double(file.document.size()) / (1 << 20), r, round.readerMs, round.readerCpuMs,
                        round.loadMs, round.loadCpuMs, round.keptMb, round.keptTrimmedMb);
            reader.push_back(round.readerMs);
            readerCpu.push_back(round.readerCpuMs);
            load.push_back(round.loadMs);
            cpu.push_back(round.loadCpuMs);
            kept.push_back(round.keptMb);
            keptTrimmed.push_back(round.keptTrimmedMb);
            ratio.push_back(round.loadMs / round.readerMs);
            cpuRatio.push_back(round.loadCpuMs / round.readerCpuMs);
        }
        // On a loaded machine the CPU times are the steadier.
        std::printf("%s, median of %d: reader alone %.1f ms (CPU %.1f ms), load to paint %.1f ms (CPU %.1f ms), "
                    "ratio %.2f, in CPU time %.2f (target %.1f); kept %.1f MB, %.1f MB trimmed (target under 50)\n",
                    file.name, rounds, Median(reader), Median(readerCpu), Median(load), Median(cpu), Median(ratio),
                    Median(cpuRatio), file.target, Median(kept), Median(keptTrimmed));
    }
    return 0;
}
