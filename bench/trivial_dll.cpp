// The yardstick of the plug-in's start-up: a DLL that does nothing when it is loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
