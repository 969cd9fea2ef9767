// quorvel-v2gen: the entry point, the switch, the console messages and the exit status.
#include <cerrno>
#include <cstdio>
#include <iterator>

#include "frontend/language.h"
#include "romimage/romfile.h"
#include "romimage/romimage.h"

#ifndef _WIN32
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

}  // namespace

int main(int argc, char** argv) {
  // Without a safe descriptor for every standard stream, no image is touched.
  if (!OpenClosedStandardStreams()) return 1;
  UseLanguage(UserLanguage());

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

  if (!GenerateSubsysRom(compatibleRom) || !GenerateInitiateRom()) {
    WriteLine("Error!");
    return 1;
  }

  // The exit status tells whether standard output took the closing line, so
  // the line is pushed out of the stream's buffer before deciding.
  errno = 0;
  if (!WriteLine("Succeed to generate V2 files!") || std::fflush(stdout) != 0) {
    ReportFailure(StandardOutputName(), Attempt::kWrite, errno);
    return -1;
  }
  return 0;
}
