// The tool's diagnostics and warnings in every language it speaks: a
// translator adding a language adds a column to the tables below.
#include "romimage/messages.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace {

// One text in each language. "{1}", "{2}"… stand for the arguments in the
// order the English text names them, so a translation may put them anywhere.
struct Text {
  const char* english;
  const char* japanese;
};

const char* Pick(const Text& text, Language language) {
  return language == Language::kJapanese ? text.japanese : text.english;
}

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
    {"cannot sync to disk", u8"ディスクに書き出せません"},
    {"cannot put in place", u8"置き換えられません"},
};
static_assert(sizeof kAttempts / sizeof kAttempts[0] == static_cast<int>(Attempt::kRename) + 1,
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

// strerror's text for the errors above and the others of the C library's
// table is a constant; only an unknown number would use its buffer.
std::string ReasonFor(int error, Language language) {
  if (language == Language::kJapanese) {
    for (const Reason& reason : kReasons)
      if (reason.error == error) return reason.japanese;
  }
  return std::strerror(error);  // NOLINT(concurrency-mt-unsafe): see above
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

std::string Hex(std::uint64_t byte) {
  const char* const digits = "0123456789ABCDEF";
  return std::string("0x") + digits[(byte >> 4) & 0xF] + digits[byte & 0xF];
}

// "a, b and c": every name, for the user must keep one and remove the others.
std::string ListOf(const std::vector<std::string>& names, Language language) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) list += Pick(i + 1 == names.size() ? kAnd : kComma, language);
    list += names[i];
  }
  return list;
}

// What follows "NAME: " in a warning, or "ATTEMPT" in a failure.
std::string Body(const Diagnostic& d, Language language) {
  const std::uint64_t* n = d.numbers;
  const auto pick = [language](const Text& text) { return Pick(text, language); };
  switch (d.code) {
    case Diagnostic::kFailure:
      return d.error != 0 ? ": " + ReasonFor(d.error, language) : "";
    case Diagnostic::kAmbiguousName:
      return ": " + Substitute(pick(kAmbiguousName), {Number(d.matches.size()), ListOf(d.matches, language)});
    case Diagnostic::kShortInput:
      return Substitute(pick(kShortInput), {Number(n[0]), Number(n[1]), Number(n[1] - n[0])});
    case Diagnostic::kLongInput:
      return Substitute(pick(kLongInput), {Number(n[0]), Number(n[1]), d.other, Number(n[2]), Number(n[3])});
    case Diagnostic::kBlankInput:
      return Substitute(pick(kBlankInput), {Number(n[0]), Number(n[1]), Hex(n[2])});
    case Diagnostic::kSameInput:
      return Substitute(pick(kSameInput), {Number(n[0]), d.other});
  }
  return "";
}

}  // namespace

std::string Render(const Diagnostic& diagnostic, Language language) {
  if (diagnostic.IsWarning())
    return std::string(kPrefix) + Pick(kWarning, language) + ": " + diagnostic.file + ": " +
           Body(diagnostic, language);
  return std::string(kPrefix) + diagnostic.file + ": " +
         Pick(kAttempts[static_cast<int>(diagnostic.attempt)], language) + Body(diagnostic, language);
}

const char* StandardOutputName(Language language) { return Pick(kStandardOutput, language); }
