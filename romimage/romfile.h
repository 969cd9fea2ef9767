// Byte-stream helpers shared by the generation operations: an owned image file,
// block copies and fills, and the one-line diagnostics on standard error.
#ifndef QUORVEL_ROMIMAGE_ROMFILE_H
#define QUORVEL_ROMIMAGE_ROMFILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// An image file, open for binary reading or writing for the length of one
// scope. Every failure is reported on standard error, naming the file. Close()
// on the success path checks that the last bytes really reached the file; the
// destructor closes whatever a failure path leaves open.
class RomFile {
 public:
  explicit RomFile(const char* name) : name_(name) {}
  ~RomFile();
  RomFile(const RomFile&) = delete;
  RomFile& operator=(const RomFile&) = delete;

  bool OpenForReading();
  // Creates the file, or truncates it when it exists.
  bool Create();
  // Reads up to size bytes; *got tells how many came. Fewer than size means
  // the end of the file; false means a read error, which is not the end.
  bool Read(unsigned char* buffer, std::size_t size, std::size_t* got);
  bool Write(const unsigned char* buffer, std::size_t size);
  // Moves the read position to offset from the start and clears the end state.
  bool Seek(std::uint64_t offset);
  bool Close();

 private:
  friend bool CopyToEnd(RomFile& input, RomFile& output, std::uint64_t* copied);

  const char* name_;
  std::FILE* file_ = nullptr;
};

// Reads count bytes from input's position and writes exactly count bytes to
// output: 0xFF for each byte past the input's end. *taken, when given, is the
// number of bytes that came from the input.
bool CopyBytes(RomFile& input, RomFile& output, std::uint64_t count,
               std::uint64_t* taken = nullptr);

// Copies input from its position to its end; *copied is the number of bytes.
bool CopyToEnd(RomFile& input, RomFile& output, std::uint64_t* copied);

// Writes count bytes of value.
bool WriteFill(RomFile& output, unsigned char value, std::uint64_t count);

// "quorvel-v2gen: NAME: ATTEMPT: REASON", the reason being strerror(error).
void ReportFailure(const char* name, const char* attempt, int error);

// Warnings for a dump of unexpected size: the run goes on and the images are
// the same, but the user learns why the machine may not boot.
void WarnShortInput(const char* name, std::uint64_t size, std::uint64_t expected);
void WarnLongInput(const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                   std::uint64_t imageSize, std::uint64_t usualSize);

#endif
