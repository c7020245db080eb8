// ClassifyLine throughput on program text, against memchr over the same bytes.
#include "program_generator.h"

#include "document/item.h"
#include "document/program.h"
#include "editor/keyword_table.h"
#include "editor/line_classifier.h"
#include "editor/name_set.h"
#include "target/product_directory.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct CText {
    std::vector<std::string> lines;
    std::vector<unsigned> flags;
    rux::CNameSet identifiers;
    size_t bytes = 0;
};

const CText& Text() {
    static const CText text = [] {
        CText t;
        rux::CProgram program;
        rux::bench::GenerateProgram(program, 200'000, 7);
        for (const auto& item : program.Items()) {
            if (item->GetType() != rux::kItemLine) continue;
            t.lines.push_back(item->GetText());
            t.flags.push_back(rux::ClassifyFlagsFor(*item, true));
            t.bytes += item->GetText().size();
        }
        // The names the program assigns to, as the document would collect them.
        for (const char* name :
             {"Speed%",    "Torque%", "Ramp%",  "Count%",    "Target%",   "State%", "Fault%",   "Step%",
              "Position%", "Error%",  "Timer%", "Setpoint%", "Feedback%", "Limit%", "Retries%", "Mode%",
              "Gain",      "Offset",  "Scale",  "Kp",        "Ki",        "Filter", "Buffer%"})
            t.identifiers.Insert(name);
        return t;
    }();
    return text;
}

void BM_ClassifyLine(benchmark::State& state) {
    const CText& t = Text();
    rux::CKeywordTable keywords;
    keywords.Load(rux::ProductDirectory());
    std::vector<rux::CColourRun> runs;
    size_t count = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < t.lines.size(); ++i) {
            rux::ClassifyLine(t.lines[i], 0, 0, t.flags[i], &t.identifiers, keywords, runs);
            count += runs.size();
        }
    }
    benchmark::DoNotOptimize(count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.bytes));
    state.counters["lines"] = static_cast<double>(t.lines.size());
}
BENCHMARK(BM_ClassifyLine)->Unit(benchmark::kMillisecond);

// The same lines with a selection through the middle of each.
void BM_ClassifyLineSelected(benchmark::State& state) {
    const CText& t = Text();
    rux::CKeywordTable keywords;
    keywords.Load(rux::ProductDirectory());
    std::vector<rux::CColourRun> runs;
    for (auto _ : state) {
        for (size_t i = 0; i < t.lines.size(); ++i) {
            const int half = static_cast<int>(t.lines[i].size() / 2);
            rux::ClassifyLine(t.lines[i], half / 2 + 1, half + 3, t.flags[i], &t.identifiers, keywords, runs);
        }
        benchmark::DoNotOptimize(runs.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.bytes));
}
BENCHMARK(BM_ClassifyLineSelected)->Unit(benchmark::kMillisecond);

// A floor: one memchr per line over the same bytes.
void BM_MemchrBaseline(benchmark::State& state) {
    const CText& t = Text();
    size_t hits = 0;
    for (auto _ : state)
        for (const std::string& line : t.lines)
            hits += std::memchr(line.data(), ';', line.size()) != nullptr;
    benchmark::DoNotOptimize(hits);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.bytes));
}
BENCHMARK(BM_MemchrBaseline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
