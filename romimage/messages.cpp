// The tool's diagnostics and warnings in every language it speaks: a
// translator adding a language adds a column to the tables below.
#include "romimage/messages.h"

#include <cerrno>
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
                          u8"です。ROM を正しく読み出せていないようです。吸い出し直してください"};
const Text kSameInput = {
    "the {1} bytes used are the same as those of {2}; the two boot images of a machine differ, "
    "so one of them is the wrong file",
    u8"使用する先頭 {1} バイトが {2} と同じです。BASIC 用と DOS 用のブート ROM は内容が異なるはずなので、"
    u8"どちらかのファイルが間違っています"};

// As the page says it of the files that a user chooses.
const Text kAmbiguousName = {"{1} files match it without regard to case: {2}; keep one of them",
                             u8"大文字と小文字の違いだけで名前が重なるファイルが {1} つあります: {2}。"
                             u8"1 つだけ残してください"};
// An argument of the library's that it refuses, by the argument's name.
const Text kInvalidArgument = {"invalid argument", u8"不正な引数です"};
const Text kInvalidMode = {"{1} is not a mode; QV2GEN_NORMAL is 0 and QV2GEN_COMPATIBLE is 1",
                           u8"{1} はモードではありません。QV2GEN_NORMAL は 0、QV2GEN_COMPATIBLE は 1 です"};
const Text kNullInputs = {
    "NULL; give QV2GEN_INPUTS inputs, with NULL bytes for a file that is absent",
    u8"NULL です。QV2GEN_INPUTS 個の入力を渡してください（ないファイルは bytes を NULL にします）"};
const Text kEmptyPath = {"the path is empty; NULL names the current working directory",
                         u8"パスが空です。カレントディレクトリは NULL で指定します"};
const Text kComma = {", ", u8"、"};
// A Japanese list has no "and" before its last name.
const Text kAnd = {" and ", u8"、"};

