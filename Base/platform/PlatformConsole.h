#pragma once
// Operating-system calls of the command-line programs: terminal tests and the signals that ask a
// running conversion to stop.

#include <atomic>

namespace vKit
{

// True when the descriptor (1 standard output, 2 standard error) is a terminal.
bool PlatformIsTerminal(int descriptor);

// SIGINT and SIGTERM set the flag instead of ending the process; a second one of them ends it
// as usual, so a stuck program can still be stopped. The two are unblocked, so that one already
// pending is delivered at once. The flag must outlive the process.
void PlatformCatchStopSignals(std::atomic<bool>* flag);

} // namespace vKit
