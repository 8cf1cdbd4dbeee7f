// The kernel calls that reach a handheld, behind one seam so a test can stand in for them.
#pragma once

#include <windows.h>

class Win32Api {
public:
    virtual HANDLE CreateFileW(const wchar_t* name, DWORD access, DWORD share,
                               SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                               HANDLE templateFile) = 0;
    virtual BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                                 DWORD outSize, DWORD* returned, OVERLAPPED* overlapped) = 0;
    virtual DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) = 0;
    virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* done,
                          OVERLAPPED* overlapped) = 0;
    virtual BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* done,
                           OVERLAPPED* overlapped) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    virtual DWORD GetLastError() = 0;
    virtual DWORD GetLogicalDrives() = 0;
    virtual UINT GetDriveTypeW(const wchar_t* rootPath) = 0;
    virtual UINT GetSystemDirectoryW(wchar_t* buffer, UINT size) = 0;
    virtual UINT GetWindowsDirectoryW(wchar_t* buffer, UINT size) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;

protected:
    ~Win32Api() = default;
};

// The calls themselves.
Win32Api& SystemApi();
