// rux build, rux run, and the description of a compiled image for rux info.
#include "cli/cli_common.h"

#include "document/code_page.h"
#include "document/program_paths.h"
#include "document/string_table.h"
#include "image/image.h"
#include "target/service_library.h"
#include "vm/vm.h"

#include "h2cmp.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace rux::cli {

namespace {

using json = nlohmann::ordered_json;

constexpr int kExitRunTimeError = 3;

std::vector<std::string>* g_lines = nullptr;

void CollectLine(H2HWND, const char* line) {
    if (g_lines) g_lines->emplace_back(line);
}

struct CBuild {
    bool loaded = false;   // the compiler library and its entry were found
    bool ok = false;
    std::vector<std::string> lines;
};

// Builds as the editor does: through the compiler library, its lines collected in order.
CBuild Build(const std::string& file, bool stopOnWarning) {
    CBuild b;
    CServiceLibrary library("H2Cmp");
    auto* compile = library.Entry<int32_t(const char*, int32_t, H2HWND, int32_t)>("H2Cmp_Compile");
    auto* setDeliver = library.Entry<void(H2CMPDELIVERPROC)>("H2Cmp_SetDeliverProc");
    if (!compile || !setDeliver) return b;
    b.loaded = true;
    g_lines = &b.lines;
    setDeliver(&CollectLine);
    b.ok = compile(file.c_str(), stopOnWarning ? 0 : 1, nullptr, 0) != 0;
    setDeliver(nullptr);
    g_lines = nullptr;
    return b;
}

const std::regex& MessagePattern() {
    static const std::regex re(R"(^(.*)\((-?\d+),(-?\d+)-(-?\d+)\): (error|warning) ([EW]\d+): (.*)$)");
    return re;
}

const char kBuildUsage[] = "usage: rux build FILE [--stop-on-warning] [--quiet] [--json]";
const char kRunUsage[] =
    "usage: rux run FILE [--ms N] [--var NAME]... [--set NAME=VALUE]... [--param M.PP=VALUE]...";

bool ParseInt(const std::string& text, long long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const bool hex = text.size() > 2 && (text.rfind("0x", 0) == 0 || text.rfind("-0x", 0) == 0);
    value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    return errno == 0 && end && *end == '\0';
}

bool ParseReal(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

// A plain table of drive parameters: every menu.parameter exists and starts at 0.
class CParameterTable final : public vm::Host {
public:
    struct Entry {
        int32_t raw = 0;
        int decimals = 0;
    };
    std::map<int, Entry> values;

    vm::ParamStatus readParameter(int menu, int param, int32_t& raw, int& decimals) override {
        const auto it = values.find(menu * 100 + param);
        raw = it == values.end() ? 0 : it->second.raw;
        decimals = it == values.end() ? 0 : it->second.decimals;
        return vm::ParamStatus::Ok;
    }
    vm::ParamStatus writeParameter(int menu, int param, int32_t raw) override {
        values[menu * 100 + param].raw = raw;
        return vm::ParamStatus::Ok;
    }
    void print(int, std::string_view task, uint64_t timeMs, std::string_view text) override {
        std::printf("[%" PRIu64 " ms] %.*s: %.*s\n", timeMs, static_cast<int>(task.size()), task.data(),
                    static_cast<int>(text.size()), text.data());
    }
    void runTimeError(const vm::RunTimeError& e) override {
        std::printf("[%" PRIu64 " ms] %s: run-time error %d at line %d: %s\n", e.timeMs, e.taskName.c_str(),
                    static_cast<int>(e.code), e.item, e.text.c_str());
        failed = true;
    }
    bool failed = false;
};

// "M.PP=VALUE": a raw integer, or a decimal value whose fractional digits give the decimals.
bool ParseParam(const std::string& text, int& key, CParameterTable::Entry& entry) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) return false;
    const std::string name = text.substr(0, eq), value = text.substr(eq + 1);
    const std::size_t dot = name.find('.');
    long long menu, par;
    std::string m = name.substr(0, dot);
    if (!m.empty() && m[0] == '#') m.erase(0, 1);
    if (dot == std::string::npos || !ParseInt(m, menu) || !ParseInt(name.substr(dot + 1), par) || menu < 0 ||
        menu > 99 || par < 0 || par > 99)
        return false;
    key = static_cast<int>(menu * 100 + par);
    long long raw;
    if (ParseInt(value, raw)) {
        if (raw < INT32_MIN || raw > UINT32_MAX) return false;
        entry.raw = static_cast<int32_t>(raw);
        entry.decimals = 0;
        return true;
    }
    double real;
    const std::size_t point = value.find('.');
    if (point == std::string::npos || !ParseReal(value, real)) return false;
    entry.decimals = static_cast<int>(std::min<std::size_t>(value.size() - point - 1, 9));
    const double scaled = std::nearbyint(real * std::pow(10.0, entry.decimals));
    if (scaled < INT32_MIN || scaled > INT32_MAX) return false;
    entry.raw = static_cast<int32_t>(scaled);
    return true;
}

