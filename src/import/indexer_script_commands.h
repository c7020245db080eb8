// The indexer commands of `rux edit`: the sequencer clipboard, the import and the function block.
#pragma once

namespace rux {

// Adds "clip-sequencer PATH", "cmd import-indexer" and "cmd add-indexer-fb [NAME]" to the script
// language; calling it again changes nothing.
void AddIndexerScriptCommands();

} // namespace rux
