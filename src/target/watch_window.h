// The suite's watch window for the program of an online view (Watch window, Ctrl+W).
#pragma once

#include <string>

namespace rux {

class CEditSession;
class CRUXDocument;
class CSseNotifier;

// The Run commands, and the watch window with them, apply to a view that is online on a document
// read from a program file (not a plain text file shown read-only).
bool IsOnlineProgram(const CEditSession& session);

// The node address the program's header names as text; empty when it names none (address 0).
std::string NodeAddressText(const CRUXDocument& document);

// Asks the service to open the watch window on the program's folder and the node (none when
// empty). False when nothing opened.
bool OpenWatchWindow(CSseNotifier& bus, const CRUXDocument& document, const std::string& node);

} // namespace rux
