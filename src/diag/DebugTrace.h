#pragma once

// Formats a line and writes it to the debugger output.
void DebugTrace(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));
