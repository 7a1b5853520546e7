#pragma once

// What keeps a stitch worker from outliving the process that asked for it, set up before any library
// of the worker starts. The death signal is the first thing the worker does; if its parent went
// before that, or goes at any time after, the worker removes its result file and the folder it was
// given (one named for stitches only) and ends.
namespace WorkerGuard {

// The environment variable through which the parent tells the worker its process id.
constexpr char parentVariable[] = "SEAMWRIGHT_STITCH_PARENT";

// Removes the result file and its folder; safe in a signal handler.
void removeResult();

} // namespace WorkerGuard
