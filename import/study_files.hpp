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

// Writes the three files into `dir`, creating the folder when needed.
// Throws ImportError when a file cannot be written.
void writeStudy(const StudyData& study, const std::filesystem::path& dir);

}  // namespace mv::camtrap
