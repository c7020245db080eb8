// The engine of a build without the virtual machine: no image is accepted, so the node never has
// a program and reports every task as illegal.
#include "engine.h"

#ifndef RUX_DRIVE_HAVE_VM

namespace rux::drive {

namespace {

class CNullEngine final : public CProgramEngine {
public:
    bool Load(const std::string&, std::string& message) override {
        message = "this drive has no virtual machine";
        return false;
    }
    bool Loaded() const override { return false; }
    void Unload() override {}
    void Reset() override {}
    void Advance(uint32_t) override {}
    void Stop() override {}
    void Pause() override {}
    void Resume() override {}
    bool Paused() const override { return false; }
    bool Stopped() const override { return true; }
    int ErrorCode() const override { return 0; }
    uint32_t ProgramId() const override { return 0; }
    std::string EmbeddedSource() const override { return {}; }
    uint64_t Instructions() const override { return 0; }
    int32_t TaskState(int, int& item) const override {
        item = -1;
        return kTaskIllegal;
    }
    int SetBreakpoint(int, int) override { return -1; }
    void ClearBreakpoints(int) override {}
    std::vector<int> Breakpoints(int) const override { return std::vector<int>(8, -1); }
    void SetStepping(int, bool) override {}
    void StepTask(int) override {}
    void ResumeTask(int) override {}
    bool ReadVariable(const std::string&, double&, int&) const override { return false; }
    bool WriteVariable(const std::string&, double) override { return false; }
};

} // namespace

std::unique_ptr<CProgramEngine> MakeEngine(CParameterDb&, CEngineEvents&, const std::vector<std::string>&) {
    return std::make_unique<CNullEngine>();
}

} // namespace rux::drive

#endif
