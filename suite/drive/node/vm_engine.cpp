// The engine that runs images on the virtual machine.
#include "engine.h"

#ifdef RUX_DRIVE_HAVE_VM

#include "parameters.h"

#include "image/image.h"
#include "vm/vm.h"

#include <cctype>
#include <cmath>

namespace rux::drive {

namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

class CVmEngine final : public CProgramEngine, private vm::Host {
public:
    CVmEngine(CParameterDb& params, CEngineEvents& events, std::vector<std::string> tasks)
        : m_params(params), m_events(events), m_tasks(std::move(tasks)) {}

    bool Load(const std::string& image, std::string& message) override {
        Unload();
        image::Image parsed;
        const auto* data = reinterpret_cast<const uint8_t*>(image.data());
        if (!image::readImage(data, image.size(), parsed, message)) return false;
        auto machine = std::make_unique<vm::Machine>(static_cast<vm::Host&>(*this));
        if (!machine->load(data, image.size(), message)) return false;
        // Every task of the program must be one this node's target runs.
        for (int i = 0; i < machine->taskCount(); ++i) {
            const vm::TaskInfo t = machine->task(i);
            if (TargetId(t.name) < 0) {
                message = "the program's task " + t.name + " is not a task of this drive's target";
                return false;
            }
        }
        m_machine = std::move(machine);
        m_source = (parsed.flags & image::kFlagSource) != 0 ? parsed.source : std::string();
        return true;
    }
    bool Loaded() const override { return m_machine != nullptr; }
    void Unload() override {
        m_machine.reset();
        m_source.clear();
    }
    void Reset() override {
        if (m_machine) m_machine->reset();
    }
    void Advance(uint32_t ms) override {
        if (m_machine) m_machine->step(ms);
    }
    void Stop() override {
        if (m_machine) m_machine->stop();
    }
    void Pause() override {
        if (m_machine) m_machine->pause();
    }
    void Resume() override {
        if (m_machine) m_machine->resume();
    }
    bool Paused() const override { return m_machine && m_machine->paused(); }
    bool Stopped() const override { return !m_machine || m_machine->stopped(); }
    int ErrorCode() const override { return m_machine ? static_cast<int>(m_machine->lastError().code) : 0; }
    uint32_t ProgramId() const override { return m_machine ? m_machine->programId() : 0; }
    std::string EmbeddedSource() const override { return m_source; }
    uint64_t Instructions() const override { return m_machine ? m_machine->instructionsExecuted() : 0; }

    int32_t TaskState(int taskId, int& item) const override {
        item = -1;
        const int index = Index(taskId);
        if (index < 0) return kTaskIllegal;
        const vm::TaskInfo t = m_machine->task(index);
        item = t.item;
        switch (t.state) {
        case vm::TaskState::Absent: return kTaskIllegal;
        case vm::TaskState::Idle:
        case vm::TaskState::Delayed: return kTaskBlocked;
        case vm::TaskState::Ready: return kTaskRunning;
        case vm::TaskState::Break: return kTaskSleeping;
        case vm::TaskState::Done: return kTaskCompleted;
        case vm::TaskState::Halted: return kTaskStopped;
        }
        return kTaskUnknown;
    }

    int SetBreakpoint(int taskId, int item) override {
        const int index = Index(taskId);
        return index < 0 ? -1 : m_machine->setBreakpoint(index, item);
    }
    void ClearBreakpoints(int taskId) override {
        if (const int index = Index(taskId); index >= 0) m_machine->clearBreakpoints(index);
    }
    std::vector<int> Breakpoints(int taskId) const override {
        const int index = Index(taskId);
        return index < 0 ? std::vector<int>(vm::Machine::kBreakpointSlots, -1) : m_machine->breakpoints(index);
    }
    void SetStepping(int taskId, bool on) override {
        if (const int index = Index(taskId); index >= 0) m_machine->setStepping(index, on);
    }
    void StepTask(int taskId) override {
        if (const int index = Index(taskId); index >= 0) m_machine->stepTask(index);
    }
    void ResumeTask(int taskId) override {
        if (const int index = Index(taskId); index >= 0) m_machine->resumeTask(index);
    }

