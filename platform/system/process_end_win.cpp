// Windows: the process ends without the libraries' teardown, which can wait for ever (a
// library's thread waiting on a lock that the exiting thread holds).
#include <windows.h>

#include <cstdio>

#include "platform/system/process_end.h"

namespace vexlorn {

namespace {

constexpr DWORD longestExitMs = 2000;

DWORD WINAPI endLater(void* status) {
    Sleep(longestExitMs);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(reinterpret_cast<UINT_PTR>(status)));
    return 0;
}

}  // namespace

void endProcessOnceSaved(int status) {
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
}

void endProcessWithin(int status) {
    HANDLE guard = CreateThread(nullptr, 0, endLater,
                                reinterpret_cast<void*>(static_cast<UINT_PTR>(status)), 0, nullptr);
    if (guard != nullptr) CloseHandle(guard);
}

}  // namespace vexlorn
