// Log-off and shutdown (WM_ENDSESSION to the game's window) and the console's Ctrl+C and close.
// Windows ends the process as soon as the handler returns, so the handler holds it until the
// game has gone through its normal shutdown and saved the hall of fame, or a few seconds passed.
#include <allegro.h>
#include <winalleg.h>

#include <csignal>

#include "platform/system/stop_requests.h"

namespace vexlorn {

namespace {

void (*stopHandler)(int) = nullptr;

// Windows itself gives a session's programs five seconds before it asks the user.
constexpr DWORD longestSaveMs = 4000;

HANDLE answeredEvent() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

void stopAndWait(int number) {
    if (stopHandler != nullptr) stopHandler(number);
    if (answeredEvent() != nullptr) WaitForSingleObject(answeredEvent(), longestSaveMs);
}

// Called by Allegro's window thread before its own handling; 0 means "handled, return *result".
int onWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM, int* result) {
    if (message == WM_QUERYENDSESSION) {
        *result = TRUE;
        return 0;
    }
    if (message == WM_ENDSESSION && wparam != FALSE) {
        stopAndWait(SIGTERM);
        *result = 0;
        return 0;
    }
    return 1;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            if (stopHandler != nullptr) stopHandler(SIGINT);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            stopAndWait(SIGTERM);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void holdStopRequests() {}

void forwardStopRequests(void (*onStop)(int number)) {
    stopHandler = onStop;
    answeredEvent();
    win_set_msg_pre_proc(onWindowMessage);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void stopAnswered() {
    if (answeredEvent() != nullptr) SetEvent(answeredEvent());
}

}  // namespace vexlorn
