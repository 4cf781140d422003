// fuzz_input.h: turning a fuzzer's bytes into the argument vectors and streams the programs read.
#ifndef QOR_TESTS_FUZZ_INPUT_H
#define QOR_TESTS_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Arguments separated by zero bytes, after a fixed program name; each is its own
// zero-terminated, writable string (the parsers may write into them).
struct FuzzArgs {
  std::vector<std::string> texts;
  std::vector<char *> argv;  // argc = argv.size() - 1; argv[argc] is null

  FuzzArgs(const char *program, const uint8_t *data, size_t size) {
    texts.emplace_back(program);
    size_t start = 0;
    for (size_t i = 0; i <= size; i++) {
      if (i == size || data[i] == 0) {
        texts.emplace_back(reinterpret_cast<const char *>(data) + start, i - start);
        start = i + 1;
      }
    }
    if (size == 0) texts.pop_back();  // no bytes: no arguments at all
    for (std::string &t : texts) argv.push_back(&t[0]);
    argv.push_back(nullptr);
  }
  int Count() const { return static_cast<int>(argv.size()) - 1; }
};

// The first separator of two zero bytes splits an input in two: what comes before and after.
inline size_t Fuzz_Split(const uint8_t *data, size_t size) {
  for (size_t i = 0; i + 1 < size; i++)
    if (data[i] == 0 && data[i + 1] == 0) return i;
  return size;
}

#endif
