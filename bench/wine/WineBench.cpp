// What a user notices, under Wine, each against its floor program in one interleaved run: start-up to
// ready in the tray and the memory held there (against a minimal tray program), a command-line switch of
// 4 adapters among 200 devices from its start to the last adapter switched, in the tray and with -exit
// (against a bare program that enumerates the network class once and calls the class installer on each
// adapter, on the same test double), and whether the program stays idle in the tray. Prints mean, median
// and min of each and their ratios (the start-up and the switch are judged by the median of each round's
// ratio); writes "within" or "OVER" as the last line of the result file (a program on a Wine desktop
// cannot hand its exit code on).
//
//   WineBench.exe [--rounds N] [--idle-seconds S] [--result FILE]

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "Bars.h"
#include "BenchMachine.h"
#include "TimeSummary.h"
#include "testing/win32/FileBytes.h"

namespace {

using tarnwick::bench::Summarise;
using tarnwick::bench::TimeSummary;

using tarnwick::bench::IdleTicksBar;
using tarnwick::bench::IdleWakeUpsBar;
using tarnwick::bench::MemoryBar;
using tarnwick::bench::StartUpBar;
using tarnwick::bench::SwitchBar;
constexpr DWORD Patience = 60000;

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

double Now() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A started program, ended and released with the object.
class TStarted {
public:
    TStarted(const std::wstring& program, const std::wstring& arguments, bool testDouble) {
        const std::wstring exe = Folder() + program;
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        // Only the programs measured load the test double; this one uses no setup API.
        if (testDouble) {
            ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"setupapi=n");
            ::SetEnvironmentVariableW(L"TARNWICK_SIMULATED_MACHINE",
                                      (Folder() + L"bench-machine.txt").c_str());
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        Started = Now();
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              Folder().c_str(), &startup, &Process)) {
            Process = PROCESS_INFORMATION{};
        }
        ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", nullptr);
    }
    ~TStarted() {
        if (Process.hProcess) {
            if (::WaitForSingleObject(Process.hProcess, 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(Process.hProcess, 0);
                ::WaitForSingleObject(Process.hProcess, 10000);
            }
            ::CloseHandle(Process.hThread);
            ::CloseHandle(Process.hProcess);
        }
    }
    TStarted(const TStarted&) = delete;
    TStarted& operator=(const TStarted&) = delete;

    // Milliseconds from the start until Ready answers true, polled every millisecond; -1 when it never does.
    double Until(const std::function<bool(DWORD)>& Ready) {
        while (Now() - Started < Patience) {
            if (Ready(Process.dwProcessId)) {
                return Now() - Started;
            }
            if (::WaitForSingleObject(Process.hProcess, 1) == WAIT_OBJECT_0) {
                return -1;
            }
        }
        return -1;
    }
    double UntilExit() {
        return ::WaitForSingleObject(Process.hProcess, Patience) == WAIT_OBJECT_0 ? Now() - Started : -1;
    }
    PROCESS_MEMORY_COUNTERS_EX Memory() const {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        ::GetProcessMemoryInfo(Process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters);
        return counters;
    }
    // Kernel and user time so far, in 100 ns ticks.
    ULONGLONG ProcessorTicks() const {
        FILETIME created, exited, kernel, user;
        ::GetProcessTimes(Process.hProcess, &created, &exited, &kernel, &user);
        const auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        return ticks(kernel) + ticks(user);
    }

private:
    PROCESS_INFORMATION Process{};
    double Started = 0;
};

// The program's top-level windows of a class. Found by the class, which takes the Wine server one request,
// not by listing every window of the desktop: the polling every millisecond must not slow the programs it
// measures, which wait on the same server.
std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId) {
            found.push_back(window);
        }
    }
    return found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[128] = L"";
    ::GetWindowTextW(window, text, 128);
    return text;
}

// tarnwick.exe is ready when its main window has gone into the tray and shows the given state.
std::function<bool(DWORD)> TarnwickShows(const wchar_t* state) {
    return [state](DWORD processId) {
        for (HWND window : WindowsOf(processId, L"TarnwickMainWindow")) {
            if (::IsWindowVisible(window)) {
                continue;
            }
            for (HWND label = nullptr; (label = ::FindWindowExW(window, label, L"TarnwickLabel", nullptr));) {
                if (TextOf(label) == state) {
                    return true;
                }
            }
        }
        return false;
    };
}

