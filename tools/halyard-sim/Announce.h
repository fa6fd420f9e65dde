#pragma once

// The system's notices of device and power changes, as Windows gives them to
// the session's top-level windows: sent (not posted) to every one, visible or
// hidden, so that each window has handled a notice when the call returns,
// and a hung window is passed over. Message-only windows get none, as from
// the system. Without a display, Wine has no top-level windows and the
// notices reach nobody; that is no failure.

#include <windows.h>

// WM_DEVICECHANGE with DBT_DEVNODES_CHANGED: a device came or went.
void AnnounceDevicesChanged();
// WM_POWERBROADCAST with event (PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC).
void AnnouncePower(WPARAM event);
