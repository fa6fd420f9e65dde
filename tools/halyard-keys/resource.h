#pragma once

// Resource identifiers of halyard-keys.rc.
#define IDI_ACTIVE 1   // listening: the program's icon
#define IDI_INACTIVE 2 // paused or not started
