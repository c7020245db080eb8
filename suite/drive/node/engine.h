// What a node needs from the machine that runs a downloaded image.
#ifndef RUX_DRIVE_ENGINE_H
#define RUX_DRIVE_ENGINE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rux::drive {

class CParameterDb;

// Task state codes as the node reports them.
enum ETaskCode : int32_t {
    kTaskIllegal = 0,
    kTaskBlocked = 1,
    kTaskStopped = 2,
    kTaskRunning = 3,
    kTaskSleeping = 5,  // halted at a step position or a breakpoint
    kTaskUnknown = 7,
    kTaskCompleted = 8,
};

// Callbacks from the running program to its node.
class CEngineEvents {
public:
    virtual ~CEngineEvents() = default;
    virtual void Print(int taskId, const std::string& text) = 0;
    virtual void RunTimeError(int code, int taskId, const std::string& task, int item, const std::string& text) = 0;
    virtual void Halted(int taskId, int item) = 0;  // breakpoint or single step
};

class CProgramEngine {
public:
    virtual ~CProgramEngine() = default;
    // Checks and loads an image; on failure nothing of it is kept and message says why.
    virtual bool Load(const std::string& image, std::string& message) = 0;
    virtual bool Loaded() const = 0;
    virtual void Unload() = 0;
    virtual void Reset() = 0;  // time 0, variables cleared, Initial ready
    virtual void Advance(uint32_t ms) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual bool Paused() const = 0;
    virtual bool Stopped() const = 0;
    virtual int ErrorCode() const = 0;  // 0 when the program did not fail
    virtual uint32_t ProgramId() const = 0;
    // The program file embedded in the image for upload; empty when it holds none.
    virtual std::string EmbeddedSource() const = 0;
    virtual uint64_t Instructions() const = 0;
    // State code and current item of a task by the target's task id.
    virtual int32_t TaskState(int taskId, int& item) const = 0;
    // Breakpoints by target task id: slot used or -1.
    virtual int SetBreakpoint(int taskId, int item) = 0;
    virtual void ClearBreakpoints(int taskId) = 0;
    virtual std::vector<int> Breakpoints(int taskId) const = 0;  // item per slot, -1 free
    virtual void SetStepping(int taskId, bool on) = 0;
    virtual void StepTask(int taskId) = 0;
    virtual void ResumeTask(int taskId) = 0;
    // Variables by name. type: 1 real, 2 single real, 3 integer.
    virtual bool ReadVariable(const std::string& name, double& value, int& type) const = 0;
    virtual bool WriteVariable(const std::string& name, double value) = 0;
};

// The engine of this build: the virtual machine when it is linked in, else one that refuses every
// image. tasks: the target type's task names in id order.
std::unique_ptr<CProgramEngine> MakeEngine(CParameterDb& params, CEngineEvents& events,
                                           const std::vector<std::string>& tasks);

} // namespace rux::drive

#endif
