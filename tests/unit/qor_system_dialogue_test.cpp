// qor_system_dialogue_test.cpp: the system dialogue's answers read from a stream.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "startup.h"
#include "viewer.h"

namespace {

size_t Count(const std::string &text, const std::string &part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SystemDialogue, Answers) {
  struct Case {
    const char *input;
    bool chosen;
    int32_t systemId;
    size_t prompts;
    size_t badIds;
  };
  const Case cases[] = {
      {"4\n", true, 4, 1, 0},
      {"  +6 trailing\n", true, 6, 1, 0},
      {"x y\n\n\n2\n", true, 2, 2, 0},            // blank lines are skipped like scanf does
      {"7\n0\n8\n", true, 8, 3, 2},
      {"-1\n1", true, 1, 2, 1},                   // -1 reads as 4294967295: not in the list
      {"99999999999\n3\n", true, 3, 2, 0},        // too long for an id: no answer
      {"5x\n", true, 5, 1, 0},
      {"7x\n", false, -1, 3, 1},                  // "x" is the next answer, then the end
      {"", false, -1, 1, 0},
      {"abc", false, -1, 2, 0},                   // input ends inside a discarded line
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.input);
    Viewer_Reset();
    std::string input = c.input;
    FILE *in = input.empty() ? fopen("/dev/null", "r") : fmemopen(&input[0], input.size(), "r");
    ASSERT_NE(in, nullptr);
    testing::internal::CaptureStdout();
    const bool chosen = System_Choose(in);
    const std::string out = testing::internal::GetCapturedStdout();
    fclose(in);
    EXPECT_EQ(chosen, c.chosen);
    EXPECT_EQ(viewer.systemId, c.systemId);
    EXPECT_EQ(Count(out, "\nSelect System ID:\n"), c.prompts) << out;
    EXPECT_EQ(Count(out, "ID: Bad ID !!!\n"), c.badIds) << out;
    EXPECT_EQ(Count(out, "No system chosen: standard input ended.\n"), c.chosen ? 0u : 1u);
  }
}

TEST(SystemDialogue, IdFromTheCommandLineAsksNothing) {
  Viewer_Reset();
  viewer.systemId = 7;   // not in the list: used unchecked
  testing::internal::CaptureStdout();
  EXPECT_TRUE(System_Choose(nullptr));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(viewer.systemId, 7);
  EXPECT_STREQ(System_Name(7), "unknown");
  EXPECT_STREQ(System_Name(3), "SimMono16");
}

}  // namespace
