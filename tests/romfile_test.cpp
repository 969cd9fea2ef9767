// Unit tests of the byte-stream helpers and CopyRomFile, on temporary files.
#include "romimage/romfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "romimage/romimage.h"
#include "testutil.h"

using testutil::Fill;
using testutil::Pattern;
using testutil::ReadFile;
using testutil::SameBytes;
using testutil::Slice;
using testutil::TempDir;
using testutil::WriteFile;

namespace {

// What the run has said, as the command writes it to standard error.
std::string Said(const ::Run& run) {
  std::string lines;
  for (const Diagnostic& d : run.diagnostics) lines += Render(d, Language::kEnglish) + "\n";
  return lines;
}

// Larger than one block of the helpers, so that copies cross block boundaries.
constexpr std::size_t kLarge = 3 * 64 * 1024 + 123;

struct CopyCase {
  const char* name;
  std::size_t inputSize;
  std::size_t offset;  // where the read position stands when the copy starts
  std::size_t count;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyBytesTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyBytesTest, WritesExactlyCountBytesWithFFPastTheEnd) {
  const CopyCase& c = GetParam();
  TempDir dir;
  const std::string input = Pattern(c.inputSize, 7);
  WriteFile(dir / "in", input);
  const std::string inName = dir / "in", outName = dir / "out";

  ::Run run;
  const auto in = OpenRomInput(run, inName.c_str());
  const auto out = CreateRomImage(run, outName.c_str());
  ASSERT_TRUE(in && out);
  ASSERT_TRUE(in->Seek(c.offset));
  Taken taken;
  ASSERT_TRUE(CopyBytes(*in, *out, c.count, &taken));
  // A second copy goes on from where the first one stopped.
  ASSERT_TRUE(CopyBytes(*in, *out, 10));
  ASSERT_TRUE(out->Commit());

  const std::size_t available = c.inputSize > c.offset ? c.inputSize - c.offset : 0;
  EXPECT_EQ(taken.count, std::min(available, c.count));
  EXPECT_TRUE(
      SameBytes(Slice(input, c.offset, c.count) + Slice(input, c.offset + c.count, 10), ReadFile(outName)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyBytesTest,
    ::testing::Values(CopyCase{"EmptyInput", 0, 0, 2048}, CopyCase{"ShortInput", 1000, 0, 2048},
                      CopyCase{"ExactInput", 2048, 0, 2048}, CopyCase{"LongInput", 5000, 0, 2048},
                      CopyCase{"FromOffset", 10240, 2048, 8192},
                      CopyCase{"OffsetPastTheEnd", 1000, 2048, 8192}, CopyCase{"ZeroCount", 100, 0, 0},
                      CopyCase{"ManyBlocksShortInput", kLarge - 5000, 0, kLarge},
                      CopyCase{"ManyBlocksLongInput", kLarge + 5000, 0, kLarge}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

// A dump's first part is looked at as it is copied, and the rest of a dump
// that looks blank so far must be looked at too, not left to the kernel unseen.
struct BlankCase {
  const char* name;
  std::string input;
  bool blank;
};

void PrintTo(const BlankCase& c, std::ostream* os) { *os << c.name; }

class TakenTest : public ::testing::TestWithParam<BlankCase> {};

TEST_P(TakenTest, CopyUpToThenToEndFindsABlankDumpWhole) {
  const BlankCase& c = GetParam();
  TempDir dir;
  WriteFile(dir / "in", c.input);
  const std::string inName = dir / "in", outName = dir / "out";
  ::Run run;
  const auto in = OpenRomInput(run, inName.c_str());
  const auto out = CreateRomImage(run, outName.c_str());
  ASSERT_TRUE(in && out);
  Taken taken(512);
  ASSERT_TRUE(CopyUpTo(*in, *out, 6144, &taken));
  if (taken.count == 6144) {
    ASSERT_TRUE(CopyToEnd(*in, *out, &taken));
  }
  ASSERT_TRUE(out->Commit());
  EXPECT_TRUE(SameBytes(c.input, ReadFile(outName)));
  EXPECT_EQ(c.input.size(), taken.count);
  EXPECT_EQ(c.blank, taken.Blank());
  if (c.blank) {
    EXPECT_EQ(static_cast<unsigned char>(c.input[0]), taken.value);
  }
  EXPECT_EQ(c.input.substr(0, 512), taken.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakenTest,
    ::testing::Values(BlankCase{"Empty", "", false}, BlankCase{"OneByte", "\x5A", false},
                      BlankCase{"TwoBytes", "\x5A\x5A", true},
                      BlankCase{"ShortBlank", Fill(4000, '\xFF'), true},
                      BlankCase{"ShortWithOneOtherByte", Fill(3999, '\xFF') + '\xFE', false},
                      BlankCase{"LongBlank", Fill(kLarge, '\0'), true},
                      BlankCase{"LongWithTheLastByteOther", Fill(kLarge - 1, '\0') + '\x01', false},
                      BlankCase{"LongPattern", Pattern(kLarge, 5), false}),
    [](const ::testing::TestParamInfo<BlankCase>& info) { return std::string(info.param.name); });

struct FillCase {
  const char* name;
  unsigned char value;
  std::size_t count;
};

void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

class WriteFillTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(WriteFillTest, WritesCountBytesOfValue) {
  const FillCase& c = GetParam();
  TempDir dir;
  const std::string outName = dir / "out";
  ::Run run;
  const auto out = CreateRomImage(run, outName.c_str());
  ASSERT_TRUE(out);
  ASSERT_TRUE(WriteFill(*out, c.value, c.count));
  ASSERT_TRUE(out->Commit());
  EXPECT_TRUE(SameBytes(Fill(c.count, static_cast<char>(c.value)), ReadFile(outName)));
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteFillTest,
                         ::testing::Values(FillCase{"Nothing", 0x00, 0}, FillCase{"Zeros", 0x00, 1022},
                                           FillCase{"OtherValue", 0xA5, 6144},
                                           FillCase{"ManyBlocks", 0x00, kLarge}),
                         [](const ::testing::TestParamInfo<FillCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(CopyRomFileTest, CopiesWholeFileWhateverItsBytesAndSize) {
  ::Run run;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{8192}, kLarge}) {
    TempDir dir;
    // 0xFF bytes are data, not an end.
    const std::string source = Fill(100, '\xFF') + Pattern(size, 3);
    WriteFile(dir / "A", source);
    WriteFile(dir / "B", Pattern(kLarge + 10, 9));  // an old, longer file is truncated
    EXPECT_TRUE(CopyRomFile(run, (dir / "A").c_str(), (dir / "B").c_str()));
    EXPECT_TRUE(SameBytes(source, ReadFile(dir / "B"))) << "size " << size;
  }
}

TEST(CopyRomFileTest, MissingSourceCreatesNothing) {
  ::Run run;
  TempDir dir;
  EXPECT_FALSE(CopyRomFile(run, (dir / "A").c_str(), (dir / "B").c_str()));
  EXPECT_EQ("quorvel-v2gen: " + (dir / "A") + ": cannot open for reading: No such file or directory\n",
            Said(run));
  EXPECT_FALSE(std::filesystem::exists(dir / "B"));
}

TEST(CopyRomFileTest, DestinationThatCannotBeCreatedFails) {
  ::Run run;
  TempDir dir;
  WriteFile(dir / "A", Pattern(100, 1));
  std::filesystem::create_directory(dir / "B");
  EXPECT_FALSE(CopyRomFile(run, (dir / "A").c_str(), (dir / "B").c_str()));
  EXPECT_EQ("quorvel-v2gen: " + (dir / "B") + ": cannot create: Is a directory\n", Said(run));
}

// A read error is not the end of the input: the copy must fail, not succeed
// with what it had.
TEST(CopyRomFileTest, ReadErrorFails) {
  ::Run run;
  TempDir dir;
  std::filesystem::create_directory(dir / "A");
  EXPECT_FALSE(CopyRomFile(run, (dir / "A").c_str(), (dir / "B").c_str()));
  EXPECT_EQ("quorvel-v2gen: " + (dir / "A") + ": cannot read: Is a directory\n", Said(run));
}

// The image abandoned leaves its place as it was: the old bytes, and no new file beside them.
TEST(CopyBytesTest, ReadErrorFailsAndLeavesTheOldImage) {
  TempDir dir;
  std::filesystem::create_directory(dir / "in");
  WriteFile(dir / "out", "old");
  const std::string inName = dir / "in", outName = dir / "out";
  {
    ::Run run;
    const auto in = OpenRomInput(run, inName.c_str());
    const auto out = CreateRomImage(run, outName.c_str());
    ASSERT_TRUE(in && out);
    EXPECT_FALSE(CopyBytes(*in, *out, 2048));
  }
  EXPECT_EQ("old", ReadFile(outName));
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) entries += entry.exists() ? 1 : 0;
  EXPECT_EQ(2u, entries);
}

// A full device takes the bytes into the stream's buffer and refuses them at
// the flush: the failure must surface by the close at the latest.
TEST(RomFileTest, WriteFailureSurfacesByClose) {
  for (std::uint64_t count : {std::uint64_t{2}, std::uint64_t{kLarge}}) {
    ::Run run;
    const auto out = CreateRomImage(run, "/dev/full");
    ASSERT_TRUE(out);
    EXPECT_FALSE(WriteFill(*out, 0x00, count) && out->Commit()) << count;
    EXPECT_EQ("quorvel-v2gen: /dev/full: cannot write: No space left on device\n", Said(run));
  }
}

}  // namespace
