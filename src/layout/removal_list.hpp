// Files that must not outlive the process if it is killed: the temporary
// files of outputs being written, this run's intermediate picture list and
// its lock file. The program's signal handlers remove them.
#pragma once

#include <filesystem>

namespace mv {

// Adds a file; returns its slot (-1 when the list is full, which only
// means the file would be left behind by a signal).
int addToRemovalList(const std::filesystem::path& path);
// Takes the file of `slot` off the list (no-op for -1).
void dropFromRemovalList(int slot);

// Handlers for SIGINT, SIGTERM, SIGHUP and SIGPIPE that remove every listed
// file and then end the process by the same signal. For the program only;
// tests that run the driver in-process keep the default handlers.
void removeListedFilesOnSignals();

}  // namespace mv
