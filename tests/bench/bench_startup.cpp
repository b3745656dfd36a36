// Start-up and idle memory of the console against a bare Qt window, each a
// fresh process: the time from the process's start until its main window
// has been painted, and the resident memory once it has idled 500 ms. The
// console runs as its main() does (application, model table, main window
// shown maximised); the bare window is an application with an empty
// QMainWindow. Rounds alternate the two; prints each round, the console's
// start-up steps, and the medians (min, max) of the warm rounds and their
// ratios (target: at most 2 on both); the first (cold) round is told apart.
// usage: bench_startup [rounds]   (a child runs as bench_startup --child console|bare)
#include "console/DeviceTypesFile.h"
#include "console/MainForm.h"
#include "intp/DeviceType.h"
#include "tests/bench/Rounds.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

long long MonotonicNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

// Quits the application once the window's first paint is through, then
// after 500 ms idle tells the time of that paint and the memory.
class TFirstPaint : public QObject {
public:
    explicit TFirstPaint(QWidget* window, QString steps) : m_Steps(std::move(steps))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_PaintedAt)
            return false;
        watched->removeEventFilter(this);
        QTimer::singleShot(0, [this] {
            // After the paint event and what it flushed.
            m_PaintedAt = MonotonicNs();
            QTimer::singleShot(500, [this] {
                std::printf("shown %lld rss %ld steps %s\n", m_PaintedAt, ResidentKb(), qPrintable(m_Steps));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        });
        m_PaintedAt = 1;
        return false;
    }

private:
    QString m_Steps;
    long long m_PaintedAt = 0;
};

int RunChild(int argc, char** argv, bool console)
{
    QElapsedTimer clock;
    clock.start();
    QString steps;
    auto step = [&](const char* name) {
        steps += QStringLiteral("%1 %2 ms; ").arg(name).arg(double(clock.nsecsElapsed()) / 1e6, 0, 'f', 1);
        clock.restart();
    };
    QApplication app(argc, argv);
    step("application");
    if (!console) {
        QMainWindow window;
        window.setWindowTitle("bare");
        TFirstPaint paint(&window, steps);
        window.showMaximized();
        return app.exec();
    }
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    Intp::InitDeviceTypes();
    LoadDevicesFile(CONSOLE_DEVICES_DEV);
    step("model table");
    TMainForm::TOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.openSyslog = false; // port 514 needs root and may be taken
    options.trayIcon = false;
    TMainForm form(options);
    step("window");
    if (!form.Init())
        return 2;
    step("init");
    TFirstPaint paint(&form, steps);
    form.showMaximized();
    const int done = app.exec();
    form.Shutdown();
    return done;
}

struct TChild {
    double ms = 0;
    double mb = 0;
    QString steps;
    bool ok = false;
};

TChild RunOnce(const char* self, const char* kind)
{
    TChild child;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long start = MonotonicNs();
    process.start(QString::fromLocal8Bit(self), {"--child", kind});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return child;
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const QStringList words = out.split(' ');
    if (words.size() < 4 || words[0] != "shown")
        return child;
    child.ms = double(words[1].toLongLong() - start) / 1e6;
    child.mb = words[3].toDouble() / 1024;
    child.steps = out.section(' ', 5);
    child.ok = true;
    return child;
}

struct TStats {
    double median, min, max;
};

TStats Stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argc, argv, std::strcmp(argv[2], "console") == 0);

    QCoreApplication app(argc, argv);
    const int rounds = BenchRounds(argc > 1 ? std::max(1, std::atoi(argv[1])) : 9);
    std::vector<double> bareMs, consoleMs, bareMb, consoleMb, timeRatios, memoryRatios;
    for (int r = 0; r < rounds; ++r) {
        // Alternating which goes first.
        TChild bare, console;
        if (r % 2 == 0) {
            bare = RunOnce(argv[0], "bare");
            console = RunOnce(argv[0], "console");
        } else {
            console = RunOnce(argv[0], "console");
            bare = RunOnce(argv[0], "bare");
        }
        if (!bare.ok || !console.ok) {
            std::fprintf(stderr, "round %d: a child failed\n", r);
            return 1;
        }
        std::printf("round %d%s: console %.1f ms, %.1f MB; bare window %.1f ms, %.1f MB; console steps: %s\n", r,
                    r == 0 ? " (cold)" : "", console.ms, console.mb, bare.ms, bare.mb, qPrintable(console.steps));
        if (r == 0 && rounds > 1)
            continue;
        bareMs.push_back(bare.ms);
        consoleMs.push_back(console.ms);
        bareMb.push_back(bare.mb);
        consoleMb.push_back(console.mb);
        timeRatios.push_back(console.ms / bare.ms);
        memoryRatios.push_back(console.mb / bare.mb);
    }
    const TStats c = Stats(consoleMs), b = Stats(bareMs), t = Stats(timeRatios);
    const TStats cm = Stats(consoleMb), bm = Stats(bareMb), m = Stats(memoryRatios);
    std::printf("start-up, median of %zu warm rounds: console %.1f ms (min %.1f, max %.1f), bare window %.1f ms (min "
                "%.1f, max %.1f), ratio %.2f (min %.2f, max %.2f; target 2)\n",
                consoleMs.size(), c.median, c.min, c.max, b.median, b.min, b.max, t.median, t.min, t.max);
    std::printf("idle memory, median of %zu warm rounds: console %.1f MB (min %.1f, max %.1f), bare window %.1f MB "
                "(min %.1f, max %.1f), ratio %.2f (min %.2f, max %.2f; target 2)\n",
                consoleMb.size(), cm.median, cm.min, cm.max, bm.median, bm.min, bm.max, m.median, m.min, m.max);
    return 0;
}
