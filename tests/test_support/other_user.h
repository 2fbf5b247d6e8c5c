// Running a piece of a test as a user whom file permissions bind: the suite runs as root on CI.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace vexlorn {

inline constexpr int nobodyId = 65534;

// Runs body in a child process, as "nobody" when this process is root; it shares the current
// directory. False when no such child could be had; the test should then skip.
inline bool runAsOtherUser(const std::function<void()>& body) {
    constexpr int noOtherUser = 77;
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(nobodyId, nobodyId, nobodyId) != 0 ||
             ::setresuid(nobodyId, nobodyId, nobodyId) != 0)) {
            ::_exit(noOtherUser);
        }
        body();
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return !(WIFEXITED(status) && WEXITSTATUS(status) == noOtherUser);
}

}  // namespace vexlorn
