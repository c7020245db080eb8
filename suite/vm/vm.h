// The virtual machine that runs compiled program images (NAME.bin).
//
// A Machine loads one image, checks it completely before it accepts it, and then runs the
// program's tasks over virtual time: nothing here reads a clock, so a run is exact and repeatable.
// The host (the simulated drive, `rux run`, the tests) supplies the drive parameters, receives the
// PRINT lines and run-time errors, and is told about breakpoints and single steps, all through the
// Host interface below. The machine is single-threaded and never calls the host re-entrantly from
// inside a host callback.
//
// Scheduling, one virtual millisecond at a time (Machine::step):
//   - Initial runs first, once, to its end (a DELAY inside it lets virtual time pass; no other
//     task runs until Initial has finished).
//   - then in every millisecond, in this order: Pos0 and Pos1 (every 1 ms), Clock (every
//     #71.10 ms, 8 when the parameter is 0 or cannot be read), the Event tasks whose trigger
//     parameter #90.10..#90.13 was set to 1 (the machine clears it back to 0 when the task starts),
//     and finally one pass of Background: Background runs until it yields (WDOG, DELAY, a GOTO
//     back-jump, its end) and continues from there in the next millisecond.
//   - a task that is suspended in DELAY when its next activation falls due skips that activation.
//   - every activation has an instruction budget (setInstructionBudget); a task that uses it up
//     without yielding stops with run-time error TaskOverran, so an endless loop is reported, never
//     a hang.
//   - after a run-time error the program stops (every task halts) and the Error task, when the
//     program has one, runs once; its own errors are reported but start nothing further.
//   - REINIT restarts the program: variables are cleared and Initial runs again.
#ifndef RUX_VM_VM_H
#define RUX_VM_VM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rux::vm {

// Run-time error codes. The numbers are stable: the drive reports them to the editor.
enum class RunError : int {
    None = 0,
    DivisionByZero = 1,  // integer division by zero
    ArrayIndex = 2,      // array index outside 0..n-1
    ZeroForStep = 3,     // FOR loop with STEP 0
    StackOverflow = 4,   // expression, call or loop nesting too deep at run time
    BadParameter = 5,    // the drive has no such parameter, or refused the write
    TaskOverran = 6,     // the task used its instruction budget without yielding
    MathDomain = 7,      // SQR or LN of a value outside its domain, real division by zero
    BadPointer = 8,      // a parameter pointer #Name% that does not name menu 0..99, parameter 0..99
    Unsupported = 9,     // a statement or function this machine cannot execute (serial I/O)
};

// The text of a run-time error ("division by zero", ...), never null.
const char* runErrorText(RunError code);

// A value of a variable or an expression: an integer or a real.
struct Value {
    bool isInteger = true;
    int32_t i = 0;
    double r = 0.0;

    static Value integer(int32_t v) { return {true, v, 0.0}; }
    static Value real(double v) { return {false, 0, v}; }
    double asReal() const { return isInteger ? static_cast<double>(i) : r; }
};

// What the host answers for a parameter access.
enum class ParamStatus { Ok, NoSuchParameter, ReadOnly, OutOfRange };

// Task states as the host sees them.
enum class TaskState {
    Absent,     // the program has no such task
    Idle,       // waiting for its next activation (periodic, event) or not yet started
    Ready,      // activated, runs in the current or next slice
    Delayed,    // suspended in DELAY until resumeAt
    Break,      // stopped at a breakpoint or a single step; resumeTask/stepTask continue it
    Done,       // finished for good (Initial after its run, Error after its run)
    Halted,     // stopped by a run-time error or by the host (stop)
};

struct RunTimeError {
    RunError code = RunError::None;
    int taskId = -1;        // the task's id (its position in the target's task list)
    std::string taskName;   // "Clock"
    int item = -1;          // item index of the line where it happened, -1 without a line table
    uint64_t timeMs = 0;    // virtual time
    std::string text;       // runErrorText(code), with details where the machine has them
};

struct TaskInfo {
    int taskId = -1;
    std::string name;
    TaskState state = TaskState::Absent;
    int item = -1;          // item index of the line the task is at (or stopped at), -1 unknown
    uint64_t activations = 0;
    uint64_t resumeAt = 0;  // for Delayed
};

// Everything the machine needs from the drive it runs on. Every function has a harmless default
// so that a test host overrides only what it looks at.
class Host {
public:
    virtual ~Host() = default;

    // Drive parameters: menu 0..99, parameter 0..99, raw 32-bit values. `decimals` tells how
    // many decimal places the raw value carries (the `#m.pp` form of a floating-point program
    // reads raw / 10^decimals; `#INTm.pp` always reads the raw value).
    virtual ParamStatus readParameter(int menu, int param, int32_t& raw, int& decimals);
    virtual ParamStatus writeParameter(int menu, int param, int32_t raw);

