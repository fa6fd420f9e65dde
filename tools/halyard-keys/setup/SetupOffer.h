#pragma once

#include <functional>

#include "KeyEvent.h"
#include "LoadedMap.h"
#include "Notices.h"

// Whether halyard-keys has offered the setup once already, remembered per
// user in the registry (HKCU\Software\Halyard\Keys, SetupOffered), not in
// the settings file: the offer is the program's business, and the settings
// file changes only when the user changes it.
bool SetupOffered();
void RememberSetupOffered();

// Nothing named and nothing mapped: the remote does nothing yet. The first
// start that listens, or the first key heard, says once how to change that
// (a listener of the key path's Show stage). Clicking the notification
// opens the setup.
class SetupOffer : public KeyListener {
public:
    // setupOpen: whether Set up the remote is open already.
    SetupOffer(const LoadedMap& map, Notices* notices, std::function<bool()> setupOpen);

    void Offer();
    // Whether notification (TrayIcon's number) is the offer.
    bool IsOffer(unsigned notification) const { return shown_ && notification == shown_; }
    void OnKey(const KeyEvent& event, KeyHandling* handling) override;

private:
    const LoadedMap& map_;
    Notices* notices_;
    std::function<bool()> setupOpen_;
    unsigned shown_ = 0;   // the offer's notification, while it may be the one shown
    bool offered_ = false; // this user has had the offer: no need to ask again
};
