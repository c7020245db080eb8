// The compiler and the virtual machine against baselines measured in the same run:
// - compiling a generated 100,000-line program against the core's Load of the same file
//   (target: within 5x);
// - a 10,000,000-iteration counting loop on the virtual machine against the same loop in
//   lua5.4 (target: within 1.5x).
#include "program_generator.h"

#include "core/build.h"
#include "core/compiler.h"
#include "core/program_source.h"
#include "document/program.h"
#include "document/program_file.h"
#include "image/image.h"
#include "vm/vm.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// This thread's processor time: on a shared machine the wall-clock ratio also measures the
// neighbours, this one only the work.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Minor page faults of the process so far: every fresh page a phase touches costs one.
long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
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

// Load and then compile, timed apart in each iteration; the ratio uses the best of each. `each`
// sees every iteration's compile result and the item count of the loaded program.
template <class Each>
void TimeCompileAgainstLoad(benchmark::State& state, const std::string& path, Each&& each) {
    double bestLoad = 1e9, bestCompile = 1e9, bestLoadCpu = 1e9, bestCompileCpu = 1e9;
    std::size_t code = 0;
    long faults[4] = {0, 0, 0, 0};
    long runs = 0;
    for (auto _ : state) {
        auto program = std::make_unique<rux::CProgram>();
        const long f0 = MinorFaults();
        const double c0 = CpuSeconds();
        const auto t0 = Clock::now();
        const bool ok = rux::Load(*program, path);
        const auto t1 = Clock::now();
        const double c1 = CpuSeconds();
        const long f1 = MinorFaults();
        auto source = std::make_unique<rux::cmp::ProgramSource>();
        const double c2 = CpuSeconds();
        const auto t2 = Clock::now();
        rux::cmp::ReadProgramSource(path, *source); // the compiler reads the file itself
        const long f2 = MinorFaults();
        const double cr = CpuSeconds();
        rux::cmp::Result r = rux::cmp::Compile(source->items, BenchOptions());
        const long f3 = MinorFaults();
        const double cc = CpuSeconds();
        const std::size_t codeBytes = r.image.code.size();
        const rux::image::Bytes bytes = r.errors == 0 ? rux::image::writeImageTakingCode(r.image) : rux::image::Bytes();
        benchmark::DoNotOptimize(bytes.data());
        const auto t3 = Clock::now();
        const double c3 = CpuSeconds();
        const long f4 = MinorFaults();
        if (!ok) state.SkipWithError("load failed");
        each(r, program->Items().GetSize());
        code = codeBytes;
        bestLoad = std::min(bestLoad, Seconds(t0, t1));
        bestCompile = std::min(bestCompile, Seconds(t2, t3));
        bestLoadCpu = std::min(bestLoadCpu, c1 - c0);
        bestCompileCpu = std::min(bestCompileCpu, c3 - c2);
        state.SetIterationTime(Seconds(t2, t3));
        const long phase[4] = {f1 - f0, f2 - f1, f3 - f2, f4 - f3};
        for (int i = 0; i < 4; ++i)
            faults[i] += phase[i];
        if (std::getenv("RUX_BENCH_FAULTS"))
            std::fprintf(stderr, "faults load %ld read %ld compile %ld write %ld; cpu ms load %.2f read %.2f compile %.2f write %.2f\n",
                         phase[0], phase[1], phase[2], phase[3], (c1 - c0) * 1e3, (cr - c2) * 1e3, (cc - cr) * 1e3, (c3 - cc) * 1e3);
        ++runs;
    }
    // Minor page faults per iteration and phase: every fresh page a phase touches costs one.
    const double n = runs > 0 ? static_cast<double>(runs) : 1.0;
    state.counters["faults_load"] = static_cast<double>(faults[0]) / n;
    state.counters["faults_read"] = static_cast<double>(faults[1]) / n;
    state.counters["faults_compile"] = static_cast<double>(faults[2]) / n;
    state.counters["faults_write"] = static_cast<double>(faults[3]) / n;
    state.counters["code_bytes"] = static_cast<double>(code);
    state.counters["load_ms"] = bestLoad * 1e3;
    state.counters["compile_ms"] = bestCompile * 1e3;
    state.counters["compile_per_load"] = bestCompile / bestLoad; // target <= 5
    state.counters["load_cpu_ms"] = bestLoadCpu * 1e3;
    state.counters["compile_cpu_ms"] = bestCompileCpu * 1e3;
    state.counters["compile_per_load_cpu"] = bestCompileCpu / bestLoadCpu;
}

