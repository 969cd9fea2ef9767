// Byte-stream helpers: image files on disk or in memory that report their own
// failures, block copies, and the warnings as data.
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
int OpenFile(const Run& run, const std::string& name, int flags) {
  return _open((run.prefix + name).c_str(), flags, _S_IREAD | _S_IWRITE);
}
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
int OpenFile(const Run& run, const std::string& name, int flags) {
  return openat(run.folder, name.c_str(), flags, 0666);
}
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

// The entries of path's folder (in the run's folder) whose names differ from
// path's only in ASCII case, the exact name among them if it is there, as
// paths, in order.
std::vector<std::string> MatchesIgnoringCase(const Run& run, const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = path.substr(prefix.size());
  std::vector<std::string> matches;
  const int fd = openat(run.folder, prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return matches;
  // fdopendir owns fd from here, and closedir closes it.
  const std::unique_ptr<DIR, CloseFolder> dir(fdopendir(fd));
  if (dir == nullptr) {
    (void)close(fd);  // only read: nothing is lost
    return matches;
  }
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

RomFile::~RomFile() {
  // Only a failure path leaves a file open, and that failure is already reported.
  if (fd_ >= 0) (void)CloseFile(fd_);
}

bool RomFile::OpenForReading() { return run_.memory != nullptr ? OpenInMemory(false) : Open(false); }

bool RomFile::Create() {
  const bool created = run_.memory != nullptr ? OpenInMemory(true) : Open(true);
  if (created && std::find(run_.images.begin(), run_.images.end(), name_) == run_.images.end())
    run_.images.push_back(name_);
  return created;
}

void RomFile::Fail(Attempt attempt, int error) {
  Diagnostic d{Diagnostic::kFailure, name_};
  d.attempt = attempt;
  d.error = error;
  run_.Report(d);
}

// The exact name costs one open, as it always did; the folder is read only
// when that name is missing. An image is opened without being created first,
// so that an old copy whose name differs in case is written over rather
// than left beside a new one, as Windows does.
bool RomFile::Open(bool writing) {
  const Attempt attempt = writing ? Attempt::kCreate : Attempt::kOpenForReading;
  errno = 0;
#ifdef _WIN32
  // Windows' own file systems ignore case already.
  fd_ = OpenFile(run_, name_, writing ? kCreating : kReading);
#else
  const int flags = writing ? kWriting : kReading;
  fd_ = OpenFile(run_, name_, flags);
  if (fd_ < 0 && errno == ENOENT) {
    std::vector<std::string> matches = MatchesIgnoringCase(run_, name_);
    if (matches.size() > 1) {
      Diagnostic d{Diagnostic::kAmbiguousName, name_};
      d.attempt = attempt;
      d.matches = std::move(matches);
      run_.Report(d);
      return false;
    }
    errno = ENOENT;
    if (matches.size() == 1 && matches[0] != name_) {
      name_ = matches[0];
      fd_ = OpenFile(run_, name_, flags);
    } else if (writing) {
      fd_ = OpenFile(run_, name_, kCreating);
    }
  }
#endif
  if (fd_ < 0) Fail(attempt, errno);
  return fd_ >= 0;
}

// A folder in memory holds each file under the name asked for: the inputs
// are given by what they are, so no other case can stand for a name.
bool RomFile::OpenInMemory(bool writing) {
  auto found = run_.memory->find(name_);
  if (writing) {
    bytes_ = &(*run_.memory)[name_];
    bytes_->clear();
  } else if (found != run_.memory->end()) {
    bytes_ = &found->second;
  } else {
    Fail(Attempt::kOpenForReading, ENOENT);
    return false;
  }
  position_ = 0;
  return true;
}

// As fread does, fewer bytes than asked only at the end of the file: a pipe
// that delivers a block in parts still fills it.
bool RomFile::Read(unsigned char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  if (bytes_ != nullptr) {
    *got = position_ < bytes_->size() ? std::min(size, bytes_->size() - position_) : 0;
    std::memcpy(buffer, bytes_->data() + std::min(position_, bytes_->size()), *got);
    position_ += *got;
    return true;
  }
  while (*got < size) {
    errno = 0;
    const long n = ReadFile(fd_, buffer + *got, size - *got);
    if (n < 0) {
      Fail(Attempt::kRead, errno);
      return false;
    }
    if (n == 0) break;
    *got += static_cast<std::size_t>(n);
  }
  return true;
}

bool RomFile::Write(const unsigned char* buffer, std::size_t size) {
  if (bytes_ != nullptr) {
    bytes_->append(reinterpret_cast<const char*>(buffer), size);
    return true;
  }
  while (size > 0) {
    errno = 0;
    const long n = WriteFile(fd_, buffer, size);
    if (n <= 0) {
      Fail(Attempt::kWrite, errno);
      return false;
    }
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool RomFile::Seek(std::uint64_t offset) {
  if (bytes_ != nullptr) {
    position_ = static_cast<std::size_t>(offset);
    return true;
  }
  errno = 0;
  if (!SeekFile(fd_, offset)) {
    Fail(Attempt::kSeek, errno);
    return false;
  }
  return true;
}

// A close can fail after every write has succeeded: NFS and disk quotas
// report the error of a delayed write there, so the result is checked.
bool RomFile::Close() {
  if (bytes_ != nullptr) {
    bytes_ = nullptr;
    return true;
  }
  const int fd = fd_;
  fd_ = -1;
  errno = 0;
  if (CloseFile(fd) != 0) {
    Fail(Attempt::kClose, errno);
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
  if (!taken->Blank() && input.fd_ >= 0 && output.fd_ >= 0) {
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
