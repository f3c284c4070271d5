#pragma once

// A state that the program's own rules exclude, such as a binding destroyed
// while its window still lives. The program reports nothing to anyone (it
// has no log and shows no message), so by default a report goes nowhere;
// the test programs install a handler that fails the running test.
typedef void (*ProgrammingErrorHandler)(const char* what);

// Installs handler (null for none) and returns the one installed before.
ProgrammingErrorHandler setProgrammingErrorHandler(ProgrammingErrorHandler handler);

// Passes what to the installed handler, if there is one.
void reportProgrammingError(const char* what);
