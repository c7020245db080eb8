// Loading a program from its file and saving it back, atomically.
#pragma once

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

// Empties the program and reads the file. False when the file cannot be opened (errno tells why).
bool Load(CProgram& program, const std::string& path, const CProgramFileServices& services = {});

// Writes the program to path through a temporary file in the same folder that then replaces the
// old file, keeping its permission bits. On failure the old file is untouched.
bool Save(CProgram& program, const std::string& path, const CProgramFileServices& services = {});

// The bytes Save writes.
void WriteProgram(const CProgram& program, COstream& out);

// Writes a whole byte string to path the same safe way; used for every file the editor rewrites.
bool WriteFileAtomically(const std::string& path, const std::function<bool(COstream&)>& write);

} // namespace rux
