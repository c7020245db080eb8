#include "app/help_opener.h"

#include "shell/help_topics.h"
#include "shell/product_paths.h"
#include "target/service_library.h"

#include "h2help.h"

#include <QPointer>
#include <QWidget>

namespace rux {
namespace {

void LibraryOpener(int context, QWidget* owner) {
    CServiceLibrary library("HALM2Help");
    if (auto* help = library.Entry<decltype(::HALM2Help_Main)>("HALM2Help_Main")) help(context, owner);
}

CHelpOpener::Opener& CurrentOpener() {
    static CHelpOpener::Opener opener;
    return opener;
}

} // namespace

void CHelpOpener::SetOpener(Opener opener) {
    CurrentOpener() = std::move(opener);
}

void CHelpOpener::ShowTopic(const std::string& topic, QWidget* owner) {
    ShowContext(CHelpTopics(CProductPaths::HelpDir()).ContextOf(topic), owner);
}

void CHelpOpener::ShowContext(int context, QWidget* owner) {
    if (context == 0) return;
    if (const Opener& opener = CurrentOpener())
        opener(context, owner);
    else
        LibraryOpener(context, owner);
}

std::function<void(const std::string&)> CHelpOpener::HandlerFor(QWidget* owner) {
    return [guard = QPointer<QWidget>(owner)](const std::string& topic) { ShowTopic(topic, guard.data()); };
}

} // namespace rux
