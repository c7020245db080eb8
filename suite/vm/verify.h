// Checks the code of an image before the machine runs it.
#pragma once

#include "image/image.h"

#include <string>

namespace rux::vm {

// Most cells an expression may hold on the operand stack at once, and most nested calls.
constexpr int kMaxStackDepth = 64;
constexpr int kMaxCallDepth = 64;

// Every instruction decodes and its operands are in range; every jump lands on an instruction;
// every cell an instruction touches lies in the frame it runs in; the operand stack never goes
// below empty or above kMaxStackDepth and has the same depth wherever paths meet; calls and
// returns happen with an empty stack; no path runs off the end of the code.
bool verifyCode(const image::Image& image, std::string& message);

} // namespace rux::vm
