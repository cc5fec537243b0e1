#include "platform/StartupTrace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace orbet {

bool startupTraceOn() {
    static const bool on = [] {
        const char* v = std::getenv("ORBET_STARTUP_TRACE");
        return v && *v && *v != '0';
    }();
    return on;
}

void traceStartupStep(const char* step) {
    if (!startupTraceOn()) return;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::fprintf(stderr, "orbet-startup %lld %s\n", ts.tv_sec * 1000000000LL + ts.tv_nsec, step);
}

} // namespace orbet
