// scratch_folder.h: a private folder for a test's files, removed with all it holds.
#ifndef QOR_TESTS_SCRATCH_FOLDER_H
#define QOR_TESTS_SCRATCH_FOLDER_H

#include <ftw.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

// Made under the test temp folder on construction, removed on destruction; a child that
// was forked from its owner and ends with _exit leaves it alone.
class ScratchFolder {
 public:
  ScratchFolder() : owner_(getpid()) {
    std::string pattern = ::testing::TempDir() + "qor_test_XXXXXX";
    if (mkdtemp(&pattern[0])) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot make a folder under " << ::testing::TempDir();
  }
  ~ScratchFolder() {
    if (!path_.empty() && getpid() == owner_)
      nftw(path_.c_str(), Remove_Entry, 16, FTW_DEPTH | FTW_PHYS);
  }
  ScratchFolder(const ScratchFolder &) = delete;
  ScratchFolder &operator=(const ScratchFolder &) = delete;

  std::string Path(const std::string &name) const { return path_ + "/" + name; }

 private:
  static int Remove_Entry(const char *path, const struct stat *, int, struct FTW *) {
    std::remove(path);
    return 0;
  }
  std::string path_;
  pid_t owner_;
};

#endif
