// The porting scan of a 100,000-line program against the full Bittern catalogue, against the
// core's Load of the same program (target: the scan within 10 times the load).
#include "program_generator.h"

#include "document/message_sink.h"
#include "document/program.h"
#include "document/program_file.h"
#include "porting/porting_issues.h"
#include "porting/porting_scan.h"
#include "shell/product_paths.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLines = 100'000;
constexpr unsigned kSeed = 20240611;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

struct CFixture {
    std::string path;
    std::string catalogueDir;
};

const CFixture& Fixture() {
    static const CFixture fixture = [] {
        CFixture f;
        const char* dir = std::getenv("RUX_BENCH_DIR");
        const std::string folder =
            dir && *dir ? dir : (std::filesystem::temp_directory_path() / "rux_bench_data").string();
        std::filesystem::create_directories(folder);
        f.path = folder + "/port_generated.rux";
        const std::string bytes = rux::bench::GenerateProgramFile(kLines, kSeed);
        FILE* out = std::fopen(f.path.c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "cannot write %s\n", f.path.c_str());
            std::exit(1);
        }
        f.catalogueDir = rux::CProductPaths::ProductDir();
        return f;
    }();
    return fixture;
}

// One pass over the program per catalogue entry, without the scan's shared analysis: what the
// scan would cost done the simple way.
int NaiveScan(rux::CProgram& program, const std::string& catalogueDir) {
    std::vector<std::unique_ptr<rux::CPortingIssue>> entries;
    if (!rux::LoadCatalogue(rux::EPortingCatalogue::Bittern, catalogueDir, entries)) return -1;
    int found = 0;
    for (auto& entry : entries) {
        if (!entry) continue;
        entry->SetDocument(&program);
        entry->SetPosition(0, 0);
        entry->SetCache(nullptr);
        while (entry->FindNext()) {
            ++found;
            entry->SetPosition(entry->GetLine(), entry->GetColumn());
        }
    }
    return found;
}

// Each iteration times the Load and the scan back to back, so that noise from other work on the
// machine falls on both; the ratios use the best of each.
void BM_PortScanVsLoad(benchmark::State& state) {
    const CFixture& f = Fixture();
    double bestLoad = 1e9, bestScan = 1e9, bestNaive = 1e9;
    int issues = 0, items = 0;
    const bool naive = state.range(0) != 0;
    for (auto _ : state) {
        auto program = std::make_unique<rux::CProgram>();
        const auto t0 = Clock::now();
        const bool ok = rux::Load(*program, f.path);
        const auto t1 = Clock::now();
        rux::CPortingIssueList list;
        rux::CNoMessageSink sink;
        const bool scanned = list.Scan(program.get(), rux::EPortingCatalogue::Bittern, f.catalogueDir, sink);
        const auto t2 = Clock::now();
        if (!ok || !scanned) {
            state.SkipWithError("load or scan failed (is the catalogue in the product directory?)");
            break;
        }
        issues = list.GetSize();
        items = program->Items().GetSize();
        bestLoad = std::min(bestLoad, Seconds(t0, t1));
        bestScan = std::min(bestScan, Seconds(t1, t2));
        if (naive) {
            const auto t3 = Clock::now();
            const int found = NaiveScan(*program, f.catalogueDir);
            bestNaive = std::min(bestNaive, Seconds(t3, Clock::now()));
            if (found != issues) state.SkipWithError("the simple scan finds other issues");
        }
        state.SetIterationTime(Seconds(t1, t2));
        list.Clear();
        program.reset();
    }
    state.counters["items"] = items;
    state.counters["issues"] = issues;
    state.counters["load_ms"] = bestLoad * 1e3;
    state.counters["scan_ms"] = bestScan * 1e3;
    state.counters["scan_per_load"] = bestScan / bestLoad; // target <= 10
    if (naive) {
        state.counters["naive_ms"] = bestNaive * 1e3;
        state.counters["naive_per_load"] = bestNaive / bestLoad;
    }
}
BENCHMARK(BM_PortScanVsLoad)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
