// Reading speed of our Paradox engine against pxlib 0.6.8 on the same tables, as rows per
// second and their ratio, on a 43,000-row and a 1,000,000-row table; plus the memory our engine
// holds while reading the large one.
//
// pxlib aborts as soon as a memo file is attached, so both engines also read a copy of the .DB
// alone (memo values longer than their part in the record are then missing for both).

#include "BenchTables.h"

#include "paradox/TableReader.h"

extern "C" {
#include <paradox.h>
}

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

using namespace dravena;

namespace {

void readWithOurEngine(benchmark::State& state, std::filesystem::path file, std::uint64_t rows) {
    std::vector<paradox::Value> row;
    for (auto _ : state) {
        paradox::TableReader reader(file);
        std::uint64_t count = 0;
        while (reader.next(row))
            ++count;
        benchmark::DoNotOptimize(row.data());
        if (count != rows)
            state.SkipWithError("our engine delivered a different number of rows");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows));
}

// pxlib reports every memo value it cannot reach; that is expected here and not printed.
void quiet(pxdoc_t*, int, const char*, void*) {}

bool isTextual(int type) {
    return type == pxfAlpha || type == pxfBCD || type == pxfBytes ||
           (type >= pxfMemoBLOb && type <= pxfGraphic);
}

void readWithPxlib(benchmark::State& state, std::filesystem::path file, std::uint64_t rows) {
    for (auto _ : state) {
        pxdoc_t* doc = PX_new3(quiet, nullptr, nullptr, nullptr, nullptr);
        if (PX_open_file(doc, file.c_str()) < 0) {
            state.SkipWithError("pxlib cannot open the table");
            PX_delete(doc);
            break;
        }
        PX_set_targetencoding(doc, "UTF-8");
        const int count = PX_get_num_records(doc);
        const int fields = PX_get_num_fields(doc);
        for (int r = 0; r < count; ++r) {
            pxval_t** values = PX_retrieve_record(doc, r);
            if (values == nullptr)
                continue;
            for (int i = 0; i < fields; ++i) {
                if (isTextual(values[i]->type) && values[i]->value.str.val != nullptr)
                    doc->free(doc, values[i]->value.str.val);
                doc->free(doc, values[i]);
            }
            doc->free(doc, values);
        }
        PX_close(doc);
        PX_delete(doc);
        if (static_cast<std::uint64_t>(count) != rows)
            state.SkipWithError("pxlib delivered a different number of rows");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows));
}

// Keeps rows per second of every run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            if (!run.error_occurred && rate != run.counters.end())
                rowsPerSecond[run.run_name.function_name] = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double rate(const std::string& name) const {
        const auto found = rowsPerSecond.find(name);
        return found == rowsPerSecond.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> rowsPerSecond;
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// Resident memory of the process before and at its highest while our engine reads the table.
std::pair<long, long> memoryWhileReading(const bench::BenchTable& table) {
    const long before = residentKiB();
    long highest = before;
    paradox::TableReader reader(table.withMemoFile);
    std::vector<paradox::Value> row;
    std::uint64_t count = 0;
    while (reader.next(row))
        if (++count % 20000 == 0)
            highest = std::max(highest, residentKiB());
    return {before, std::max(highest, residentKiB())};
}

std::string name(const char* engine, const char* files, std::uint64_t rows) {
    return std::string(engine) + "/" + files + "/" + std::to_string(rows);
}

void printSummary(const SummaryReporter& r, std::uint64_t small, std::uint64_t big) {
    auto cell = [](double v) {
        char text[32];
        if (v > 0)
            std::snprintf(text, sizeof text, "%14.0f", v);
        else
            std::snprintf(text, sizeof text, "%14s", "n/a");
        return std::string(text);
    };
    auto ratio = [](double a, double b) {
        char text[32];
        if (a > 0 && b > 0)
            std::snprintf(text, sizeof text, "%14.2f", a / b);
        else
            std::snprintf(text, sizeof text, "%14s", "n/a");
        return std::string(text);
    };
    std::printf("\nRows per second (same files for both engines where it says .DB alone)\n");
    std::printf("%-34s%14llu%14llu\n", "", static_cast<unsigned long long>(small),
                static_cast<unsigned long long>(big));
    const std::pair<const char*, std::string> lines[] = {
        {"our engine, .DB with .MB", "ours/db+mb"},
        {"our engine, .DB alone", "ours/db-only"},
        {"pxlib 0.6.8, .DB alone", "pxlib/db-only"}};
    for (const auto& [label, key] : lines) {
        const auto k = key.substr(0, key.find('/'));
        const auto f = key.substr(key.find('/') + 1);
        std::printf("%-34s%s%s\n", label, cell(r.rate(name(k.c_str(), f.c_str(), small))).c_str(),
                    cell(r.rate(name(k.c_str(), f.c_str(), big))).c_str());
    }
    std::printf(
        "%-34s%s%s   (goal: at least 2 on the large table)\n", "ratio our/pxlib, .DB alone",
        ratio(r.rate(name("ours", "db-only", small)), r.rate(name("pxlib", "db-only", small)))
            .c_str(),
        ratio(r.rate(name("ours", "db-only", big)), r.rate(name("pxlib", "db-only", big))).c_str());
    std::printf(
        "%-34s%28s\n", "our rows/s, large / small table",
        ratio(r.rate(name("ours", "db+mb", big)), r.rate(name("ours", "db+mb", small))).c_str());
    std::printf("  (1.00 = time proportional to the row count)\n");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const auto small = bench::benchTable("SALES", 43000);
    const auto big = bench::benchTable("SALES", 1000000);
    for (const auto* table : {&small, &big}) {
        const bool large = table->rows > 100000;
        auto* ours =
            benchmark::RegisterBenchmark(name("ours", "db+mb", table->rows).c_str(),
                                         readWithOurEngine, table->withMemoFile, table->rows);
        auto* oursAlone =
            benchmark::RegisterBenchmark(name("ours", "db-only", table->rows).c_str(),
                                         readWithOurEngine, table->withoutMemoFile, table->rows);
        auto* theirs =
            benchmark::RegisterBenchmark(name("pxlib", "db-only", table->rows).c_str(),
                                         readWithPxlib, table->withoutMemoFile, table->rows);
        for (auto* b : {ours, oursAlone, theirs}) {
            b->Unit(benchmark::kMillisecond)->UseRealTime();
            if (large)
                b->Iterations(2);
        }
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter, small.rows, big.rows);
    const auto [before, highest] = memoryWhileReading(big);
    std::printf("\nResident memory while our engine reads %llu rows: %ld KiB before, %ld KiB at "
                "most (growth %ld KiB)\n",
                static_cast<unsigned long long>(big.rows), before, highest, highest - before);
    benchmark::Shutdown();
    return 0;
}
