// inspect_search_index_test.cpp: qor-devinfo's search index ends at the last int32_t, without
// the signed overflow an "index >= 0 after ++index" guard relied on (the optimiser drops it).
#include <gtest/gtest.h>

#include <cstdint>

#include "devinfo_options.h"

TEST(SearchIndex, StepsByOneAndStopsAtTheLastIndex) {
  int32_t index = 0;
  ASSERT_TRUE(Search_Index_Next(&index));
  EXPECT_EQ(index, 1);

  index = INT32_MAX - 2;
  int steps = 0;
  while (Search_Index_Next(&index)) ++steps;
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(index, INT32_MAX);
  EXPECT_FALSE(Search_Index_Next(&index));
  EXPECT_EQ(index, INT32_MAX);
}
