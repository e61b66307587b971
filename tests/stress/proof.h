#pragma once

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The reliability proofs run short in every test run and at full size when
// VL4_PROOF=full (scripts/proof, ctest -L stress). Each prints its figures,
// so that a run shows what it counted, not only that it passed.

inline bool FullProof() {
    const char* proof = std::getenv("VL4_PROOF");
    return proof && !std::strcmp(proof, "full");
}

inline int ProofSize(int shortRun, int fullRun) {
    return FullProof() ? fullRun : shortRun;
}

// One line of figures, flushed at once so that it lands among gtest's lines.
inline void Figure(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline void Figure(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("  ", stdout);
    std::vprintf(format, args);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    va_end(args);
}

// Wall-clock time of a run, for the figures only: no test bounds it.
class Stopwatch {
public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    }

private:
    std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
};