// The floor is ready when its icon is in the tray, which it tells by its window's title.
bool FloorReady(DWORD processId) {
    for (HWND window : WindowsOf(processId, L"TrayFloor")) {
        if (TextOf(window) == L"TrayFloor ready") {
            return true;
        }
    }
    return false;
}

struct TPair {
    const char* What;
    const char* Unit;
    double Bar;
    std::vector<double> Ours, Floor;
    // Judged by the median of the ratios of each round's two measurements, taken side by side; otherwise
    // by the ratios of the mean, median and minimum of each side.
    bool PerRound = false;
    std::vector<double> RoundRatios;

    void Add(bool ours, double value) { (ours ? Ours : Floor).push_back(value); }
};

std::string Line(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    std::fputs(text, stdout);
    return text;
}

// Prints mean, median and min of each side and their ratios; false when a ratio is over the bar.
bool Report(const TPair& pair, std::string& out) {
    if (pair.Ours.empty() || pair.Floor.empty()) {
        out += Line("%s: no measurement\n", pair.What);
        return false;
    }
    const TimeSummary ours = Summarise(pair.Ours);
    const TimeSummary floor = Summarise(pair.Floor);
    const double ratios[] = {ours.Mean / floor.Mean, ours.Median / floor.Median, ours.Min / floor.Min};
    bool within = std::all_of(std::begin(ratios), std::end(ratios), [&](double r) { return r <= pair.Bar; });
    double roundMedian = 0;
    if (pair.PerRound) {
        roundMedian = pair.RoundRatios.empty() ? 1e9 : Summarise(pair.RoundRatios).Median;
        within = roundMedian <= pair.Bar;
    }
    out += Line("%s, %zu rounds\n  ours  mean %.1f median %.1f min %.1f %s\n"
                "  floor mean %.1f median %.1f min %.1f %s\n  ratio mean %.2f median %.2f min %.2f",
                pair.What, pair.Ours.size(), ours.Mean, ours.Median, ours.Min, pair.Unit, floor.Mean,
                floor.Median, floor.Min, pair.Unit, ratios[0], ratios[1], ratios[2]);
    if (pair.PerRound) {
        out += Line(", median of the rounds' ratios %.2f", roundMedian);
    }
    out += Line(" (bar %.1f) %s\n", pair.Bar, within ? "within" : "OVER");
    return within;
}

// Writes a whole file; false when it could not be written in full.
bool WriteWholeFile(const std::wstring& path, const std::string& text) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool whole = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    return ::CloseHandle(file) && whole;
}

// The machine of the switch: 200 devices, 4 of them visible network adapters, all enabled. A machine that
// cannot be written would measure the programs on the previous round's machine: the run stops.
void WriteMachine() {
    if (!WriteWholeFile(Folder() + L"bench-machine.txt", BenchMachineText(200, 4))) {
        std::fprintf(stderr, "the machine file cannot be written\n");
        std::exit(2);
    }
}

// A file's bytes (the /proc files of the Unix processes among them); empty when it cannot be opened.
std::string ReadAll(const std::wstring& path) {
    return tarnwick::test::FileBytes(std::u16string(path.begin(), path.end()));
}

// A number of a /proc status text ("Key:  123 kB"); -1 when the key is absent.
long long StatusValue(const std::string& status, const char* key) {
    const std::size_t at = status.find(key);
    return at == std::string::npos ? -1 : std::atoll(status.c_str() + at + std::strlen(key));
}

