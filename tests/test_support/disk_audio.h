// Listening to the sound device in tests: SDL's disk driver writes everything it mixes to a file.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace vexlorn {

constexpr int captureRate = 44100;

inline long framesOf(int milliseconds) {
    return static_cast<long>(captureRate) * milliseconds / 1000;
}

inline void sleepMs(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Sets an environment variable for the guard's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            old_ = old;
        }
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (had_) {
            ::setenv(name_.c_str(), old_.c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

// 16-bit stereo frames as the device mixed them.
struct Capture {
    std::vector<int16_t> samples;

    long frames() const { return static_cast<long>(samples.size() / 2); }
    int left(long frame) const { return samples[2 * frame]; }
    int right(long frame) const { return samples[2 * frame + 1]; }
    bool quiet(long frame) const { return left(frame) == 0 && right(frame) == 0; }
};

// While it exists, the device opened next writes to a temporary file in real time.
class DiskAudio {
public:
    DiskAudio()
        : path_(makePath()),
          driver_("SDL_AUDIODRIVER", "disk"),
          file_("SDL_DISKAUDIOFILE", path_.c_str()),
          delay_("SDL_DISKAUDIODELAY", nullptr) {}
    ~DiskAudio() { std::remove(path_.c_str()); }

    // Waits until the device has played `milliseconds` more: on a busy machine its thread falls
    // behind the clock, and waiting by the clock would squeeze the gaps a test leaves.
    void wait(int milliseconds) const {
        long target = framesWritten() + framesOf(milliseconds);
        auto giveUp =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(2000 + 10 * milliseconds);
        while (framesWritten() < target && std::chrono::steady_clock::now() < giveUp) sleepMs(2);
    }

    // Only complete once the device is closed.
    Capture capture() const {
        Capture result;
        if (std::FILE* file = std::fopen(path_.c_str(), "rb")) {
            int16_t buffer[4096];
            size_t count;
            while ((count = std::fread(buffer, sizeof *buffer, 4096, file)) > 0) {
                result.samples.insert(result.samples.end(), buffer, buffer + count);
            }
            std::fclose(file);
        }
        return result;
    }

    // What has reached the file so far; the driver's buffered writes keep up to a few ms back.
    long framesWritten() const {
        struct stat status;
        return ::stat(path_.c_str(), &status) == 0 ? static_cast<long>(status.st_size / 4) : 0;
    }

private:
    static std::string makePath() {
        char pattern[] = "/tmp/vexlorn-audio-XXXXXX";
        int fd = ::mkstemp(pattern);
        if (fd >= 0) ::close(fd);
        return pattern;
    }

    std::string path_;
    ScopedEnv driver_;
    ScopedEnv file_;
    ScopedEnv delay_;
};

inline double rms(const Capture& capture, int channel, long from, long to) {
    double sum = 0.0;
    for (long frame = from; frame < to; ++frame) {
        double value = capture.samples[2 * frame + channel];
        sum += value * value;
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

inline double leftToRight(const Capture& capture, long from, long to) {
    return rms(capture, 0, from, to) / rms(capture, 1, from, to);
}

inline double energy(const Capture& capture) {
    double sum = 0.0;
    for (int16_t sample : capture.samples) sum += static_cast<double>(sample) * sample;
    return sum;
}

// First frame at or after `from` with any sound; -1 if none.
inline long firstSound(const Capture& capture, long from = 0) {
    for (long frame = from; frame < capture.frames(); ++frame) {
        if (!capture.quiet(frame)) return frame;
    }
    return -1;
}

inline bool silent(const Capture& capture, long from, long to) {
    for (long frame = from; frame < to && frame < capture.frames(); ++frame) {
        if (!capture.quiet(frame)) return false;
    }
    return true;
}

struct Span {
    long begin;
    long end;
};

// Stretches of sound separated by at least `gap` silent frames.
inline std::vector<Span> bursts(const Capture& capture, long gap) {
    std::vector<Span> result;
    long quietSince = -1;
    for (long frame = 0; frame < capture.frames(); ++frame) {
        if (capture.quiet(frame)) {
            if (quietSince < 0) quietSince = frame;
            continue;
        }
        if (result.empty() || (quietSince >= 0 && frame - quietSince >= gap)) {
            result.push_back({frame, frame + 1});
        }
        result.back().end = frame + 1;
        quietSince = -1;
    }
    return result;
}

// First frame at or after `from` where `haystack` holds `frames` frames of `needle` from `at`;
// -1 if none.
inline long findFrames(const Capture& haystack, long from, const Capture& needle, long at,
                       long frames) {
    if (at < 0 || at + frames > needle.frames()) return -1;
    const int16_t* wanted = needle.samples.data() + 2 * at;
    for (long start = std::max(from, 0L); start + frames <= haystack.frames(); ++start) {
        const int16_t* here = haystack.samples.data() + 2 * start;
        long i = 0;
        while (i < 2 * frames && here[i] == wanted[i]) ++i;
        if (i == 2 * frames) return start;
    }
    return -1;
}

}  // namespace vexlorn
