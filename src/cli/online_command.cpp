// rux online: runs commands against the drive node of a program through the communications,
// target and loader libraries, as the editor's online mode does, one printed line per answer.
#include "cli/cli_common.h"

#include "document/header_item.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "target/service_library.h"
#include "target/write_value.h"

#include "h2drive.h"
#include "h2load.h"
#include "h2tgt.h"
#include "hm2comapi.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

namespace rux::cli {
namespace {

const char kOnlineUsage[] = "usage: rux online FILE [--node ADDR] [--port N] -e COMMAND ...";

// The drive protocol's request numbers this command uses directly.
constexpr int32_t kRequestAdvance = 0x0C;
constexpr int32_t kRequestLog = 0x0E;
constexpr int kAnswerTimeoutMs = 3000;

std::mutex g_mutex;
std::condition_variable g_answered;
int g_notifications = 0;

void OnAnswer(H2HWND, uint32_t, uintptr_t, intptr_t) {
    std::lock_guard<std::mutex> lock(g_mutex);
    ++g_notifications;
    g_answered.notify_all();
}

std::string Hex(int32_t status) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(status));
    return buf;
}

struct COnlineApi {
    CServiceLibrary com{"Hm2ComApi"};
    CServiceLibrary tgt{"H2Tgt"};
    CServiceLibrary load{"H2Load"};
#define RUX_ENTRY(lib, name) decltype(&::name) name = lib.Entry<std::remove_pointer_t<decltype(&::name)>>(#name)
    RUX_ENTRY(com, H2_SetNotifyProc);
    RUX_ENTRY(com, H2_RegisterClient);
    RUX_ENTRY(com, H2_UnregisterClient);
    RUX_ENTRY(com, H2_CreateLoop);
    RUX_ENTRY(com, H2_ReleaseLoop);
    RUX_ENTRY(com, H2_Write);
    RUX_ENTRY(com, H2_AnswerGet);
    RUX_ENTRY(com, H2_GetErrorInfo);
    RUX_ENTRY(com, H2_SetBreakPoint);
    RUX_ENTRY(com, H2_GetBreakPoints);
    RUX_ENTRY(com, H2_NodeCall);
    RUX_ENTRY(com, H2_NodeClientCall);
    RUX_ENTRY(com, H2_FreeDetail);
    RUX_ENTRY(tgt, H2TGT_Download);
    RUX_ENTRY(tgt, H2TGT_Upload);
    RUX_ENTRY(tgt, H2TGT_ExecuteCommand);
    RUX_ENTRY(tgt, H2TGT_Run);
    RUX_ENTRY(tgt, H2TGT_Stop);
    RUX_ENTRY(tgt, H2TGT_Pause);
    RUX_ENTRY(tgt, H2TGT_Resume);
    RUX_ENTRY(tgt, H2TGT_ResetProgram);
    RUX_ENTRY(tgt, H2TGT_ResetDrive);
    RUX_ENTRY(tgt, H2TGT_StepTask);
    RUX_ENTRY(tgt, H2TGT_StepOnTask);
    RUX_ENTRY(tgt, H2TGT_StepOffTask);
    RUX_ENTRY(tgt, H2TGT_GetTaskIDFromTaskName);
    RUX_ENTRY(tgt, H2TGT_GetTaskNameFromTaskID);
    RUX_ENTRY(load, H2LOAD_GetNodeIdentity);
#undef RUX_ENTRY

    bool Complete() const {
        return H2_SetNotifyProc && H2_RegisterClient && H2_UnregisterClient && H2_CreateLoop && H2_ReleaseLoop &&
               H2_Write && H2_AnswerGet && H2_GetErrorInfo && H2_SetBreakPoint && H2_GetBreakPoints && H2_NodeCall &&
               H2_NodeClientCall && H2_FreeDetail && H2TGT_Download && H2TGT_Upload && H2TGT_ExecuteCommand &&
               H2TGT_Run && H2TGT_Stop && H2TGT_Pause && H2TGT_Resume && H2TGT_ResetProgram && H2TGT_ResetDrive &&
               H2TGT_StepTask && H2TGT_StepOnTask && H2TGT_StepOffTask && H2TGT_GetTaskIDFromTaskName &&
               H2TGT_GetTaskNameFromTaskID;
    }
};

