#include "core/module_win.h"

#include <memory>
#include <new>

namespace m450 {

HINSTANCE g_moduleInstance = nullptr;

namespace {

// Made once, by the first thread that asks, while the others wait (InitOnceExecuteOnce); a
// failed creation leaves the once-object unset, so the next call tries again. Read-only after.
INIT_ONCE g_activationContextOnce = INIT_ONCE_STATIC_INIT;
HANDLE g_activationContext = INVALID_HANDLE_VALUE;

constexpr DWORD kFirstPathCapacity = MAX_PATH;
constexpr int kMostPathAttempts = 10;
constexpr WORD kIsolationManifestId = 2;

// The module's full path. The buffer doubles while the path fills it; a path that still does
// not fit after the last attempt is not used, since a cut path names another file.
std::unique_ptr<wchar_t[]> ModulePath() {
    DWORD capacity = kFirstPathCapacity;
    for (int attempt = 0; attempt < kMostPathAttempts; ++attempt, capacity *= 2) {
        std::unique_ptr<wchar_t[]> path(new (std::nothrow) wchar_t[capacity]);
        if (!path)
            return nullptr;
        const DWORD length = GetModuleFileNameW(g_moduleInstance, path.get(), capacity);
        if (length == 0)
            return nullptr;
        if (length < capacity) {
            path[length] = L'\0';
            return path;
        }
    }
    return nullptr;
}

HANDLE CreateModuleContext() {
    const std::unique_ptr<wchar_t[]> path = ModulePath();
    if (!path)
        return INVALID_HANDLE_VALUE;
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.get();
    request.lpResourceName = MAKEINTRESOURCEW(kIsolationManifestId);
    return CreateActCtxW(&request);
}

BOOL CALLBACK MakeModuleContext(PINIT_ONCE, PVOID, PVOID*) {
    const HANDLE context = CreateModuleContext();
    if (!IsActivationContext(context))
        return FALSE;
    g_activationContext = context;
    return TRUE;
}

}  // namespace

bool IsActivationContext(HANDLE context) {
    return context != nullptr && context != INVALID_HANDLE_VALUE;
}

HANDLE ModuleActivationContext() {
    if (!InitOnceExecuteOnce(&g_activationContextOnce, &MakeModuleContext, nullptr, nullptr))
        return INVALID_HANDLE_VALUE;
    return g_activationContext;
}

// Process detach: no other thread of the module runs any more.
void ReleaseModuleActivationContext() {
    if (IsActivationContext(g_activationContext))
        ReleaseActCtx(g_activationContext);
    g_activationContext = INVALID_HANDLE_VALUE;
}

ActivationScope::ActivationScope() {
    const HANDLE context = ModuleActivationContext();
    if (IsActivationContext(context))
        active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (!active_)
        return;
    const DWORD lastError = GetLastError();
    DeactivateActCtx(0, cookie_);
    SetLastError(lastError);
}

}  // namespace m450
