// qor_line_transfer_test.cpp: a block lands in the bitmap's rows, back to back or not.
#include "line_transfer.h"

#include "qor_line_fake_lib.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

const int SENTINEL = 254;

class LineTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    Fake_Reset();
    ASSERT_EQ(0, install_allegro(SYSTEM_NONE, &errno, atexit));
  }
  void TearDown() override { allegro_exit(); }
};

// Row y of bmp must hold bytes y * w .. y * w + w - 1 of the delivered stream.
void ExpectBlock(BITMAP *bmp) {
  for (int y = 0; y < bmp->h; ++y) {
    for (int x = 0; x < bmp->w; ++x) {
      ASSERT_EQ(Fake_Byte(uint64_t(y) * bmp->w + x), bmp->line[y][x])
          << "(" << x << ", " << y << ")";
    }
  }
}

TEST_F(LineTransfer, RowLayoutIsCheckedNotAssumed) {
  BITMAP *parent = create_bitmap(64, 16);
  BITMAP *whole = create_bitmap(37, 5);
  BITMAP *inner = create_sub_bitmap(parent, 8, 2, 40, 10);
  BITMAP *fullWidth = create_sub_bitmap(parent, 0, 3, 64, 4);
  BITMAP *oneRow = create_sub_bitmap(parent, 8, 2, 40, 1);
  EXPECT_TRUE(Line_Rows_Contiguous(whole));
  EXPECT_TRUE(Line_Rows_Contiguous(fullWidth));
  EXPECT_TRUE(Line_Rows_Contiguous(oneRow));
  EXPECT_FALSE(Line_Rows_Contiguous(inner));
  for (BITMAP *b : {oneRow, fullWidth, inner, whole, parent}) destroy_bitmap(b);
}

TEST_F(LineTransfer, ContiguousBitmapTakesTheBlockInOneTransfer) {
  BITMAP *bmp = create_bitmap(2048, 256);
  ASSERT_EQ(0, Line_Block_Transfer(3, bmp, nullptr));
  ASSERT_EQ(1u, g_fake.transfers.size());
  EXPECT_EQ(static_cast<void *>(bmp->line[0]), g_fake.transfers[0].destination);
  EXPECT_EQ(2048u * 256u, g_fake.transfers[0].size);
  ExpectBlock(bmp);
  destroy_bitmap(bmp);
}

TEST_F(LineTransfer, GappedRowsAreFilledOneByOneAndNothingBesideThem) {
  BITMAP *parent = create_bitmap(64, 16);
  clear_to_color(parent, SENTINEL);
  BITMAP *inner = create_sub_bitmap(parent, 8, 2, 40, 10);
  ASSERT_EQ(0, Line_Block_Transfer(3, inner, nullptr));
  ASSERT_EQ(10u, g_fake.transfers.size());
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(static_cast<void *>(inner->line[y]), g_fake.transfers[y].destination);
    EXPECT_EQ(40u, g_fake.transfers[y].size);
  }
  ExpectBlock(inner);
  for (int y = 0; y < parent->h; ++y) {
    for (int x = 0; x < parent->w; ++x) {
      const bool inside = x >= 8 && x < 48 && y >= 2 && y < 12;
      if (!inside) {
        ASSERT_EQ(SENTINEL, parent->line[y][x]) << "(" << x << ", " << y << ")";
      }
    }
  }
  destroy_bitmap(inner);
  destroy_bitmap(parent);
}

TEST_F(LineTransfer, StopsAtTheFirstFailingRow) {
  BITMAP *parent = create_bitmap(64, 16);
  BITMAP *inner = create_sub_bitmap(parent, 8, 2, 40, 10);
  g_fake.failTransferAt = 3;
  g_fake.failStatus = QORLIB3_ERR_BLOCK_STATE;
  EXPECT_EQ(QORLIB3_ERR_BLOCK_STATE, Line_Block_Transfer(3, inner, nullptr));
  EXPECT_EQ(3u, g_fake.transfers.size());
  destroy_bitmap(inner);
  destroy_bitmap(parent);
}

}  // namespace