const char* TaskStateText(int32_t code) {
    switch (code) {
    case 0: return LoadString(IDS_TASK_ILLEGAL);
    case 1: return LoadString(IDS_TASK_BLOCKED);
    case 2: return LoadString(IDS_TASK_STOPPED);
    case 3: return LoadString(IDS_TASK_RUNNING);
    case 5: return LoadString(IDS_TASK_SLEEPING);
    case 7: return LoadString(IDS_TASK_UNKNOWN);
    case 8: return LoadString(IDS_TASK_COMPLETED);
    default: return "";
    }
}

// Parameters by their form; the program's variables from the symbol library, or else from the
// symbol file the compiler leaves beside the program ("name address type [bit]" per line).
class COnlineSymbols {
public:
    COnlineSymbols(std::string symbolFile, bool fixedPoint) : m_file(std::move(symbolFile)), m_fixed(fixedPoint) {}

    bool Lookup(const std::string& dir, const std::string& symbol, const std::string& node, CSymbolInfo& info) const {
        if (!symbol.empty() && symbol[0] == '#') {
            std::string s = symbol.substr(1);
            const bool raw = s.rfind("INT", 0) == 0;
            if (raw) s.erase(0, 3);
            int dots = 0;
            for (char c : s) {
                if (c == '.')
                    ++dots;
                else if (c < '0' || c > '9')
                    return false;
            }
            if (dots < 1 || dots > 2) return false;
            info.bit = dots == 2;
            info.type = raw || m_fixed ? kSymInteger : kSymReal;
            return true;
        }
        if (LookupThroughSymbolLibrary(dir, symbol, node, info)) return true;
        std::ifstream in(m_file);
        std::string line;
        while (std::getline(in, line)) {
            for (char& c : line)
                if (c == ',' || c == ';' || c == '\t') c = ' ';
            std::istringstream f(line);
            std::string name, address;
            int type = 0, bit = 0;
            if (!(f >> name >> address >> type) || name != symbol) continue;
            f >> bit;
            info.type = type;
            info.bit = bit != 0;
            return true;
        }
        return false;
    }

private:
    std::string m_file;
    bool m_fixed;
};

class COnlineSession {
public:
    COnlineSession(COnlineApi& api, std::string node, std::string type, std::string program, bool fixedPoint)
        : m_api(api), m_node(std::move(node)), m_type(std::move(type)), m_program(std::move(program)),
          m_symbols(std::filesystem::path(m_program).replace_extension(".sym").string(), fixedPoint) {
        m_api.H2_SetNotifyProc(OnAnswer);
        m_api.H2_RegisterClient(&m_client, nullptr, nullptr, H2_MSG_ANSWER);
        // The first contact names the target type, so a new node gets the tasks of the program's target.
        Call(0x0D, {}, nullptr);
    }
    ~COnlineSession() {
        if (m_client != nullptr) m_api.H2_UnregisterClient(m_client);
    }

