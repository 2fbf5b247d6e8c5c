// How much of a long-running test to run: the sanitizer build runs the same cases on less data,
// so the whole suite stays quick enough to run on every change.
#pragma once

namespace vexlorn {

#ifdef VEXLORN_SANITIZED
inline constexpr bool sanitizedBuild = true;
#else
inline constexpr bool sanitizedBuild = false;
#endif

// `count` in the normal build, a tenth of it (at least one) under the sanitizers.
constexpr int scaledCount(int count) {
    return sanitizedBuild ? (count / 10 > 0 ? count / 10 : 1) : count;
}

}  // namespace vexlorn
