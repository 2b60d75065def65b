// Entry points shared by the libFuzzer targets and the replay test: each
// feeds one arbitrary input to one reader (or to a whole run) and must return
// without a crash, a hang, a sanitizer report or unbounded memory.
#pragma once

#include <string_view>

namespace mvfuzz {

// The fixed-column reader and the layout parser/renderer.
void layoutReader(std::string_view data);
// Input.txt through both passes and the calendar.
void inputFile(std::string_view data);
// GroupMap.txt with a small valid Input.txt.
void groupMap(std::string_view data);
// AllPictures.txt with a small valid study, then the picture loop.
void allPictures(std::string_view data);
// A whole run: the data holds Input.txt, GroupMap.txt, AllPictures.txt and
// the console answers, separated by the byte 0x01.
void wholeRun(std::string_view data);
// A whole run that also writes the tables package and the HTML page: the
// data holds Input.txt, GroupMap.txt and AllPictures.txt separated by the
// byte 0x01, then optionally the PERIOD and the days per occasion as two
// numbers (60 and 7 where missing or out of range).
void tablesAndPage(std::string_view data);

}  // namespace mvfuzz
