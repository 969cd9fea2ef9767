// Byte-stream helpers: block copies and fills between the run's files, and
// the warnings as data.
#include "romimage/romfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "romimage/messages.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Large enough that a copy costs one system call per block, small enough for
// any stack; memory stays the same whatever the size of an input.
constexpr std::size_t kBlockSize = std::size_t{64} * 1024;

std::size_t NextBlock(std::uint64_t remaining) {
  return remaining < kBlockSize ? static_cast<std::size_t>(remaining) : kBlockSize;
}

#if defined(__linux__)
// Lets the kernel move the bytes from input to output, as cat does, without
// passing them through this process. It stops at the end of the input or at
// the first call that fails: the portable loop then carries on from there
// and reports any error with its reason.
std::uint64_t CopyInKernel(int input, int output) {
  std::uint64_t copied = 0;
  for (;;) {
    ssize_t moved = copy_file_range(input, nullptr, output, nullptr, 1 << 30, 0);
    if (moved <= 0) return copied;
    copied += static_cast<std::uint64_t>(moved);
  }
}
#endif

}  // namespace

#ifdef _WIN32
Run::Run() = default;
#else
Run::Run() : folder(AT_FDCWD) {}
#endif

void WarnShortInput(Run& run, const char* name, std::uint64_t size, std::uint64_t expected) {
  Diagnostic d{Diagnostic::kShortInput, name};
  d.numbers[0] = size;
  d.numbers[1] = expected;
  run.Report(d);
}

void WarnLongInput(Run& run, const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                   std::uint64_t imageSize, std::uint64_t usualSize) {
  Diagnostic d{Diagnostic::kLongInput, name};
  d.numbers[0] = size;
  d.numbers[1] = expected;
  d.numbers[2] = imageSize;
  d.numbers[3] = usualSize;
  d.other = image;
  run.Report(d);
}

void WarnBlankInput(Run& run, const char* name, std::uint64_t offset, const Taken& taken) {
  Diagnostic d{Diagnostic::kBlankInput, name};
  d.numbers[0] = offset;
  d.numbers[1] = offset + taken.count - 1;
  d.numbers[2] = taken.value;
  run.Report(d);
}

void WarnSameInput(Run& run, const char* name, const char* other, const Taken& taken) {
  Diagnostic d{Diagnostic::kSameInput, name};
  d.numbers[0] = taken.count;
  d.other = other;
  run.Report(d);
}

void Taken::Add(const unsigned char* bytes, std::size_t size) {
  if (size == 0) return;
  if (count == 0) value = bytes[0];
  // Once a second value has turned up, nothing more is looked at.
  for (std::size_t i = 0; oneValue && i < size; ++i) oneValue = bytes[i] == value;
  if (kept.size() < keep)
    kept.append(reinterpret_cast<const char*>(bytes), std::min(size, keep - kept.size()));
  count += size;
}

bool CopyBytes(RomInput& input, RomImage& output, std::uint64_t count, Taken* taken) {
  Taken own;
  if (taken == nullptr) taken = &own;
  const std::uint64_t before = taken->count;
  if (!CopyUpTo(input, output, count, taken)) return false;
  // An image keeps its full size however short its input: 0xFF is what an
  // unprogrammed ROM reads as.
  return WriteFill(output, 0xFF, count - (taken->count - before));
}

bool CopyUpTo(RomInput& input, RomImage& output, std::uint64_t count, Taken* taken) {
  unsigned char block[kBlockSize];
  while (count > 0) {
    std::size_t size = NextBlock(count);
    std::size_t got = 0;
    if (!input.Read(block, size, &got)) return false;
    if (got > 0 && !output.Write(block, got)) return false;
    taken->Add(block, got);
    if (got < size) return true;
    count -= size;
  }
  return true;
}

bool CopyToEnd(RomInput& input, RomImage& output, Taken* taken) {
#if defined(__linux__)
  if (!taken->Blank() && input.Descriptor() >= 0 && output.Descriptor() >= 0) {
    const std::uint64_t moved = CopyInKernel(input.Descriptor(), output.Descriptor());
    taken->count += moved;
    if (moved > 0) taken->oneValue = false;  // unseen, so not known to be blank
  }
#endif
  // No input is that long: the copy stops at the end.
  return CopyUpTo(input, output, std::numeric_limits<std::uint64_t>::max(), taken);
}

bool WriteFill(RomImage& output, unsigned char value, std::uint64_t count) {
  unsigned char block[kBlockSize];
  std::memset(block, value, NextBlock(count));
  while (count > 0) {
    std::size_t size = NextBlock(count);
    if (!output.Write(block, size)) return false;
    count -= size;
  }
  return true;
}
