#pragma once

// Runs the main dialog on the calling thread with a message pump of its own
// until the quit message, and returns the quit message's wParam; 0 when the
// dialog could not be created. The command-line tail is not used.
int runMainDialog(const char* commandTail, int showCommand);
