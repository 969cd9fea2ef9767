// Helpers shared by the tests: temporary folders, whole-file reads and writes, byte patterns.
#ifndef QUORVEL_TESTS_TESTUTIL_H
#define QUORVEL_TESTS_TESTUTIL_H

#include <gtest/gtest.h>
#include <iconv.h>
#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testutil {

// Bytes in which every value turns up, 0x00, 0x0A, 0x0D, 0x1A and 0xFF among
// them, so that any newline or end-of-file translation shows.
inline std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 131 + std::size_t{seed} * 29 + (i >> 8)) & 0xFF);
  return bytes;
}

// length bytes of source from offset, with 0xFF for those that source lacks.
inline std::string Slice(const std::string& source, std::size_t offset, std::size_t length) {
  std::string bytes = offset < source.size() ? source.substr(offset, length) : std::string();
  bytes.resize(length, '\xFF');
  return bytes;
}

// text from one encoding to another, as glibc's iconv converts it.
inline std::string Convert(const std::string& text, const char* from, const char* to) {
  iconv_t converter = iconv_open(to, from);
  // iconv_open's failure is (iconv_t)-1, a pointer made from an integer.
  if (converter == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
    ADD_FAILURE() << "iconv cannot convert " << from << " to " << to;
    return "";
  }
  std::string in = text, out(text.size() * 4 + 16, '\0');
  char* inAt = in.data();
  char* outAt = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1))
    ADD_FAILURE() << "iconv cannot convert " << text;
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

inline std::string Fill(std::size_t size, char value) { return std::string(size, value); }

// Whole buffers at a time: a character at a time took a second for each
// 12 MiB image without the optimizer (the sanitizers' build).
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Compares two byte strings and, when they differ, says where instead of
// printing kilobytes of binary.
inline ::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  auto byteAt = [](const std::string& s, std::size_t i) {
    return i < s.size() ? std::to_string(static_cast<unsigned char>(s[i])) : std::string("(end)");
  };
  return ::testing::AssertionFailure() << "expected " << expected.size() << " bytes, got " << actual.size()
                                       << "; first difference at offset " << at << ": expected "
                                       << byteAt(expected, at) << ", got " << byteAt(actual, at);
}

// A fresh folder, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace testutil

#endif
