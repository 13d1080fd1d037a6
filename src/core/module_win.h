// The module: its instance handle and its activation context.
//
// The activation context: made from the module's own isolation manifest (resource 2,
// which asks for version 6 of the common controls), so that the pages, their controls, the
// tooltips and the modal dialogs of the plug-in get that version whatever the host process uses.
//
// One context per process, created at first use (once: threads that ask meanwhile wait for it)
// and released at process detach.
#pragma once

#include <windows.h>

namespace m450 {

// The module's instance handle, kept by DllMain at process attach: the resource instance of
// every page and the source of the activation context. Null in programs that link the shell
// library without the DLL.
extern HINSTANCE g_moduleInstance;

// The module-wide context; INVALID_HANDLE_VALUE when it could not be made (tried again at the
// next call).
HANDLE ModuleActivationContext();
bool IsActivationContext(HANDLE context);
// Process detach.
void ReleaseModuleActivationContext();

// Activates the module's context for the life of the object (tooltip creation, modal dialogs,
// common dialogs); does nothing when there is no context. The last error of whatever ran inside
// the scope survives its end.
class ActivationScope {
  public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

    bool active() const { return active_; }

  private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace m450
