#include "node.h"

#include "fileio/safe_file.h"
#include "fileio/whole_file.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace rux::drive {

namespace {

constexpr std::size_t kLogKeep = 1000;
constexpr uint32_t kLoadWindowMs = 500;

struct CParamRef {
    int menu = 0, param = 0, bit = -1;
    bool raw = false;
};

// "#m.pp", "#INTm.pp", "#m.pp.b", "B2#m.pp" (the older drives' name of the same parameter).
bool ParseParamSymbol(std::string s, CParamRef& ref) {
    if (s.size() > 2 && (s[0] == 'B' || s[0] == 'b') && s[1] == '2' && s[2] == '#') s.erase(0, 2);
    if (s.empty() || s[0] != '#') return false;
    const std::size_t first = s.find('.');
    const std::size_t second = first == std::string::npos ? std::string::npos : s.find('.', first + 1);
    if (second != std::string::npos) {
        const std::string b = s.substr(second + 1);
        if (b.empty() || b.size() > 2 || b.find_first_not_of("0123456789") != std::string::npos) return false;
        ref.bit = std::stoi(b);
        if (ref.bit > 31) return false;
        s.resize(second);
    }
    return ParseParameterName(s, ref.menu, ref.param, ref.raw);
}

int32_t StatusOf(EParamResult r) {
    switch (r) {
    case EParamResult::Ok: return kStatusOk;
    case EParamResult::NoSuchParameter: return kStatusNoSuchParam;
    case EParamResult::OutOfRange: return kStatusValueRange;
    case EParamResult::ReadOnly: return kStatusReadOnly;
    }
    return kStatusBadArgument;
}

// The node's state is on disk before the drive answers, as flash would hold it.
bool WriteFile(const std::filesystem::path& p, const std::string& data) {
    return rux::WriteFileSafely(p.string(), data).ok;
}

bool ReadFile(const std::filesystem::path& p, std::string& data) {
    rux::CFileBytes file = rux::ReadWholeFile(p.string());
    data = std::move(file.bytes);
    return file.ok;
}

} // namespace

std::string NodeDirName(const std::string& address) {
    bool plain = !address.empty() && address.size() <= 64 && address[0] != '.';
    for (char c : address)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-')) plain = false;
    if (plain) return address;
    std::string out = "x";
    char buf[3];
    for (unsigned char c : address.substr(0, 64)) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        out += buf;
    }
    return out;
}

CNode::CNode(std::string address, std::string targetType, std::vector<std::string> tasks, const CParameterDb& defaults)
    : m_address(std::move(address)), m_type(std::move(targetType)), m_tasks(std::move(tasks)), m_params(defaults) {
    if (m_tasks.size() > 32) m_tasks.resize(32);
    m_engine = MakeEngine(m_params, *this, m_tasks);
    m_breaks.assign(m_tasks.size(), std::vector<int32_t>(8, 0));
}

CNode::~CNode() = default;

void CNode::Advance(uint32_t ms) {
    // One millisecond at a time so that the program and the motor see each other's changes.
    for (uint32_t i = 0; i < ms; ++i) {
        const uint64_t before = m_engine->Instructions();
        if (m_engine->Loaded() && m_running) m_engine->Advance(1);
        m_motor.Advance(m_params, 1);
        ++m_timeMs;
        const uint64_t used = m_engine->Instructions() - before;
        if (!m_load.empty() && m_load.back().second == used && used == 0)
            ++m_load.back().first;
        else
            m_load.emplace_back(1, used);
        uint32_t total = 0;
        for (auto& w : m_load)
            total += w.first;
        while (total > kLoadWindowMs && !m_load.empty()) {
            const uint32_t over = total - kLoadWindowMs;
            if (m_load.front().first <= over) {
                total -= m_load.front().first;
                m_load.pop_front();
            } else {
                m_load.front().first -= over;
                total -= over;
            }
        }
    }
}

int32_t CNode::Download(const std::string& image, std::string& message) {
    // The node stops for the download; a refused image leaves the node without a program.
    m_running = false;
    m_engine->Stop();
    m_engine->Unload();
    m_image.clear();
    m_source.clear();
    if (!m_engine->Load(image, message)) {
        AddLog("Download refused: " + message);
        return kStatusImageRefused;
    }
    m_image = image;
    m_source = m_engine->EmbeddedSource();
    for (auto& t : m_breaks)
        std::fill(t.begin(), t.end(), 0);
    m_running = true;
    return kStatusOk;
}

int32_t CNode::Upload(std::string& source) const {
    if (!m_engine->Loaded()) return kStatusNoProgram;
    if (m_source.empty()) return kStatusNoSource;
    source = m_source;
    return kStatusOk;
}

