/*
 * Halyard: delivers the key presses of a QBOX satellite tuner's infrared
 * remote control to a window of the host application.
 *
 * Calling order:
 *   1. load Halyard.dll;
 *   2. with COM initialised on the calling thread, call InitRemoteControl
 *      with the window that is to receive the keys and the absolute path of
 *      the INI file (a relative path is looked up in the Windows folder);
 *   3. handle WM_REMOTE_CODE in that window: wParam is 0, lParam the key
 *      code (0 to 255);
 *   4. call UnInitRemoteControl;
 *   5. unload the library.
 */
#ifndef HALYARD_H
#define HALYARD_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Posted to the host's window for every key read from the remote control. */
#define WM_REMOTE_CODE 3042

#ifdef HALYARD_BUILDING_DLL
#define HALYARD_API
#else
#define HALYARD_API DECLSPEC_IMPORT
#endif

/* Starts delivering key codes to hwnd. Returns S_OK, E_FAIL when no QBOX
 * tuner could be opened, E_POINTER when the library failed to initialise,
 * HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED) when already running, or the
 * HRESULT of a platform failure. */
HALYARD_API HRESULT WINAPI InitRemoteControl(HWND hwnd, const char* iniPath);

/* Stops the delivery. Returns S_OK, S_FALSE when nothing was running, or
 * E_POINTER when the library failed to initialise. */
HALYARD_API HRESULT WINAPI UnInitRemoteControl(void);

typedef HRESULT(WINAPI* PFN_InitRemoteControl)(HWND hwnd, const char* iniPath);
typedef HRESULT(WINAPI* PFN_UnInitRemoteControl)(void);

#ifdef __cplusplus
}
#endif

#endif /* HALYARD_H */
