// A port for a network test: one of its own per test process, so that runs side by side do not
// meet, and below the range the system hands out to sockets bound to no port in particular
// (32768 on, under Linux), which another test's client may be holding.
#pragma once

#include <unistd.h>

#include <cstdint>

namespace vexlorn {

inline uint16_t testPort(int offset) {
    return static_cast<uint16_t>(20000 + (getpid() * 13 + offset * 211) % 12000);
}

}  // namespace vexlorn
