// Writes a study as the three files Morvelstrand reads: Input.txt,
// GroupMap.txt and AllPictures.txt, fixed columns, lines ending in CR LF.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "import/study_data.hpp"

namespace mv::camtrap {

// The three file names, in the order they are written.
const std::vector<std::string>& studyFileNames();

// Those of the three files that already exist in `dir`.
std::vector<std::string> existingStudyFiles(const std::filesystem::path& dir);

// The files a Morvelstrand run leaves in a study folder.
const std::vector<std::string>& runOutputNames();

// Writes the three files into a new folder beside `dir` and then moves them
// into place: the new folder becomes `dir` when there is none, otherwise
// each file replaces its namesake. With `replacing`, the outputs of an
// earlier run in `dir` are removed; returns their names. Throws ImportError
// when a file cannot be written or moved, leaving `dir` as it was.
std::vector<std::string> writeStudy(const StudyData& study, const std::filesystem::path& dir, bool replacing = false);

}  // namespace mv::camtrap
