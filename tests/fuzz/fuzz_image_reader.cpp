// Any bytes as a compiled image: the reader and the verifier refuse or accept without a crash,
// and an accepted image runs briefly on the virtual machine without one. The checksum is put
// right first when the header is long enough, so that mutations reach the sections and the code.
#include "image/image.h"
#include "vm/vm.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() >= rux::image::kHeaderSize && (bytes[4] & 1) == 0) {
        // Even version low byte: make size and identifier consistent.
        const uint32_t n = static_cast<uint32_t>(bytes.size());
        std::memcpy(&bytes[12], &n, 4);
        std::memset(&bytes[8], 0, 4);
        const uint32_t id = rux::image::crc32(bytes.data(), bytes.size());
        std::memcpy(&bytes[8], &id, 4);
    }
    rux::image::Image img;
    std::string message;
    const bool read = rux::image::readImage(bytes.data(), bytes.size(), img, message);
    if (!read && message.empty()) std::abort(); // a refusal always says why
    rux::vm::Host host;
    rux::vm::Machine machine(host);
    if (!machine.load(bytes.data(), bytes.size(), message)) return 0;
    if (!read) std::abort(); // the machine never accepts what the reader refuses
    for (int t = 0; t < machine.taskCount(); ++t) machine.setInstructionBudget(t, 20000);
    machine.step(10);
    return 0;
}
