// quorvel-v2gen: the entry point, the switch, the console messages and the exit status.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "frontend/language.h"
#include "quorvel/v2gen.h"
#include "romimage/messages.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Banner lines 2 and 3 are Shift_JIS (code page 932) bytes, escaped so that
// the encoding of this source file cannot change them. The strings are split
// where a hex escape is followed by a character that is itself a hex digit.
const char* const kBanner[] = {
    "Quorvel File generator for V2 v0.3",
    "\x82\xB1\x82\xCC\x83v\x83\x8D\x83O\x83\x89\x83\x80\x82\xCD\x81"
    "AQuorvel V1\x97p\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xA9\x82\xE7\x81"
    "AV2\x82\xC9\x95K\x97v\x82\xC8\x83t\x83@\x83"
    "C\x83\x8B\x82\xF0\x8D\xEC\x82\xE8\x8Fo\x82\xB7\x83v\x83\x8D\x83O\x83\x89\x83\x80\x82\xC5\x82\xB7",
    "\x93\xAF\x82\xB6\x83"
    "f\x83"
    "B\x83\x8C\x83N\x83g\x83\x8A\x82\xC9\x81"
    "AV1\x97p\x82\xCC\x88\xC8\x89\xBA\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x95K\x97v\x82\xC5\x82\xB7",
    "BOOT_BAS.ROM, BOOT_DOS.ROM, SUBSYS_C.ROM",
};

// The same banner for a terminal that shows UTF-8, where the Shift_JIS bytes
// would be unreadable. Only what a person reads there changes.
const char* const kBannerUtf8[] = {
    "Quorvel File generator for V2 v0.3",
    u8"このプログラムは、Quorvel V1用のファイルから、V2に必要なファイルを作り出すプログラムです",
    u8"同じディレクトリに、V1用の以下のファイルが必要です",
    "BOOT_BAS.ROM, BOOT_DOS.ROM, SUBSYS_C.ROM",
};

// On Windows standard output is a text-mode stream, so each "\n" reaches the
// console or a redirected file as CR LF.
bool WriteLine(const char* text) {
  return std::fputs(text, stdout) != EOF && std::fputc('\n', stdout) != EOF;
}

void PrintBanner(bool utf8) {
  for (std::size_t i = 0; i < std::size(kBanner); ++i) WriteLine(utf8 ? kBannerUtf8[i] : kBanner[i]);
}

// Only A to Z fold onto a to z, so no locale can make another spelling match.
bool IsCompatibleRomSwitch(const char* argument) {
  for (const char* expected = "-compatiblerom"; *expected != '\0'; ++expected, ++argument) {
    char c = *argument;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *expected) return false;
  }
  return *argument == '\0';
}

// A standard stream that starts closed gets /dev/null, opened the wrong way
// round so that using it fails: otherwise the first image file opened would
// take its descriptor and receive the console text or a diagnostic.
bool OpenClosedStandardStreams() {
#ifndef _WIN32
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    int opened = open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (opened != fd) return false;
  }
#endif
  return true;
}

#ifdef _WIN32
// UTF-8 to code page 932 through UTF-16; what 932 lacks becomes '?'.
std::string ToCodePage932(const std::string& utf8) {
  const int size = static_cast<int>(utf8.size());
  const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], wideSize);
  const int narrowSize = WideCharToMultiByte(932, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(narrowSize), '\0');
  WideCharToMultiByte(932, 0, wide.data(), wideSize, &narrow[0], narrowSize, nullptr, nullptr);
  return narrow;
}
#endif

// A line on standard error. Windows gets Japanese as code page 932 bytes, as
// the banner is, so that it reads right wherever the banner does.
void WriteDiagnostic(const std::string& line, Language language) {
#ifdef _WIN32
  const std::string bytes = language == Language::kJapanese ? ToCodePage932(line + "\n") : line + "\n";
#else
  (void)language;
  const std::string bytes = line + "\n";
#endif
  // Where standard error itself fails, nothing is left to tell the user.
  (void)std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

// Every failure and warning of the run, in the user's language.
void WriteDiagnostics(const qv2gen_result* result, Language language) {
  const qv2gen_language rendered = language == Language::kJapanese ? QV2GEN_JAPANESE : QV2GEN_ENGLISH;
  for (std::size_t i = 0; i < qv2gen_diagnostic_count(result); ++i) {
    const qv2gen_diagnostic* diagnostic = qv2gen_diagnostic_at(result, i);
    std::string line(qv2gen_render(diagnostic, rendered, nullptr, 0) + 1, '\0');
    line.resize(qv2gen_render(diagnostic, rendered, &line[0], line.size()));
    WriteDiagnostic(line, language);
  }
}

struct FreeResult {
  void operator()(qv2gen_result* result) const { qv2gen_free(result); }
};

}  // namespace

int main(int argc, char** argv) {
  // Without a safe descriptor for every standard stream, no image is touched.
  if (!OpenClosedStandardStreams()) return 1;
#ifdef SIGXFSZ
  // A write past the limit on a file's size then fails with its reason and
  // the image is abandoned, rather than the signal ending the run half-way.
  (void)std::signal(SIGXFSZ, SIG_IGN);
#endif
  const Language language = UserLanguage();

  bool compatibleRom = false;
  if (argc == 2 && IsCompatibleRomSwitch(argv[1])) {
    WriteLine("Generate compatible ROM mode");
    compatibleRom = true;
  }
  PrintBanner(BannerInUtf8());
  // The banner goes out before any diagnostic that the operations write to
  // standard error, so the two streams read in order on one console.
  // Not examined: only the closing line decides the status (below).
  (void)std::fflush(stdout);

  // The images of the current directory, made as the library makes them.
  const std::unique_ptr<qv2gen_result, FreeResult> result(
      qv2gen_generate_in_folder(nullptr, compatibleRom ? QV2GEN_COMPATIBLE : QV2GEN_NORMAL));
  if (result == nullptr) {
    WriteLine("Error!");  // out of memory
    return 1;
  }
  WriteDiagnostics(result.get(), language);
  if (!qv2gen_succeeded(result.get())) {
    WriteLine("Error!");
    return 1;
  }

  // The exit status tells whether standard output took the closing line, so
  // the line is pushed out of the stream's buffer before deciding.
  errno = 0;
  if (!WriteLine("Succeed to generate V2 files!") || std::fflush(stdout) != 0) {
    Diagnostic refused{Diagnostic::kFailure, StandardOutputName(language)};
    refused.attempt = Attempt::kWrite;
    refused.error = errno;
    WriteDiagnostic(Render(refused, language), language);
    return -1;
  }
  return 0;
}
