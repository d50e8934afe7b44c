#include "resources/StringTable.h"

#include <gtest/gtest.h>

// Every table of the program and the libraries it links registers at load, before the first test: an id that two
// tables of one module give different texts would make one of them show the other's words.
TEST(ProgramTexts, NoTwoTablesGiveOneIdDifferentTexts)
{
    EXPECT_TRUE(StringTableClashes().empty()) << ::testing::PrintToString(StringTableClashes());
}