// The /proc folder of the Unix process that runs the program under Wine: the one alive whose command line
// names it with its full path (other Wine sessions on the machine may run programs of the same name); empty
// when there is none. Wine shows the Unix root as drive Z:.
std::wstring UnixProcessOf(const std::wstring& program) {
    const std::wstring fullPath = Folder() + program;
    const std::string wanted(fullPath.begin(), fullPath.end());
    std::wstring found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    do {
        if (!std::iswdigit(entry.cFileName[0])) {
            continue;
        }
        const std::wstring process = std::wstring(L"Z:\\proc\\") + entry.cFileName;
        std::string commandLine = ReadAll(process + L"\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        const std::string status = ReadAll(process + L"\\status");
        if (commandLine.find(wanted) != std::string::npos && status.find("State:\tZ") == std::string::npos) {
            found = process;
        }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return found;
}

// Processor time of a Unix process in clock ticks (user and system, from its stat line); -1 when unknown.
long long UnixProcessorTicks(const std::wstring& process) {
    const std::string stat = ReadAll(process + L"\\stat");
    const std::size_t end = stat.rfind(')'); // the name may hold blanks
    if (process.empty() || end == std::string::npos) {
        return -1;
    }
    // After the name: state, then fields 4 to 13, then utime (14) and stime (15).
    const char* p = stat.c_str() + end + 2;
    long long fields[13] = {};
    for (long long& field : fields) {
        while (*p == ' ') {
            ++p;
        }
        field = std::atoll(p);
        while (*p && *p != ' ') {
            ++p;
        }
    }
    return fields[11] + fields[12];
}

// Context switches of every thread of a Unix process: under Wine each wake-up of the program is one.
long long WakeUps(const std::wstring& process) {
    long long total = 0;
    WIN32_FIND_DATAW task;
    const HANDLE tasks = ::FindFirstFileW((process + L"\\task\\*").c_str(), &task);
    if (process.empty() || tasks == INVALID_HANDLE_VALUE) {
        return -1;
    }
    do {
        if (std::iswdigit(task.cFileName[0])) {
            const std::string status = ReadAll(process + L"\\task\\" + task.cFileName + L"\\status");
            total += std::max(0LL, StatusValue(status, "voluntary_ctxt_switches:")) +
                     std::max(0LL, StatusValue(status, "nonvoluntary_ctxt_switches:"));
        }
    } while (::FindNextFileW(tasks, &task));
    ::FindClose(tasks);
    return total;
}

struct TOptions {
    int Rounds = 15;
    int IdleSeconds = 60;
    std::wstring Result = Folder() + L"wine-bench.result";
};

TOptions ReadOptions(int argc, wchar_t** argv) {
    TOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--rounds") {
            options.Rounds = std::max(1, _wtoi(argv[i + 1]));
        } else if (option == L"--idle-seconds") {
            options.IdleSeconds = std::max(0, _wtoi(argv[i + 1]));
        } else if (option == L"--result") {
            options.Result = argv[i + 1];
        }
    }
    return options;
}

// The tray: start-up until ready, then the memory held at rest.
struct TTrayPairs {
    // Judged round by round: a start's time swings with what Wine's server is doing at that moment, which
    // both programs of a round meet alike.
    TPair StartUp{"start-up to ready in the tray", "ms", StartUpBar, {}, {}, true, {}};
    TPair PrivateMemory{
        "private (anonymous resident) memory in the tray", "KiB", MemoryBar, {}, {}, false, {}};
    TPair PeakWorkingSet{"peak working set in the tray", "KiB", MemoryBar, {}, {}, false, {}};
};

// The start-up's milliseconds, or -1 when it never got ready.
double MeasureTray(bool ours, TTrayPairs& pairs) {
    WriteMachine();
    const wchar_t* program = ours ? L"tarnwick.exe" : L"TrayFloor.exe";
    TStarted started(program, L"-elevation", true);
    const double ready =
        ours ? started.Until(TarnwickShows(L"Internet is turned on")) : started.Until(FloorReady);
    if (ready < 0) {
        return ready;
    }
    pairs.StartUp.Add(ours, ready);
    ::Sleep(500); // what it does right after showing itself belongs to its resting state
    // Wine answers no private usage for another process: its resident anonymous memory, what no file
    // backs, is the same thing.
    const long long anonymous = StatusValue(ReadAll(UnixProcessOf(program) + L"\\status"), "RssAnon:");
    if (anonymous >= 0) {
        pairs.PrivateMemory.Add(ours, static_cast<double>(anonymous));
    }
    pairs.PeakWorkingSet.Add(ours, started.Memory().PeakWorkingSetSize / 1024.0);
    return ready;
}

// A switch from the start to the last adapter switched: the floor ends after its last call; tarnwick.exe
// ends then with -exit, and otherwise stays in the tray, showing the state once the switch is done.
// Milliseconds, or -1 when it never got there.
double MeasureSwitch(bool ours, const std::wstring& arguments) {
    WriteMachine();
    TStarted started(ours ? L"tarnwick.exe" : L"TurnOffFloor.exe", arguments, true);
    const bool staysInTray = ours && arguments.find(L"-exit") == std::wstring::npos;
    return staysInTray ? started.Until(TarnwickShows(L"Internet is turned off")) : started.UntilExit();
}

