// Loading a program from its file and saving it back without risking the old file.
#pragma once

#include "fileio/safe_file.h"

#include <functional>
#include <string>

namespace rux {

class CProgram;
class COstream;
class CTargetLibrary;
class CSuiteNotifier;

// What loading and saving need from around the program.
struct CProgramFileServices {
    CTargetLibrary* target = nullptr;
    CSuiteNotifier* notifier = nullptr;
    // Every open diagram window writes its diagram back into its item before a save.
    std::function<void()> writeBackDiagrams;
};

// Empties the program and reads the file. False, with the program empty, when the file cannot be
// opened, is not a regular file or fails part-way; errno and, when given, problem tell why.
bool Load(CProgram& program, const std::string& path, const CProgramFileServices& services = {},
          std::string* problem = nullptr);

// Writes the program to path the safe way (fileio/safe_file.h): a target that may not or cannot be
// written is refused, and on failure the old file keeps its content. errno is set to the cause.
bool Save(const CProgram& program, const std::string& path, const CProgramFileServices& services = {});
// Save, with the reason of a failure in words.
CWriteResult SaveProgramFile(const CProgram& program, const std::string& path, const CProgramFileServices& services = {});

// The bytes Save writes.
void WriteProgram(const CProgram& program, COstream& out);

} // namespace rux
