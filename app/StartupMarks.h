// Timing marks of the start, for finding where it goes. With TVX_START_MARKS
// set (to anything), each mark writes one line to stderr:
//   tvxmonitor: start +12.34 ms (thread cpu 20.10 ms, faults 1404) STEP
// the time since the first mark (the tool's main() makes it), the CPU time
// of the calling thread since it began and its minor page faults so far (a
// step whose CPU time falls short of its time waited: for the display
// server, a lock, another thread). Unset, a mark costs the test of one
// flag. Any thread.
#pragma once

namespace tvx {

void StartupMark(const char *step);

}  // namespace tvx
