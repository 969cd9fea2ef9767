// The tool's diagnostics and warnings in every language it speaks: a
// translator adding a language adds a column to the tables below.
#include "romimage/messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

Language current = Language::kEnglish;

// One text in each language. "{1}", "{2}"… stand for the arguments in the
// order the English text names them, so a translation may put them anywhere.
struct Text {
  const char* english;
  const char* japanese;
};

const char* Pick(const Text& text) { return current == Language::kJapanese ? text.japanese : text.english; }

// The same in every language.
const char* const kPrefix = "quorvel-v2gen: ";
const Text kWarning = {"warning", u8"警告"};
const Text kStandardOutput = {"standard output", u8"標準出力"};

// Indexed by Attempt.
const Text kAttempts[] = {
    {"cannot open for reading", u8"読み込み用に開けません"},
    {"cannot create", u8"作成できません"},
    {"cannot read", u8"読み込めません"},
    {"cannot write", u8"書き込めません"},
    {"cannot seek", u8"シークできません"},
    {"cannot close", u8"閉じられません"},
};
static_assert(sizeof kAttempts / sizeof kAttempts[0] == static_cast<int>(Attempt::kClose) + 1,
              "one text for each attempt");

const Text kShortInput = {
    "{1} bytes, expected at least {2}; the missing {3} bytes are written as 0xFF",
    u8"{1} バイトですが、{2} バイト以上あるはずです。足りない {3} バイトは 0xFF で埋めます"};
const Text kLongInput = {
    "{1} bytes, expected at most {2}; {3} is {4} bytes instead of {5}",
    u8"{1} バイトですが、{2} バイト以下のはずです。{3} は {5} バイトではなく {4} バイトになります"};
const Text kBlankInput = {"bytes {1} to {2} are all {3}; the chip looks unread, dump it again",
                          u8"オフセット {1} から {2} までがすべて {3} "
                          u8"です。ROM が吸い出されていないようです。吸い出し直してください"};
const Text kSameInput = {
    "the {1} bytes used are the same as those of {2}; the two boot images of a machine differ, "
    "so one of them is the wrong file",
    u8"使う {1} バイトが {2} と同じです。BASIC と DOS のブート ROM は異なるので、"
    u8"どちらかのファイルが間違っています"};

// As the page says it of the files that a user chooses.
const Text kAmbiguousName = {"{1} files match it without regard to case: {2}; keep one of them",
                             u8"大文字と小文字を区別しないと {1} 個のファイルが当たります: {2}。"
                             u8"一つだけにしてください"};
const Text kComma = {", ", u8"、"};
const Text kAnd = {" and ", u8" と "};

// The reasons that users meet, which the README lists; any other is the
// system's own text.
struct Reason {
  int error;
  const char* japanese;
};
const Reason kReasons[] = {
    {ENOENT, u8"そのようなファイルやディレクトリはありません"},
    {EACCES, u8"許可がありません"},
    {EISDIR, u8"ディレクトリです"},
    {ENOSPC, u8"デバイスに空き領域がありません"},
    {EROFS, u8"読み込み専用のファイルシステムです"},
#ifdef EDQUOT
    {EDQUOT, u8"ディスク使用量の制限を超えました"},
#endif
    {EIO, u8"入出力エラーです"},
    {ESPIPE, u8"不正なシークです"},
};

std::string ReasonFor(int error) {
  if (current == Language::kJapanese) {
    for (const Reason& reason : kReasons)
      if (reason.error == error) return reason.japanese;
  }
  return std::strerror(error);
}

// The template with each "{n}" replaced by the n-th argument.
std::string Substitute(const char* form, std::initializer_list<std::string> arguments) {
  std::string line;
  for (const char* at = form; *at != '\0'; ++at) {
    const std::size_t n = static_cast<std::size_t>(at[1] - '1');
    if (at[0] == '{' && n < arguments.size() && at[2] == '}') {
      line += arguments.begin()[n];
      at += 2;
    } else {
      line += *at;
    }
  }
  return line;
}

std::string Number(std::uint64_t n) { return std::to_string(n); }

std::string Warning(const char* name, const std::string& text) {
  return std::string(kPrefix) + Pick(kWarning) + ": " + name + ": " + text + "\n";
}

// "quorvel-v2gen: NAME: ATTEMPT", which a reason follows.
std::string FailureStart(const char* name, Attempt attempt) {
  return std::string(kPrefix) + name + ": " + Pick(kAttempts[static_cast<int>(attempt)]);
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

}  // namespace

void UseLanguage(Language language) { current = language; }

std::string AmbiguousNameLine(const char* name, Attempt attempt, const std::vector<std::string>& matches) {
  // "a, b and c": every name, for the user must keep one and remove the others.
  std::string list;
  for (std::size_t i = 0; i < matches.size(); ++i) {
    if (i > 0) list += Pick(i + 1 == matches.size() ? kAnd : kComma);
    list += matches[i];
  }
  return FailureStart(name, attempt) + ": " +
         Substitute(Pick(kAmbiguousName), {Number(matches.size()), list}) + "\n";
}

const char* StandardOutputName() { return Pick(kStandardOutput); }

std::string FailureLine(const char* name, Attempt attempt, int error) {
  std::string line = FailureStart(name, attempt);
  if (error != 0) line += ": " + ReasonFor(error);
  return line + "\n";
}

std::string ShortInputLine(const char* name, std::uint64_t size, std::uint64_t expected) {
  return Warning(name,
                 Substitute(Pick(kShortInput), {Number(size), Number(expected), Number(expected - size)}));
}

std::string LongInputLine(const char* name, std::uint64_t size, std::uint64_t expected, const char* image,
                          std::uint64_t imageSize, std::uint64_t usualSize) {
  return Warning(name, Substitute(Pick(kLongInput), {Number(size), Number(expected), image, Number(imageSize),
                                                     Number(usualSize)}));
}

std::string BlankInputLine(const char* name, std::uint64_t from, std::uint64_t to, unsigned char value) {
  const char* const digits = "0123456789ABCDEF";
  const std::string hex = std::string("0x") + digits[value >> 4] + digits[value & 0xF];
  return Warning(name, Substitute(Pick(kBlankInput), {Number(from), Number(to), hex}));
}

std::string SameInputLine(const char* name, const char* other, std::uint64_t count) {
  return Warning(name, Substitute(Pick(kSameInput), {Number(count), other}));
}

void WriteDiagnostic(const std::string& line) {
#ifdef _WIN32
  const std::string bytes = current == Language::kJapanese ? ToCodePage932(line) : line;
#else
  const std::string& bytes = line;
#endif
  // Where standard error itself fails, nothing is left to tell the user.
  (void)std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}
