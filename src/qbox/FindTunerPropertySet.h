#pragma once

#include <windows.h>

#include <strmif.h>

// Finds the QBOX tuner among the broadcast network tuners by its friendly
// name and returns its IKsPropertySet. COM must be initialised on the calling
// thread. On failure *propertySet is left as it was, except that it is null
// when the tuner's filter refuses IKsPropertySet.
HRESULT FindTunerPropertySet(IKsPropertySet** propertySet);
