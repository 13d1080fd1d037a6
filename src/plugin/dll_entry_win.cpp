// The DLL's entry points: DllMain and the two exports the host looks up (see M450UI.def).
#include "core/module_win.h"
#include "plugin/plugin_object_win.h"

// Process attach keeps the module handle and nothing more: the loader lock is held here, so no
// library is loaded from DllMain. Process detach is where the pages' activation context is
// released once the pages create one.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        m450::g_moduleInstance = instance;
    else if (reason == DLL_PROCESS_DETACH)
        m450::ReleaseModuleActivationContext();
    return TRUE;
}

// The language start-up (per-user folder, registry, first-run choice, text file refresh) runs
// when the first sheet is built (plugin/sheets_win.cpp), not here: a host that only asks for
// records writes nothing.
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return m450::GetPluginClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return m450::CanUnloadModule();
}
