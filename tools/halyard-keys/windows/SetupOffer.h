#pragma once

// Whether halyard-keys has offered the setup once already, remembered per
// user in the registry (HKCU\Software\Halyard\Keys, SetupOffered), not in
// the settings file: the offer is the program's business, and the settings
// file changes only when the user changes it.
bool SetupOffered();
void RememberSetupOffered();
