// Runs a user's story with every chosen fallible call of M450UI.dll failing in turn
// (fault_injector.h): once to count the calls of each function, then once per chosen call. The
// runs happen in child processes of the test program (a crash ends only the child, which is
// started again after the run that crashed); a watchdog ends a run that goes past its time.
//
//   int main(int argc, char** argv) {
//       if (const std::optional<int> code = m450test::RunAsFaultRunner(Stories()))
//           return *code;                        // the program was started as a runner
//       ...
//   }
//   TEST_P(...) { const m450test::FaultStoryReport report = m450test::RunFaultStory(GetParam(), all); ... }
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog_catcher.h"
#include "fault_injector.h"
#include "fixtures.h"

namespace m450test {

// What a story saw, beyond what the runner checks itself (crash, time, objects).
struct FaultOutcome {
    bool falseSuccess = false;  // an operation reported success although it did not complete
    bool lost = false;          // a file is neither what it was nor what the complete operation leaves
    bool jobLeftOpen = false;   // a spooler job was started and never ended
    bool reportedSuccess = false;
    std::optional<std::vector<uint8_t>> result;  // the job or file the operation left, for the clean run's reference
    std::string note;
};

// What every story gets: the injector (armed by the runner), the catcher answering every dialog,
// the printer and language fixtures, the function the run makes fail ("-" on the clean run), and
// what the clean run left (the complete operation's job or file).
struct FaultStoryContext {
    FaultInjector& faults;
    DialogCatcher& catcher;
    const PrinterFixture& printer;
    LanguageRegistry& registry;
    LanguageFiles& files;
    const std::optional<std::vector<uint8_t>>& complete;  // empty on the clean run itself
    bool clean;
    const char* failing;
};

struct FaultStory {
    const char* name;
    // Before every run, not counted: the files the story starts from. The context's injector is
    // not armed yet.
    std::function<void(FaultStoryContext&)> prepare;
    std::function<FaultOutcome(FaultStoryContext&)> run;
};

// A spooler job that StartDocPrinterW began must be ended by EndDocPrinter. (An EndDocPrinter
// made to fail never reached the spooler, whose job then stays open and refuses the next
// StartDocPrinterW: no verdict for those runs.)
bool JobLeftOpen(const FaultInjector& faults, const char* failedFunction, bool fired);

// In the test program's main: when it was started as a story's runner, runs the planned runs
// and gives the exit code; nullopt otherwise.
std::optional<int> RunAsFaultRunner(const std::vector<FaultStory>& stories);

struct FaultStoryReport {
    bool runnerStarted = true;  // false: a runner could not be started
    bool counted = false;       // the counting run finished
    std::string cleanLine;      // its verdict
    long cleanFaults = 0;       // crashes, hangs and leaks of the clean run
    long faults = 0;            // crashes, hangs, false successes, losses and leaks of all runs
    std::string findings;       // a line for each run with one
};

// Runs the story in runners of this program and prints its table. By default a fixed sample of
// calls fails: the first of every function, and the middle and last ones of the memory calls;
// `all`: every call, or for a function called more than 40 times its first 20 and every 100th.
FaultStoryReport RunFaultStory(const std::string& story, bool all);

}  // namespace m450test