int32_t CNode::Run() {
    if (!m_engine->Loaded()) return kStatusNoProgram;
    m_engine->Reset();
    ApplyBreakpoints();
    m_running = true;
    return kStatusOk;
}

int32_t CNode::Stop() {
    if (!m_engine->Loaded()) return kStatusNoProgram;
    m_engine->Stop();
    m_running = false;
    return kStatusOk;
}

int32_t CNode::Pause() {
    if (!m_engine->Loaded()) return kStatusNoProgram;
    m_engine->Pause();
    return kStatusOk;
}

int32_t CNode::Resume() {
    if (!m_engine->Loaded()) return kStatusNoProgram;
    if (!m_running) return Run();
    m_engine->Resume();
    return kStatusOk;
}

int32_t CNode::ResetProgram() {
    if (!m_engine->Loaded()) return kStatusNoProgram;
    return Run();
}

int32_t CNode::ResetDrive() {
    m_params.Reset();
    m_motor.Reset();
    if (m_engine->Loaded()) Run();
    return kStatusOk;
}

bool CNode::IsStopped() const {
    return !m_engine->Loaded() || !m_running || m_engine->Stopped() || m_engine->Paused();
}

int32_t CNode::StepOn(int taskId) {
    if (taskId < 0 || taskId >= static_cast<int>(m_tasks.size())) return kStatusBadArgument;
    if (!m_engine->Loaded()) return kStatusNoProgram;
    m_engine->SetStepping(taskId, true);
    return kStatusOk;
}

int32_t CNode::Step(int taskId) {
    if (taskId < 0 || taskId >= static_cast<int>(m_tasks.size())) return kStatusBadArgument;
    if (!m_engine->Loaded()) return kStatusNoProgram;
    m_engine->StepTask(taskId);
    return kStatusOk;
}

int32_t CNode::StepOff(int taskId) {
    if (taskId < 0 || taskId >= static_cast<int>(m_tasks.size())) return kStatusBadArgument;
    if (!m_engine->Loaded()) return kStatusNoProgram;
    m_engine->SetStepping(taskId, false);
    m_engine->ResumeTask(taskId);
    return kStatusOk;
}

int32_t CNode::SetBreakpoints(const std::vector<std::vector<int32_t>>& table) {
    for (std::size_t t = 0; t < m_breaks.size(); ++t)
        for (std::size_t s = 0; s < 8; ++s)
            m_breaks[t][s] = t < table.size() && s < table[t].size() && table[t][s] > 0 ? table[t][s] : 0;
    ApplyBreakpoints();
    return kStatusOk;
}

void CNode::ApplyBreakpoints() {
    if (!m_engine->Loaded()) return;
    for (std::size_t t = 0; t < m_breaks.size(); ++t) {
        const int id = static_cast<int>(t);
        m_engine->ClearBreakpoints(id);
        for (int32_t item : m_breaks[t])
            if (item > 0) m_engine->SetBreakpoint(id, item);
    }
}

std::vector<int32_t> CNode::Breakpoints(int taskId) const {
    std::vector<int32_t> out(8, 0);
    if (taskId < 0 || taskId >= static_cast<int>(m_tasks.size()) || !m_engine->Loaded()) return out;
    // What the machine accepted: a line without code takes no slot.
    const std::vector<int> slots = m_engine->Breakpoints(taskId);
    for (std::size_t s = 0; s < 8 && s < slots.size(); ++s)
        out[s] = slots[s] < 0 ? 0 : slots[s];
    return out;
}

CNodeStatus CNode::Status() const {
    CNodeStatus st;
    if (m_engine->Loaded()) {
        const int err = m_engine->ErrorCode();
        st.programState = err != 0 ? -err : (m_running && !m_engine->Stopped() && !m_engine->Paused()) ? kProgramRunning
                                                                                                    : kProgramStopped;
    }
    uint64_t instr = 0;
    uint32_t ms = 0;
    for (auto& w : m_load) {
        ms += w.first;
        instr += w.second;
    }
    if (ms > 0) {
        const double busy = 100.0 * static_cast<double>(instr) / (static_cast<double>(ms) * kInstructionsPerMs);
        st.cpuFree = static_cast<int32_t>(std::lround(std::max(0.0, 100.0 - busy)));
    }
    for (std::size_t t = 0; t < m_tasks.size(); ++t) {
        int item = -1;
        int32_t code = m_engine->TaskState(static_cast<int>(t), item);
        if (m_engine->Loaded() && !m_running && code != kTaskIllegal) code = kTaskStopped;
        st.taskStates.push_back(code);
        st.taskItems.push_back(item);
    }
    return st;
}