    bool Run(const Args& words);
    bool failed = false;

private:
    std::string Text(int32_t status) const {
        char title[H2_ERRTITLE] = {}, text[H2_ERRTEXT] = {};
        int32_t silent = 0, box = 0;
        m_api.H2_GetErrorInfo(status, title, text, &silent, &box);
        return title;
    }
    std::string StatusLine(int32_t status) {
        if (status != 0) failed = true;
        if (status == 0) return "0";
        if (status == H2_ERR_NO_COMMUNICATION) return Hex(status) + " " + FormatString(IDS_NO_COMMUNICATION, {m_node});
        return Hex(status) + " " + Text(status);
    }
    int32_t Call(int32_t request, const std::string& args, std::string* detail) {
        char* d = nullptr;
        int32_t size = 0;
        const int32_t st = m_api.H2_NodeCall(m_node.c_str(), m_type.c_str(), request, args.data(),
                                             static_cast<int32_t>(args.size()), &d, &size, 0);
        if (d != nullptr) {
            if (detail != nullptr) detail->assign(d, static_cast<std::size_t>(size));
            m_api.H2_FreeDetail(d);
        }
        return st;
    }
    // The next answer of one of the kinds, or of a failure; false when none came in time.
    bool WaitAnswer(std::initializer_list<int32_t> kinds, H2ANSWER& a) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
        for (;;) {
            while (m_api.H2_AnswerGet(m_client, 0, 0, &a) == H2_OK) {
                if (a.Status != H2_OK) return true;
                for (int32_t k : kinds)
                    if (a.Kind == k) return true;
                if (a.Kind == H2_ANS_LOG) m_pendingLog.emplace_back(a.Text);
            }
            std::unique_lock<std::mutex> lock(g_mutex);
            const int seen = g_notifications;
            if (!g_answered.wait_until(lock, until, [&] { return g_notifications != seen; })) return false;
        }
    }
    void Drain() {
        H2ANSWER a;
        while (m_api.H2_AnswerGet(m_client, 0, 0, &a) == H2_OK)
            if (a.Status == H2_OK && a.Kind == H2_ANS_LOG) m_pendingLog.emplace_back(a.Text);
    }
    bool Status(H2ANSWER& a) {
        Drain();
        const int32_t st = m_api.H2TGT_ExecuteCommand(m_client, m_node.c_str(), 15);
        if (st != H2_OK) {
            a = H2ANSWER{};
            a.Status = st;
            return true;
        }
        return WaitAnswer({H2_ANS_STATUS}, a);
    }
    std::vector<std::string> TaskNames() const {
        std::vector<std::string> names;
        for (int32_t id = 0; id < H2_MAX_TASKS; ++id) {
            char name[128] = {};
            if (m_api.H2TGT_GetTaskNameFromTaskID(m_type.c_str(), id, name, sizeof name) != H2_OK) break;
            names.emplace_back(name);
        }
        return names;
    }
    void PrintBreaks(const std::vector<int32_t>& tasks);
    bool Wait(uint32_t ms);

    COnlineApi& m_api;
    std::string m_node, m_type, m_program;
    COnlineSymbols m_symbols;
    H2CLIENT m_client = nullptr;
    H2BREAKPOINTTABLE m_breaks{};
    std::vector<std::string> m_pendingLog;
};

bool COnlineSession::Wait(uint32_t ms) {
    std::string mode;
    std::string args(4, '\0');
    for (int i = 0; i < 4; ++i)
        args[static_cast<std::size_t>(i)] = static_cast<char>((ms >> (8 * i)) & 0xff);
    const int32_t st = Call(kRequestAdvance, args, &mode);
    // A drive on the wall clock runs by itself: the time has to pass here.
    if (st != H2_OK || mode != "virtual") std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return st == H2_OK;
}

void COnlineSession::PrintBreaks(const std::vector<int32_t>& tasks) {
    Drain();
    const int32_t st = m_api.H2_GetBreakPoints(m_client, 0, m_node.c_str());
    if (st != H2_OK) {
        std::printf("breakpoints: %s\n", StatusLine(st).c_str());
        return;
    }
    const std::vector<std::string> names = TaskNames();
    std::vector<std::string> lines(names.size());
    std::size_t seen = 0;
    H2ANSWER a;
    while (seen < names.size() && WaitAnswer({H2_ANS_BREAKPOINTS}, a)) {
        if (a.Status != H2_OK) {
            std::printf("breakpoints: %s\n", StatusLine(a.Status).c_str());
            return;
        }
        if (a.TaskId < 0 || a.TaskId >= static_cast<int32_t>(names.size())) continue;
        std::string list;
        for (int32_t b : a.Breakpoints)
            if (b > 0) list.append(" ").append(std::to_string(b));
        lines[static_cast<std::size_t>(a.TaskId)] = names[static_cast<std::size_t>(a.TaskId)] + ":" + (list.empty() ? " none" : list);
        ++seen;
    }
    for (int32_t t : tasks)
        if (t >= 0 && t < static_cast<int32_t>(lines.size())) std::printf("%s\n", lines[static_cast<std::size_t>(t)].c_str());
}

