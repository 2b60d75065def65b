// Reads a written study folder back with Morvelstrand's own input routines,
// on a scratch copy so that their by-products (FinalPicsList.txt, Reject.txt)
// never land in the study folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "import/study_data.hpp"

namespace mv::camtrap {

struct ReaderCheck {
  bool ran = false;     // the readers ran to their end
  std::string failure;  // why they did not, or what they ended with
  int NLOCATIONS = 0;
  int NSPECIES = 0;
  int MAXPERIODS = 0;
  int NMAPLINES = 0;
  int NGROUPS = 0;
  int FIRSTYEAR = 0;
  int LASTYEAR = 0;
  int NPROCESSED = 0;
  int NUSED = 0;
  int NREJECTED = 0;
  std::vector<std::string> rejectLines;  // the first lines of Reject.txt, if any
  std::string console;                   // what the readers wrote on their console
};

// Runs READINPUTPARAMETERS, READINPUT, STARTSTOPDAYS, GETNUMBEROFLOCATIONS,
// READGROUPMAP, CREATESHORTGROUPLIST and READALLPICTURES on a copy of the
// three files of `studyDir`.
ReaderCheck checkWithReaders(const std::filesystem::path& studyDir);

// The differences between what the readers found and what was written; empty
// when they agree.
std::vector<std::string> disagreements(const ReaderCheck& check, const StudyData& study);

}  // namespace mv::camtrap
