// Files that must not outlive the process if it is killed: the temporary
// files of outputs being written, this run's intermediate picture list and
// its lock file, and the folder a new tables package is made in. The
// program's signal handlers remove them.
#pragma once

#include <signal.h>

#include <filesystem>

namespace mv {

// Adds a file; returns its slot (-1 when the list is full, which only
// means the file would be left behind by a signal).
int addToRemovalList(const std::filesystem::path& path);
// Takes the file of `slot` off the list (no-op for -1).
void dropFromRemovalList(int slot);
// Adds a folder that holds no more than the files named in `names` (a list
// ended by a null pointer, which must outlive the slot) and temporary files
// on the file list: a signal removes those files and then the folder.
int addFolderToRemovalList(const std::filesystem::path& folder, const char* const* names);
void dropFolderFromRemovalList(int slot);

// Handlers for SIGINT, SIGTERM, SIGHUP and SIGPIPE that remove every listed
// file and then end the process by the same signal. For the program only;
// tests that run the driver in-process keep the default handlers.
void removeListedFilesOnSignals();

// Holds SIGINT, SIGTERM, SIGHUP and SIGPIPE back from the calling thread
// while it lives; one that arrives meanwhile is handled when it ends. A file
// is created and listed under it, so no signal falls between the two.
class TerminationSignalsHeld {
 public:
  TerminationSignalsHeld();
  ~TerminationSignalsHeld();
  TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
  TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace mv