bool COnlineSession::Run(const Args& w) {
    const std::string& cmd = w[0];
    const char* node = m_node.c_str();
    auto needs = [&](std::size_t n) {
        if (w.size() == n + 1) return true;
        std::fprintf(stderr, "rux: online command '%s' takes %zu argument(s)\n", cmd.c_str(), n);
        return false;
    };
    auto taskId = [&](const std::string& name) {
        const int32_t id = m_api.H2TGT_GetTaskIDFromTaskName(m_type.c_str(), name.c_str());
        if (id < 0) std::fprintf(stderr, "rux: target %s has no task '%s'\n", m_type.c_str(), name.c_str());
        return id;
    };
    if (cmd == "download") {
        if (!needs(0)) return false;
        const std::string bin = std::filesystem::path(m_program).replace_extension(".bin").string();
        const int32_t st = m_api.H2TGT_Download(nullptr, 0, m_type.c_str(), node, bin.c_str(), nullptr);
        std::string line = StatusLine(st);
        // The editor says no more than this for a failed download; its title names the failure.
        if (st != H2_OK && st != H2_ERR_NO_COMMUNICATION && st != H2_ERR_ABANDONED)
            line = Hex(st) + " " + LoadString(IDS_DOWNLOAD_FAILED_TITLE) + ": " + Text(st);
        std::printf("download: %s\n", line.c_str());
    } else if (cmd == "upload") {
        if (!needs(1)) return false;
        std::printf("upload: %s\n", StatusLine(m_api.H2TGT_Upload(nullptr, 1, m_type.c_str(), node, w[1].c_str())).c_str());
    } else if (cmd == "run" || cmd == "stop" || cmd == "pause" || cmd == "resume" || cmd == "reset-program" ||
               cmd == "reset-drive") {
        if (!needs(0)) return false;
        const auto op = cmd == "run"             ? m_api.H2TGT_Run
                        : cmd == "stop"          ? m_api.H2TGT_Stop
                        : cmd == "pause"         ? m_api.H2TGT_Pause
                        : cmd == "resume"        ? m_api.H2TGT_Resume
                        : cmd == "reset-program" ? m_api.H2TGT_ResetProgram
                                                 : m_api.H2TGT_ResetDrive;
        std::printf("%s: %s\n", cmd.c_str(), StatusLine(op(node)).c_str());
    } else if (cmd == "status") {
        if (!needs(0)) return false;
        H2ANSWER a;
        if (!Status(a)) a.Status = H2_ERR_NO_COMMUNICATION;
        if (a.Status != H2_OK) {
            std::printf("status: %s\n", StatusLine(a.Status).c_str());
            return true;
        }
        std::printf("program %d cpu %d%%\n", a.ProgramState, a.CpuFree);
        const std::vector<std::string> names = TaskNames();
        for (std::size_t t = 0; t < names.size(); ++t) {
            const int32_t code = static_cast<int32_t>(t) < a.TaskCount ? a.TaskState[t] : 0;
            std::printf("task %s %d %s\n", names[t].c_str(), code, TaskStateText(code));
        }
    } else if (cmd == "wait") {
        if (!needs(1)) return false;
        char* end = nullptr;
        const unsigned long ms = std::strtoul(w[1].c_str(), &end, 10);
        if (w[1].empty() || *end != '\0' || ms > 86400000ul) {
            std::fprintf(stderr, "rux: bad wait time '%s'\n", w[1].c_str());
            return false;
        }
        Wait(static_cast<uint32_t>(ms));
    } else if (cmd == "read") {
        if (!needs(1)) return false;
        Drain();
        int32_t loop = 0, detail = 0;
        int32_t st = m_api.H2_CreateLoop(m_client, &loop, node, w[1].c_str(), 100, &detail);
        H2ANSWER a{};
        if (st == H2_OK) {
            if (!WaitAnswer({H2_ANS_VALUE}, a)) a.Status = H2_ERR_NO_COMMUNICATION;
            char last[H2_LOOPBUFFER];
            m_api.H2_ReleaseLoop(m_client, loop, last, sizeof last);
            st = a.Status;
        }
        if (st == H2_OK)
            std::printf("%s = %.12g\n", w[1].c_str(), a.Value);
        else
            std::printf("%s: %s\n", w[1].c_str(), StatusLine(st).c_str());
    } else if (cmd == "write") {
        if (!needs(2)) return false;
        std::string value = w[2];
        const std::string dir = std::filesystem::path(m_program).parent_path().string();
        const bool valid = ValidateWriteValue(
            dir, w[1], m_node, value, [this](const std::string& d, const std::string& s, const std::string& n, CSymbolInfo& i) {
                return m_symbols.Lookup(d, s, n, i);
            });
        if (!valid) {
            failed = true;
            std::printf("write %s: %s\n", w[1].c_str(), LoadString(IDS_INVALID_WRITE_VALUE));
            return true;
        }
        Drain();
        int32_t request = 0, detail = 0;
        int32_t st = m_api.H2_Write(m_client, &request, node, w[1].c_str(), value.c_str(), &detail);
        if (st == H2_OK) {
            H2ANSWER a;
            st = WaitAnswer({H2_ANS_WRITTEN}, a) ? a.Status : H2_ERR_NO_COMMUNICATION;
        }
        std::printf("write %s: %s\n", w[1].c_str(), StatusLine(st).c_str());
    } else if (cmd == "break") {
        if (!needs(2)) return false;
        const int32_t id = taskId(w[1]);
        if (id < 0) return false;
        char* end = nullptr;
        const long item = std::strtol(w[2].c_str(), &end, 10);
        if (w[2].empty() || *end != '\0' || item <= 0 || item > INT32_MAX) {
            std::fprintf(stderr, "rux: bad line number '%s' (an item index from 1)\n", w[2].c_str());
            return false;
        }
        const int32_t line = static_cast<int32_t>(item);
        int32_t* slots = m_breaks.Slots[id];
        bool placed = false;
        for (int s = 0; s < H2_BREAKPOINT_SLOTS && !placed; ++s)
            placed = slots[s] == line;
        for (int s = 0; s < H2_BREAKPOINT_SLOTS && !placed; ++s)
            if (slots[s] == 0) slots[s] = line, placed = true;
        m_breaks.TaskCount = std::max(m_breaks.TaskCount, id + 1);
        const int32_t st = m_api.H2_SetBreakPoint(m_client, 0, node, &m_breaks);
        if (st != H2_OK) {
            std::printf("break: %s\n", StatusLine(st).c_str());
            return true;
        }
        PrintBreaks({id});
    } else if (cmd == "clear-breaks") {
        if (!needs(0)) return false;
        const int32_t count = static_cast<int32_t>(TaskNames().size());
        m_breaks = H2BREAKPOINTTABLE{};
        m_breaks.TaskCount = count;
        const int32_t st = m_api.H2_SetBreakPoint(m_client, 0, node, &m_breaks);
        if (st != H2_OK) {
            std::printf("clear-breaks: %s\n", StatusLine(st).c_str());
            return true;
        }
        std::vector<int32_t> all;
        for (int32_t t = 0; t < count; ++t)
            all.push_back(t);
        PrintBreaks(all);
    } else if (cmd == "step-on" || cmd == "step" || cmd == "step-off") {
        if (!needs(1)) return false;
        const int32_t id = taskId(w[1]);
        if (id < 0) return false;
        const auto op = cmd == "step-on" ? m_api.H2TGT_StepOnTask : cmd == "step" ? m_api.H2TGT_StepTask : m_api.H2TGT_StepOffTask;
        // The task manager numbers tasks from 1.
        int32_t st = op(m_client, node, id + 1);
        // Let the node execute up to its next stop before asking where the task is.
        if (st == H2_OK) Wait(cmd == "step-off" ? 1 : 20);
        H2ANSWER a{};
        if (st == H2_OK && !Status(a)) a.Status = H2_ERR_NO_COMMUNICATION;
        if (st == H2_OK) st = a.Status;
        if (st != H2_OK) {
            std::printf("%s: %s\n", cmd.c_str(), StatusLine(st).c_str());
            return true;
        }
        const int32_t code = id < a.TaskCount ? a.TaskState[id] : 0;
        int32_t item = -1;
        // The status gives one position in its fields and every sleeping task's as "TASK.0ITEM".
        std::istringstream positions(a.Text);
        std::string p;
        while (positions >> p) {
            const std::size_t dot = p.find(".0");
            if (dot != std::string::npos && std::atoi(p.substr(0, dot).c_str()) == id) item = std::atoi(p.c_str() + dot + 2);
        }
        std::printf("%s %s line %d\n", w[1].c_str(), TaskStateText(code), item);
    } else if (cmd == "log") {
        if (!needs(0)) return false;
        Drain();
        const int32_t st = m_api.H2_NodeClientCall(m_client, node, m_type.c_str(), kRequestLog, nullptr, 0, 0);
        Drain();
        if (st != H2_OK) {
            std::printf("log: %s\n", StatusLine(st).c_str());
            m_pendingLog.clear();
            return true;
        }
        for (const std::string& line : m_pendingLog)
            std::printf("%s\n", line.c_str());
        m_pendingLog.clear();
    } else if (cmd == "identify") {
        if (!needs(0)) return false;
        char text[2048] = {};
        const int32_t st = m_api.H2LOAD_GetNodeIdentity ? m_api.H2LOAD_GetNodeIdentity(node, m_type.c_str(), text, sizeof text)
                                                        : H2_ERR_NO_COMMUNICATION;
        if (st != H2_OK)
            std::printf("identify: %s\n", StatusLine(st).c_str());
        else
            std::fputs(text, stdout);
    } else {
        std::fprintf(stderr, "rux: unknown online command '%s'\n", cmd.c_str());
        return false;
    }
    std::fflush(stdout);
    return true;
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

} // namespace

