// Byte-stream helpers: image files that report their own failures, and block copies.
#include "romimage/romfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "romimage/messages.h"

#if defined(__linux__)
#include <unistd.h>
#endif

namespace {

// Large enough that a copy costs one system call per block, small enough for
// any stack; memory stays the same whatever the size of an input.
constexpr std::size_t kBlockSize = std::size_t{64} * 1024;

std::size_t NextBlock(std::uint64_t remaining) {
  return remaining < kBlockSize ? static_cast<std::size_t>(remaining) : kBlockSize;
}

// Every transfer is already a block, so the stream's own buffer would only
// split and copy it again; unbuffered, each block is one system call.
// Buffered or not, the same bytes arrive, so a refusal changes nothing.
void Unbuffer(std::FILE* file) { (void)std::setvbuf(file, nullptr, _IONBF, 0); }

#if defined(__linux__)
// Lets the kernel move the bytes from input to output, as cat does, without
// passing them through this process. It stops at the end of the input or at
// the first call that fails: the portable loop then carries on from there
// and reports any error with its reason.
std::uint64_t CopyInKernel(std::FILE* input, std::FILE* output) {
  std::uint64_t copied = 0;
  if (std::fflush(output) != 0) return copied;
  for (;;) {
    ssize_t moved = copy_file_range(fileno(input), nullptr, fileno(output), nullptr, 1 << 30, 0);
    if (moved <= 0) return copied;
    copied += static_cast<std::uint64_t>(moved);
  }
}
#endif

}  // namespace

void ReportFailure(const char* name, Attempt attempt, int error) {
  WriteDiagnostic(FailureLine(name, attempt, error));
}

void WarnShortInput(const char* name, std::uint64_t size, std::uint64_t expected) {
  WriteDiagnostic(ShortInputLine(name, size, expected));
}

void WarnLongInput(const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                   std::uint64_t imageSize, std::uint64_t usualSize) {
  WriteDiagnostic(LongInputLine(name, size, expected, image, imageSize, usualSize));
}

void WarnBlankInput(const char* name, std::uint64_t offset, const Taken& taken) {
  WriteDiagnostic(BlankInputLine(name, offset, offset + taken.count - 1, taken.value));
}

void WarnSameInput(const char* name, const char* other, const Taken& taken) {
  WriteDiagnostic(SameInputLine(name, other, taken.count));
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

RomFile::~RomFile() {
  // Only a failure path leaves a file open, and that failure is already reported.
  if (file_ != nullptr) (void)std::fclose(file_);
}

bool RomFile::OpenForReading() {
  errno = 0;
  file_ = std::fopen(name_, "rb");
  if (file_ == nullptr)
    ReportFailure(name_, Attempt::kOpenForReading, errno);
  else
    Unbuffer(file_);
  return file_ != nullptr;
}

bool RomFile::Create() {
  errno = 0;
  file_ = std::fopen(name_, "wb");
  if (file_ == nullptr)
    ReportFailure(name_, Attempt::kCreate, errno);
  else
    Unbuffer(file_);
  return file_ != nullptr;
}

bool RomFile::Read(unsigned char* buffer, std::size_t size, std::size_t* got) {
  errno = 0;
  *got = std::fread(buffer, 1, size, file_);
  if (*got < size && std::ferror(file_)) {
    ReportFailure(name_, Attempt::kRead, errno);
    return false;
  }
  return true;
}

bool RomFile::Write(const unsigned char* buffer, std::size_t size) {
  errno = 0;
  if (std::fwrite(buffer, 1, size, file_) != size) {
    ReportFailure(name_, Attempt::kWrite, errno);
    return false;
  }
  return true;
}

bool RomFile::Seek(std::uint64_t offset) {
  errno = 0;
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
    ReportFailure(name_, Attempt::kSeek, errno);
    return false;
  }
  return true;
}

// A close can fail after every write has succeeded: NFS and disk quotas
// report the error of a delayed write there, so the result is checked. The
// streams are unbuffered, and fclose would report a failed flush in any case.
bool RomFile::Close() {
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) {
    ReportFailure(name_, Attempt::kClose, errno);
    return false;
  }
  return true;
}

bool CopyBytes(RomFile& input, RomFile& output, std::uint64_t count, Taken* taken) {
  Taken own;
  if (taken == nullptr) taken = &own;
  const std::uint64_t before = taken->count;
  if (!CopyUpTo(input, output, count, taken)) return false;
  // An image keeps its full size however short its input: 0xFF is what an
  // unprogrammed ROM reads as.
  return WriteFill(output, 0xFF, count - (taken->count - before));
}

bool CopyUpTo(RomFile& input, RomFile& output, std::uint64_t count, Taken* taken) {
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

bool CopyToEnd(RomFile& input, RomFile& output, Taken* taken) {
#if defined(__linux__)
  if (!taken->Blank()) {
    const std::uint64_t moved = CopyInKernel(input.file_, output.file_);
    taken->count += moved;
    if (moved > 0) taken->oneValue = false;  // unseen, so not known to be blank
  }
#endif
  // No input is that long: the copy stops at the end.
  return CopyUpTo(input, output, std::numeric_limits<std::uint64_t>::max(), taken);
}

bool WriteFill(RomFile& output, unsigned char value, std::uint64_t count) {
  unsigned char block[kBlockSize];
  std::memset(block, value, NextBlock(count));
  while (count > 0) {
    std::size_t size = NextBlock(count);
    if (!output.Write(block, size)) return false;
    count -= size;
  }
  return true;
}
