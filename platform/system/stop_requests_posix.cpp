// SIGTERM, SIGINT and SIGHUP, answered through the frame loop.
#include <csignal>
#include <initializer_list>

#include "platform/system/stop_requests.h"

namespace vexlorn {

void forwardStopRequests(void (*onStop)(int number)) {
    struct sigaction action = {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
}

// The kernel does not wait for the program: a signal is answered when the program has ended.
void stopAnswered() {}

}  // namespace vexlorn
