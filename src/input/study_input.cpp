#include "input/input.hpp"

namespace mv {

StudyInput readStudy(const std::filesystem::path& folder, Console& console) {
  StudyInput st;
  READINPUTPARAMETERS(st, folder, console);
  st.sizeLocationTables();
  READINPUT(st, folder, console);
  STARTSTOPDAYS(st, console);
  // A study too long for the picture list ends here, before any table is
  // sized from its years.
  checkStudySpan(st, console);
  GETNUMBEROFLOCATIONS(st, folder, console);
  st.sizeMapTables();
  READGROUPMAP(st, folder, console);
  st.sizeGroupTables();
  CREATESHORTGROUPLIST(st);
  return st;
}

}  // namespace mv
