// The importer's fuzz entry, shared by its libFuzzer target and the replay
// test: one arbitrary package through the whole import, written and read
// back, must return without a crash, a hang or a sanitizer report.
#pragma once

#include <string_view>

namespace mvfuzz {

// The data holds deployments.csv, media.csv, observations.csv and, when
// present, datapackage.json, separated by the byte 0x01; its first byte
// picks the study's clock and grouping.
void camtrapPackage(std::string_view data);

}  // namespace mvfuzz
