// How reading the price list grows with its size: the real reader and
// catalogue against a plain read of the same bytes, on generated lists of
// 1 thousand, 100 thousand and 1 million records. The reader streams, so the
// memory it takes should not grow with the list.

#include "catalogue/pricefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <unistd.h>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// A list of `records` records, made once per size.
QString listOf(long records)
{
    static std::map<long, QString> made;
    if (auto it = made.find(records); it != made.end())
        return it->second;
    const QString path = scratch().filePath(QStringLiteral("list-%1.txt").arg(records));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const char* brands[] = {"Addidas ", "Reebok  ", "Nike    ", "Etonic  ", "Converse"};
    QByteArray chunk;
    for (long i = 0; i < records; ++i) {
        chunk += QByteArray(i % 2 ? "\"Child\",\"" : "\"Adult\",\"") + brands[i % 5] +
                 "\",\"Running\"," + QByteArray::number(40 + i % 50) + ",\"Court\",55,\"Trail\",0,"
                 "\"Walking\",48,\"Cross Trainer\"," + QByteArray::number(60 + i % 7) + "\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    made[records] = path;
    return path;
}

long residentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_ReadPriceList(benchmark::State& state)
{
    const QString path = listOf(state.range(0));
    long grew = 0;
    for (auto _ : state) {
        const long before = residentKiB();
        plimbo::Catalogue catalogue;
        plimbo::loadPriceFile(path, catalogue);
        benchmark::DoNotOptimize(catalogue.Adult.Count);
        grew = std::max(grew, residentKiB() - before);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["records"] = static_cast<double>(state.range(0));
    state.counters["rss_growth_KiB"] = static_cast<double>(grew);
}

void BM_PlainRead(benchmark::State& state)
{
    const QString path = listOf(state.range(0));
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        qint64 total = 0, n = 0;
        while ((n = file.read(buffer.data(), buffer.size())) > 0)
            total += n;
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["records"] = static_cast<double>(state.range(0));
}

} // namespace

BENCHMARK(BM_ReadPriceList)->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
