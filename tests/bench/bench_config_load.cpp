// Load Config as the user meets it, against Qt's XML reader alone on the
// same file: the format's largest file (65,535 unicast entries and a local
// subnet) and the 16 MiB file of empty elements. Each round is a fresh
// process that
//  (a) reads the file with QXmlStreamReader alone, every token and nothing
//      done with it (a first, untimed pass warms the code; the allocator
//      gives back its free pages before the timed one, as before the load);
//  (b) opens the discovery filter dialog with its remote list unfolded,
//      then times the console's Load Config entry point on that dialog up to
//      the dialog's next paint (wall clock and GUI-thread CPU);
//  (c) tells the resident memory the load kept, the dialog still open: as
//      the process holds it, and after the allocator gave back its free pages.
// Prints each round and the medians (wall clock and CPU time); targets: the
// largest file within 2x of the reader alone, the 16 MiB file within 1.2x,
// under 50 MB kept.
// usage: bench_config_load [rounds]   (a child runs as bench_config_load --child FILE ROWS)
#include "console/ConfigActions.h"
#include "console/FilterForm.h"
#include "pages/kit/MessageBox.h"
#include "tests/bench/ConfigDocuments.h"
#include "tests/bench/QtBench.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
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

    TFilterForm form;
    TPaintWatch watch(&form);
    form.show();
    form.RemoteButton()->click();
    if (!watch.WaitForPaint())
        return 2;
    malloc_trim(0);
    const long before = ResidentKb();

    QElapsedTimer clock;
    clock.start();
    const double cpuStart = ThreadCpuMs();
    const bool loaded = LoadConsoleConfig(&form, &form);
    const bool painted = watch.WaitForPaint();
    const double loadMs = double(clock.nsecsElapsed()) / 1e6;
    const double loadCpuMs = ThreadCpuMs() - cpuStart;

    const long kept = ResidentKb() - before;
    malloc_trim(0);
    const long keptTrimmed = ResidentKb() - before;
    const int listed = form.RemoteList()->model()->rowCount();
    if (!loaded || !painted || listed != rows || readerMs < 0) {
        std::fprintf(stderr, "loaded %d, painted %d, %d rows of %d, reader %.1f\n", loaded, painted, listed, rows,
                     readerMs);
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
