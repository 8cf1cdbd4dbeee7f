#include "platform/win32/Win32Api.h"

namespace {

class SystemCalls final : public Win32Api {
public:
    HANDLE CreateFileW(const wchar_t* name, DWORD access, DWORD share,
                       SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                       HANDLE templateFile) override {
        return ::CreateFileW(name, access, share, security, disposition, flags, templateFile);
    }
    BOOL DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* returned, OVERLAPPED* overlapped) override {
        return ::DeviceIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
    }
    DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) override {
        return ::SetFilePointer(file, distance, distanceHigh, method);
    }
    BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* done,
                  OVERLAPPED* overlapped) override {
        return ::ReadFile(file, buffer, size, done, overlapped);
    }
    BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* done,
                   OVERLAPPED* overlapped) override {
        return ::WriteFile(file, buffer, size, done, overlapped);
    }
    BOOL CloseHandle(HANDLE handle) override { return ::CloseHandle(handle); }
    DWORD GetLastError() override { return ::GetLastError(); }
    DWORD GetLogicalDrives() override { return ::GetLogicalDrives(); }
    UINT GetDriveTypeW(const wchar_t* rootPath) override { return ::GetDriveTypeW(rootPath); }
    UINT GetSystemDirectoryW(wchar_t* buffer, UINT size) override {
        return ::GetSystemDirectoryW(buffer, size);
    }
    UINT GetWindowsDirectoryW(wchar_t* buffer, UINT size) override {
        return ::GetWindowsDirectoryW(buffer, size);
    }
    void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Win32Api& SystemApi() {
    static SystemCalls calls;
    return calls;
}
