// SIGTERM, SIGINT and SIGHUP, answered through the frame loop.
#include <pthread.h>

#include <csignal>
#include <initializer_list>

#include "platform/system/stop_requests.h"

namespace vexlorn {

static sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, number);
    return set;
}

void holdStopRequests() {
    const sigset_t held = stopSignals();
    pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

void forwardStopRequests(void (*onStop)(int number)) {
    struct sigaction action = {};
    action.sa_handler = onStop;
    // The library's X and sound calls are not all ready for an interrupted read.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
    const sigset_t held = stopSignals();
    pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

// The kernel does not wait for the program: a signal is answered when the program has ended.
void stopAnswered() {}

}  // namespace vexlorn
