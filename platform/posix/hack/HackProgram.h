#pragma once
// The display hack's run: the X target, the GLX context, the fireplace with its
// settings from the command line, the frame loop paced by -delay, the sound
// lock, and a clean end on SIGTERM, SIGINT or SIGHUP (audio closed first), on
// the window's destruction and, in its own window, on Escape, q or a close.
#include "platform/posix/hack/HackOptions.h"

// Installs the handlers of SIGTERM, SIGINT and SIGHUP: they ask the run to end.
void InstallHackStopSignals();
// True once a stop signal came.
bool HackStopRequested();

// Runs until the end; returns the exit code (0 for every ordinary end).
// Raises std::exception for a failure (no display, no window, no context, a
// damaged scene); main reports it.
int RunHack(const THackOptions& options);
