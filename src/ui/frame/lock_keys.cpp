#include "frame/lock_keys.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace rux {
namespace {

// The X keyboard extension keeps the lock indicators by name. libX11 is the one Qt's X11 platform
// already has loaded; it is looked up at run time so that the editor builds without its headers.
struct CXkb {
    using InternAtomFn = unsigned long (*)(void* display, const char* name, int onlyIfExists);
    using GetNamedIndicatorFn = int (*)(void* display, unsigned long name, int* index, int* state, void* map,
                                        int* real);
    InternAtomFn internAtom = nullptr;
    GetNamedIndicatorFn getNamedIndicator = nullptr;

    CXkb() {
        void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (!lib) return;
        internAtom = reinterpret_cast<InternAtomFn>(dlsym(lib, "XInternAtom"));
        getNamedIndicator = reinterpret_cast<GetNamedIndicatorFn>(dlsym(lib, "XkbGetNamedIndicator"));
    }
    // The indicator's name, asked of the server once per display.
    std::optional<bool> Indicator(void* display, const char* name, unsigned long& atom,
                                  void*& atomDisplay) const {
        if (atomDisplay != display) {
            atom = internAtom(display, name, 1);
            atomDisplay = display;
        }
        int state = 0;
        if (atom == 0 || !getNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr))
            return std::nullopt;
        return state != 0;
    }
};

} // namespace

std::optional<CLockKeys> QueryLockKeys() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    void* display = x11 ? static_cast<void*>(x11->display()) : nullptr;
    if (!display) return std::nullopt;
    static const CXkb xkb;
    if (!xkb.internAtom || !xkb.getNamedIndicator) return std::nullopt;
    static unsigned long numAtom = 0, capsAtom = 0;
    static void* numDisplay = nullptr;
    static void* capsDisplay = nullptr;
    const std::optional<bool> num = xkb.Indicator(display, "Num Lock", numAtom, numDisplay);
    const std::optional<bool> caps = xkb.Indicator(display, "Caps Lock", capsAtom, capsDisplay);
    if (!num && !caps) return std::nullopt;
    return CLockKeys{num.value_or(false), caps.value_or(false)};
}

} // namespace rux
