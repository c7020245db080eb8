// The compiler and the virtual machine against baselines measured in the same run:
// - compiling a generated 100,000-line program against the core's Load of the same file
//   (target: within 5x);
// - a 10,000,000-iteration counting loop on the virtual machine against the same loop in
//   lua5.4 (target: within 1.5x).
#include "program_generator.h"

#include "core/build.h"
#include "core/compiler.h"
#include "document/program.h"
#include "document/program_file.h"
#include "image/image.h"
#include "vm/vm.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

std::string BenchFolder() {
    const char* dir = std::getenv("RUX_BENCH_DIR");
    const std::string folder = dir && *dir ? dir : (std::filesystem::temp_directory_path() / "rux_bench_data").string();
    std::filesystem::create_directories(folder);
    return folder;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = BenchFolder() + "/" + name;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

rux::cmp::Options BenchOptions() {
    rux::cmp::Options o;
    o.targetType = "KESTREL";
    o.targetTasks = {"Initial", "Background", "Clock", "Event", "Event1", "Event2", "Event3", "Pos0", "Pos1", "Error"};
    o.knownTasks = o.targetTasks;
    o.floatingPoint = true;
    o.debug = true;
    return o;
}

// Load and then compile, timed apart in each iteration; the ratio uses the best of each.
void BM_CompileVsLoad(benchmark::State& state) {
    const std::string path = WriteFile("compile_100k.rux", rux::bench::GenerateProgramFile(100000, 7));
    double bestLoad = 1e9, bestCompile = 1e9;
    int items = 0, errors = 0, warnings = 0;
    std::size_t code = 0;
    for (auto _ : state) {
        auto program = std::make_unique<rux::CProgram>();
        const auto t0 = Clock::now();
        const bool ok = rux::Load(*program, path);
        const auto t1 = Clock::now();
        auto again = std::make_unique<rux::CProgram>();
        const auto t2 = Clock::now();
        rux::Load(*again, path); // the compiler reads the file itself
        rux::cmp::Result r = rux::cmp::Compile(rux::cmp::ItemsOf(*again), BenchOptions());
        const std::vector<uint8_t> bytes = r.errors == 0 ? rux::image::writeImage(r.image) : std::vector<uint8_t>();
        benchmark::DoNotOptimize(bytes.data());
        const auto t3 = Clock::now();
        if (!ok) state.SkipWithError("load failed");
        items = program->Items().GetSize();
        errors = r.errorsFound;
        warnings = r.warnings;
        code = r.image.code.size();
        bestLoad = std::min(bestLoad, Seconds(t0, t1));
        bestCompile = std::min(bestCompile, Seconds(t2, t3));
        state.SetIterationTime(Seconds(t2, t3));
    }
    state.counters["items"] = items;
    state.counters["errors"] = errors;
    state.counters["warnings"] = warnings;
    state.counters["code_bytes"] = static_cast<double>(code);
    state.counters["load_ms"] = bestLoad * 1e3;
    state.counters["compile_ms"] = bestCompile * 1e3;
    state.counters["compile_per_load"] = bestCompile / bestLoad; // target <= 5
}
BENCHMARK(BM_CompileVsLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

class NoHost : public rux::vm::Host {};

double LuaSeconds() {
    const auto t0 = Clock::now();
    const int rc = std::system("lua5.4 -e 'local x=0 for i=1,1e7 do x=x+i end' > /dev/null 2>&1");
    const auto t1 = Clock::now();
    return rc == 0 ? Seconds(t0, t1) : -1.0;
}

void BM_CountingLoopVsLua(benchmark::State& state) {
    const std::string text =
        "$*TORVEL/RUX-V1\n#info=Ident\nType=KESTREL\nDebug=0\nFloatingPoint=1\n#endinfo\n"
        "#info=Section\nName=Initial\n#endinfo\n:x% = 0\n:FOR i% = 1 TO 10000000\n:\tx% = x% + i%\n:LOOP\n"
        "#info=EndSection\nName=Initial\n#endinfo\n";
    rux::CProgram program;
    rux::cmp::ProgramFromText(text, program);
    rux::cmp::Options o = BenchOptions();
    o.debug = false;
    rux::cmp::Result r = rux::cmp::Compile(rux::cmp::ItemsOf(program), o);
    if (r.errors != 0) {
        state.SkipWithError("the loop does not compile");
        return;
    }
    const std::vector<uint8_t> bytes = rux::image::writeImage(r.image);
    NoHost host;
    rux::vm::Machine machine(host);
    std::string message;
    if (!machine.load(bytes.data(), bytes.size(), message)) {
        state.SkipWithError(message.c_str());
        return;
    }
    double bestVm = 1e9, bestLua = 1e9;
    for (auto _ : state) {
        machine.reset();
        machine.setInstructionBudget(machine.taskIndex("Initial"), 1'000'000'000);
        const auto t0 = Clock::now();
        machine.step(1);
        const auto t1 = Clock::now();
        const double lua = LuaSeconds();
        if (lua < 0) {
            state.SkipWithError("lua5.4 is not installed");
            return;
        }
        rux::vm::Value x;
        machine.readVariable("x%", x);
        if (x.i != static_cast<int32_t>(static_cast<uint32_t>(50000005000000ull)) || machine.stopped())
            state.SkipWithError("wrong result");
        bestVm = std::min(bestVm, Seconds(t0, t1));
        bestLua = std::min(bestLua, lua);
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["vm_ms"] = bestVm * 1e3;
    state.counters["lua_ms"] = bestLua * 1e3;
    state.counters["instructions"] = static_cast<double>(machine.instructionsExecuted());
    state.counters["vm_per_lua"] = bestVm / bestLua; // target <= 1.5
}
BENCHMARK(BM_CountingLoopVsLua)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
