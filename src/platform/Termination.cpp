#include "platform/Termination.h"

#include <SDL.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t requested = 0;
volatile std::sig_atomic_t orderly = 0;

void OnTerminate(int signal) {
    if (!orderly || requested) {
        // The default action: the process ends with the signal, as it would without handlers.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    requested = 1;
}

}  // namespace

void winx_InstallTerminationHandler() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A file-size limit makes a write fail (a capture, a save) instead of killing the game.
    std::signal(SIGXFSZ, SIG_IGN);
}

int winx_TerminationRequested() {
    return requested ? 1 : 0;
}

void winx_SetOrderlyTermination(int on) {
    orderly = on ? 1 : 0;
}

void winx_ClearTerminationRequest() {
    requested = 0;
}
