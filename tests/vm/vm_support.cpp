#include "vm/vm_support.h"

#include "image/image.h"

#include <gtest/gtest.h>

namespace rux::test {

vm::ParamStatus TableHost::readParameter(int menu, int param, int32_t& raw, int& decimals) {
    const auto it = params.find(menu * 100 + param);
    if (it == params.end()) {
        raw = 0;
        decimals = 0;
        return everyParameterExists ? vm::ParamStatus::Ok : vm::ParamStatus::NoSuchParameter;
    }
    raw = it->second.raw;
    decimals = it->second.decimals;
    return vm::ParamStatus::Ok;
}

vm::ParamStatus TableHost::writeParameter(int menu, int param, int32_t raw) {
    const auto it = params.find(menu * 100 + param);
    if (it == params.end() && !everyParameterExists) return vm::ParamStatus::NoSuchParameter;
    if (it != params.end() && it->second.readOnly) return vm::ParamStatus::ReadOnly;
    params[menu * 100 + param].raw = raw;
    return vm::ParamStatus::Ok;
}

int TableHost::getChar() {
    if (consoleIn.empty()) return -1;
    const int ch = static_cast<unsigned char>(consoleIn.front());
    consoleIn.erase(0, 1);
    return ch;
}

void TableHost::print(int, std::string_view task, uint64_t timeMs, std::string_view text) {
    printed.push_back("[" + std::to_string(timeMs) + "] " + std::string(task) + ": " + std::string(text));
}

vm::Value VmRun::value(const std::string& name) const {
    vm::Value v;
    EXPECT_TRUE(machine && machine->readVariable(name, v)) << "no variable " << name;
    return v;
}

VmRun RunSections(const std::vector<Sec>& sections, uint32_t ms, const std::string& header,
                  const std::string& consoleInput, const std::function<void(TableHost&)>& prepare) {
    VmRun r;
    r.host->consoleIn = consoleInput;
    if (prepare) prepare(*r.host);
    r.build = CompileSections(sections, header);
    EXPECT_EQ(r.build.errors, 0) << ::testing::PrintToString(MessageLines(r.build));
    r.machine = std::make_unique<vm::Machine>(*r.host);
    if (r.build.errors != 0) return r;
    const image::Bytes bytes = image::writeImage(r.build.image);
    EXPECT_TRUE(r.machine->load(bytes.data(), bytes.size(), r.loadMessage)) << r.loadMessage;
    r.machine->step(ms);
    return r;
}

} // namespace rux::test
