// Independence rule, picture tallies and the moon calendar.
#pragma once

#include <filesystem>

#include "model/study.hpp"

namespace mv {

// Day numbers of the built-in full and new moons within the study years.
void MOONPHASES(Study& st);

// The picture loop: reads FinalPicsList.txt into PICCOUNT, SPECIESFIRSTDAY,
// FIRSTLASTPIC and the activity tables.
void READPICTURELIST(Study& st, const std::filesystem::path& folder);

}  // namespace mv
