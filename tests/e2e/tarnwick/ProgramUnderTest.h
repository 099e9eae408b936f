#pragma once
// Drives the real tarnwick.exe from a Windows test program on the Wine desktop: starts it with a command
// line against the test-double setupapi.dll and a simulated machine, finds its windows, and waits for
// what a user would see.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "simulator/DeviceSimulator.h"

// After the portable headers: <windows.h> defines the platform constants' names as macros.
#include <windows.h>

namespace tarnwick::e2e {

// The folder of the test program, where the build put tarnwick.exe and the test-double setupapi.dll.
std::filesystem::path ProgramFolder();

// The simulated machine every started program shares.
class TMachineFile {
public:
    explicit TMachineFile(std::filesystem::path path);
    void Write(const sim::TDeviceSimulator& machine) const;
    sim::TDeviceSimulator Read() const;
    const std::filesystem::path& Path() const noexcept { return FPath; }

private:
    std::filesystem::path FPath;
};

// A file the started program writes its standard output to, read back once it has ended.
class TOutputFile {
public:
    explicit TOutputFile(const wchar_t* name);
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;
    HANDLE Handle() const { return FHandle; }
    // Closes the file and returns what was written into it.
    std::string Text();

private:
    void Close();
    std::filesystem::path FPath;
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// One started tarnwick.exe (the one beside the test program unless another is named); ended (if still
// running) when the object goes.
class TProgram {
public:
    TProgram(const TMachineFile& machine, const std::wstring& arguments,
             const std::filesystem::path& program = ProgramFolder() / L"tarnwick.exe",
             HANDLE output = nullptr);
    // The program beside the test program, with its standard output in a file (as a script redirects it).
    TProgram(const TMachineFile& machine, const std::wstring& arguments, HANDLE output);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    DWORD ProcessId() const noexcept { return FProcess.dwProcessId; }
    bool Running() const;
    // Waits for the program to end by itself; true when it did within the time.
    bool WaitForExit(DWORD milliseconds) const;
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION FProcess{};
};

// Runs tarnwick.exe to its end with its standard output in a file; its exit code, or STILL_ACTIVE when
// it did not end in time.
DWORD RunToEnd(const TMachineFile& machine, const std::wstring& arguments, std::string* output,
               DWORD patience);

// Top-level windows of a process with the given class name (any class when empty).
std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className = L"");
// Every top-level window of every process with the given class name.
std::vector<HWND> WindowsOfClass(const std::wstring& className);
std::wstring WindowText(HWND window);
// A child window of the given class whose text is one of the given texts.
HWND FindChild(HWND parent, const std::wstring& className, const std::vector<std::wstring>& texts);

// Runs this thread's messages and checks the condition every 50 ms until it holds or the time is up.
bool WaitUntil(DWORD milliseconds, const std::function<bool()>& condition);

// Process ids of the running tarnwick.exe processes.
std::vector<DWORD> TarnwickProcesses();
// Ends every running tarnwick.exe (elevated copies started by a program are processes of their own).
void EndTarnwickProcesses();

} // namespace tarnwick::e2e
