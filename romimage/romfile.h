// Byte-stream helpers shared by the generation operations: an owned image file,
// block copies and fills, and the one-line diagnostics on standard error.
#ifndef QUORVEL_ROMIMAGE_ROMFILE_H
#define QUORVEL_ROMIMAGE_ROMFILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "romimage/messages.h"

struct Taken;

// An image file, open for binary reading or writing for the length of one
// scope. Every failure is reported on standard error, naming the file. Close()
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
  explicit RomFile(const char* name) : name_(name) {}
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

  std::string name_;
  int fd_ = -1;
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

// "quorvel-v2gen: NAME: ATTEMPT: REASON" on standard error, in the user's language.
void ReportFailure(const char* name, Attempt attempt, int error);

// "quorvel-v2gen: NAME: ATTEMPT: N files match it ...": the entries that
// differ from name only in case, none of which is used.
void ReportAmbiguousName(const char* name, Attempt attempt, const std::vector<std::string>& matches);

// Warnings for a dump of unexpected size: the run goes on and the images are
// the same, but the user learns why the machine may not boot.
void WarnShortInput(const char* name, std::uint64_t size, std::uint64_t expected);
void WarnLongInput(const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                   std::uint64_t imageSize, std::uint64_t usualSize);

// Warnings for a dump that cannot be right, whatever its size: the bytes from
// offset on that `taken` describes are one value (no working ROM is blank),
// or the bytes used of two boot images that must differ are the same.
void WarnBlankInput(const char* name, std::uint64_t offset, const Taken& taken);
void WarnSameInput(const char* name, const char* other, const Taken& taken);

#endif
