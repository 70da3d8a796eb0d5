#pragma once
// The whole program run on Windows: resources, services, the screen saver with
// its display control and output window, the fireplace program's events, the
// message loop. Returns the process exit code.
int RunPyrelume();
