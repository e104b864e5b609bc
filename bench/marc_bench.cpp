// MARC record throughput on 100,000 generated records: records parsed per
// second, fields read per second (every field of every record, in directory
// order), and title and author items read per second.
//
//   cmake --build <build dir> --target marc_bench && <build dir>/bench/marc_bench

#include "bench/MarcDemoGen.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kRecords = 100000;

const QVector<QByteArray>& texts()
{
    static const QVector<QByteArray> all = [] {
        std::mt19937 rng(7);
        QVector<QByteArray> v;
        v.reserve(kRecords);
        for (int i = 0; i < kRecords; ++i)
            v.append(marcdemo::randomRecord(rng));
        return v;
    }();
    return all;
}

const QVector<MarcRecord>& records()
{
    static const QVector<MarcRecord> all = [] {
        QVector<MarcRecord> v(kRecords);
        for (int i = 0; i < kRecords; ++i) {
            v[i].marc_type = QStringLiteral("C");
            intParseMarcText(texts()[i], v[i]);
        }
        return v;
    }();
    return all;
}

void BM_ParseRecords(benchmark::State& state)
{
    const auto& all = texts();
    qint64 bytes = 0;
    for (const QByteArray& t : all)
        bytes += t.size();
    for (auto _ : state) {
        for (const QByteArray& t : all) {
            MarcRecord rec;
            benchmark::DoNotOptimize(intParseMarcText(t, rec));
        }
    }
    state.SetItemsProcessed(state.iterations() * all.size());
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ParseRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadAllFields(benchmark::State& state)
{
    const auto& all = records();
    qint64 fields = 0;
    for (auto _ : state) {
        for (const MarcRecord& rec : all) {
            subResetMarcPos();
            for (int i = 0; i < rec.count; ++i) {
                benchmark::DoNotOptimize(strGetMarcFieldByTag(rec, rec.directory[i].tag));
                ++fields;
            }
        }
    }
    state.SetItemsProcessed(fields);
}
BENCHMARK(BM_ReadAllFields)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadTitleAndAuthor(benchmark::State& state)
{
    const auto& all = records();
    for (auto _ : state) {
        for (const MarcRecord& rec : all) {
            benchmark::DoNotOptimize(strGetMarcItemList(rec, QStringLiteral("200a")));
            benchmark::DoNotOptimize(strGetMarcItemList(rec, QStringLiteral("701a,702a")));
        }
    }
    state.SetItemsProcessed(state.iterations() * all.size() * 2);
}
BENCHMARK(BM_ReadTitleAndAuthor)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
