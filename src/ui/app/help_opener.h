// A dialog's Help button: its topic becomes a help context, which the help library shows.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace rux {

class CHelpOpener {
public:
    // What receives the context and the dialog asking; the default loads the help library for
    // the one call (HALM2Help_Main) and releases it after. Tests put a fake here; an empty
    // function restores the library.
    using Opener = std::function<void(int context, QWidget* owner)>;
    static void SetOpener(Opener opener);

    // Hands a help context (a prompt's, a dialog's) to the help library; 0 does nothing.
    static void ShowContext(int context, QWidget* owner);
    // Looks the topic up in the product's help map; a topic without a context does nothing.
    static void ShowTopic(const std::string& topic, QWidget* owner);
    // The handler a dialog's SetHelpHandler takes, showing topics for that dialog.
    static std::function<void(const std::string& topic)> HandlerFor(QWidget* owner);
};

} // namespace rux