// The system's reasons, in the library's own words: the same text for an
// error number in every process, whatever its locale, on every platform (the
// numbers are the platform's own, the names and texts are POSIX's). The
// English is the GNU C library's. A number that is not here is said as
// "error N".
struct Reason {
  int error;
  const char* name;
  const char* english;
  const char* japanese;
};
const Reason kReasons[] = {
#ifdef EPERM
    {EPERM, "EPERM", "Operation not permitted", u8"許可されていない操作です"},
#endif
#ifdef ENOENT
    {ENOENT, "ENOENT", "No such file or directory", u8"そのようなファイルやディレクトリはありません"},
#endif
#ifdef EINTR
    {EINTR, "EINTR", "Interrupted system call", u8"システムコールが割り込まれました"},
#endif
#ifdef EIO
    {EIO, "EIO", "Input/output error", u8"入出力エラーです"},
#endif
#ifdef ENXIO
    {ENXIO, "ENXIO", "No such device or address", u8"そのようなデバイスやアドレスはありません"},
#endif
#ifdef EBADF
    {EBADF, "EBADF", "Bad file descriptor", u8"不正なファイル記述子です"},
#endif
#ifdef EAGAIN
    {EAGAIN, "EAGAIN", "Resource temporarily unavailable", u8"リソースが一時的に利用できません"},
#endif
#ifdef ENOMEM
    {ENOMEM, "ENOMEM", "Cannot allocate memory", u8"メモリーを確保できません"},
#endif
#ifdef EACCES
    {EACCES, "EACCES", "Permission denied", u8"アクセスが拒否されました"},
#endif
#ifdef EFAULT
    {EFAULT, "EFAULT", "Bad address", u8"不正なアドレスです"},
#endif
#ifdef EBUSY
    {EBUSY, "EBUSY", "Device or resource busy", u8"デバイスやリソースが使用中です"},
#endif
#ifdef EEXIST
    {EEXIST, "EEXIST", "File exists", u8"ファイルが存在します"},
#endif
#ifdef EXDEV
    {EXDEV, "EXDEV", "Invalid cross-device link", u8"デバイスをまたぐリンクは無効です"},
#endif
#ifdef ENODEV
    {ENODEV, "ENODEV", "No such device", u8"そのようなデバイスはありません"},
#endif
#ifdef ENOTDIR
    {ENOTDIR, "ENOTDIR", "Not a directory", u8"ディレクトリではありません"},
#endif
#ifdef EISDIR
    {EISDIR, "EISDIR", "Is a directory", u8"ディレクトリです"},
#endif
#ifdef EINVAL
    {EINVAL, "EINVAL", "Invalid argument", u8"無効な引数です"},
#endif
#ifdef ENFILE
    {ENFILE, "ENFILE", "Too many open files in system", u8"システム全体で開いているファイルが多すぎます"},
#endif
#ifdef EMFILE
    {EMFILE, "EMFILE", "Too many open files", u8"開いているファイルが多すぎます"},
#endif
#ifdef ETXTBSY
    {ETXTBSY, "ETXTBSY", "Text file busy", u8"テキストファイルが使用中です"},
#endif
#ifdef EFBIG
    {EFBIG, "EFBIG", "File too large", u8"ファイルが大きすぎます"},
#endif
#ifdef ENOSPC
    {ENOSPC, "ENOSPC", "No space left on device", u8"デバイスに空き領域がありません"},
#endif
#ifdef ESPIPE
    {ESPIPE, "ESPIPE", "Illegal seek", u8"パイプなど、先頭から読み直せないファイルです"},
#endif
#ifdef EROFS
    {EROFS, "EROFS", "Read-only file system", u8"読み込み専用のファイルシステムです"},
#endif
#ifdef EMLINK
    {EMLINK, "EMLINK", "Too many links", u8"リンクが多すぎます"},
#endif
#ifdef EPIPE
    {EPIPE, "EPIPE", "Broken pipe", u8"パイプが切断されました"},
#endif
#ifdef EDEADLK
    {EDEADLK, "EDEADLK", "Resource deadlock avoided", u8"リソースのデッドロックを回避しました"},
#endif
#ifdef ENAMETOOLONG
    {ENAMETOOLONG, "ENAMETOOLONG", "File name too long", u8"ファイル名が長すぎます"},
#endif
#ifdef ENOLCK
    {ENOLCK, "ENOLCK", "No locks available", u8"使えるロックがありません"},
#endif
#ifdef ENOSYS
    {ENOSYS, "ENOSYS", "Function not implemented", u8"関数が実装されていません"},
#endif
#ifdef ENOTEMPTY
    {ENOTEMPTY, "ENOTEMPTY", "Directory not empty", u8"ディレクトリが空ではありません"},
#endif
#ifdef ELOOP
    {ELOOP, "ELOOP", "Too many levels of symbolic links", u8"シンボリックリンクの階層が多すぎます"},
#endif
#ifdef EOVERFLOW
    {EOVERFLOW, "EOVERFLOW", "Value too large for defined data type",
     u8"値が定義されたデータ型に対して大きすぎます"},
#endif
#ifdef EILSEQ
    {EILSEQ, "EILSEQ", "Invalid or incomplete multibyte or wide character",
     u8"不正なマルチバイト文字またはワイド文字です"},
#endif
#ifdef ENOTSUP
    {ENOTSUP, "ENOTSUP", "Operation not supported", u8"サポートされていない操作です"},
#endif
#ifdef ESTALE
    {ESTALE, "ESTALE", "Stale file handle", u8"古いファイルハンドルです"},
#endif
#ifdef EDQUOT
    {EDQUOT, "EDQUOT", "Disk quota exceeded", u8"ディスク使用量の制限を超えました"},
#endif
};

const Reason* ReasonOf(int error) {
  for (const Reason& reason : kReasons)
    if (reason.error == error) return &reason;
  return nullptr;
}

std::string ReasonFor(int error, Language language) {
  const Reason* reason = ReasonOf(error);
  if (reason == nullptr) return "error " + std::to_string(error);
  return language == Language::kJapanese ? reason->japanese : reason->english;
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
    case Diagnostic::kInvalidArgument:
      if (d.file == "mode")
        return ": " + Substitute(pick(kInvalidMode), {std::to_string(static_cast<long long>(n[0]))});
      if (d.file == "inputs") return std::string(": ") + pick(kNullInputs);
      if (d.file == "path") return std::string(": ") + pick(kEmptyPath);
      return "";
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
  const Text& attempt = diagnostic.code == Diagnostic::kInvalidArgument
                            ? kInvalidArgument
                            : kAttempts[static_cast<int>(diagnostic.attempt)];
  return std::string(kPrefix) + diagnostic.file + ": " + Pick(attempt, language) + Body(diagnostic, language);
}

const char* StandardOutputName(Language language) { return Pick(kStandardOutput, language); }

const char* ErrorName(int error) {
  const Reason* reason = ReasonOf(error);
  return reason != nullptr ? reason->name : nullptr;
}
