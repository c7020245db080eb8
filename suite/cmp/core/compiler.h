// The RUX compiler: program items in, messages and an image out.
//
// One pass over the items collects what every later line may refer to (sections and their kinds,
// function block headers, subroutines, labels, DIM and CONST declarations, aliases, $FLT); a
// second pass parses each line by recursive descent and emits bytecode directly, with no syntax
// tree in between. Errors are reported per line, and parsing picks up again at the next line.
#pragma once

#include "image/image.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rux::cmp {

enum ItemKind { kHeaderItem = 1, kDiagramItem = 2, kTextItem = 3, kSectionItem = 5, kFooterItem = 6 };

// One item of the program as the editor counts lines: index in the vector = item index. 32 bytes:
// a large program has a hundred thousand of them.
struct SourceItem {
    std::string_view text;                      // text line; section title; diagram payload (the program keeps the bytes)
    const std::string* diagramTitle = nullptr;  // diagrams only: the title as saved, null or empty when it has none
    int kind = kTextItem;
};

// A referenced library: its function blocks can be called as the program's own are.
struct LibraryItems {
    std::string name;
    bool present = false;                   // found in the library directory and read
    std::vector<SourceItem> items;          // the library's items; only its function blocks count
    std::shared_ptr<const void> storage;    // keeps the texts the items point into
};

struct Options {
    std::string fileName = "program.rux";        // shown in messages
    std::string targetType;                      // header Type
    std::vector<std::string> targetTasks;        // the target's tasks in task-id order
    std::vector<std::string> knownTasks;         // every task name of any target (for "not of this target")
    std::vector<std::string> noBracketBlocks;    // built-ins callable without brackets
    int maxParamIn = 256;
    int maxParamOut = 256;
    bool floatingPoint = true;
    bool debug = true;
    bool embedSource = false;
    bool library = false;
    std::string source;                          // embedded when embedSource
    std::vector<LibraryItems> libraries;         // referenced libraries, in the program's order
};

struct Message {
    int item = 0;
    int start = 0;      // 1-based column
    int end = 0;        // column after the last character
    bool warning = false;
    std::string code;   // "E012"
    std::string text;
};

struct Result {
    std::vector<Message> messages;   // in line order, at most 100 errors
    int errors = 0;
    int warnings = 0;
    int errorsFound = 0;             // including those past the limit (tasks and subroutines after 100 errors are not compiled)
    image::Image image;              // meaningful when errors == 0
};

constexpr int kMaxReportedErrors = 100;

Result Compile(const std::vector<SourceItem>& items, const Options& options);

// "conveyor_line.rux(57,5-10): error E012: ENDIF without IF"
std::string FormatMessage(const std::string& fileName, const Message& m);
// "2 error(s), 1 warning(s)"
std::string FormatSummary(int errors, int warnings);

// The lines of NAME.sym for the image's symbols.
std::string SymbolFileText(const image::Image& image);

} // namespace rux::cmp