int RunOnline(const Args& args) {
    std::string file, node, port;
    std::vector<std::string> commands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "--node" || a == "--port" || a == "-e") && !hasValue) return UsageError(a + " needs a value\n" + kOnlineUsage);
        if (a == "--node")
            node = args[++i];
        else if (a == "--port")
            port = args[++i];
        else if (a == "-e")
            commands.push_back(args[++i]);
        else if (file.empty() && a.rfind("-", 0) != 0)
            file = a;
        else
            return UsageError("unexpected argument '" + a + "'\n" + kOnlineUsage);
    }
    if (file.empty() || commands.empty()) return UsageError(kOnlineUsage);
    if (!port.empty()) {
        const int p = std::atoi(port.c_str());
        if (p <= 0 || p > 65535 || port.find_first_not_of("0123456789") != std::string::npos)
            return UsageError("bad port '" + port + "'");
        // The communications library takes the drive's address from here before its first client.
        ::setenv("RUXDRIVE_ADDRESS", ("127.0.0.1:" + port).c_str(), 1);
    }
    CCliServices services;
    CRUXDocument document(services.DocumentServices());
    if (!OpenProgram(document, file, services)) return kExitFile;
    const CRuxHeader header = document.GetHeader() != nullptr ? document.GetHeader()->Header() : CRuxHeader{};
    if (node.empty()) node = header.Address > 0 ? std::to_string(header.Address) : "1";

    COnlineApi api;
    if (!api.Complete()) {
        std::fprintf(stderr, "rux: the communications or target library is missing\n");
        return kExitFile;
    }
    COnlineSession session(api, node, header.Type, std::filesystem::absolute(file).string(), header.FloatingPoint == 0);
    for (const std::string& c : commands) {
        const std::vector<std::string> w = Words(c);
        if (w.empty()) continue;
        if (!session.Run(w)) return kExitUsage;
    }
    return session.failed ? kExitFile : kExitOk;
}

} // namespace rux::cli
