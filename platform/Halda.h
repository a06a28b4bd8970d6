// The heap of the window, which builds a document of a program's size for
// every block command.
#pragma once

// On Linux with the GNU C library, restarts the running program once with the
// library's tunable that backs the heap with transparent huge pages: a
// million-line program then costs a few hundred page faults instead of tens
// of thousands, which dominate the run on virtual machines. (The batch tool
// streams through buffers of a few megabytes and has no need of it.)
// Returns at once elsewhere, when already restarted, or when the restart is
// not possible.
// The restarted program gets its environment back as it was, so that what it
// starts does not inherit the setting. TARVIK_VELKE_STRANKY=1 in the
// environment keeps the program from restarting.
void ZapnoutVelkeStranky(char** argv);
