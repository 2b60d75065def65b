#include <system_error>

#include "import/errors.hpp"
#include "import/readers.hpp"
#include "import/study_data.hpp"

namespace mv::camtrap {

SourceKind kindOfFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  if (std::filesystem::exists(dir / "datapackage.json", ec)) return SourceKind::CamtrapDp;
  if (std::filesystem::exists(dir / "images.csv", ec) && std::filesystem::exists(dir / "deployments.csv", ec))
    return SourceKind::WildlifeInsights;
  return SourceKind::Detect;
}

std::optional<SourceKind> sourceKindNamed(const std::string& name) {
  if (name == "camtrap-dp") return SourceKind::CamtrapDp;
  if (name == "wildlife-insights") return SourceKind::WildlifeInsights;
  if (name == "camtrapr") return SourceKind::CamtrapR;
  return std::nullopt;
}

StudyData buildStudy(const ImportOptions& options) {
  SourceKind kind = options.from;
  if (kind == SourceKind::Detect) {
    if (options.records || options.stations) {
      kind = SourceKind::CamtrapR;
    } else {
      kind = kindOfFolder(options.packageDir);
      std::error_code ec;
      // A folder that is not there is read as a package, whose reader says
      // that it cannot open its datapackage.json.
      if (kind == SourceKind::Detect && std::filesystem::is_directory(options.packageDir, ec))
        throw ImportError(options.packageDir.string() +
                          " holds neither datapackage.json (a Camtrap DP package) nor images.csv and "
                          "deployments.csv (a Wildlife Insights export); for camtrapR tables give --records "
                          "FILE --stations FILE, or name the kind with --from");
      if (kind == SourceKind::Detect) kind = SourceKind::CamtrapDp;
    }
  }
  // Options that belong to another kind of source would be silently
  // ignored; they are refused instead.
  if (options.commonNames && kind != SourceKind::WildlifeInsights)
    throw ImportError("--names common takes the species of a Wildlife Insights export by common_name; this is " +
                      std::string(kind == SourceKind::CamtrapR ? "camtrapR tables" : "a Camtrap DP package"));
  if (kind != SourceKind::CamtrapR) {
    const char* tableOption = options.utmZone                      ? "--utm-zone"
                              : options.countColumn                ? "--count-column"
                              : options.dateFormat != "dd/mm/yyyy" ? "--date-format"
                                                                   : nullptr;
    if (tableOption != nullptr)
      throw ImportError(std::string(tableOption) + " is for camtrapR tables (--records FILE --stations FILE); " +
                        options.packageDir.string() + " is " +
                        (kind == SourceKind::WildlifeInsights ? "a Wildlife Insights export" : "a Camtrap DP package"));
  }
  // The study's clock is chosen for timestamps that carry their UTC offset;
  // the other sources write the camera's local time without one.
  if ((options.timeZone || options.utcOffsetMinutes) && kind != SourceKind::CamtrapDp)
    throw ImportError(std::string(options.timeZone ? "--time-zone" : "--utc-offset") +
                      " is for Camtrap DP packages, whose timestamps carry their UTC offset; the times of " +
                      (kind == SourceKind::WildlifeInsights ? "a Wildlife Insights export" : "camtrapR tables") +
                      " are the camera's local time and are written as they are");
  switch (kind) {
    case SourceKind::WildlifeInsights:
      return readWildlifeInsights(options);
    case SourceKind::CamtrapR:
      return readCamtrapR(options);
    case SourceKind::CamtrapDp:
    case SourceKind::Detect:
      break;
  }
  return readCamtrapDp(options);
}

}  // namespace mv::camtrap
