// Every line that the tool writes to standard error, in English and in Japanese.
#ifndef QUORVEL_ROMIMAGE_MESSAGES_H
#define QUORVEL_ROMIMAGE_MESSAGES_H

#include <cstdint>
#include <string>
#include <vector>

enum class Language { kEnglish, kJapanese };

// The language of every later line; English until the entry point says otherwise.
void UseLanguage(Language language);

// What was attempted when a file failed.
enum class Attempt { kOpenForReading, kCreate, kRead, kWrite, kSeek, kClose };

// Each line has one shape in every language, with ASCII ": " between its
// parts, so that a program reading it (the page) never matches words:
//   "quorvel-v2gen: NAME: ATTEMPT: REASON"            a failure
//   "quorvel-v2gen: WARNING: NAME: TEXT"              a warning
// Lines end with "\n" and are in UTF-8.

// The reason is the system's for error, in Japanese for the errors that
// users meet; none when error is 0.
std::string FailureLine(const char* name, Attempt attempt, int error);

// A failure to choose: two or more files match name but for case.
std::string AmbiguousNameLine(const char* name, Attempt attempt, const std::vector<std::string>& matches);

// "standard output", as a failure line names it.
const char* StandardOutputName();

std::string ShortInputLine(const char* name, std::uint64_t size, std::uint64_t expected);
std::string LongInputLine(const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                          std::uint64_t imageSize, std::uint64_t usualSize);
std::string BlankInputLine(const char* name, std::uint64_t from, std::uint64_t to, unsigned char value);
std::string SameInputLine(const char* name, const char* other, std::uint64_t count);

// Writes a line to standard error. Windows gets Japanese as code page 932
// bytes, as the banner is, so that it reads right wherever the banner does.
void WriteDiagnostic(const std::string& line);

#endif
