// Byte-stream helpers: image files that report their own failures, and block copies.
#include "romimage/romfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "romimage/messages.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <dirent.h>
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

// Files are descriptors, not streams: every transfer is already a block, and
// an image that exists must be opened without being created (see
// RomFile::Open), which stdio cannot ask for. Bytes pass untranslated.
#ifdef _WIN32
constexpr int kReading = _O_RDONLY | _O_BINARY;
constexpr int kCreating = _O_WRONLY | _O_TRUNC | _O_CREAT | _O_BINARY;
int OpenFile(const char* name, int flags) { return _open(name, flags, _S_IREAD | _S_IWRITE); }
long ReadFile(int fd, unsigned char* buffer, std::size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(size));
}
long WriteFile(int fd, const unsigned char* buffer, std::size_t size) {
  return _write(fd, buffer, static_cast<unsigned>(size));
}
bool SeekFile(int fd, std::uint64_t offset) {
  return _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) >= 0;
}
int CloseFile(int fd) { return _close(fd); }
#else
constexpr int kReading = O_RDONLY;
constexpr int kWriting = O_WRONLY | O_TRUNC;
constexpr int kCreating = kWriting | O_CREAT;
int OpenFile(const char* name, int flags) { return open(name, flags, 0666); }
long ReadFile(int fd, unsigned char* buffer, std::size_t size) { return read(fd, buffer, size); }
long WriteFile(int fd, const unsigned char* buffer, std::size_t size) { return write(fd, buffer, size); }
bool SeekFile(int fd, std::uint64_t offset) { return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0; }
int CloseFile(int fd) { return close(fd); }

// Only A to Z fold onto a to z, as the switch is compared: no locale can
// make two other names the same.
bool SameButForCase(const char* a, const char* b) {
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (fold(*a) != fold(*b)) return false;
  return *a == *b;
}

struct CloseFolder {
  void operator()(DIR* dir) const { (void)closedir(dir); }  // only read: nothing is lost
};

// The entries of path's folder whose names differ from path's only in ASCII
// case, the exact name among them if it is there, as paths, in order.
std::vector<std::string> MatchesIgnoringCase(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = path.substr(prefix.size());
  std::vector<std::string> matches;
  const std::unique_ptr<DIR, CloseFolder> dir(opendir(prefix.empty() ? "." : prefix.c_str()));
  if (dir == nullptr) return matches;
  while (const dirent* entry = readdir(dir.get()))
    if (SameButForCase(entry->d_name, name.c_str())) matches.push_back(prefix + entry->d_name);
  std::sort(matches.begin(), matches.end());
  return matches;
}
#endif

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

void ReportFailure(const char* name, Attempt attempt, int error) {
  WriteDiagnostic(FailureLine(name, attempt, error));
}

void ReportAmbiguousName(const char* name, Attempt attempt, const std::vector<std::string>& matches) {
  WriteDiagnostic(AmbiguousNameLine(name, attempt, matches));
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
  if (fd_ >= 0) (void)CloseFile(fd_);
}

bool RomFile::OpenForReading() { return Open(false); }

bool RomFile::Create() { return Open(true); }

// The exact name costs one open, as it always did; the folder is read only
// when that name is missing. An image is opened without being created first,
// so that an old copy whose name differs in case is written over rather
// than left beside a new one, as Windows does.
bool RomFile::Open(bool writing) {
  const Attempt attempt = writing ? Attempt::kCreate : Attempt::kOpenForReading;
  errno = 0;
#ifdef _WIN32
  // Windows' own file systems ignore case already.
  fd_ = OpenFile(name_.c_str(), writing ? kCreating : kReading);
#else
  const int flags = writing ? kWriting : kReading;
  fd_ = OpenFile(name_.c_str(), flags);
  if (fd_ < 0 && errno == ENOENT) {
    const std::vector<std::string> matches = MatchesIgnoringCase(name_);
    if (matches.size() > 1) {
      ReportAmbiguousName(name_.c_str(), attempt, matches);
      return false;
    }
    errno = ENOENT;
    if (matches.size() == 1 && matches[0] != name_) {
      name_ = matches[0];
      fd_ = OpenFile(name_.c_str(), flags);
    } else if (writing) {
      fd_ = OpenFile(name_.c_str(), kCreating);
    }
  }
#endif
  if (fd_ < 0) ReportFailure(name_.c_str(), attempt, errno);
  return fd_ >= 0;
}

// As fread does, fewer bytes than asked only at the end of the file: a pipe
// that delivers a block in parts still fills it.
bool RomFile::Read(unsigned char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  while (*got < size) {
    errno = 0;
    const long n = ReadFile(fd_, buffer + *got, size - *got);
    if (n < 0) {
      ReportFailure(name_.c_str(), Attempt::kRead, errno);
      return false;
    }
    if (n == 0) break;
    *got += static_cast<std::size_t>(n);
  }
  return true;
}

bool RomFile::Write(const unsigned char* buffer, std::size_t size) {
  while (size > 0) {
    errno = 0;
    const long n = WriteFile(fd_, buffer, size);
    if (n <= 0) {
      ReportFailure(name_.c_str(), Attempt::kWrite, errno);
      return false;
    }
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool RomFile::Seek(std::uint64_t offset) {
  errno = 0;
  if (!SeekFile(fd_, offset)) {
    ReportFailure(name_.c_str(), Attempt::kSeek, errno);
    return false;
  }
  return true;
}

// A close can fail after every write has succeeded: NFS and disk quotas
// report the error of a delayed write there, so the result is checked.
bool RomFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  errno = 0;
  if (CloseFile(fd) != 0) {
    ReportFailure(name_.c_str(), Attempt::kClose, errno);
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
    const std::uint64_t moved = CopyInKernel(input.fd_, output.fd_);
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
