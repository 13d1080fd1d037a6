// Makes one function M450UI.dll imports fail at its k-th call, with the value and last-error
// code the function gives when it really fails (a full disk, a stopped spooler, a read-only
// registry, memory gone), and counts every call of every function it knows. Only the module's
// own calls are seen and changed, through its import table (import_patch.h).
//
//   m450test::FaultInjector faults(m450test::PluginModule());
//   faults.Arm("WritePrinter", 2);      // the second WritePrinter from now fails
//   ... the user's story ...
//   EXPECT_TRUE(faults.Fired());
//   faults.Calls("WritePrinter");       // calls since Arm
//
// Stack it on a DllObjectCounter (made first, ended last) to count objects as well: a call
// that is made to fail never reaches the counter, as no object was made.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "import_patch.h"

namespace m450test {

struct FallibleFunction {
    const char* dll;
    const char* name;
    const char* group;  // "file", "profile", "registry", "spooler", "forms", "gdi", "user", "dialog", "shell", "memory"
    const char* failure;  // what a failed call gives: "INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED"
};

// Every function the injector can make fail, whether a module imports it or not.
std::span<const FallibleFunction> FallibleFunctions();

class FaultInjector {
  public:
    // Patches every function of the list the module imports. One injector at a time.
    explicit FaultInjector(HMODULE module);
    ~FaultInjector();
    FaultInjector(const FaultInjector&) = delete;
    FaultInjector& operator=(const FaultInjector&) = delete;

    bool ok() const { return !patches_.empty(); }
    // The functions patched, in the list's order.
    std::vector<std::string> Patched() const;
    bool Knows(std::string_view function) const;

    // Starts counting anew; the `k`-th call of `function` from now fails (k counted from 1),
    // every other call goes through. k = 0 or an unknown function: nothing fails, calls are
    // only counted.
    void Arm(std::string_view function, long k);
    // From now every call goes through; the counts go on.
    void Disarm();
    // Whether the armed call happened (and failed).
    bool Fired() const;
    long Calls(std::string_view function) const;
    // Every patched function with its calls since Arm, also those not called.
    std::map<std::string, long> AllCalls() const;

  private:
    std::vector<ImportPatch> patches_;
};

}  // namespace m450test
