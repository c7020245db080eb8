// One simulated drive node: parameters, motor, the downloaded program and what it reports.
#ifndef RUX_DRIVE_NODE_H
#define RUX_DRIVE_NODE_H

#include "engine.h"
#include "motor.h"
#include "parameters.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace rux::drive {

// Program states of the status answer: 0 stopped (or paused, or no program), 1 running; a
// run-time error reports its number negated.
inline constexpr int32_t kProgramStopped = 0;
inline constexpr int32_t kProgramRunning = 1;

// Something the node reports by itself, handed to the task manager clients that watch it.
struct CNodeEvent {
    enum EKind { Log, Step } kind = Log;
    std::string text;  // Log: the line; Step: "TASK.0ITEM"
    int taskId = -1;
    int item = -1;
};

struct CNodeStatus {
    int32_t programState = 0;
    int32_t cpuFree = 100;
    std::vector<int32_t> taskStates;  // by the target's task id
    std::vector<int> taskItems;       // the line each task is at, -1 unknown
};

// Statuses a node operation answers; the communications library has a text for each.
inline constexpr int32_t kStatusOk = 0;
inline constexpr int32_t kStatusNotFound = 0x1010001;
inline constexpr int32_t kStatusBadArgument = 0x1010002;
inline constexpr int32_t kStatusNoSuchParam = 0x104000D;
inline constexpr int32_t kStatusValueRange = 0x1050005;
inline constexpr int32_t kStatusReadOnly = 0x1050003;
inline constexpr int32_t kStatusImageRefused = 0x1060001;
inline constexpr int32_t kStatusNoSource = 0x1060002;
inline constexpr int32_t kStatusNoProgram = 0x1060003;

class CNode final : private CEngineEvents {
public:
    // tasks: the task names of the target type, in id order.
    CNode(std::string address, std::string targetType, std::vector<std::string> tasks, const CParameterDb& defaults);
    ~CNode() override;
    CNode(const CNode&) = delete;
    CNode& operator=(const CNode&) = delete;

    const std::string& Address() const { return m_address; }
    const std::string& TargetType() const { return m_type; }
    const std::vector<std::string>& Tasks() const { return m_tasks; }
    uint64_t TimeMs() const { return m_timeMs; }

    // Runs the node for ms milliseconds: program, motor model, event triggers.
    void Advance(uint32_t ms);

    // Download: the node stops, takes the image, and starts the program when it was accepted.
    int32_t Download(const std::string& image, std::string& message);
    // The name the program was downloaded under (its file name without extension).
    const std::string& ProgramName() const { return m_programName; }
    void SetProgramName(const std::string& name) { m_programName = name; }
    // The program's source as it was downloaded; kStatusNoSource when the image held none.
    int32_t Upload(std::string& source) const;
    bool HasProgram() const { return m_engine->Loaded(); }
    uint32_t ProgramId() const { return m_engine->Loaded() ? m_engine->ProgramId() : 0; }
    bool HasSource() const { return !m_source.empty(); }
    std::size_t ImageSize() const { return m_image.size(); }

    int32_t Run();      // start from the beginning
    int32_t Stop();
    int32_t Pause();
    int32_t Resume();
    int32_t ResetProgram();
    int32_t ResetDrive();  // parameters back to defaults, motor at rest, program restarted
    bool IsStopped() const;

    // Single stepping by the target's task id.
    int32_t StepOn(int taskId);
    int32_t Step(int taskId);
    int32_t StepOff(int taskId);

    // Breakpoints: items per task id, 8 slots each (0 = free slot, as the editor writes them).
    int32_t SetBreakpoints(const std::vector<std::vector<int32_t>>& table);
    std::vector<int32_t> Breakpoints(int taskId) const;

    CNodeStatus Status() const;

    // Values by symbol: "#m.pp", "#INTm.pp", "#m.pp.b" or a program variable.
    int32_t Read(const std::string& symbol, double& value) const;
    int32_t Write(const std::string& symbol, double value);

    CParameterDb& Parameters() { return m_params; }
    CMotorModel& Motor() { return m_motor; }

    // Events since the last call.
    std::vector<CNodeEvent> TakeEvents();
    // Log lines since the last call (for `log` requests; independent of TakeEvents).
    std::vector<std::string> TakeLog();

    // Persistence in dir (created when missing): image, source, changed parameters, run state.
    bool Save(const std::string& dir) const;
    bool Restore(const std::string& dir);

private:
    void Print(int taskId, const std::string& text) override;
    void RunTimeError(int code, int taskId, const std::string& task, int item, const std::string& text) override;
    void Halted(int taskId, int item) override;
    void AddLog(const std::string& line);
    void ApplyBreakpoints();

    std::string m_address;
    std::string m_type;
    std::vector<std::string> m_tasks;
    CParameterDb m_params;
    CMotorModel m_motor;
    std::unique_ptr<CProgramEngine> m_engine;
    std::string m_image;
    std::string m_source;
    std::string m_programName;
    bool m_running = false;  // the user asked the program to run
    uint64_t m_timeMs = 0;
    std::vector<std::vector<int32_t>> m_breaks;  // per task id, 8 slots, 0 free
    std::vector<CNodeEvent> m_events;
    std::deque<std::string> m_log;
    // Load over the last window of node time, for the free processor time.
    std::deque<std::pair<uint32_t, uint64_t>> m_load;  // (ms, instructions)
};

// Instructions a node executes per millisecond at full load.
inline constexpr uint64_t kInstructionsPerMs = 20000;

// A directory name for a node address: the address itself when it is plain, else hex.
std::string NodeDirName(const std::string& address);

} // namespace rux::drive

#endif
