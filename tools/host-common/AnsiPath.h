#pragma once

#include <string>

// Halyard.dll takes its INI path as 8-bit text in the system's ANSI code
// page, as do the ANSI file calls. A path with characters outside that code
// page (a user name in another script, say) reaches them in its short (8.3)
// form, which has none.

// The path exactly as ANSI text; false when a character has no ANSI form.
bool ToAnsiExactly(const std::wstring& path, std::string* ansi);

// The path as ANSI text that names the same file: the path itself when it
// can be, else its short form. A file that does not exist yet gets its
// folder's short form and its own name. False when neither can (the folder
// is missing, or the volume keeps no short names).
bool AnsiPathFor(const std::wstring& path, std::string* ansi);
