#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "AddressFilter.h"

// The [Network] section's lines, as written.
struct NetworkValues {
    std::string listen;
    std::string allowFrom;
    std::string remoteName;
    std::string allowSimulate;
    std::vector<std::string> unknown; // names of other lines, a typo's among them
};

// What [Network] asks of the LIRC server. Off unless Listen= names an
// address and a port; on any other address than loopback only with
// AllowFrom=. A bad line is reported and its safe value applies: a bad
// Listen= or AllowFrom= keeps the server off.
struct NetworkSettings {
    bool listen = false;
    uint32_t address = 0; // host byte order
    unsigned port = 0;
    AddressFilter allowFrom;
    std::string remoteName;
    bool allowSimulate = false;
    std::vector<std::string> errors; // whole sentences, for --check and a notification

    // Whether a running server must be started anew for other to apply.
    bool SameListener(const NetworkSettings& other) const;
};

NetworkSettings ParseNetworkSettings(const NetworkValues& values);
// The lines of the settings file, read as the library reads MaskCode.
NetworkValues ReadNetworkValues(const std::wstring& iniPath);
// --check's lines about [Network]: what it will do, then its errors.
std::string NetworkReport(const NetworkSettings& settings);
// What the menu item writes: the server on, for this PC's programs alone.
extern const char kShareRemoteLine[];