std::string FormatValue(const vm::Value& v) {
    if (v.isInteger) return std::to_string(v.i);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.12g", v.r);
    return buf;
}

} // namespace

int RunBuild(const Args& args) {
    std::string file;
    bool stop = false, quiet = false, asJson = false;
    for (const std::string& a : args) {
        if (a == "--stop-on-warning") stop = true;
        else if (a == "--quiet") quiet = true;
        else if (a == "--json") asJson = true;
        else if (!a.empty() && a[0] == '-') return UsageError("unknown option '" + a + "' (" + kBuildUsage + ")");
        else if (file.empty()) file = a;
        else return UsageError(kBuildUsage);
    }
    if (file.empty()) return UsageError(kBuildUsage);
    if (RefuseLightEdition(file, CCliServices())) return kExitFile;
    const CBuild b = Build(file, stop);
    if (!b.loaded) {
        std::fprintf(stderr, "rux: the compiler library (libH2Cmp.so) is not installed\n");
        return kExitFile;
    }
    if (asJson) {
        json root = json::object();
        root["ok"] = b.ok;
        json messages = json::array();
        for (const std::string& line : b.lines) {
            std::smatch m;
            if (!std::regex_match(line, m, MessagePattern())) continue;
            json j = json::object();
            j["file"] = Cp1252ToUtf8(m[1].str());
            j["line"] = std::stoi(m[2].str());
            j["start"] = std::stoi(m[3].str());
            j["end"] = std::stoi(m[4].str());
            j["severity"] = m[5].str();
            j["code"] = m[6].str();
            j["text"] = Cp1252ToUtf8(m[7].str());
            messages.push_back(std::move(j));
        }
        root["messages"] = std::move(messages);
        root["image"] = b.ok ? json(Cp1252ToUtf8(ReplaceExtension(file, ".bin"))) : json(nullptr);
        root["symbols"] = b.ok ? json(Cp1252ToUtf8(ReplaceExtension(file, ".sym"))) : json(nullptr);
        std::printf("%s\n", root.dump(2).c_str());
        return b.ok ? kExitOk : kExitFile;
    }
    if (!quiet)
        for (const std::string& line : b.lines) std::printf("%s\n", line.c_str());
    std::printf("%s\n", LoadString(b.ok ? IDS_BUILD_NO_ERRORS : IDS_BUILD_ERRORS));
    return b.ok ? kExitOk : kExitFile;
}

int RunRun(const Args& args) {
    std::string file;
    long long ms = 1000;
    std::vector<std::string> vars;
    std::vector<std::pair<std::string, std::string>> sets;
    CParameterTable table;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--ms") {
            if (!value(v) || !ParseInt(v, ms) || ms < 0 || ms > 100'000'000)
                return UsageError("--ms needs a number of milliseconds (" + std::string(kRunUsage) + ")");
        } else if (a == "--var") {
            if (!value(v)) return UsageError(kRunUsage);
            vars.push_back(v);
        } else if (a == "--set") {
            const std::size_t eq = value(v) ? v.find('=') : std::string::npos;
            if (eq == std::string::npos || eq == 0) return UsageError("--set needs NAME=VALUE (" + std::string(kRunUsage) + ")");
            sets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (a == "--param") {
            int key;
            CParameterTable::Entry e;
            if (!value(v) || !ParseParam(v, key, e))
                return UsageError("--param needs M.PP=VALUE with menu and parameter 0..99 (" + std::string(kRunUsage) + ")");
            table.values[key] = e;
        } else if (!a.empty() && a[0] == '-') {
            return UsageError("unknown option '" + a + "' (" + kRunUsage + ")");
        } else if (file.empty()) {
            file = a;
        } else {
            return UsageError(kRunUsage);
        }
    }
    if (file.empty()) return UsageError(kRunUsage);
    if (RefuseLightEdition(file, CCliServices())) return kExitFile;
    const CBuild b = Build(file, false);
    if (!b.loaded) {
        std::fprintf(stderr, "rux: the compiler library (libH2Cmp.so) is not installed\n");
        return kExitFile;
    }
    // The build's own lines are diagnostics: stderr, so that stdout holds only the run.
    for (const std::string& line : b.lines) std::fprintf(stderr, "%s\n", line.c_str());
    if (!b.ok) {
        std::fprintf(stderr, "%s\n", LoadString(IDS_BUILD_ERRORS));
        return kExitFile;
    }
    vm::Machine machine(table);
    std::string message;
    if (!machine.loadFile(ReplaceExtension(file, ".bin"), message)) {
        std::fprintf(stderr, "rux: %s\n", message.c_str());
        return kExitFile;
    }
    for (const auto& [name, text] : sets) {
        vm::Value current;
        if (!machine.readVariable(name, current)) return UsageError("no variable '" + name + "' in " + FileNameOf(file));
        long long i;
        double r;
        vm::Value v;
        if (ParseInt(text, i)) {
            // 32 bits: a signed value, or an unsigned one such as 0xFFFFFFFF for a bit pattern.
            if (i < INT32_MIN || i > static_cast<long long>(UINT32_MAX))
                return UsageError("--set " + name + " needs a 32-bit integer, not '" + text + "'");
            v = vm::Value::integer(static_cast<int32_t>(i));
        } else if (ParseReal(text, r)) {
            v = vm::Value::real(r);
        } else {
            return UsageError("--set " + name + " needs a number, not '" + text + "'");
        }
        machine.writeVariable(name, v);
    }
    for (const std::string& name : vars) {
        vm::Value v;
        if (!machine.readVariable(name, v)) return UsageError("no variable '" + name + "' in " + FileNameOf(file));
    }
    std::fflush(stderr);
    machine.step(static_cast<uint32_t>(ms));
    for (const std::string& name : vars) {
        vm::Value v;
        machine.readVariable(name, v);
        std::printf("%s = %s\n", name.c_str(), FormatValue(v).c_str());
    }
    return table.failed ? kExitRunTimeError : kExitOk;
}

