// Group x group tables of reals, printed as their upper triangle in blocks of
// 10 row groups by 10 column groups.
#pragma once

#include <string_view>

#include "layout/layout.hpp"
#include "model/study.hpp"

namespace mv {

// cells(i, j) for i < j are printed; a block is a header (headerLayout with
// "Locations" and the column groups' names), one row per row group
// (rowLayout with the group's name and its cells), then an empty line.
void printPairTable(const StudyInput& st, const Table<float, 2>& cells, std::string_view headerLayout,
                    std::string_view rowLayout, Writer& report);

}  // namespace mv
