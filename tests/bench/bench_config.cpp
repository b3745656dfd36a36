// Loading the configuration file, from disk through the reader: the format's
// largest file (65,535 unicast entries and a local subnet) and a 16 MiB file
// of 4.19 million empty elements. Besides the time, each run reports the
// peak resident memory the load added ("peak_MB": the process's VmHWM over
// its VmRSS before the load, the peak reset before each round; the read
// settings and the file's bytes are counted in it). Qt's XML reader alone on
// the 16 MiB file is the baseline: the load can't take less.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/ConfigFile.h"
#include "tests/bench/ConfigDocuments.h"

namespace {

// A field of /proc/self/status, in kB.
long StatusKb(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long kb = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            kb = std::atol(line + length + 1);
    std::fclose(status);
    return kb;
}

// Starts a new peak at the current resident size; false when the kernel can't.
bool ResetPeak()
{
    FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs)
        return false;
    const bool done = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && done;
}

void Load(benchmark::State& state, const QByteArray& document, std::size_t unicasts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.xml"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(document) != document.size()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    long peakKb = 0;
    bool peakKnown = true;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        peakKnown = ResetPeak() && peakKnown;
        const long before = StatusKb("VmRSS");
        state.ResumeTiming();

        QByteArray bytes;
        Filter::TFilterSettings settings;
        const TConfigRead read = ReadConfigFile(path, bytes) ? ReadConfigDocument(bytes, settings) : crFailed;

        state.PauseTiming();
        peakKb = std::max(peakKb, StatusKb("VmHWM") - before);
        if (read != crRead || settings.Unicasts.size() != unicasts) {
            state.SkipWithError("the file was not read as expected");
            break;
        }
        bytes.clear();
        settings = {};
        state.ResumeTiming();
    }
    state.counters["MiB"] = double(document.size()) / (1 << 20);
    if (peakKnown)
        state.counters["peak_MB"] = double(peakKb) / 1000;
}

void BM_LoadLargestFile(benchmark::State& state) { Load(state, LargestConfigDocument(), kMaxConfigEntries - 1); }
BENCHMARK(BM_LoadLargestFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadFlatFile(benchmark::State& state) { Load(state, FlatConfigDocument(), 0); }
BENCHMARK(BM_LoadFlatFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: Qt's XML reader alone through the same file in memory, every
// token read and nothing done with it.
void BM_XmlReaderFlatFile(benchmark::State& state)
{
    const QByteArray document = FlatConfigDocument();
    for (auto _ : state) {
        QXmlStreamReader reader(document);
        while (!reader.atEnd())
            reader.readNext();
        if (reader.hasError())
            state.SkipWithError("the reader failed");
    }
}
BENCHMARK(BM_XmlReaderFlatFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