    // One PRINT line, without line end.
    virtual void print(int taskId, std::string_view taskName, uint64_t timeMs, std::string_view text);

    // A run-time error stopped a task (the program stops with it, see above).
    virtual void runTimeError(const RunTimeError& error);

    // A task stopped at a breakpoint (slot 0..7) or, while single-stepping, at a new line.
    virtual void breakpointHit(int taskId, int slot, int item);
    virtual void stepped(int taskId, int item);

    // The simulated console of the serial functions: -1 when no character is waiting.
    virtual int getChar();
    virtual void putChar(int ch);
};

// Where a loaded image's variables live: one entry per global symbol, as NAME.sym lists them.
struct Symbol {
    std::string name;       // as written in the program ("Count%", "Ramp.Out%", "Levels[3]" is not one)
    uint32_t address = 0;   // the slot number, also the address in NAME.sym
    int type = 0;           // 1 real (double), 2 real (single), 3 integer
    uint32_t elements = 1;  // arrays: their size
};

class Machine {
public:
    explicit Machine(Host& host);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Loads an image from memory or a file. The image is checked completely first (header,
    // checksums, every instruction's operands, jump targets, slots, constants, task table); a bad
    // image is refused with a message and the machine keeps nothing of it. On success the machine
    // is reset: time 0, every variable 0, Initial ready.
    bool load(const uint8_t* data, std::size_t size, std::string& message);
    bool loadFile(const std::string& path, std::string& message);
    bool loaded() const;

    // Back to time 0 with every variable cleared (the image stays loaded).
    void reset();

    // Runs `ms` milliseconds of virtual time (see the scheduling rules above). Returns false when
    // nothing can run any more (no image, or the program stopped on an error and Error is done).
    bool step(uint32_t ms);
    uint64_t timeMs() const;

    // Program control as the drive offers it: stop halts every task; pause keeps them where they
    // are and lets no time pass for the program (step() still advances the clock); resume goes on.
    void stop();
    void pause();
    void resume();
    bool paused() const;
    bool stopped() const;     // stopped by stop() or by a run-time error
    const RunTimeError& lastError() const;  // code None when there was none

    // Tasks, by the target's task ids (0 Initial, 1 Background, ...; see taskCount/task).
    int taskCount() const;               // number of tasks in the image
    TaskInfo task(int index) const;      // index 0..taskCount()-1
    int taskIndex(std::string_view name) const;  // any case; -1 when the image has no such task
    // Triggers an Event task (0 Event, 1..3 Event1..Event3), as writing 1 to #90.10..#90.13 does.
    void triggerEvent(int event);

    // Breakpoints: 8 slots per task, each on an item index (a line of the program). A task stops
    // when it is about to execute the first instruction of that line. setBreakpoint answers the
    // slot used, or -1 (no such task, all slots taken, or no instruction on that line).
    static constexpr int kBreakpointSlots = 8;
    int setBreakpoint(int taskIndex, int item);
    bool clearBreakpoint(int taskIndex, int slot);
    void clearBreakpoints(int taskIndex);
    std::vector<int> breakpoints(int taskIndex) const;  // item per slot, -1 for a free slot

    // Single-stepping: with stepping on, the task stops (state Break, Host::stepped) each time it
    // reaches a new line. resumeTask lets a stopped task run on (to its next stop), stepTask lets
    // it execute exactly one more line.
    void setStepping(int taskIndex, bool on);
    void resumeTask(int taskIndex);
    void stepTask(int taskIndex);

    // Instruction budget of one activation of a task (default: 50,000,000 for Initial and
    // Background, 1,000,000 for the periodic and event tasks).
    void setInstructionBudget(int taskIndex, uint64_t instructions);

    // Variables by name (as written in the program; array elements as "Name%[3]") or by slot.
    const std::vector<Symbol>& symbols() const;
    bool readVariable(std::string_view name, Value& value) const;
    bool writeVariable(std::string_view name, const Value& value);
    bool readSlot(uint32_t address, uint32_t element, Value& value) const;
    bool writeSlot(uint32_t address, uint32_t element, const Value& value);

    // Facts of the loaded image.
    uint32_t programId() const;
    std::string targetType() const;
    bool singlePrecision() const;
    bool hasLineTable() const;          // built with Debug=1: breakpoints and stepping work
    bool hasSource() const;             // built with Source=1
    const std::string& sourceText() const;  // the program file as it was built, empty without

    // Instructions executed since load (for tests and benchmarks).
    uint64_t instructionsExecuted() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace rux::vm

#endif
