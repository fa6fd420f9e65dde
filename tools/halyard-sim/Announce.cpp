#include "Announce.h"

#include <dbt.h>

namespace {

// For each window. A window that takes longer still gets the notice, later,
// and the next one queued behind it, so the order holds.
const UINT kTimeoutMs = 5000;

// SendMessageTimeout to HWND_BROADCAST reaches the top-level windows of every
// process, under Wine too, and returns when they have handled it.
// BroadcastSystemMessage reaches them as well, but under Wine it sends
// without waiting unless asked for BSF_QUERY, whose meaning is a vote.
void Broadcast(UINT message, WPARAM wParam)
{
    SendMessageTimeoutW(HWND_BROADCAST, message, wParam, 0, SMTO_ABORTIFHUNG, kTimeoutMs, nullptr);
}

} // namespace

void AnnounceDevicesChanged()
{
    Broadcast(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
}

void AnnouncePower(WPARAM event)
{
    Broadcast(WM_POWERBROADCAST, event);
}
