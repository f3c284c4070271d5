#pragma once
#include <windows.h>

// What the process entry hands to the program entry: the part of the command
// line after the program name, and the show command for the first window.

// Returns a pointer into commandLine at the first byte after the program name
// (quoted or not) and the blanks and control bytes that follow it. Bytes of
// 0x80 and above belong to an unquoted name.
const char* CommandLineTail(const char* commandLine);

// wShowWindow when the start-up information says to use it, else SW_SHOWDEFAULT.
int StartupShowCommand(const STARTUPINFOA& startup);
