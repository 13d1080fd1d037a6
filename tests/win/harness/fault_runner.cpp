#include "fault_runner.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "host_core.h"
#include "object_counter.h"

namespace m450test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr DWORD kRunTimeLimit = 30000;  // one story, in milliseconds

// ---- The runner: a child process that runs the runs of one story ------------------------

// What a runner's runs share.
struct Fixtures {
    PrinterFixture& printer;
    LanguageRegistry& registry;
    LanguageFiles& files;
    DllObjectCounter& counter;
    FaultInjector& faults;
};

struct PlannedRun {
    std::string function;
    long k = 0;
};

FILE* g_results = nullptr;
HANDLE g_runStarted = nullptr;
HANDLE g_runEnded = nullptr;
long g_currentRun = -1;

void Report(const char* format, const std::string& text, long run) {
    std::fprintf(g_results, format, run, text.c_str());
    std::fflush(g_results);
}

// Ends the process when a run goes past its time: the story hangs.
DWORD WINAPI Watchdog(void*) {
    for (;;) {
        WaitForSingleObject(g_runStarted, INFINITE);
        if (WaitForSingleObject(g_runEnded, kRunTimeLimit) == WAIT_TIMEOUT) {
            std::fprintf(g_results, "run %ld hang\n", g_currentRun);
            std::fflush(g_results);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

// Runs the story once as planned; writes "run N end <flags> | note".
FaultOutcome RunOnce(const FaultStory& story,
                     Fixtures& fixtures,
                     const std::optional<Bytes>& complete,
                     const PlannedRun& plan,
                     long index,
                     std::string* flags) {
    FaultInjector& faults = fixtures.faults;
    const char* failing = plan.k > 0 ? plan.function.c_str() : "-";
    if (story.prepare) {
        DialogCatcher catcher;
        FaultStoryContext context{faults,         catcher,  fixtures.printer, fixtures.registry,
                                  fixtures.files, complete, plan.k == 0,      failing};
        story.prepare(context);
    }
    std::fprintf(g_results, "run %ld begin\n", index);
    std::fflush(g_results);
    g_currentRun = index;
    SetEvent(g_runStarted);
    const ObjectCounts before = fixtures.counter.Counts();
    FaultOutcome outcome;
    bool exception = false;
    {
        DialogCatcher catcher;
        faults.Arm(plan.function, plan.k);
        FaultStoryContext context{faults,         catcher,  fixtures.printer, fixtures.registry,
                                  fixtures.files, complete, plan.k == 0,      failing};
        try {
            outcome = story.run(context);
        } catch (...) {
            exception = true;
        }
        faults.Disarm();
        outcome.jobLeftOpen = outcome.jobLeftOpen || JobLeftOpen(faults, failing, faults.Fired());
    }
    SetEvent(g_runEnded);
    const ObjectCounts after = fixtures.counter.Counts();
    const bool leak = after.Live() != before.Live() || after.unknownReleases != before.unknownReleases;
    char text[200];
    std::snprintf(text, sizeof(text), "fired=%d crash=%d hang=%d false=%d lost=%d leak=%d", faults.Fired() ? 1 : 0,
                  exception ? 1 : 0, outcome.jobLeftOpen ? 1 : 0, outcome.falseSuccess ? 1 : 0, outcome.lost ? 1 : 0,
                  leak ? 1 : 0);
    *flags = text;
    std::string note = outcome.note;
    if (leak)
        note += (note.empty() ? "" : "; ") + after.Describe();
    Report("run %ld end %s\n", std::string(text) + " | " + note, index);
    return outcome;
}

// fault-runner STORY PLAN-FILE RESULT-FILE FIRST-RUN
int RunPlan(const std::vector<FaultStory>& stories,
            const std::string& storyName,
            const wchar_t* planPath,
            const wchar_t* resultPath,
            long first) {
    const FaultStory* story = nullptr;
    for (const FaultStory& candidate : stories) {
        if (storyName == candidate.name)
            story = &candidate;
    }
    if (story == nullptr)
        return 10;
    std::vector<PlannedRun> plan;
    if (FILE* in = _wfopen(planPath, L"rb")) {
        char function[128];
        long k = 0;
        while (std::fscanf(in, "%127s %ld", function, &k) == 2)
            plan.push_back({function, k});
        std::fclose(in);
    }
    g_results = _wfopen(resultPath, L"ab");
    if (g_results == nullptr)
        return 11;
    g_runStarted = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_runEnded = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr));

    PrinterFixture printer;
    LanguageRegistry registry;
    LanguageFiles files;
    registry.Set(kLanguageValue, L"ENG_M450.res");
    registry.Set(kFirstRunValue, L"FALSE");
    for (const LanguageFolder folder : {LanguageFolder::PerUser, LanguageFolder::Driver}) {
        for (const wchar_t* file : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"})
            files.InstallFromSource(folder, file, std::wstring(L"lang/") + file);
    }
    if (PluginModule() == nullptr)
        return 12;
    DllObjectCounter counter(PluginModule());
    FaultInjector faults(PluginModule());
    Fixtures fixtures{printer, registry, files, counter, faults};

    // The clean run: what the complete story leaves, and the calls it makes.
    std::string flags;
    const FaultOutcome clean = RunOnce(*story, fixtures, std::nullopt, {"-", 0}, -1, &flags);
    if (first == 0) {
        for (const auto& [function, calls] : faults.AllCalls())
            std::fprintf(g_results, "count %s %ld\n", function.c_str(), calls);
        std::fprintf(g_results, "clean %s success=%d\n", flags.c_str(), clean.reportedSuccess ? 1 : 0);
        std::fflush(g_results);
    }
    for (long i = std::max(first, 0L); i < static_cast<long>(plan.size()); ++i)
        RunOnce(*story, fixtures, clean.result, plan[static_cast<size_t>(i)], i, &flags);
    std::fprintf(g_results, "finished\n");
    std::fclose(g_results);
    return 0;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring RunnerFile(const wchar_t* name) {
    return TempFile(L"m450-faults-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name);
}

// Starts the runner and waits for it; false when it could not be started.
bool StartRunner(const std::string& story, const std::wstring& plan, const std::wstring& results, long first) {
    std::wstring command = L"\"" + OwnPath() + L"\" --fault-runner \"" + Wide(story) + L"\" \"" + plan + L"\" \"" +
                           results + L"\" " + std::to_wstring(first);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The watchdog ends a hanging run; this bounds a runner that cannot even start one.
    if (WaitForSingleObject(process.hProcess, 20 * 60 * 1000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 4);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

std::vector<std::string> Lines(const std::wstring& path) {
    std::vector<std::string> lines;
    const std::optional<Bytes> bytes = m450host::ReadFileBytes(path);
    if (!bytes)
        return lines;
    std::string line;
    for (const uint8_t byte : *bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (byte != '\r') {
            line += static_cast<char>(byte);
        }
    }
    return lines;
}

// Which calls of a function called `calls` times are made to fail.
std::vector<long> ChosenCalls(const std::string& function, long calls, bool all) {
    std::vector<long> chosen;
    if (calls <= 0)
        return chosen;
    if (!all) {
        std::set<long> sample = {1};
        if (function == "malloc" || function == "calloc" || function == "realloc") {
            sample.insert((calls + 1) / 2);
            sample.insert(calls);
        }
        return std::vector<long>(sample.begin(), sample.end());
    }
    if (calls <= 40) {
        for (long k = 1; k <= calls; ++k)
            chosen.push_back(k);
        return chosen;
    }
    for (long k = 1; k <= 20; ++k)
        chosen.push_back(k);
    for (long k = 100; k <= calls; k += 100)
        chosen.push_back(k);
    return chosen;
}

struct Tally {
    long runs = 0, fired = 0, crashes = 0, hangs = 0, falseSuccesses = 0, losses = 0, leaks = 0;
    std::vector<std::string> findings;
};

long Flag(const std::string& line, const char* name) {
    const size_t at = line.find(std::string(" ") + name + "=");
    return at == std::string::npos ? 0 : std::atol(line.c_str() + at + std::strlen(name) + 2);
}

}  // namespace

bool JobLeftOpen(const FaultInjector& faults, const char* failedFunction, bool fired) {
    if (fired && std::strcmp(failedFunction, "EndDocPrinter") == 0)
        return false;
    long started = faults.Calls("StartDocPrinterW");
    if (fired && std::strcmp(failedFunction, "StartDocPrinterW") == 0)
        --started;
    return started > faults.Calls("EndDocPrinter");
}

std::optional<int> RunAsFaultRunner(const std::vector<FaultStory>& stories) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count < 6 || std::wstring(wide[1]) != L"--fault-runner")
        return std::nullopt;
    const std::wstring story(wide[2]);
    return RunPlan(stories, std::string(story.begin(), story.end()), wide[3], wide[4],
                   std::wcstol(wide[5], nullptr, 10));
}

FaultStoryReport RunFaultStory(const std::string& story, bool all) {
    FaultStoryReport report;
    const std::wstring plan = RunnerFile(L"plan.txt");
    const std::wstring results = RunnerFile(L"results.txt");
    DeleteFileW(results.c_str());
    m450host::WriteFileBytes(plan, Bytes{});

    // The counting run.
    if (!StartRunner(story, plan, results, 0)) {
        report.runnerStarted = false;
        return report;
    }
    std::map<std::string, long> counts;
    std::string cleanLine;
    for (const std::string& line : Lines(results)) {
        char function[128];
        long calls = 0;
        if (std::sscanf(line.c_str(), "count %127s %ld", function, &calls) == 2)
            counts[function] = calls;
        if (line.rfind("clean ", 0) == 0)
            cleanLine = line;
    }
    report.counted = !counts.empty();
    report.cleanLine = cleanLine;
    report.cleanFaults = Flag(cleanLine, "crash") + Flag(cleanLine, "hang") + Flag(cleanLine, "leak");
    if (!report.counted)
        return report;

    std::vector<std::pair<std::string, long>> runs;
    std::string planText;
    for (const auto& [function, calls] : counts) {
        for (const long k : ChosenCalls(function, calls, all)) {
            runs.push_back({function, k});
            planText += function + " " + std::to_string(k) + "\n";
        }
    }
    m450host::WriteFileBytes(plan, Bytes(planText.begin(), planText.end()));
    DeleteFileW(results.c_str());

    // The runs, the runner started again after one that ended it.
    std::map<long, std::string> ends;
    long next = 0;
    int starts = 0;
    while (next < static_cast<long>(runs.size()) && starts < 200) {
        if (!StartRunner(story, plan, results, next)) {
            report.runnerStarted = false;
            break;
        }
        ++starts;
        long begun = -1;
        bool finished = false;
        for (const std::string& line : Lines(results)) {
            long run = 0;
            char what[16] = {};
            if (line == "finished")
                finished = true;
            if (std::sscanf(line.c_str(), "run %ld %15s", &run, what) != 2 || run < 0)
                continue;
            if (std::strcmp(what, "begin") == 0)
                begun = run;
            else
                ends[run] = line;
        }
        DeleteFileW(results.c_str());
        if (finished && begun + 1 >= static_cast<long>(runs.size()))
            break;
        if (begun < next) {  // ended before its first run began (or in its clean run)
            ends[next] = "run " + std::to_string(next) + " crash fired=0 crash=1 (the runner ended before the run)";
            ++next;
            continue;
        }
        // The run that began last and has no end: the process died in it.
        if (ends.count(begun) == 0)
            ends[begun] = "run " + std::to_string(begun) + " crash fired=1 crash=1";
        next = begun + 1;
    }

    std::map<std::string, Tally> table;
    std::vector<std::string> remarks;  // what a run noted that is not a fault
    for (size_t i = 0; i < runs.size(); ++i) {
        Tally& tally = table[runs[i].first];
        ++tally.runs;
        const auto found = ends.find(static_cast<long>(i));
        const std::string line = found != ends.end() ? found->second : "run missing crash=1";
        const bool hang = line.find(" hang") != std::string::npos && line.find(" end ") == std::string::npos;
        tally.fired += Flag(line, "fired");
        tally.crashes += Flag(line, "crash");
        tally.hangs += hang ? 1 : Flag(line, "hang");
        tally.falseSuccesses += Flag(line, "false");
        tally.losses += Flag(line, "lost");
        tally.leaks += Flag(line, "leak");
        if (hang ||
            Flag(line, "crash") + Flag(line, "hang") + Flag(line, "false") + Flag(line, "lost") + Flag(line, "leak") >
                0)
            tally.findings.push_back(runs[i].first + " call " + std::to_string(runs[i].second) + ": " + line);
        else if (const size_t note = line.find(" | "); note != std::string::npos && note + 3 < line.size())
            remarks.push_back(runs[i].first + " call " + std::to_string(runs[i].second) + ": " + line.substr(note + 3));
    }

    std::printf("\n%-28s %-26s %5s %5s %7s %5s %6s %6s %5s\n", "story", "function", "runs", "fired", "crashes", "hangs",
                "false", "losses", "leaks");
    Tally total;
    for (const auto& [function, tally] : table) {
        std::printf("%-28s %-26s %5ld %5ld %7ld %5ld %6ld %6ld %5ld\n", story.c_str(), function.c_str(), tally.runs,
                    tally.fired, tally.crashes, tally.hangs, tally.falseSuccesses, tally.losses, tally.leaks);
        total.runs += tally.runs;
        total.crashes += tally.crashes;
        total.hangs += tally.hangs;
        total.falseSuccesses += tally.falseSuccesses;
        total.losses += tally.losses;
        total.leaks += tally.leaks;
        for (const std::string& finding : tally.findings)
            total.findings.push_back(finding);
    }
    std::printf("%-28s %-26s %5ld %5s %7ld %5ld %6ld %6ld %5ld  (%s)\n", story.c_str(), "all", total.runs, "",
                total.crashes, total.hangs, total.falseSuccesses, total.losses, total.leaks,
                all ? "every chosen call" : "fixed sample");
    for (const std::string& remark : remarks)
        std::printf("  note: %s\n", remark.c_str());
    for (const std::string& finding : total.findings)
        report.findings += "  " + finding + "\n";
    report.faults = total.crashes + total.hangs + total.falseSuccesses + total.losses + total.leaks;
    DeleteFileW(plan.c_str());
    DeleteFileW(results.c_str());
    return report;
}

}  // namespace m450test
