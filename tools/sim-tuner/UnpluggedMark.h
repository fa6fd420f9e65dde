#pragma once

// Whether a shared simulated tuner was last left unplugged. The tuner's
// state lives only while some process holds it, but an unplugged tuner must
// stay unplugged when halyard-sim exits, so that a host started next finds
// none, as it would after the cable was pulled. The mark is a value under a
// volatile key of HKEY_CURRENT_USER, which goes at logoff (under Wine, when
// the wineserver ends), as the session's devices do.

#include <string>

namespace simtuner {

// name: the shared tuner's object name, one mark for each.
bool LeftUnplugged(const std::wstring& name);
// Best effort: a mark not written leaves the live state as it is.
void MarkUnplugged(const std::wstring& name, bool unplugged);

} // namespace simtuner