bool IsImageFile(const std::string& path) {
    // Only a regular file can be an image; opening a FIFO to look would block.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    char head[4] = {};
    in.read(head, 4);
    return in.gcount() == 4 && image::looksLikeImage(reinterpret_cast<const uint8_t*>(head), 4);
}

int PrintImageInfo(const std::string& path, bool asJson) {
    image::Image img;
    std::string message;
    if (!image::readImageFile(path, img, message)) {
        std::fprintf(stderr, "rux: %s: %s\n", path.c_str(), message.c_str());
        return kExitFile;
    }
    char id[16];
    std::snprintf(id, sizeof id, "%08X", img.programId);
    if (!asJson) {
        std::printf("%s: compiled image, format %u, target %s, program id %s\n", path.c_str(), img.version,
                    img.targetType.c_str(), id);
        std::printf("  %zu byte(s) of code, %zu line(s), %u variable cell(s)%s%s%s\n", img.code.size(), img.lines.size(),
                    img.globalCells, img.flags & image::kFlagDebug ? ", debug" : "",
                    img.flags & image::kFlagSource ? ", source" : "",
                    img.flags & image::kFlagSinglePrecision ? ", single precision" : "");
        for (const image::TaskEntry& t : img.tasks) std::printf("  task %u %s\n", t.taskId, t.name.c_str());
        for (const image::BlockEntry& b : img.blocks)
            std::printf("  function block %s (%u in, %u out)\n", b.name.c_str(), b.inputs, b.outputs);
        return kExitOk;
    }
    json root = json::object();
    root["kind"] = "image";
    root["version"] = img.version;
    root["programId"] = img.programId;
    root["programIdHex"] = id;
    root["target"] = Cp1252ToUtf8(img.targetType);
    root["debug"] = (img.flags & image::kFlagDebug) != 0;
    root["source"] = (img.flags & image::kFlagSource) != 0;
    root["singlePrecision"] = (img.flags & image::kFlagSinglePrecision) != 0;
    root["fixedPoint"] = (img.flags & image::kFlagFixedPoint) != 0;
    root["library"] = (img.flags & image::kFlagLibrary) != 0;
    root["codeBytes"] = img.code.size();
    root["variableCells"] = img.globalCells;
    json tasks = json::array();
    for (const image::TaskEntry& t : img.tasks) tasks.push_back({{"id", t.taskId}, {"name", t.name}, {"entry", t.entry}});
    root["tasks"] = std::move(tasks);
    json blocks = json::array();
    for (const image::BlockEntry& b : img.blocks)
        blocks.push_back({{"name", Cp1252ToUtf8(b.name)}, {"inputs", b.inputs}, {"outputs", b.outputs}, {"cells", b.frameSize}});
    root["blocks"] = std::move(blocks);
    json symbols = json::array();
    for (const image::SymbolEntry& s : img.symbols)
        symbols.push_back({{"name", Cp1252ToUtf8(s.name)}, {"address", s.address}, {"type", s.type}, {"elements", s.elements}});
    root["symbols"] = std::move(symbols);
    root["lines"] = img.lines.size();
    root["constants"] = img.constants.size();
    root["strings"] = img.strings.size();
    root["sourceBytes"] = img.source.size();
    std::printf("%s\n", root.dump(2).c_str());
    return kExitOk;
}

} // namespace rux::cli
