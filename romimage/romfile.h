// Byte-stream helpers shared by the generation operations: the folder of one
// run, its inputs and the images being written, block copies and fills, and
// the diagnostics.
#ifndef QUORVEL_ROMIMAGE_ROMFILE_H
#define QUORVEL_ROMIMAGE_ROMFILE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "romimage/messages.h"

// One generation: the folder its files are in, and what it found to say.
// The folder is on disk (a directory's descriptor on POSIX, a path's prefix
// on Windows) or, where memory is given, in memory: a map from each file's
// name to its bytes, which holds the inputs that are present and takes the
// images.
struct Run {
#ifdef _WIN32
  std::string prefix;  // "" for the current directory, else the folder and a backslash
#else
  int folder;  // AT_FDCWD for the current directory
#endif
  std::map<std::string, std::string>* memory = nullptr;
  std::vector<Diagnostic> diagnostics;
  std::vector<std::string> images;  // the names of the images made, in order, as in the folder

  Run();
  void Report(Diagnostic diagnostic) { diagnostics.push_back(std::move(diagnostic)); }
};

// An input of a run's folder, open for binary reading for the length of one
// scope: a file on disk, or one in the run's memory. Every failure is
// reported to the run, naming the file.
//
// A name is found whatever the case of its letters, as on the file systems
// that the images were made for: where the exact name is missing, the one
// entry of its folder that differs from it only in ASCII case is used, and
// Name() is then that entry's. Two or more such entries are a failure that
// names them all, so that nothing is read or written from a guess.
class RomInput {
 public:
  virtual ~RomInput() = default;
  RomInput(const RomInput&) = delete;
  RomInput& operator=(const RomInput&) = delete;

  // The name as it stands in the folder.
  const char* Name() const { return name_.c_str(); }
  // Reads up to size bytes; *got tells how many came. Fewer than size means
  // the end of the file; false means a read error, which is not the end.
  virtual bool Read(unsigned char* buffer, std::size_t size, std::size_t* got) = 0;
  // Moves the read position to offset from the start and clears the end state.
  virtual bool Seek(std::uint64_t offset) = 0;
  virtual bool Close() = 0;
  // The open descriptor on disk, for the kernel's copy; -1 in memory.
  virtual int Descriptor() const { return -1; }

 protected:
  RomInput(Run& run, std::string name) : run_(run), name_(std::move(name)) {}
  Run& run_;
  std::string name_;
};

// Opens the input name of the run's folder; nullptr once the failure is reported.
std::unique_ptr<RomInput> OpenRomInput(Run& run, const char* name);

// An image being written. Its bytes go to a new file of their own in the
// image's folder (on disk) or to a buffer (in memory), never into the old
// image: Commit() makes them durable and puts them in the image's place in
// one step, and only then does the run count the image made. An image that
// is not committed is abandoned when it goes out of scope: its new file is
// removed and the old image, or the absence of one, stays as it was. So no
// failure, kill or second run at once leaves an image half-written.
//
// The name is found as an input's is (an old image in another case is
// replaced under its own name), and a symbolic link stays a link whose
// target is replaced. A place that holds no regular file (a device, a named
// pipe) is written as it stands, for it keeps no image to lose.
class RomImage {
 public:
  virtual ~RomImage() = default;
  RomImage(const RomImage&) = delete;
  RomImage& operator=(const RomImage&) = delete;

  const char* Name() const { return name_.c_str(); }
  virtual bool Write(const unsigned char* buffer, std::size_t size) = 0;
  // Syncs, closes and puts the image in place; false once the failure is
  // reported, and the image is then abandoned.
  virtual bool Commit() = 0;
  virtual int Descriptor() const { return -1; }

 protected:
  RomImage(Run& run, std::string name) : run_(run), name_(std::move(name)) {}
  // Records the image as made, once, in the order of the run.
  void Made();
  Run& run_;
  std::string name_;
};

// Starts the image name of the run's folder; nullptr once the failure is reported.
std::unique_ptr<RomImage> CreateRomImage(Run& run, const char* name);

// Reports that attempt on file failed with error (errno, 0 for none).
void ReportFailure(Run& run, const std::string& file, Attempt attempt, int error);

// What copies took from an input, added up as the bytes pass: how many there
// were, whether they were all one value (a chip that was never read comes out
// as one value throughout), and the first `keep` of them, to compare.
struct Taken {
  explicit Taken(std::size_t keep = 0) : keep(keep) {}
  void Add(const unsigned char* bytes, std::size_t size);
  // Every byte the same; one byte alone shows nothing.
  bool Blank() const { return count > 1 && oneValue; }

  std::uint64_t count = 0;
  bool oneValue = true;
  unsigned char value = 0;
  std::size_t keep;
  std::string kept;
};

// Reads count bytes from input's position and writes exactly count bytes to
// output: 0xFF for each byte past the input's end. What came from the input
// is added to *taken, when given.
bool CopyBytes(RomInput& input, RomImage& output, std::uint64_t count, Taken* taken = nullptr);

// Copies from input's position until count bytes or its end, whichever comes
// first; what came is added to *taken.
bool CopyUpTo(RomInput& input, RomImage& output, std::uint64_t count, Taken* taken);

// Copies input from its position to its end; what came is added to *taken.
// The kernel moves the bytes where it can, unseen, unless *taken is blank so
// far: then they pass through here, so that a blank dump is found whole.
bool CopyToEnd(RomInput& input, RomImage& output, Taken* taken);

// Writes count bytes of value.
bool WriteFill(RomImage& output, unsigned char value, std::uint64_t count);

// Warnings for a dump of unexpected size: the run goes on and the images are
// the same, but the user learns why the machine may not boot.
void WarnShortInput(Run& run, const char* name, std::uint64_t size, std::uint64_t expected);
void WarnLongInput(Run& run, const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                   std::uint64_t imageSize, std::uint64_t usualSize);

// Warnings for a dump that cannot be right, whatever its size: the bytes from
// offset on that `taken` describes are one value (no working ROM is blank),
// or the bytes used of two boot images that must differ are the same.
void WarnBlankInput(Run& run, const char* name, std::uint64_t offset, const Taken& taken);
void WarnSameInput(Run& run, const char* name, const char* other, const Taken& taken);

#endif
