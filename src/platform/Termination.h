#pragma once
// SIGTERM and SIGINT end the program at any stage. While the main loop runs they close the
// window, the orderly way out through the devices' shut-down; during start-up and shut-down,
// and when a second signal comes before the loop took the first, the process ends at once.
// The window system's own handlers are left out, so that nothing swallows the signal.

// Installs the handlers (once; later calls do nothing) and ignores SIGXFSZ, so that a file-size
// limit makes a write fail rather than end the program.
void winx_InstallTerminationHandler();
// 1 once a termination signal arrived while the main loop ran.
int winx_TerminationRequested();
// 1 while the main loop runs and will see a request; 0 (the default) lets a signal end the
// process at once.
void winx_SetOrderlyTermination(int on);
// Forgets a request (tests).
void winx_ClearTerminationRequest();
