// Byte-stream helpers shared by the generation operations: the folder of one
// run, an owned image file, block copies and fills, and the diagnostics.
#ifndef QUORVEL_ROMIMAGE_ROMFILE_H
#define QUORVEL_ROMIMAGE_ROMFILE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "romimage/messages.h"

struct Taken;

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
  std::vector<std::string> images;  // the names of the images created, in order, as on disk

  Run();
  void Report(Diagnostic diagnostic) { diagnostics.push_back(std::move(diagnostic)); }
};

// An image file of a run's folder, open for binary reading or writing for
// the length of one scope. Every failure is reported to the run, naming the
// file. Close()
// on the success path checks that the last bytes really reached the file; the
// destructor closes whatever a failure path leaves open.
//
// A name is found whatever the case of its letters, as on the file systems
// that the images were made for: where the exact name is missing, the one
// entry of its folder that differs from it only in ASCII case is used, and
// Name() is then that entry's. Two or more such entries are a failure that
// names them all, so that nothing is read or written from a guess.
class RomFile {
 public:
  RomFile(Run& run, const char* name) : run_(run), name_(name) {}
  ~RomFile();
  RomFile(const RomFile&) = delete;
  RomFile& operator=(const RomFile&) = delete;

  // The name as it stands on disk, once the file is open.
  const char* Name() const { return name_.c_str(); }

  bool OpenForReading();
  // Truncates the file when it exists, and creates it with the name asked
  // for when no entry matches.
  bool Create();
  // Reads up to size bytes; *got tells how many came. Fewer than size means
  // the end of the file; false means a read error, which is not the end.
  bool Read(unsigned char* buffer, std::size_t size, std::size_t* got);
  bool Write(const unsigned char* buffer, std::size_t size);
  // Moves the read position to offset from the start and clears the end state.
  bool Seek(std::uint64_t offset);
  bool Close();

 private:
  friend bool CopyToEnd(RomFile& input, RomFile& output, Taken* taken);

  bool Open(bool writing);
  bool OpenInMemory(bool writing);
  void Fail(Attempt attempt, int error);

  Run& run_;
  std::string name_;
  int fd_ = -1;
  std::string* bytes_ = nullptr;  // in memory: the file's bytes, and where reading stands
  std::size_t position_ = 0;
};

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
bool CopyBytes(RomFile& input, RomFile& output, std::uint64_t count, Taken* taken = nullptr);

// Copies from input's position until count bytes or its end, whichever comes
// first; what came is added to *taken.
bool CopyUpTo(RomFile& input, RomFile& output, std::uint64_t count, Taken* taken);

// Copies input from its position to its end; what came is added to *taken.
// The kernel moves the bytes where it can, unseen, unless *taken is blank so
// far: then they pass through here, so that a blank dump is found whole.
bool CopyToEnd(RomFile& input, RomFile& output, Taken* taken);

// Writes count bytes of value.
bool WriteFill(RomFile& output, unsigned char value, std::uint64_t count);

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
