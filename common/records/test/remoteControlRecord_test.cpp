#include "UserDataStruct.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

TEST(UserDataStructTest, RecordIsObjectWordThenFifteenValuesThenPadding) {
  UserDataStruct data;
  auto symbols = data.getSymbolList();
  ASSERT_EQ(symbols.size(), 1u);
  const Symbol& s = symbols.front();
  EXPECT_EQ(s.getName(), "bramixData");
  EXPECT_EQ(s.getType(), "int8_t");
  EXPECT_EQ(s.getSizeOf(), 15u);
  EXPECT_EQ(s.getOffset(), sizeof(void*));
  EXPECT_EQ(sizeof(UserDataStruct), sizeof(void*) == 4 ? 20u : 24u);
  for (int8_t v : data.bramixData) {
    EXPECT_EQ(v, 0);
  }
}

}  // namespace
