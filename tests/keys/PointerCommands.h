#pragma once

// keys-target's commands for the pointer's end-to-end test:
//   --cursor X Y           puts the pointer there (screen coordinates)
//   --cursor-log FILE MS   writes "T X Y" to FILE for each position the
//                          pointer takes in the next MS milliseconds, T in
//                          milliseconds since 1970 (as date +%s%3N), the
//                          first line at the start and an "end T" line
//   --text CLASS           prints the text of a window of CLASS (UTF-8)
//   --limited COMMAND      runs COMMAND with the limited token of an
//                          administrator (as Windows starts programs with
//                          UAC) and waits for it to end: under Wine, where
//                          every program gets the elevated one, this is
//                          how a program gets fewer rights than another
int CursorCommand(int x, int y);
int LimitedCommand(const char* commandLine);
int CursorLogCommand(const char* path, unsigned ms);
int TextCommand(const char* className);
