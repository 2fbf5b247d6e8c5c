// Opening a file or web address with the user's preferred application through ShellExecuteW.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include "platform/files/wide_path.h"
#include "platform/shell/shell.h"

namespace vexlorn {

namespace {

bool isWebAddress(const char* text) {
    return _strnicmp(text, "http://", 7) == 0 || _strnicmp(text, "https://", 8) == 0;
}

}  // namespace

// Only web addresses: a file handed to the shell is opened by its type's handler, and an
// Internet shortcut's handler would follow an address the link filter refused.
bool openWithDesktop(const char* file) {
    if (!isWebAddress(file)) return false;
    // The shell may start COM servers on this thread; it must be initialised for them.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring target = wideFromUtf8(file);
    // ShellExecute returns a value above 32 on success.
    const bool started =
        reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
    if (SUCCEEDED(com)) CoUninitialize();
    return started;
}

}  // namespace vexlorn
