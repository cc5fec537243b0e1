#pragma once

namespace orbet {

// With ORBET_STARTUP_TRACE=1 in the environment, each call prints
// "orbet-startup <CLOCK_MONOTONIC ns> <step>" to stderr, so a benchmark that
// knows when it launched the program can tell what each step of the start
// cost. Without it a call costs one test of a flag.
void traceStartupStep(const char* step);
bool startupTraceOn();

} // namespace orbet
