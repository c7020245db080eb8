// How core code shows a message to the user without knowing about windows.
#pragma once

#include <string>

namespace rux {

// The UI shows a box titled "RUX Editor"; the command line prints the text on stderr.
class CMessageSink {
public:
    virtual ~CMessageSink() = default;
    virtual void ShowMessage(int stringId, const std::string& text) = 0;
};

class CNoMessageSink final : public CMessageSink {
public:
    void ShowMessage(int, const std::string&) override {}
};

} // namespace rux
