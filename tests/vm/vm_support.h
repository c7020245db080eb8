// Running compiled test programs on the virtual machine against a parameter table.
#pragma once

#include "cmp/compile_support.h"
#include "vm/vm.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rux::test {

class TableHost : public vm::Host {
public:
    struct Param {
        int32_t raw = 0;
        int decimals = 0;
        bool readOnly = false;
    };
    std::map<int, Param> params;       // menu * 100 + parameter; missing ones do not exist
    bool everyParameterExists = true;  // missing entries read as 0 and are created on write
    std::vector<std::string> printed;  // "[t] Task: text"
    std::vector<vm::RunTimeError> errors;
    std::vector<std::pair<int, int>> breaks; // (task id, item)
    std::vector<std::pair<int, int>> steps;
    std::string consoleIn;             // characters waiting on the console, taken from the front
    std::string consoleOut;            // what the program sent to the console

    vm::ParamStatus readParameter(int menu, int param, int32_t& raw, int& decimals) override;
    vm::ParamStatus writeParameter(int menu, int param, int32_t raw) override;
    void print(int taskId, std::string_view task, uint64_t timeMs, std::string_view text) override;
    void runTimeError(const vm::RunTimeError& e) override { errors.push_back(e); }
    void breakpointHit(int taskId, int, int item) override { breaks.emplace_back(taskId, item); }
    void stepped(int taskId, int item) override { steps.emplace_back(taskId, item); }
    int getChar() override;
    void putChar(int ch) override { consoleOut += static_cast<char>(ch); }
};

struct VmRun {
    cmp::Result build;
    std::unique_ptr<TableHost> host = std::make_unique<TableHost>();
    std::unique_ptr<vm::Machine> machine;
    std::string loadMessage;

    vm::Value value(const std::string& name) const;
};

// Compiles the sections (failing the test on any error), lets `prepare` set up the host, loads the
// image and runs `ms` ms.
VmRun RunSections(const std::vector<Sec>& sections, uint32_t ms, const std::string& header = "FloatingPoint=1\nDebug=1\n",
                  const std::string& consoleInput = {}, const std::function<void(TableHost&)>& prepare = {});

} // namespace rux::test
