/* Starts a program and reports how long it takes until its first frame is on the X screen.
 *
 * usage: first_frame X Y W H COMMAND [ARGS...]
 * Polls the root window's rectangle (X, Y, W, H) with XGetImage about once a millisecond, from
 * just before fork and exec until any pixel there is not black (the game run with -fps prints
 * its white pass-rate text in the top-left corner on its first shown frame). Prints
 * "PID MILLISECONDS CPU_MILLISECONDS" (the program's own user + system time by then, which a
 * loaded machine does not inflate) and exits, leaving the program running; MILLISECONDS is -1
 * when nothing showed within 30 s. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* User + system time of a process so far, from /proc. */
static double cpuMs(pid_t pid) {
    char path[64], text[1024];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE* file = fopen(path, "r");
    if (file == NULL) return -1;
    size_t length = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[length] = 0;
    /* The fields after the command name's closing parenthesis: state is the first, utime the 12th.
     */
    char* rest = strrchr(text, ')');
    if (rest == NULL) return -1;
    unsigned long user = 0, system = 0;
    if (sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) !=
        2)
        return -1;
    return (user + system) * 1000.0 / sysconf(_SC_CLK_TCK);
}

static int shows(Display* display, Window root, int x, int y, int w, int h) {
    XImage* image = XGetImage(display, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (image == NULL) return 0;
    int found = 0;
    for (int row = 0; row < h && !found; ++row) {
        if (image->bits_per_pixel == 32) {
            /* A whole screen a millisecond: read the rows directly, not pixel by pixel. */
            const unsigned int* pixels =
                (const unsigned int*)(image->data + (long)row * image->bytes_per_line);
            for (int col = 0; col < w; ++col) {
                if ((pixels[col] & 0xffffff) != 0) {
                    found = 1;
                    break;
                }
            }
            continue;
        }
        for (int col = 0; col < w; ++col) {
            if ((XGetPixel(image, col, row) & 0xffffff) != 0) {
                found = 1;
                break;
            }
        }
    }
    XDestroyImage(image);
    return found;
}

int main(int argc, char** argv) {
    if (argc < 6) {
        fprintf(stderr, "usage: %s X Y W H COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    int x = atoi(argv[1]), y = atoi(argv[2]), w = atoi(argv[3]), h = atoi(argv[4]);
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "cannot open display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    if (shows(display, root, x, y, w, h)) {
        fprintf(stderr, "the rectangle is not black before the start\n");
        return 2;
    }
    double start = nowMs();
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setsid();
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    struct timespec pause = {0, 1000000};
    double elapsed = -1;
    double cpu = -1;
    while (nowMs() - start < 30000) {
        if (shows(display, root, x, y, w, h)) {
            elapsed = nowMs() - start;
            cpu = cpuMs(pid);
            break;
        }
        nanosleep(&pause, NULL);
    }
    printf("%d %.1f %.0f\n", (int)pid, elapsed, cpu);
    XCloseDisplay(display);
    return 0;
}
