#include "ProgramUnderTest.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <tlhelp32.h>

#include "simulator/MachineFile.h"
#include "tests/win32/common/MessageLoop.h"

namespace tarnwick::e2e {

std::filesystem::path ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

TMachineFile::TMachineFile(std::filesystem::path path) : FPath(std::move(path)) {}

TOutputFile::TOutputFile(const wchar_t* name) : FPath(ProgramFolder() / name) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    FHandle = ::CreateFileW(FPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TOutputFile::~TOutputFile() {
    Close();
    ::DeleteFileW(FPath.c_str());
}

std::string TOutputFile::Text() {
    Close();
    std::ifstream in(FPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void TOutputFile::Close() {
    if (FHandle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }
}

DWORD RunToEnd(const TMachineFile& machine, const std::wstring& arguments, std::string* output,
               DWORD patience) {
    TOutputFile file(L"e2e-output.txt");
    TProgram program(machine, arguments, file.Handle());
    if (!program.WaitForExit(patience)) {
        return STILL_ACTIVE;
    }
    if (output) {
        *output = file.Text();
    }
    return program.ExitCode();
}

namespace {

// The test double serialises its reads and writes of the machine file with this mutex; the driver takes
// it too, so that it never reads a file being replaced nor replaces one being read.
class TMachineFileLock {
public:
    TMachineFileLock() : FMutex(::CreateMutexW(nullptr, FALSE, L"Local\\TarnwickSimulatedMachine")) {
        if (FMutex) {
            ::WaitForSingleObject(FMutex, 10000);
        }
    }
    ~TMachineFileLock() {
        if (FMutex) {
            ::ReleaseMutex(FMutex);
            ::CloseHandle(FMutex);
        }
    }
    TMachineFileLock(const TMachineFileLock&) = delete;
    TMachineFileLock& operator=(const TMachineFileLock&) = delete;

private:
    HANDLE FMutex;
};

} // namespace

void TMachineFile::Write(const sim::TDeviceSimulator& machine) const {
    const TMachineFileLock lock;
    const std::filesystem::path partial = FPath.wstring() + L".part";
    std::ofstream(partial, std::ios::binary | std::ios::trunc) << sim::SaveMachine(machine);
    if (!::MoveFileExW(partial.c_str(), FPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        throw std::runtime_error("the simulated machine file could not be replaced");
    }
}

sim::TDeviceSimulator TMachineFile::Read() const {
    const TMachineFileLock lock;
    std::ifstream in(FPath, std::ios::binary);
    if (!in) {
        throw std::runtime_error("the simulated machine file could not be opened");
    }
    std::stringstream text;
    text << in.rdbuf();
    sim::TDeviceSimulator machine;
    sim::LoadMachine(machine, text.str());
    return machine;
}

TProgram::TProgram(const TMachineFile& machine, const std::wstring& arguments, HANDLE output)
    : TProgram(machine, arguments, ProgramFolder() / L"tarnwick.exe", output) {}

TProgram::TProgram(const TMachineFile& machine, const std::wstring& arguments,
                   const std::filesystem::path& program, HANDLE output) {
    const std::wstring exe = program.wstring();
    // Only the program under test loads the test double; this test program uses no setup API.
    ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"setupapi=n");
    ::SetEnvironmentVariableW(L"TARNWICK_SIMULATED_MACHINE", machine.Path().c_str());
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE, 0,
                          nullptr, program.parent_path().c_str(), &startup, &FProcess)) {
        FProcess = PROCESS_INFORMATION{};
    }
    ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", nullptr);
}

TProgram::~TProgram() {
    if (FProcess.hProcess) {
        if (Running()) {
            ::TerminateProcess(FProcess.hProcess, 1);
            ::WaitForSingleObject(FProcess.hProcess, 5000);
        }
        ::CloseHandle(FProcess.hThread);
        ::CloseHandle(FProcess.hProcess);
    }
}

bool TProgram::Running() const {
    return FProcess.hProcess && ::WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT;
}

bool TProgram::WaitForExit(DWORD milliseconds) const {
    return WaitUntil(milliseconds, [&] { return !Running(); });
}

DWORD TProgram::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (FProcess.hProcess) {
        ::GetExitCodeProcess(FProcess.hProcess, &code);
    }
    return code;
}

namespace {

struct TWindowSearch {
    DWORD processId;
    std::wstring className;
    std::vector<HWND> found;
};

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<TWindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if ((search.processId == 0 || owner == search.processId) &&
        (search.className.empty() || ClassOf(window) == search.className)) {
        search.found.push_back(window);
    }
    return TRUE;
}

} // namespace

std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className) {
    TWindowSearch search{processId, className, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> WindowsOfClass(const std::wstring& className) {
    return WindowsOf(0, className);
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

HWND FindChild(HWND parent, const std::wstring& className, const std::vector<std::wstring>& texts) {
    for (HWND child = ::FindWindowExW(parent, nullptr, className.c_str(), nullptr); child;
         child = ::FindWindowExW(parent, child, className.c_str(), nullptr)) {
        for (const auto& text : texts) {
            if (WindowText(child) == text) {
                return child;
            }
        }
    }
    return nullptr;
}

bool WaitUntil(DWORD milliseconds, const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (::GetTickCount() - start >= milliseconds) {
            return false;
        }
        test::PumpMessages(50);
    }
}

std::vector<DWORD> TarnwickProcesses() {
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return ids;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (::lstrcmpiW(entry.szExeFile, L"tarnwick.exe") == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    ::CloseHandle(snapshot);
    return ids;
}

void EndTarnwickProcesses() {
    for (DWORD id : TarnwickProcesses()) {
        if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            ::TerminateProcess(process, 1);
            ::WaitForSingleObject(process, 5000);
            ::CloseHandle(process);
        }
    }
}

} // namespace tarnwick::e2e
