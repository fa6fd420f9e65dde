#pragma once

#include <string>

// Shows text (UTF-8) to whoever started the program: on its standard output
// when it has one (a redirected handle, or the console of the command line
// it was started from), else in a message box with this title. A GUI
// program has no console of its own.
void ShowUserOutput(const std::string& text, const std::string& title, bool problem);
