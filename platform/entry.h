// platform/entry.h -- the program's entry as the platform calls it.
#pragma once
#include <cstdint>

// The engine's entry: the instance token, no previous instance, the command
// line as one writable text, and the show code; returns the process exit code.
int32_t WinMain(void* instance, void* previous, char* cmdline, int32_t cmdshow);
