// Opening a file with the desktop's preferred application through xdg-open.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>

#include "platform/shell/shell.h"

namespace vexlorn {

namespace {

// The opener gets no terminal and none of the game's descriptors (X connection, sound device),
// runs in its own session so that a Ctrl+C meant for the game does not reach a browser it
// started, and starts with default signal handling whatever Allegro has installed here.
class DetachedSpawn {
public:
    DetachedSpawn() {
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_init(&actions_);
        sigset_t noSignals;
        sigemptyset(&noSignals);
        posix_spawnattr_setsigmask(&attributes_, &noSignals);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int number : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGCHLD}) {
            sigaddset(&defaults, number);
        }
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO);
        posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
    }
    ~DetachedSpawn() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    DetachedSpawn(const DetachedSpawn&) = delete;
    DetachedSpawn& operator=(const DetachedSpawn&) = delete;

    // Runs in the short-lived middle child; true when the program could be executed.
    bool spawn(const char* program, char* const argv[]) {
        pid_t child;
        return posix_spawnp(&child, program, &actions_, &attributes_, argv, environ) == 0;
    }

private:
    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

bool waitForExit(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool openWithDesktop(const char* file) {
    static const char opener[] = "xdg-open";
    char* const argv[] = {const_cast<char*>(opener), const_cast<char*>(file), nullptr};
    // Everything that allocates is prepared before the fork: the game has other threads.
    DetachedSpawn detached;
    // The middle child exits as soon as the opener runs, so the opener is adopted by init and
    // never lingers as our zombie; we wait only for the middle child, which takes moments.
    pid_t middle = fork();
    if (middle == 0) _exit(detached.spawn(opener, argv) ? 0 : 1);
    if (middle < 0) return false;
    return waitForExit(middle);
}

}  // namespace vexlorn
