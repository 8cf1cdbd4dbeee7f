// Drives the real program from outside, one step at a time, and reports what it sees as
// plain lines on standard output for scenario scripts to check.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tests/e2e/MessageIcon.h"
#include "tests/windows/ProgramControl.h"

class ProgramDriver {
public:
    ProgramDriver(std::wstring programPath, std::wstring shotDirectory,
                  std::wstring signalDirectory);

    // Each step prints its lines and answers false when what it waits for does not come.
    bool Start();
    bool StartSecondCopy();
    bool Controls();
    bool Click(const std::string& button);
    bool Key(const std::string& key);
    bool WaitReady();
    bool Message(const std::string& press, const std::string& shot);
    bool Progress(const std::string& shot);
    bool CloseDuringWrite();
    bool About(const std::string& shot);
    bool Shot(const std::string& name);
    bool Exit();
    // Pauses until the file NAME appears in the signal directory: the script changes the
    // world (another handheld, another data file) between two runs of one program.
    bool Await(const std::string& name);
    // Reports every message that a person clicking through the windows sees, until they
    // close the program.
    bool Watch();

private:
    void SaveShot(HWND window, const std::string& name, DWORD settleMs = 300) const;
    bool NeedsWindow() const;
    // Reports a message; false when a part of it lies outside it or its text is cut.
    bool Report(HWND message);

    std::wstring programPath;
    std::wstring shotDirectory;
    std::wstring signalDirectory;
    MessageIcons icons;
    std::unique_ptr<RunningProgram> program;
    HWND window = nullptr;
    HWND lastMessage = nullptr;
    // Left open by "hold" for the steps that follow; the next message step presses it.
    HWND heldMessage = nullptr;
};