    bool ReadVariable(const std::string& name, double& value, int& type) const override {
        if (!m_machine) return false;
        vm::Value v;
        if (!m_machine->readVariable(name, v)) return false;
        value = v.asReal();
        type = v.isInteger ? 3 : SymbolType(name);
        return true;
    }
    bool WriteVariable(const std::string& name, double value) override {
        if (!m_machine) return false;
        vm::Value old;
        if (!m_machine->readVariable(name, old)) return false;
        const vm::Value v = old.isInteger ? vm::Value::integer(static_cast<int32_t>(value)) : vm::Value::real(value);
        return m_machine->writeVariable(name, v);
    }

private:
    // vm::Host
    vm::ParamStatus readParameter(int menu, int param, int32_t& raw, int& decimals) override {
        const CParameter* p = m_params.Find(menu, param);
        if (p == nullptr) return vm::ParamStatus::NoSuchParameter;
        raw = p->value;
        decimals = p->decimals;
        return vm::ParamStatus::Ok;
    }
    vm::ParamStatus writeParameter(int menu, int param, int32_t raw) override {
        switch (m_params.Write(menu, param, raw)) {
        case EParamResult::Ok: return vm::ParamStatus::Ok;
        case EParamResult::NoSuchParameter: return vm::ParamStatus::NoSuchParameter;
        case EParamResult::ReadOnly: return vm::ParamStatus::ReadOnly;
        case EParamResult::OutOfRange: return vm::ParamStatus::OutOfRange;
        }
        return vm::ParamStatus::NoSuchParameter;
    }
    void print(int taskId, std::string_view, uint64_t, std::string_view text) override {
        m_events.Print(taskId, std::string(text));
    }
    void runTimeError(const vm::RunTimeError& e) override {
        m_events.RunTimeError(static_cast<int>(e.code), e.taskId, e.taskName, e.item, e.text);
    }
    // The drive's console (its serial port) has nobody on the other end: what a program sends
    // there is logged a line at a time, and nothing ever arrives.
    void putChar(int ch) override {
        if (ch == '\r' || ch == '\n' || m_console.size() >= kConsoleLine) {
            if (!m_console.empty()) m_events.Print(-1, "Console: " + m_console);
            m_console.clear();
            if (ch == '\r' || ch == '\n') return;
        }
        m_console += static_cast<char>(ch);
    }
    void breakpointHit(int taskId, int, int item) override { m_events.Halted(taskId, item); }
    void stepped(int taskId, int item) override { m_events.Halted(taskId, item); }

    int TargetId(const std::string& name) const {
        for (std::size_t i = 0; i < m_tasks.size(); ++i)
            if (SameNoCase(m_tasks[i], name)) return static_cast<int>(i);
        return -1;
    }
    // The machine's index of a task given by the target's id; -1 when the program lacks it.
    int Index(int taskId) const {
        if (!m_machine || taskId < 0 || taskId >= static_cast<int>(m_tasks.size())) return -1;
        return m_machine->taskIndex(m_tasks[static_cast<std::size_t>(taskId)]);
    }
    int SymbolType(const std::string& name) const {
        const std::string base = name.substr(0, name.find('['));
        for (const vm::Symbol& s : m_machine->symbols())
            if (s.name == base) return s.type;
        return 1;
    }

    CParameterDb& m_params;
    CEngineEvents& m_events;
    std::vector<std::string> m_tasks;
    std::unique_ptr<vm::Machine> m_machine;
    std::string m_source;
    static constexpr std::size_t kConsoleLine = 200;
    std::string m_console;  // console characters since the last line end
};

} // namespace

std::unique_ptr<CProgramEngine> MakeEngine(CParameterDb& params, CEngineEvents& events,
                                           const std::vector<std::string>& tasks) {
    return std::make_unique<CVmEngine>(params, events, tasks);
}

} // namespace rux::drive

#endif
