#include <gtest/gtest.h>

#include "import/errors.hpp"
#include "import/names.hpp"

namespace mc = mv::camtrap;

TEST(Names, CleanedOfLineBreaksAndRunsOfBlanks) {
  EXPECT_EQ(mc::cleanText("  Beek,\r\n upper\t "), "Beek, upper");
  EXPECT_EQ(mc::cleanText("\n\t "), "");
  EXPECT_EQ(mc::cleanText("Rivi\xC3\xA8re"), "Rivi\xC3\xA8re");
}

TEST(Names, CutTo25ColumnsWithoutSplittingACharacter) {
  EXPECT_EQ(mc::fixedName("Heide plot with a very long name indeed"), "Heide plot with a very lo");
  EXPECT_EQ(mc::fixedName("Koppie"), "Koppie                   ");
  // "è" takes bytes 25 and 26: the name keeps 24 bytes and a blank.
  EXPECT_EQ(mc::fixedName("Point d'eau pr\xC3\xA8s du mar\xC3\xA9"
                          "cage"),
            "Point d'eau pr\xC3\xA8s du mar ");
  EXPECT_EQ(mc::cutText("abc", 2), "ab");
}

TEST(Names, CollisionsNameBothNames) {
  mc::DistinctNames names("species");
  EXPECT_EQ(names.add("Vulpes vulpes"), "Vulpes vulpes            ");
  EXPECT_EQ(names.add("Vulpes vulpes"), "Vulpes vulpes            ");
  names.add("Tragelaphus strepsiceros strepsiceros");
  try {
    names.add("Tragelaphus strepsiceros chora");
    FAIL() << "two names that become one must fail";
  } catch (const mc::ImportError& e) {
    EXPECT_STREQ(e.what(),
                 "species \"Tragelaphus strepsiceros strepsiceros\" and \"Tragelaphus strepsiceros chora\" are both "
                 "\"Tragelaphus strepsiceros\" when cut to 25 characters; rename one of them in the package");
  }
}