void BM_CompileVsLoad(benchmark::State& state) {
    const std::string path = WriteFile("compile_100k.rux", rux::bench::GenerateProgramFile(100000, 7));
    int items = 0, errors = 0, warnings = 0;
    TimeCompileAgainstLoad(state, path, [&](const rux::cmp::Result& r, int loadedItems) {
        items = loadedItems;
        errors = r.errorsFound;
        warnings = r.warnings;
    });
    state.counters["items"] = items;
    state.counters["errors"] = errors;
    state.counters["warnings"] = warnings;
}
BENCHMARK(BM_CompileVsLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A program of about `lines` items that compiles without a message: every statement kind in
// tasks, subroutines and function blocks, so that the compiler's normal path is what is timed.
std::string CleanProgramFile(int lines) {
    std::string t = "$*TORVEL/RUX-V1\n#info=Ident\nType=KESTREL\nTarget=KESTREL\nDebug=1\nFloatingPoint=1\n#endinfo\n";
    auto section = [&](const std::string& title, const std::vector<std::string>& body) {
        t += "#info=Section\nName=" + title + "\nState=open\n#endinfo\n";
        for (const std::string& l : body) t += ":" + l + "\n";
        t += "#info=EndSection\nName=" + title + "\n#endinfo\n";
    };
    section("(Out%, Done%) = _Step(In%, Limit%)", {"DIM Hist%[4]", "FBbody", "Hist%[0] = In% + Hist%[1]",
                                                   "Out% = LIMIT(In% * 2, -Limit%, Limit%)", "Done% = Out% = In%"});
    section("(Y) = _Lag(X, K)", {"FBbody", "Y = Y + (X - Y) / MAX(K, 1.0)"});
    int items = 20;
    int n = 0;
    std::vector<std::string> body;
    auto flush = [&](const std::string& title) {
        section(title, body);
        items += static_cast<int>(body.size()) + 2;
        body.clear();
    };
    while (items < lines) {
        const std::string k = std::to_string(n % 97);
        body.push_back("// zone " + std::to_string(n) + ": conveyor state machine");
        body.push_back("Count" + k + "% = Count" + k + "% + 1");
        body.push_back("IF Count" + k + "% > 100 AND #8.03.2 = 0 THEN");
        body.push_back("\tCount" + k + "% = 0");
        body.push_back("\tSpeed" + k + " = #1.21 * 0.5 + Speed" + k + " / 4");
        body.push_back("ELSEIF Count" + k + "% < 0 THEN");
        body.push_back("\t#1.21 = LIMIT(Speed" + k + ", -1500.0, 1500.0) ; clamp");
        body.push_back("ELSE");
        body.push_back("\t(Out" + k + "%, Done" + k + "%) = _Step(Count" + k + "%, 50)");
        body.push_back("ENDIF");
        body.push_back("FOR i% = 0 TO 3");
        body.push_back("\tZone%[i%] = Zone%[i%] + i% * 2 - Out" + k + "%");
        body.push_back("LOOP");
        body.push_back("Level" + k + " = _Lag(FLOAT(Zone%[1]) + ABS(Speed" + k + "), 4)");
        body.push_back("PRINT \"zone \", Count" + k + "%, \" level \", Level" + k + ", Done" + k + "%");
        ++n;
        if (body.size() >= 600) flush("Sub" + std::to_string(n) + ":");
    }
    flush("Sub" + std::to_string(n + 1) + ":");
    std::string init = "DIM Zone%[8]";
    section("Initial", {init, "#71.10 = 8"});
    return t;
}

// The same comparison on a program without a message.
void BM_CompileCleanVsLoad(benchmark::State& state) {
    const std::string path = WriteFile("compile_clean_100k.rux", CleanProgramFile(100000));
    int items = 0, messages = 0;
    TimeCompileAgainstLoad(state, path, [&](const rux::cmp::Result& r, int loadedItems) {
        if (r.errors != 0) state.SkipWithError("the clean program has errors");
        items = loadedItems;
        messages = static_cast<int>(r.messages.size());
    });
    state.counters["items"] = items;
    state.counters["messages"] = messages;
}
BENCHMARK(BM_CompileCleanVsLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
    const rux::image::Bytes bytes = rux::image::writeImage(r.image);
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

int main(int argc, char** argv) {
    // Freed memory stays in the process, so that no phase is timed with the kernel handing it fresh
    // pages again: Load's item pool keeps its pages from one iteration to the next, while the
    // compiler's large buffers would otherwise be mapped anew each time (the allocator maps a
    // buffer as large as the last one it unmapped). Without this the order of the benchmarks
    // decides the ratio: on this VM a fresh page costs about 5 µs. The counters faults_* show
    // what is left.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
