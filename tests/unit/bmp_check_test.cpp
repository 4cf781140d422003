// bmp_check_test.cpp: which BMP files may reach Allegro's loader, and that those it lets
// through really load.
#include "bmp_check.h"

#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "bmp_fixture.h"
#include "file_bytes.h"
#include "image_upload.h"

namespace {

void Put16(std::vector<uint8_t> &b, size_t at, uint32_t v) {
  b[at] = v & 255, b[at + 1] = (v >> 8) & 255;
}
void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) b[at + i] = (v >> (8 * i)) & 255;
}
uint32_t U32Of(const std::vector<uint8_t> &b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// A well-formed file: Windows (40) or OS/2 (12) header, colour table for up to 8 bits,
// masks for bit fields, a tiny valid stream for run-length data.
std::vector<uint8_t> Bmp_File(int w, int h, int bits, uint32_t compression = 0,
                              uint32_t headerSize = 40) {
  const bool os2 = headerSize == 12;
  std::vector<uint8_t> b(14 + headerSize);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 14, headerSize);
  if (os2) {
    Put16(b, 18, w), Put16(b, 20, h), Put16(b, 22, 1), Put16(b, 24, bits);
  } else {
    Put32(b, 18, w), Put32(b, 22, h), Put16(b, 26, 1), Put16(b, 28, bits);
    Put32(b, 30, compression);
  }
  if (compression == 3) {
    const uint32_t masks16[] = {0xF800, 0x07E0, 0x001F}, masks32[] = {0xFF0000, 0xFF00, 0xFF};
    for (uint32_t m : bits == 16 ? masks16 : masks32)
      for (int i = 0; i < 4; i++) b.push_back((m >> (8 * i)) & 255);
  }
  if (bits <= 8)
    for (int i = 0; i < (1 << bits); i++)
      for (int k = 0; k < (os2 ? 3 : 4); k++) b.push_back(k < 3 ? uint8_t(i * 255 >> bits) : 0);
  Put32(b, 10, static_cast<uint32_t>(b.size()));
  if (compression == 1 || compression == 2) {
    for (int y = 0; y < h; y++) b.insert(b.end(), {uint8_t(w), 0x12, 0, 0});  // run, end of line
    b.insert(b.end(), {0, 1});                                                 // end of image
  } else {
    const size_t row = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    for (size_t i = 0; i < row * h; i++) b.push_back(static_cast<uint8_t>(i * 7));
  }
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

TEST_F(BmpTest, AcceptedFormatsLoadWithTheirSize) {
  const struct {
    const char *name;
    int bits;
    uint32_t compression, headerSize;
    int depth;  // of the loaded bitmap
  } cases[] = {
      {"1 bit", 1, 0, 40, 8},          {"4 bits", 4, 0, 40, 8},
      {"8 bits", 8, 0, 40, 8},         {"16 bits", 16, 0, 40, 16},
      {"24 bits", 24, 0, 40, 24},      {"32 bits", 32, 0, 40, 32},
      {"8 bits RLE", 8, 1, 40, 8},     {"4 bits RLE", 4, 2, 40, 8},
      {"16 bits fields", 16, 3, 40, 16}, {"32 bits fields", 32, 3, 40, 32},
      {"OS/2 8 bits", 8, 0, 12, 8},    {"OS/2 24 bits", 24, 0, 12, 24},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Scratch("ok.bmp");
    const std::vector<uint8_t> file = Bmp_File(5, 3, c.bits, c.compression, c.headerSize);
    Write(path, file);
    EXPECT_EQ(Bmp_Check(file.data(), file.size()), nullptr);
    PALETTE palette;
    const char *refusal = "unset";
    std::unique_ptr<BITMAP, void (*)(BITMAP *)> image(Image_Load(path.c_str(), palette, &refusal),
                                                      destroy_bitmap);
    EXPECT_EQ(refusal, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 5);
    EXPECT_EQ(image->h, 3);
    EXPECT_EQ(bitmap_color_depth(image.get()), c.depth);
  }
}

// Each of these crashes the loader or comes back from it as junk.
TEST_F(BmpTest, HostileFilesAreRefused) {
  using Change = std::function<void(std::vector<uint8_t> &)>;
  const struct {
    const char *name;
    Change change;
  } cases[] = {
      {"truncated pixel data", [](auto &b) { b.resize(b.size() - 40); }},
      {"truncated in the info header", [](auto &b) { b.resize(30); }},
      {"shorter than a file header", [](auto &b) { b.resize(10); }},
      {"empty", [](auto &b) { b.clear(); }},
      {"2147483647 x 2147483647", [](auto &b) { Put32(b, 18, 0x7FFFFFFF), Put32(b, 22, 0x7FFFFFFF); }},
      {"zero width", [](auto &b) { Put32(b, 18, 0); }},
      {"zero height", [](auto &b) { Put32(b, 22, 0); }},
      {"negative width", [](auto &b) { Put32(b, 18, uint32_t(-64)); }},
      {"negative height", [](auto &b) { Put32(b, 22, uint32_t(-64)); }},
      {"bad signature", [](auto &b) { b[1] = 'A'; }},
      {"unknown header size 108", [](auto &b) { Put32(b, 14, 108); }},
      {"unknown header size 0", [](auto &b) { Put32(b, 14, 0); }},
      {"unsupported bit count 2", [](auto &b) { Put16(b, 28, 2); }},
      {"unsupported bit count 0", [](auto &b) { Put16(b, 28, 0); }},
      {"unsupported bit count 64", [](auto &b) { Put16(b, 28, 64); }},
      {"unknown compression", [](auto &b) { Put32(b, 30, 4); }},
      {"run-length data for 24 bits", [](auto &b) { Put32(b, 30, 1); }},
      {"pixel data offset past the end", [](auto &b) { Put32(b, 10, uint32_t(b.size() + 1)); }},
  };
  for (const auto &c : cases) {
    std::vector<uint8_t> file = Bmp_File(64, 64, 24);
    c.change(file);
    EXPECT_NE(Bmp_Check(file.data(), file.size()), nullptr) << c.name;
  }
}

// Names typed into the dialog that are no file to read: refused at once, without an open
// or a read that would wait for a writer or a key.
TEST_F(BmpTest, OnlyRegularFilesAreRead) {
  const std::string fifo = Scratch("pipe.bmp");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string absent = Scratch("absent.bmp");
  for (const char *path : {fifo.c_str(), "/dev/tty", "/dev/zero", "/tmp", absent.c_str()}) {
    EXPECT_EXIT(
        {
          alarm(10);  // a blocked open or read ends the child here, not the whole test run
          PALETTE palette;
          const char *refusal = nullptr;
          BITMAP *image = Image_Load(path, palette, &refusal);
          std::_Exit(!image && refusal ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << path;
  }
}

// The read stops at the limit it is given: a file that grows past it, or is larger from
// the start, is refused rather than read on.
TEST_F(BmpTest, FileReadKeepsToItsLimit) {
  const std::string path = Scratch("limit.bin");
  const std::vector<uint8_t> bytes(1000, 7);
  Write(path, bytes);
  for (size_t limit : {999u, 1000u, 5000u}) {
    FileBytes file;
    const char *refusal = File_Bytes_Read(path.c_str(), limit, &file);
    if (limit < bytes.size()) {
      EXPECT_NE(refusal, nullptr) << limit;
      EXPECT_EQ(file.data, nullptr);
    } else {
      EXPECT_EQ(refusal, nullptr) << limit;
      EXPECT_EQ(std::vector<uint8_t>(file.data, file.data + file.size), bytes);
    }
    File_Bytes_Free(&file);
  }
}

// An 8- or 4-bit run-length file of w x h with a full colour table and the given stream.
std::vector<uint8_t> Rle_File(int w, int h, int bits, const std::vector<uint8_t> &stream) {
  std::vector<uint8_t> b = Bmp_File(w, h, bits, bits == 8 ? 1 : 2);
  b.resize(U32Of(b, 10));
  b.insert(b.end(), stream.begin(), stream.end());
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

// The loader follows runs, literals and jumps without looking where they go: streams like
// these crash it or corrupt its heap. A header alone cannot tell them from good ones.
TEST_F(BmpTest, RunLengthStreamsThatLeaveTheImageAreRefused) {
  std::vector<uint8_t> longLiteral = {0, 200};
  longLiteral.resize(2 + 200, 9);
  longLiteral.insert(longLiteral.end(), {0, 1});
  const struct {
    const char *name;
    int bits;
    std::vector<uint8_t> stream;
  } cases[] = {
      {"run past the row end", 8, {255, 7, 0, 1}},
      {"run of 9 in a row of 8", 8, {9, 7, 0, 0, 0, 1}},
      {"literal past the row end", 8, longLiteral},
      {"jump past the last row", 8, {0, 2, 0, 255, 0, 2, 0, 255, 4, 7, 0, 1}},
      {"jump past the row end", 8, {0, 2, 9, 0, 0, 1}},
      {"more rows than the height", 8, {8, 1, 0, 0, 8, 1, 0, 0, 8, 1, 0, 0, 8, 1, 0, 0, 0, 1}},
      {"stream ends within the picture", 8, {4, 7}},
      {"literal cut short", 8, {0, 6, 1, 2}},
      {"4-bit run past the row end", 4, {9, 0x12, 0, 1}},
      {"4-bit literal cut short", 4, {0, 8, 0x12, 0x34}},
  };
  for (const auto &c : cases) {
    const std::vector<uint8_t> file = Rle_File(8, 3, c.bits, c.stream);
    EXPECT_NE(Bmp_Check(file.data(), file.size()), nullptr) << c.name;
  }

  // The loader reads the stream right after at most 256 table entries, whatever the offset
  // says: a stream elsewhere is not the one it would read.
  for (uint32_t offset : {50u, 55u, 54u + 1028u}) {
    std::vector<uint8_t> file = Rle_File(8, 3, 8, {0, 1});
    file.resize(54 + 1028 + 2, 0);
    Put32(file, 10, offset);
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    EXPECT_NE(Bmp_Check(file.data(), file.size()), nullptr) << "data offset " << offset;
  }
}

// Streams that stay inside the image still load, with their pixels where the stream put them.
TEST_F(BmpTest, RunLengthStreamsInsideTheImageLoad) {
  const struct {
    const char *name;
    std::vector<uint8_t> stream;
    std::vector<int> top, bottom;  // -1: not written by the stream
  } cases[] = {
      {"literal, run, jump, no end mark after the last row",
       {0, 3, 4, 5, 6, 0, 2, 8, 0, 0, 0, 2, 1, 0, 4, 9, 0, 0},
       {-1, 9, 9, 9, 9}, {4, 5, 6, 8, 8}},
      {"end of picture within the first row",
       {2, 3, 0, 1}, {-1, -1, -1, -1, -1}, {3, 3, -1, -1, -1}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Scratch("rle_ok.bmp");
    Write(path, Rle_File(5, 2, 8, c.stream));
    PALETTE palette;
    const char *refusal = "unset";
    std::unique_ptr<BITMAP, void (*)(BITMAP *)> image(Image_Load(path.c_str(), palette, &refusal),
                                                      destroy_bitmap);
    EXPECT_EQ(refusal, nullptr);
    ASSERT_NE(image, nullptr);
    for (int x = 0; x < 5; x++) {
      if (c.top[x] >= 0) {
        EXPECT_EQ(getpixel(image.get(), x, 0), c.top[x]) << "top " << x;
      }
      if (c.bottom[x] >= 0) {
        EXPECT_EQ(getpixel(image.get(), x, 1), c.bottom[x]) << "bottom " << x;
      }
    }
  }
}

// ImageMagick's run-length palette files: rows of a width not a multiple of 4 carry their
// padding as pixels, which the loader writes over the next row (the picture comes back
// wrong); such files are refused, the others load.
TEST_F(BmpTest, ImageMagickRunLengthFilesLoadOnlyWhenTheLoaderReadsThemRight) {
  for (int width : {37, 40}) {
    const std::string path = Scratch("magick_rle" + std::to_string(width) + ".bmp");
    const std::string command = "convert -size " + std::to_string(width) +
                                "x23 gradient:red-blue -type Palette -compress RLE 'BMP3:" +
                                path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> file = Read(path);
    ASSERT_EQ(file.at(30), 1) << "not run-length data";
    EXPECT_EQ(Bmp_Check(file.data(), file.size()) == nullptr, width % 4 == 0) << "width " << width;
  }
}

// Sizes that fit a (claimed) file but would still make the loader's bitmap absurd.
TEST(BmpCheckHeader, SizeLimitsOnTopOfTheFileSize) {
  const struct {
    int w, h, bits;
    bool accepted;
  } cases[] = {
      {8192, 8192, 1, true},   // exactly the pixel limit
      {8192, 8193, 1, false},  // one row more
      {32767, 1, 24, true},
      {32768, 1, 24, false},
      {1, 32768, 8, false},
  };
  for (const auto &c : cases) {
    std::vector<uint8_t> head = Bmp_File(1, 1, 24);
    head.resize(BMP_CHECK_HEAD_SIZE);
    Put32(head, 18, c.w), Put32(head, 22, c.h), Put16(head, 28, c.bits);
    const uint64_t row = (uint64_t(c.w) * c.bits + 31) / 32 * 4;
    const uint64_t fileSize = 54 + 1024 + row * c.h;  // room for any colour table
    Put32(head, 10, 54 + (c.bits <= 8 ? 4u << c.bits : 0));
    EXPECT_EQ(Bmp_Check_Header(head.data(), head.size(), fileSize) == nullptr, c.accepted)
        << c.w << "x" << c.h << "x" << c.bits;
  }
}

// Bit-field files: the loader reads the pixels right after the three masks and picks the
// layout by the red and blue masks alone. Those it reads right load with their colours; the
// others would upload wrong pixels and are refused.
TEST_F(BmpTest, BitFieldFilesLoadOnlyWhenTheLoaderReadsThemRight) {
  const int rgb[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                         {255, 255, 255}, {0, 0, 0}, {255, 255, 0}};  // 3 x 2, top row first
  const struct {
    const char *name;
    int bits;
    uint32_t red, green, blue;
    uint32_t gap;  // bytes between the masks and the pixels
    int offsetShift;  // added to the data offset without moving the pixels
    int depth;  // of the loaded image; 0: refused
  } cases[] = {
      {"16 bits 5-6-5", 16, 0xF800, 0x07E0, 0x001F, 0, 0, 16},
      {"16 bits 5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 0, 0, 15},
      {"32 bits 8-8-8", 32, 0xFF0000, 0xFF00, 0xFF, 0, 0, 32},
      {"pixels after a gap", 16, 0xF800, 0x07E0, 0x001F, 4, 0, 0},
      {"offset inside the masks", 16, 0xF800, 0x07E0, 0x001F, 0, -12, 0},
      {"16-bit data with 32-bit masks", 16, 0xFF0000, 0xFF00, 0xFF, 0, 0, 0},
      {"32-bit data with 16-bit masks", 32, 0xF800, 0x07E0, 0x001F, 0, 0, 0},
      {"green mask the loader ignores", 16, 0xF800, 0x0000, 0x001F, 0, 0, 0},
      {"blue and red swapped", 32, 0xFF, 0xFF00, 0xFF0000, 0, 0, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> file = Bmp_File(3, 2, c.bits, 3);
    file.resize(66);
    Put32(file, 54, c.red), Put32(file, 58, c.green), Put32(file, 62, c.blue);
    file.resize(file.size() + c.gap, 0x55);
    Put32(file, 10, static_cast<uint32_t>(static_cast<int>(file.size()) + c.offsetShift));
    const size_t row = (3 * c.bits / 8 + 3) / 4 * 4;
    for (int y = 1; y >= 0; y--) {
      std::vector<uint8_t> line(row, 0);
      for (int x = 0; x < 3; x++) {
        const int *p = rgb[y * 3 + x];
        const uint32_t v = (p[0] ? c.red : 0) | (p[1] ? c.green : 0) | (p[2] ? c.blue : 0);
        for (int i = 0; i < c.bits / 8; i++) line[x * c.bits / 8 + i] = (v >> (8 * i)) & 255;
      }
      file.insert(file.end(), line.begin(), line.end());
    }
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    const std::string path = Scratch("fields.bmp");
    Write(path, file);

    PALETTE palette;
    const char *refusal = nullptr;
    std::unique_ptr<BITMAP, void (*)(BITMAP *)> image(Image_Load(path.c_str(), palette, &refusal),
                                                      destroy_bitmap);
    if (c.depth == 0) {
      EXPECT_EQ(image, nullptr);
      EXPECT_NE(refusal, nullptr);
      continue;
    }
    ASSERT_NE(image, nullptr) << (refusal ? refusal : "loader failed");
    ASSERT_EQ(bitmap_color_depth(image.get()), c.depth);
    for (int i = 0; i < 6; i++) {
      const int pixel = getpixel(image.get(), i % 3, i / 3);
      EXPECT_EQ(getr_depth(c.depth, pixel), rgb[i][0]) << "pixel " << i;
      EXPECT_EQ(getg_depth(c.depth, pixel), rgb[i][1]) << "pixel " << i;
      EXPECT_EQ(getb_depth(c.depth, pixel), rgb[i][2]) << "pixel " << i;
    }
  }
}

// The BMP loader reads the file whatever its name ends in: named x.pcx, a BMP went to the
// PCX loader, which read it as a 65536 x 21846 picture and wrote outside its bitmap.
TEST_F(BmpTest, TheNameDoesNotChooseTheLoader) {
  BITMAP *picture = create_bitmap_ex(24, 3, 2);
  ASSERT_NE(picture, nullptr);
  for (int i = 0; i < 6; i++) putpixel(picture, i % 3, i / 3, makecol24(i * 40, 255 - i, i));
  const std::string bmp = Scratch("picture.bmp");
  ASSERT_EQ(save_bmp(bmp.c_str(), picture, nullptr), 0);
  for (const char *name : {"x.pcx", "x.tga", "x.lbm", "x", "x.BMP"}) {
    SCOPED_TRACE(name);
    const std::string path = Scratch(name);
    Write(path, Read(bmp));
    PALETTE palette;
    const char *refusal = nullptr;
    std::unique_ptr<BITMAP, void (*)(BITMAP *)> image(Image_Load(path.c_str(), palette, &refusal),
                                                      destroy_bitmap);
    ASSERT_NE(image, nullptr) << (refusal ? refusal : "loader failed");
    ASSERT_EQ(image->w, 3);
    ASSERT_EQ(image->h, 2);
    for (int i = 0; i < 6; i++)
      EXPECT_EQ(getpixel(image.get(), i % 3, i / 3), getpixel(picture, i % 3, i / 3)) << i;
  }
  destroy_bitmap(picture);
}

}  // namespace