int32_t CNode::Read(const std::string& symbol, double& value) const {
    CParamRef ref;
    if (ParseParamSymbol(symbol, ref)) {
        const CParameter* p = m_params.Find(ref.menu, ref.param);
        if (p == nullptr) return kStatusNoSuchParam;
        if (ref.bit >= 0)
            value = (static_cast<uint32_t>(p->value) >> ref.bit) & 1u;
        else
            value = ref.raw ? p->value : p->value / std::pow(10.0, p->decimals);
        return kStatusOk;
    }
    if (!symbol.empty() && symbol[0] == '#') return kStatusNoSuchParam;
    int type = 0;
    return m_engine->ReadVariable(symbol, value, type) ? kStatusOk : kStatusNotFound;
}

int32_t CNode::Write(const std::string& symbol, double value) {
    CParamRef ref;
    if (ParseParamSymbol(symbol, ref)) {
        const CParameter* p = m_params.Find(ref.menu, ref.param);
        if (p == nullptr) return kStatusNoSuchParam;
        double raw = 0;
        if (ref.bit >= 0) {
            if (value != 0.0 && value != 1.0) return kStatusValueRange;
            uint32_t bits = static_cast<uint32_t>(p->value);
            bits = value != 0.0 ? bits | (1u << ref.bit) : bits & ~(1u << ref.bit);
            raw = static_cast<int32_t>(bits);
        } else {
            raw = std::round(ref.raw ? value : value * std::pow(10.0, p->decimals));
        }
        if (!std::isfinite(raw) || raw < INT32_MIN || raw > INT32_MAX) return kStatusValueRange;
        return StatusOf(m_params.Write(ref.menu, ref.param, static_cast<int32_t>(raw)));
    }
    if (!symbol.empty() && symbol[0] == '#') return kStatusNoSuchParam;
    double old = 0;
    int type = 0;
    if (!m_engine->ReadVariable(symbol, old, type)) return kStatusNotFound;
    if (type == 3 && (value < INT32_MIN || value > INT32_MAX || value != std::trunc(value))) return kStatusValueRange;
    return m_engine->WriteVariable(symbol, value) ? kStatusOk : kStatusValueRange;
}

std::vector<CNodeEvent> CNode::TakeEvents() {
    return std::exchange(m_events, {});
}

std::vector<std::string> CNode::TakeLog() {
    std::vector<std::string> out(m_log.begin(), m_log.end());
    m_log.clear();
    return out;
}

void CNode::AddLog(const std::string& line) {
    m_log.push_back(line);
    if (m_log.size() > kLogKeep) m_log.pop_front();
    CNodeEvent e;
    e.kind = CNodeEvent::Log;
    e.text = line;
    m_events.push_back(std::move(e));
    if (m_events.size() > kLogKeep) m_events.erase(m_events.begin());
}

void CNode::Print(int, const std::string& text) {
    AddLog(text);
}

void CNode::RunTimeError(int code, int taskId, const std::string& task, int item, const std::string& text) {
    std::string line = "Run-time error " + std::to_string(code) + " (" + text + ") in task " + task;
    if (taskId >= 0 && item >= 0) line += " at line " + std::to_string(item);
    AddLog(line);
}

void CNode::Halted(int taskId, int item) {
    CNodeEvent e;
    e.kind = CNodeEvent::Step;
    e.taskId = taskId;
    e.item = item;
    e.text = std::to_string(taskId) + ".0" + std::to_string(item);
    m_events.push_back(std::move(e));
}

bool CNode::Save(const std::string& dir) const {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return false;
    const std::filesystem::path d(dir);
    std::string state = "address=" + m_address + "\ntype=" + m_type + "\nrunning=" + (m_running ? "1" : "0") + "\nprogram=" + m_programName + "\n";
    bool ok = WriteFile(d / "node.ini", state) && WriteFile(d / "parameters.txt", m_params.SaveChanged());
    if (m_image.empty())
        std::filesystem::remove(d / "image.bin", ec);
    else
        ok = WriteFile(d / "image.bin", m_image) && ok;
    return ok;
}

bool CNode::Restore(const std::string& dir) {
    const std::filesystem::path d(dir);
    std::string text;
    if (!ReadFile(d / "node.ini", text)) return false;
    const bool running = text.find("\nrunning=1") != std::string::npos;
    if (const std::size_t at = text.find("\nprogram="); at != std::string::npos)
        m_programName = text.substr(at + 9, text.find('\n', at + 9) - at - 9);
    if (ReadFile(d / "parameters.txt", text)) m_params.LoadChanged(text);
    std::string image;
    if (ReadFile(d / "image.bin", image) && !image.empty()) {
        std::string message;
        if (Download(image, message) == kStatusOk) {
            if (!running) Stop();
        } else {
            AddLog("Stored program refused: " + message);
        }
    }
    return true;
}

} // namespace rux::drive
