#pragma once

#include <string>

// What the fuzz targets share: a property that must hold, and the checks
// made without the code under test.

// Stops the run with what failed when ok is false: libFuzzer keeps the
// input that did it.
void Require(bool ok, const char* what, const std::string& detail = std::string());

// Whether text is UTF-8 by the standard's rules (no overlong forms, no
// surrogates, nothing past U+10FFFF), written here apart from the code
// under test.
bool IsUtf8(const std::string& text);