// Whether tarnwick.exe in the tray neither runs nor wakes for the given seconds.
bool MeasureIdle(int seconds, std::string& out) {
    WriteMachine();
    TStarted program(L"tarnwick.exe", L"-elevation", true);
    program.Until(TarnwickShows(L"Internet is turned on"));
    ::Sleep(2000);
    const ULONGLONG ticksBefore = program.ProcessorTicks();
    const std::wstring unixProcess = UnixProcessOf(L"tarnwick.exe");
    const long long wakeUpsBefore = WakeUps(unixProcess);
    const long long unixTicksBefore = UnixProcessorTicks(unixProcess);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    const ULONGLONG ticks = program.ProcessorTicks() - ticksBefore;
    const long long wakeUpsAfter = WakeUps(unixProcess);
    const long long unixTicks = UnixProcessorTicks(unixProcess) - unixTicksBefore;
    const bool known = wakeUpsBefore >= 0 && wakeUpsAfter >= 0;
    const long long wakeUps = wakeUpsAfter - wakeUpsBefore;
    // Judged by the Unix process that runs the program: Wine's own answer for another process moves
    // while that process neither runs nor wakes, so it is shown for the record only.
    const bool idle = known && unixTicks <= IdleTicksBar && wakeUps <= IdleWakeUpsBar;
    out += Line("idle in the tray for %d s: %lld processor clock ticks, %s wake-ups (bar %lld and %lld) %s; "
                "Wine's processor time for it: %llu ticks of 100 ns\n",
                seconds, unixTicks, known ? std::to_string(wakeUps).c_str() : "unknown", IdleTicksBar,
                IdleWakeUpsBar, idle ? "within" : "OVER", ticks);
    return idle;
}

// One warm-up of each program, unmeasured: the first start of a program under Wine also loads the
// shared libraries from disk.
void WarmUp() {
    WriteMachine();
    {
        TStarted warm(L"tarnwick.exe", L"-elevation", true);
        warm.Until(TarnwickShows(L"Internet is turned on"));
    }
    TStarted warm(L"TrayFloor.exe", L"", false);
    warm.Until(FloorReady);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const TOptions options = ReadOptions(argc, argv);
    TTrayPairs tray;
    TPair turnOff{
        "-elevation -action turnoff, 4 adapters among 200 devices", "ms", SwitchBar, {}, {}, true, {}};
    TPair turnOffExit{
        "-elevation -action turnoff -exit, 4 adapters among 200 devices", "ms", SwitchBar, {}, {}, true, {}};
    WarmUp();
    for (int round = 0; round < options.Rounds; ++round) {
        // Alternate which goes first, so that neither always meets a machine the other has just warmed.
        const bool oursFirst = round % 2 == 0;
        double startUps[2] = {-1, -1}; // ours, floor
        for (const bool ours : {oursFirst, !oursFirst}) {
            startUps[ours ? 0 : 1] = MeasureTray(ours, tray);
        }
        if (startUps[0] >= 0 && startUps[1] > 0) {
            tray.StartUp.RoundRatios.push_back(startUps[0] / startUps[1]);
        }
        for (TPair* pair : {&turnOff, &turnOffExit}) {
            const std::wstring arguments =
                pair == &turnOff ? L"-elevation -action turnoff" : L"-elevation -action turnoff -exit";
            double times[2] = {-1, -1}; // ours, floor
            for (const bool ours : {oursFirst, !oursFirst}) {
                times[ours ? 0 : 1] = MeasureSwitch(ours, arguments);
            }
            if (times[0] >= 0 && times[1] > 0) {
                pair->Add(true, times[0]);
                pair->Add(false, times[1]);
                pair->RoundRatios.push_back(times[0] / times[1]);
            }
        }
    }

    std::string out;
    bool within = true;
    for (const TPair* pair :
         {&tray.StartUp, &tray.PrivateMemory, &tray.PeakWorkingSet, &turnOff, &turnOffExit}) {
        within = Report(*pair, out) && within;
    }
    if (options.IdleSeconds > 0) {
        within = MeasureIdle(options.IdleSeconds, out) && within;
    }
    out += within ? "within\n" : "OVER\n";
    if (!WriteWholeFile(options.Result, out)) {
        std::fprintf(stderr, "the result file cannot be written\n");
        return 2;
    }
    return within ? 0 : 1;
}
