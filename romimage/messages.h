// What the generation has to say, as data, and its text in English and in Japanese.
#ifndef QUORVEL_ROMIMAGE_MESSAGES_H
#define QUORVEL_ROMIMAGE_MESSAGES_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class Language { kEnglish, kJapanese };

// What was attempted when a file failed.
// New attempts go at the end: the library's codes follow this order.
enum class Attempt { kOpenForReading, kCreate, kRead, kWrite, kSeek, kClose, kSync, kRename };

// One failure or warning. Each has one shape in every language, with ASCII
// ": " between its parts, so that a program reading the text never matches
// words:
//   "quorvel-v2gen: NAME: ATTEMPT: REASON"            a failure
//   "quorvel-v2gen: WARNING: NAME: TEXT"              a warning
struct Diagnostic {
  enum Code {
    kFailure,          // attempt failed with error (errno, or 0 for none)
    kAmbiguousName,    // attempt found matches, which differ from file only in case
    kInvalidArgument,  // file names a library argument ("mode", "inputs", "path"); numbers: its value
    kShortInput,       // numbers: size, expected at least
    kLongInput,        // numbers: size, expected at most, image size, usual image size; other: the image
    kBlankInput,       // numbers: first offset, last offset, the byte value
    kSameInput,        // numbers: bytes compared; other: the file whose bytes these repeat
  };
  Diagnostic() = default;
  Diagnostic(Code code, std::string file) : code(code), file(std::move(file)) {}

  Code code = kFailure;
  std::string file;
  Attempt attempt = Attempt::kOpenForReading;
  int error = 0;
  std::uint64_t numbers[4] = {0, 0, 0, 0};
  std::string other;
  std::vector<std::string> matches;

  bool IsWarning() const { return code >= kShortInput; }
};

// The diagnostic's line in language, without a line end, in UTF-8. A
// failure's reason is the library's own text for its error number, in that
// language, never the C library's, which follows the process's locale.
std::string Render(const Diagnostic& diagnostic, Language language);

// "standard output", as a failure line names it.
const char* StandardOutputName(Language language);

// The POSIX name of the error number ("ENOENT"); nullptr for one not known.
const char* ErrorName(int error);

#endif
