// End-to-end tests: the real executable in a fresh folder, every byte of its
// standard output and of every file in the folder compared after the run.
#include "quorvel/v2gen.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testutil.h"

namespace fs = std::filesystem;
using testutil::Fill;
using testutil::Pattern;
using testutil::ReadFile;
using testutil::SameBytes;
using testutil::Slice;
using testutil::TempDir;
using testutil::WriteFile;

namespace {

// ---- What a folder holds ---------------------------------------------------

struct Entry {
  enum Kind { kFile, kDirectory, kLink, kFifo } kind;
  std::string bytes;  // a file's content, a link's target, or what a writer feeds a named pipe
};
Entry File(const std::string& bytes) { return {Entry::kFile, bytes}; }
Entry Directory() { return {Entry::kDirectory, ""}; }
Entry LinkTo(const std::string& target) { return {Entry::kLink, target}; }
Entry Fifo(const std::string& bytes) { return {Entry::kFifo, bytes}; }

using Folder = std::map<std::string, Entry>;

void MakeFolder(const fs::path& dir, const Folder& folder) {
  for (const auto& [name, entry] : folder) {
    if (entry.kind == Entry::kFile) WriteFile(dir / name, entry.bytes);
    if (entry.kind == Entry::kDirectory) fs::create_directory(dir / name);
    if (entry.kind == Entry::kLink) fs::create_symlink(entry.bytes, dir / name);
    if (entry.kind == Entry::kFifo) {
      ASSERT_EQ(0, mkfifo((dir / name).c_str(), 0644)) << name;
    }
  }
}

// Every entry of the folder must be expected, and hold exactly what is expected.
void ExpectFolder(const fs::path& dir, const Folder& expected) {
  std::map<std::string, bool> seen;
  for (const auto& item : fs::directory_iterator(dir)) {
    const std::string name = item.path().filename().string();
    auto want = expected.find(name);
    if (want == expected.end()) {
      ADD_FAILURE() << "unexpected " << name;
      continue;
    }
    seen[name] = true;
    const Entry& entry = want->second;
    if (entry.kind == Entry::kLink) {
      EXPECT_TRUE(item.is_symlink()) << name;
      if (item.is_symlink()) {
        EXPECT_EQ(entry.bytes, fs::read_symlink(item.path()).string()) << name;
      }
    } else if (entry.kind == Entry::kFifo) {
      EXPECT_TRUE(item.is_fifo()) << name;
    } else if (entry.kind == Entry::kDirectory) {
      EXPECT_TRUE(item.is_directory() && !item.is_symlink()) << name;
    } else {
      EXPECT_TRUE(item.is_regular_file() && !item.is_symlink()) << name;
      EXPECT_TRUE(SameBytes(entry.bytes, ReadFile(item.path()))) << name;
    }
  }
  for (const auto& [name, entry] : expected) EXPECT_TRUE(seen[name]) << "missing " << name;
}

// ---- Running the tool ------------------------------------------------------

// The run is bounded: a faulty build that writes without end is stopped by
// the file-size limit, one that hangs by the alarm.
constexpr rlim_t kFileSizeLimit = rlim_t{16} * 1024 * 1024;
constexpr unsigned kTimeoutSeconds = 60;

// Starts a writer for each named pipe of the folder; it feeds the pipe's
// bytes to whoever opens it for reading.
std::vector<pid_t> FeedFifos(const fs::path& dir, const Folder& folder) {
  std::vector<pid_t> writers;
  for (const auto& [name, entry] : folder) {
    if (entry.kind != Entry::kFifo) continue;
    const std::string path = (dir / name).string();
    pid_t pid = fork();
    if (pid == 0) {
      (void)signal(SIGPIPE, SIG_IGN);  // a reader that stops early is no failure of the writer
      alarm(kTimeoutSeconds);
      int fd = open(path.c_str(), O_WRONLY);
      if (fd >= 0 && write(fd, entry.bytes.data(), entry.bytes.size()) < 0) _exit(1);
      _exit(0);
    }
    if (pid > 0) writers.push_back(pid);
  }
  return writers;
}

// A writer whose pipe was never opened still waits in open().
void StopWriters(const std::vector<pid_t>& writers) {
  for (pid_t pid : writers) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

enum class Out { kFile, kFull, kClosed };

// How the tool is started: its standard streams, and the user's language.
struct Streams {
  Out out = Out::kFile;
  bool closeErr = false;
  bool closeIn = false;
  bool japanese = false;
};

struct Result {
  int status;  // the exit status, or 128 plus the signal that ended the run
  std::string out;
  std::string err;
};

// The executable under test: the native build, or the one that
// QUORVEL_V2GEN names, run under QUORVEL_V2GEN_EMULATOR when that is set
// ("wine" for the Windows build, "node" for the WebAssembly one).
std::string ToolPath() {
  const char* tool = std::getenv("QUORVEL_V2GEN");
  return tool != nullptr && *tool != '\0' ? tool : QUORVEL_V2GEN_PATH;
}

std::string Emulator() {
  const char* emulator = std::getenv("QUORVEL_V2GEN_EMULATOR");
  return emulator != nullptr ? emulator : "";
}

bool ToolEndsWith(const std::string& suffix) {
  const std::string tool = ToolPath();
  return tool.size() > suffix.size() && tool.compare(tool.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A Windows executable writes CR LF line ends and has Windows' reasons.
bool TestingWindowsBuild() { return ToolEndsWith(".exe"); }

bool TestingWebAssemblyBuild() { return ToolEndsWith(".js"); }

// The steps that put an image in place can fail in real use: a close
// reports a delayed write's error on NFS and under disk quotas, a sync the
// disk's own, and a rename a full or read-only folder. strace makes the
// system fail one call with EIO, without a test-only branch in the tool, and
// works on the static release executable too. The call is the one made on
// the image's new file, whose name no test knows beforehand: a first run
// with the same folder, traced, counts the calls that come before it.
struct Fault {
  std::string call;   // "close", "fsync" or "renameat"
  std::string image;  // the image whose new file the call is made on
};

// Why a Fault cannot be made here, or nullptr when it can.
const char* WhyNoFault() {
  if (!Emulator().empty())
    return "strace fails a call of the native executable; under an emulator it would fail the "
           "emulator's own";
  static const bool straceWorks = std::system("strace -o /dev/null true > /dev/null 2>&1") == 0;
  return straceWorks ? nullptr : "strace is missing, or ptrace is refused on this machine";
}

// The strace that traces fault.call into log, naming each descriptor's file.
std::vector<std::string> Tracing(const Fault& fault, const fs::path& log) {
  return {"strace", "-o", log.string(), "-y", "-e", "trace=" + fault.call};
}

// The strace that fails the when-th call of fault.call.
std::vector<std::string> Failing(const Fault& fault, int when) {
  return {"strace",
          "-o",
          "/dev/null",
          "-e",
          "trace=" + fault.call,
          "-e",
          "inject=" + fault.call + ":error=EIO:when=" + std::to_string(when)};
}

// Which call of fault.call, counted from 1, the traced log shows made on the
// image's new file; 0 if none.
int CallOnNewFile(const Fault& fault, const std::string& log) {
  std::istringstream lines(log);
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(fault.call + "(", 0) != 0) continue;
    ++count;
    if (line.find(fault.image + ".quorvel-") != std::string::npos) return count;
  }
  return 0;
}

// The user's language, for a child about to start the tool: English as
// LC_ALL=C gives it, or Japanese as a Japanese desktop sets it (Wine takes
// the Windows display language from the same variables).
void SetLocale(bool japanese) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) unsetenv(name);
  if (japanese)
    setenv("LANG", "ja_JP.UTF-8", 1);
  else
    setenv("LC_ALL", "C", 1);
}

// The command line that runs the tool under test: the wrapper, the
// emulator if any, the tool, then args.
std::vector<std::string> ToolCommand(const std::vector<std::string>& args,
                                     const std::vector<std::string>& wrapper = {}) {
  std::vector<std::string> command = wrapper;
  if (!Emulator().empty()) command.push_back(Emulator());
  command.push_back(ToolPath());
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

// execvp's argument vector, pointing into command, which must outlive it.
std::vector<char*> ArgumentVector(std::vector<std::string>& command) {
  std::vector<char*> argv;
  argv.reserve(command.size() + 1);
  for (std::string& a : command) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs command in workDir, its standard output and error captured in captureDir.
Result RunCommand(const fs::path& workDir, const fs::path& captureDir, std::vector<std::string> command,
                  const Streams& streams, bool traced, rlim_t fileSizeLimit) {
  const std::vector<char*> cargv = ArgumentVector(command);
  const std::string outPath = (captureDir / "stdout").string();
  const std::string errPath = (captureDir / "stderr").string();
  WriteFile(outPath, "");
  WriteFile(errPath, "");

  pid_t pid = fork();
  if (pid == 0) {
    rlimit limit{fileSizeLimit, fileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    alarm(kTimeoutSeconds);  // survives exec
    if (chdir(workDir.c_str()) != 0) _exit(125);
    int out = open(streams.out == Out::kFull ? "/dev/full" : outPath.c_str(), O_WRONLY);
    int err = open(errPath.c_str(), O_WRONLY);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(125);
    close(out);
    close(err);
    if (streams.out == Out::kClosed) close(1);
    if (streams.closeErr) close(2);
    if (streams.closeIn) close(0);
    SetLocale(streams.japanese);
    // LeakSanitizer, in the sanitizer build, aborts under ptrace.
    if (traced) {
      const char* asan = std::getenv("ASAN_OPTIONS");
      const std::string options = std::string(asan != nullptr ? asan : "") + ":detect_leaks=0";
      setenv("ASAN_OPTIONS", options.c_str(), 1);
    }
    execvp(cargv[0], cargv.data());
    _exit(126);
  }
  Result result{-1, "", ""};
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid)
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

Result RunTool(const fs::path& workDir, const fs::path& captureDir, const std::vector<std::string>& args,
               const Streams& streams, const std::vector<std::string>& wrapper = {},
               rlim_t fileSizeLimit = kFileSizeLimit) {
  return RunCommand(workDir, captureDir, ToolCommand(args, wrapper), streams, !wrapper.empty(),
                    fileSizeLimit);
}

// ---- What the tool should do -----------------------------------------------

const char* const kModeLine = "Generate compatible ROM mode";
const char* const kBanner[] = {
    "Quorvel File generator for V2 v0.3",
    // "このプログラムは、Quorvel V1用のファイルから、V2に必要なファイルを作り出すプログラムです" in Shift_JIS
    "\x82\xB1\x82\xCC\x83v\x83\x8D\x83O\x83\x89\x83\x80\x82\xCD\x81"
    "AQuorvel V1\x97p\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xA9\x82\xE7\x81"
    "AV2\x82\xC9\x95K\x97v\x82\xC8\x83t\x83@\x83"
    "C\x83\x8B\x82\xF0\x8D\xEC\x82\xE8\x8Fo\x82\xB7\x83v\x83\x8D\x83O\x83\x89\x83\x80\x82\xC5\x82\xB7",
    // "同じディレクトリに、V1用の以下のファイルが必要です" in Shift_JIS
    "\x93\xAF\x82\xB6\x83"
    "f\x83"
    "B\x83\x8C\x83N\x83g\x83\x8A\x82\xC9\x81"
    "AV1\x97p\x82\xCC\x88\xC8\x89\xBA\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x95K\x97v\x82\xC5\x82\xB7",
    "BOOT_BAS.ROM, BOOT_DOS.ROM, SUBSYS_C.ROM",
};
const char* const kSucceed = "Succeed to generate V2 files!";
const char* const kError = "Error!";

// Standard error is a text-mode stream on Windows too.
std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (char c : text) converted += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return converted;
}

// Standard error as the build writes it: a text-mode stream on Windows, and
// Japanese there in code page 932, as the banner is.
std::string InConsoleEncoding(const std::string& err, bool japanese) {
  if (!TestingWindowsBuild()) return err;
  return WithCrLf(japanese ? testutil::Convert(err, "UTF-8", "CP932") : err);
}

std::string Console(bool compatible, const char* last) {
  const std::string newline = TestingWindowsBuild() ? "\r\n" : "\n";
  std::string text;
  if (compatible) text += kModeLine + newline;
  for (const char* line : kBanner) text += line + newline;
  return text + last + newline;
}

struct Inputs {
  std::string subsysC = Pattern(10240, 1);
  std::string program = Pattern(4000, 2);
  std::string bootBas = Pattern(512, 3);
  std::string bootDos = Pattern(512, 4);
};

Folder InputFiles(const Inputs& in) {
  return {{"SUBSYS_C.ROM", File(in.subsysC)},
          {"INITIATE.BIN", File(in.program)},
          {"BOOT_BAS.ROM", File(in.bootBas)},
          {"BOOT_DOS.ROM", File(in.bootDos)}};
}

std::string SubsysCg(const Inputs& in) {
  const std::string character = Slice(in.subsysC, 0, 2048);
  return character + character + character + character;
}
std::string SubsysA(const Inputs& in) { return Slice(in.subsysC, 2048, 8192); }
std::string ProgramPart(const Inputs& in) {
  return in.program + Fill(in.program.size() < 6144 ? 6144 - in.program.size() : 0, '\0');
}
std::string BasPart(const Inputs& in) { return Slice(in.bootBas, 0, 512); }
std::string DosPart(const Inputs& in) { return Slice(in.bootDos, 0, 512); }
std::string Initiate(const Inputs& in) {
  return ProgramPart(in) + BasPart(in) + DosPart(in) + Fill(1022, '\0') + std::string("\x60\x00", 2);
}

// The inputs and every image that a successful run writes.
Folder AfterSuccess(const Inputs& in, bool compatible, Folder before = {}) {
  for (auto& [name, entry] : InputFiles(in)) before[name] = entry;
  before["SUBSYSCG.ROM"] = File(SubsysCg(in));
  if (!compatible) {
    before["SUBSYS_A.ROM"] = File(SubsysA(in));
    before["SUBSYS_B.ROM"] = File(SubsysA(in));
  }
  before["INITIATE.ROM"] = File(Initiate(in));
  return before;
}

// The folder with an old image, each of its own bytes, in the place of every
// image that it does not hold already.
Folder OldImages(Folder folder) {
  unsigned seed = 20;
  for (const char* image : {"SUBSYSCG.ROM", "SUBSYS_A.ROM", "SUBSYS_B.ROM", "INITIATE.ROM"})
    folder.emplace(image, File(Pattern(8192, seed++)));
  return folder;
}

// ---- The cases ---------------------------------------------------------------

struct Case {
  std::string name;
  std::vector<std::string> args;
  Folder before;
  int status;
  std::string out;
  Folder after;
  // Every byte of standard error: empty after a clean run.
  std::string err;
  Streams streams = {};
  // Why the case cannot be shown with the Windows build under Wine, or with
  // the WebAssembly build under Node, if it cannot.
  const char* notUnderWine = nullptr;
  const char* notUnderNode = nullptr;
  // A call that the system fails, if any (see Fault).
  std::optional<Fault> fault = std::nullopt;
  // A smaller limit on the size of a file than the usual one, if any.
  rlim_t fileSizeLimit = 0;
};

// Windows refuses to create a file where a directory stands with "access denied".
std::string CannotCreateDirectory() { return TestingWindowsBuild() ? "Permission denied" : "Is a directory"; }

Inputs WithSubsysC(std::size_t size) {
  Inputs in;
  in.subsysC = Pattern(size, 1);
  return in;
}
Inputs WithProgram(std::size_t size) {
  Inputs in;
  in.program = Pattern(size, 2);
  return in;
}
Inputs WithBoots(std::size_t bas, std::size_t dos) {
  Inputs in;
  in.bootBas = Pattern(bas, 3);
  in.bootDos = Pattern(dos, 4);
  return in;
}

Case Succeeds(const std::string& name, const Inputs& in, const std::vector<std::string>& args = {},
              bool compatible = false, const std::string& err = "") {
  return {name, args, InputFiles(in), 0, Console(compatible, kSucceed), AfterSuccess(in, compatible), err};
}

// What the tool says, in the language of one run. The texts are written out
// here as a user reads them, apart from the tool's own table.
struct Speech {
  bool japanese;

  std::string Line(const std::string& parts) const { return "quorvel-v2gen: " + parts + "\n"; }
  std::string Warning(const std::string& name, const std::string& text) const {
    return Line((japanese ? u8"警告" : "warning") + (": " + name + ": " + text));
  }

  // attempt and reason are given in English; the reasons that users meet
  // have Japanese texts, any other stays the system's.
  std::string Failure(const std::string& name, const std::string& attempt, const std::string& reason) const {
    if (!japanese) return Line(name + ": " + attempt + ": " + reason);
    static const std::map<std::string, std::string> kJapanese = {
        {"standard output", u8"標準出力"},
        {"cannot open for reading", u8"読み込み用に開けません"},
        {"cannot create", u8"作成できません"},
        {"cannot read", u8"読み込めません"},
        {"cannot write", u8"書き込めません"},
        {"cannot seek", u8"シークできません"},
        {"cannot close", u8"閉じられません"},
        {"cannot sync to disk", u8"ディスクに書き出せません"},
        {"cannot put in place", u8"置き換えられません"},
        {"No such file or directory", u8"そのようなファイルやディレクトリはありません"},
        {"Permission denied", u8"アクセスが拒否されました"},
        {"Is a directory", u8"ディレクトリです"},
        {"No space left on device", u8"デバイスに空き領域がありません"},
        {"Read-only file system", u8"読み込み専用のファイルシステムです"},
        {"Disk quota exceeded", u8"ディスク使用量の制限を超えました"},
        {"Input/output error", u8"入出力エラーです"},
        {"Illegal seek", u8"パイプなど、先頭から読み直せないファイルです"},
        {"Bad file descriptor", u8"不正なファイル記述子です"},
        {"File too large", u8"ファイルが大きすぎます"},
    };
    auto say = [](const std::string& english) {
      auto found = kJapanese.find(english);
      return found != kJapanese.end() ? found->second : english;
    };
    return Line(say(name) + ": " + say(attempt) + ": " + say(reason));
  }

  // The failure for a name that two files match but for case.
  std::string TwoMatches(const std::string& name, const std::string& attempt, const std::string& a,
                         const std::string& b) const {
    if (!japanese)
      return Failure(name, attempt,
                     "2 files match it without regard to case: " + a + " and " + b + "; keep one of them");
    return Failure(name, attempt,
                   u8"大文字と小文字の違いだけで名前が重なるファイルが 2 つあります: " + a + u8"、" + b +
                       u8"。1 つだけ残してください");
  }

  // The warning for an input shorter than its image needs.
  std::string ShortInput(const std::string& name, std::size_t size, std::size_t expected) const {
    const std::string n = std::to_string(size), want = std::to_string(expected),
                      missing = std::to_string(expected - size);
    return Warning(name, japanese ? n + u8" バイトですが、" + want + u8" バイト以上あるはずです。足りない " +
                                        missing + u8" バイトは 0xFF で埋めます"
                                  : n + " bytes, expected at least " + want + "; the missing " + missing +
                                        " bytes are written as 0xFF");
  }

  std::string LongProgram(std::size_t size) const {
    const std::string n = std::to_string(size), image = std::to_string(size + 2048);
    return Warning("INITIATE.BIN", japanese
                                       ? n +
                                             u8" バイトですが、6144 バイト以下のはずです。INITIATE.ROM は "
                                             u8"8192 バイトではなく " +
                                             image + u8" バイトになります"
                                       : n + " bytes, expected at most 6144; INITIATE.ROM is " + image +
                                             " bytes instead of 8192");
  }

  // The warning for a range of a dump that is one value throughout.
  std::string Blank(const std::string& name, std::size_t from, std::size_t to,
                    const std::string& value) const {
    const std::string a = std::to_string(from), b = std::to_string(to);
    return Warning(name, japanese
                             ? u8"オフセット " + a + u8" から " + b + u8" までがすべて " + value +
                                   u8" です。ROM を正しく読み出せていないようです。吸い出し直してください"
                             : "bytes " + a + " to " + b + " are all " + value +
                                   "; the chip looks unread, dump it again");
  }

  std::string SameBootImages(std::size_t size) const {
    const std::string n = std::to_string(size);
    return Warning("BOOT_DOS.ROM",
                   japanese ? u8"使用する先頭 " + n +
                                  u8" バイトが BOOT_BAS.ROM と同じです。BASIC 用と DOS 用のブート ROM は"
                                  u8"内容が異なるはずなので、どちらかのファイルが間違っています"
                            : "the " + n +
                                  " bytes used are the same as those of BOOT_BAS.ROM; the two boot images "
                                  "of a machine differ, so one of them is the wrong file");
  }
};

// A character set whose top bit is never set, as many fonts have it.
std::string FontWithFixedBit() {
  std::string font = Pattern(2048, 5);
  for (char& byte : font) byte = static_cast<char>(byte & 0x7F);
  return font;
}

// The folder holds the standard inputs, less those named, plus extra entries.
Folder Standard(const std::vector<std::string>& without = {}, const Folder& extra = {}) {
  Folder folder = InputFiles(Inputs());
  for (const std::string& name : without) folder.erase(name);
  for (auto& [name, entry] : extra) folder[name] = entry;
  return folder;
}

const char* const kNodeOpensStdout =
    "Node opens a standard descriptor that starts closed by itself, so standard output takes "
    "the closing line";
const char* const kWineNeedsStdin =
    "Wine itself does not start with standard input closed: its own descriptors take its place";

std::vector<Case> Cases(const Speech& s) {
  const Inputs usual;
  const std::string old = Pattern(20000, 9);
  std::vector<Case> cases = {
      // The switch: exactly one argument, compared without regard to ASCII case.
      Succeeds("NoArgument", usual),
      Succeeds("Switch", usual, {"-compatiblerom"}, true),
      Succeeds("SwitchInCapitals", usual, {"-COMPATIBLEROM"}, true),
      Succeeds("SwitchInMixedCase", usual, {"-CompatibleRom"}, true),
      Succeeds("SwitchWithSecondArgument", usual, {"-compatiblerom", "x"}),
      Succeeds("SwitchAfterAnotherArgument", usual, {"x", "-compatiblerom"}),
      Succeeds("SwitchTwice", usual, {"-compatiblerom", "-compatiblerom"}),
      Succeeds("SwitchWithoutHyphen", usual, {"compatiblerom"}),
      Succeeds("SwitchWithSlash", usual, {"/compatiblerom"}),
      Succeeds("SwitchCutShort", usual, {"-compatiblero"}),
      Succeeds("SwitchWithMore", usual, {"-compatibleromx"}),
      [&usual] {
        Case c = Succeeds("SwitchWithNonAsciiLetter", usual,
                          {"-compat\xC4\xB1"
                           "blerom"});
        c.notUnderWine =
            "Wine hands a Windows program its arguments in the ANSI code page, where the "
            "best-fit mapping turns a dotless i into 'i' before the tool sees it";
        return c;
      }(),
      Succeeds("EmptyArgument", usual, {""}),

      // "SUBSYS_C.ROM" of every size that matters; 0xFF stands for what it
      // lacks, and a warning says how much that is.
      Succeeds("SubsysCEmpty", WithSubsysC(0), {}, false, s.ShortInput("SUBSYS_C.ROM", 0, 10240)),
      Succeeds("SubsysCShorterThanCharacters", WithSubsysC(1000), {}, false,
               s.ShortInput("SUBSYS_C.ROM", 1000, 10240)),
      Succeeds("SubsysCCharactersOnly", WithSubsysC(2048), {}, false,
               s.ShortInput("SUBSYS_C.ROM", 2048, 10240)),
      Succeeds("SubsysCOneByteIntoSubsysA", WithSubsysC(2049), {}, false,
               s.ShortInput("SUBSYS_C.ROM", 2049, 10240)),
      Succeeds("SubsysCOneByteShort", WithSubsysC(10239), {}, false,
               s.ShortInput("SUBSYS_C.ROM", 10239, 10240)),
      Succeeds("SubsysCLong", WithSubsysC(12000)),
      Succeeds("SubsysCEmptyInCompatibleMode", WithSubsysC(0), {"-compatiblerom"}, true,
               s.ShortInput("SUBSYS_C.ROM", 0, 2048)),
      Succeeds("SubsysCOneByteShortInCompatibleMode", WithSubsysC(2047), {"-compatiblerom"}, true,
               s.ShortInput("SUBSYS_C.ROM", 2047, 2048)),
      Succeeds("SubsysCCharactersOnlyInCompatibleMode", WithSubsysC(2048), {"-compatiblerom"}, true),

      // "INITIATE.BIN" around the 6144-byte boundary, and long enough to span blocks.
      Succeeds("ProgramEmpty", WithProgram(0)),
      Succeeds("ProgramOneByteShort", WithProgram(6143)),
      Succeeds("ProgramExact", WithProgram(6144)),
      Succeeds("ProgramOneByteLong", WithProgram(6145), {}, false, s.LongProgram(6145)),
      Succeeds("ProgramMuchLonger", WithProgram(200000), {}, false, s.LongProgram(200000)),

      // Boot images: only the first 512 bytes count, 0xFF for what is missing.
      Succeeds("BootImagesEmpty", WithBoots(0, 0), {}, false,
               s.ShortInput("BOOT_BAS.ROM", 0, 512) + s.ShortInput("BOOT_DOS.ROM", 0, 512)),
      Succeeds("BootBasOneByteShort", WithBoots(511, 512), {}, false, s.ShortInput("BOOT_BAS.ROM", 511, 512)),
      Succeeds("BootDosOneByteShort", WithBoots(512, 511), {}, false, s.ShortInput("BOOT_DOS.ROM", 511, 512)),
      Succeeds("BootImagesLong", WithBoots(513, 4096)),

      // Every warning in one run, in the order of the work, and still a success.
      [&s] {
        Inputs in;
        in.subsysC = Pattern(4000, 1);
        in.program = Pattern(7000, 2);
        in.bootBas = Pattern(100, 3);
        in.bootDos = Pattern(300, 4);
        return Succeeds("EveryWarning", in, {}, false,
                        s.ShortInput("SUBSYS_C.ROM", 4000, 10240) + s.LongProgram(7000) +
                            s.ShortInput("BOOT_BAS.ROM", 100, 512) + s.ShortInput("BOOT_DOS.ROM", 300, 512));
      }(),
  };

  // Dumps that cannot be right whatever their size: a range that the run
  // uses is one value throughout, or one boot image is given twice. Only the
  // bytes that a file holds count, and only the ranges that the run uses.
  struct Dumps {
    const char* name;
    std::string subsysC, program, bootBas, bootDos;
    bool compatible;
    std::string err;
  };
  const Inputs u;
  const std::string ff = "0xFF", zero = "0x00";
  const Dumps dumps[] = {
      {"BlankCharacters", Fill(2048, '\0') + Slice(u.subsysC, 2048, 8192), u.program, u.bootBas, u.bootDos,
       false, s.Blank("SUBSYS_C.ROM", 0, 2047, zero)},
      {"BlankCharactersInCompatibleMode", Fill(2048, '\0') + Slice(u.subsysC, 2048, 8192), u.program,
       u.bootBas, u.bootDos, true, s.Blank("SUBSYS_C.ROM", 0, 2047, zero)},
      {"BlankSubsysA", Slice(u.subsysC, 0, 2048) + Fill(8192, '\xFF'), u.program, u.bootBas, u.bootDos, false,
       s.Blank("SUBSYS_C.ROM", 2048, 10239, ff)},
      {"ShortBlankSubsysA", Slice(u.subsysC, 0, 2048) + Fill(100, '\xFF'), u.program, u.bootBas, u.bootDos,
       false, s.ShortInput("SUBSYS_C.ROM", 2148, 10240) + s.Blank("SUBSYS_C.ROM", 2048, 2147, ff)},
      {"BlankSubsysAUnusedInCompatibleMode", Slice(u.subsysC, 0, 2048) + Fill(8192, '\xFF'), u.program,
       u.bootBas, u.bootDos, true, ""},
      {"BlankWholeSubsysC", Fill(10240, '\xFF'), u.program, u.bootBas, u.bootDos, false,
       s.Blank("SUBSYS_C.ROM", 0, 2047, ff) + s.Blank("SUBSYS_C.ROM", 2048, 10239, ff)},
      {"BlankProgram", u.subsysC, Fill(4000, '\xFF'), u.bootBas, u.bootDos, false,
       s.Blank("INITIATE.BIN", 0, 3999, ff)},
      // Past its usual size, a program that looks blank is looked at to its end.
      {"BlankLongProgram", u.subsysC, Fill(200000, '\0'), u.bootBas, u.bootDos, false,
       s.LongProgram(200000) + s.Blank("INITIATE.BIN", 0, 199999, zero)},
      {"LongProgramBlankOnlyAtFirst", u.subsysC, Fill(150000, '\0') + "x", u.bootBas, u.bootDos, false,
       s.LongProgram(150001)},
      {"BlankBootImage", u.subsysC, u.program, Fill(512, '\xFF'), u.bootDos, false,
       s.Blank("BOOT_BAS.ROM", 0, 511, ff)},
      {"ShortBlankBootImage", u.subsysC, u.program, u.bootBas, Fill(300, '\0'), false,
       s.ShortInput("BOOT_DOS.ROM", 300, 512) + s.Blank("BOOT_DOS.ROM", 0, 299, zero)},
      {"SameBootImageTwice", u.subsysC, u.program, u.bootBas, u.bootBas, false, s.SameBootImages(512)},
      {"SameShortBootImageTwice", u.subsysC, u.program, Slice(u.bootBas, 0, 300), Slice(u.bootBas, 0, 300),
       false,
       s.ShortInput("BOOT_BAS.ROM", 300, 512) + s.ShortInput("BOOT_DOS.ROM", 300, 512) +
           s.SameBootImages(300)},
      // The same 512 bytes used, different past them: the images hold the same twice.
      {"SameBootImageTwiceDifferentPastTheUsedPart", u.subsysC, u.program, u.bootBas + "BASIC",
       u.bootBas + "DOS", false, s.SameBootImages(512)},
      // Two blank boot images are the same, but that says nothing more.
      {"BothBootImagesBlank", u.subsysC, u.program, Fill(512, '\xFF'), Fill(512, '\xFF'), false,
       s.Blank("BOOT_BAS.ROM", 0, 511, ff) + s.Blank("BOOT_DOS.ROM", 0, 511, ff)},
      // Sound dumps: no false alarm for a font that never sets a bit, nor for
      // blank bytes past the ranges that are used.
      {"FontWithAFixedBit", FontWithFixedBit() + Slice(u.subsysC, 2048, 8192), u.program, u.bootBas,
       u.bootDos, false, ""},
      {"BlankPastTheUsedRanges", u.subsysC + Fill(4000, '\xFF'), u.program, u.bootBas + Fill(512, '\xFF'),
       u.bootDos + Fill(512, '\0'), false, ""},
  };
  for (const Dumps& d : dumps) {
    Inputs in;
    in.subsysC = d.subsysC;
    in.program = d.program;
    in.bootBas = d.bootBas;
    in.bootDos = d.bootDos;
    cases.push_back(Succeeds(
        d.name, in, d.compatible ? std::vector<std::string>{"-compatiblerom"} : std::vector<std::string>{},
        d.compatible, d.err));
  }

  // Outputs that exist are truncated and overwritten.
  {
    Folder before = Standard({}, {{"SUBSYSCG.ROM", File(old)},
                                  {"SUBSYS_A.ROM", File(old)},
                                  {"SUBSYS_B.ROM", File(old)},
                                  {"INITIATE.ROM", File(old)}});
    cases.push_back(
        {"OldOutputsOverwritten", {}, before, 0, Console(false, kSucceed), AfterSuccess(usual, false), ""});
  }
  // The compatible set leaves "SUBSYS_A.ROM" and "SUBSYS_B.ROM" alone, even
  // where they could not be written.
  {
    Folder old2 = {{"SUBSYS_A.ROM", File(old)}, {"SUBSYS_B.ROM", File("B")}};
    cases.push_back({"CompatibleKeepsOldSubsysImages",
                     {"-compatiblerom"},
                     Standard({}, old2),
                     0,
                     Console(true, kSucceed),
                     AfterSuccess(usual, true, old2),
                     ""});
    Folder dirs = {{"SUBSYS_A.ROM", Directory()}, {"SUBSYS_B.ROM", Directory()}};
    cases.push_back({"CompatibleIgnoresUnwritableSubsysImages",
                     {"-compatiblerom"},
                     Standard({}, dirs),
                     0,
                     Console(true, kSucceed),
                     AfterSuccess(usual, true, dirs),
                     ""});
  }

  // What each failure leaves on disk: the images completed before it are
  // new, and the image that failed is left as it was, or not there.
  const Folder cg = {{"SUBSYSCG.ROM", File(SubsysCg(usual))}};
  Folder subsys = cg;
  subsys["SUBSYS_A.ROM"] = File(SubsysA(usual));
  subsys["SUBSYS_B.ROM"] = File(SubsysA(usual));
  auto with = [](Folder folder, const Folder& extra) {
    for (auto& [name, entry] : extra) folder[name] = entry;
    return folder;
  };
  const std::string errorOut = Console(false, kError);
  // The names of the cases that are shown again over a folder of old images.
  std::vector<std::string> overOldImages;

  // Each input missing.
  {
    Folder oldImage = {{"INITIATE.ROM", File(old)}};
    cases.push_back({"SubsysCMissing",
                     {},
                     Standard({"SUBSYS_C.ROM"}, oldImage),
                     1,
                     errorOut,
                     Standard({"SUBSYS_C.ROM"}, oldImage),
                     s.Failure("SUBSYS_C.ROM", "cannot open for reading", "No such file or directory")});
    cases.push_back({"SubsysCMissingInCompatibleMode",
                     {"-compatiblerom"},
                     Standard({"SUBSYS_C.ROM"}),
                     1,
                     Console(true, kError),
                     Standard({"SUBSYS_C.ROM"}),
                     s.Failure("SUBSYS_C.ROM", "cannot open for reading", "No such file or directory")});
  }
  cases.push_back({"ProgramMissing",
                   {},
                   Standard({"INITIATE.BIN"}),
                   1,
                   errorOut,
                   Standard({"INITIATE.BIN"}, subsys),
                   s.Failure("INITIATE.BIN", "cannot open for reading", "No such file or directory")});
  cases.push_back({"BootBasMissing",
                   {},
                   Standard({"BOOT_BAS.ROM"}),
                   1,
                   errorOut,
                   Standard({"BOOT_BAS.ROM"}, subsys),
                   s.Failure("BOOT_BAS.ROM", "cannot open for reading", "No such file or directory")});
  {
    Inputs longProgram = WithProgram(7000);
    Folder before = InputFiles(longProgram);
    before.erase("BOOT_BAS.ROM");
    Folder after = with(before, {{"SUBSYSCG.ROM", File(SubsysCg(longProgram))},
                                 {"SUBSYS_A.ROM", File(SubsysA(longProgram))},
                                 {"SUBSYS_B.ROM", File(SubsysA(longProgram))}});
    cases.push_back({"BootBasMissingAfterLongProgram",
                     {},
                     before,
                     1,
                     errorOut,
                     after,
                     s.LongProgram(7000) +
                         s.Failure("BOOT_BAS.ROM", "cannot open for reading", "No such file or directory")});
  }
  cases.push_back({"BootDosMissing",
                   {},
                   Standard({"BOOT_DOS.ROM"}),
                   1,
                   errorOut,
                   Standard({"BOOT_DOS.ROM"}, subsys),
                   s.Failure("BOOT_DOS.ROM", "cannot open for reading", "No such file or directory")});
  // The compatible set: "SUBSYSCG.ROM" is made, and the user's own
  // "SUBSYS_A.ROM" and "SUBSYS_B.ROM" stay untouched, as does "INITIATE.ROM".
  cases.push_back({"ProgramMissingInCompatibleMode",
                   {"-compatiblerom"},
                   Standard({"INITIATE.BIN"}),
                   1,
                   Console(true, kError),
                   Standard({"INITIATE.BIN"}, cg),
                   s.Failure("INITIATE.BIN", "cannot open for reading", "No such file or directory")});
  overOldImages.insert(
      overOldImages.end(),
      {"SubsysCMissing", "SubsysCMissingInCompatibleMode", "ProgramMissing", "ProgramMissingInCompatibleMode",
       "BootBasMissing", "BootBasMissingAfterLongProgram", "BootDosMissing"});

  // Each output that cannot be created: a directory stands in its place.
  cases.push_back({"SubsysCgNotCreated",
                   {},
                   Standard({}, {{"SUBSYSCG.ROM", Directory()}}),
                   1,
                   errorOut,
                   Standard({}, {{"SUBSYSCG.ROM", Directory()}}),
                   s.Failure("SUBSYSCG.ROM", "cannot create", CannotCreateDirectory())});
  cases.push_back({"SubsysANotCreated",
                   {},
                   Standard({}, {{"SUBSYS_A.ROM", Directory()}}),
                   1,
                   errorOut,
                   Standard({}, with(cg, {{"SUBSYS_A.ROM", Directory()}})),
                   s.Failure("SUBSYS_A.ROM", "cannot create", CannotCreateDirectory())});
  cases.push_back(
      {"SubsysBNotCreated",
       {},
       Standard({}, {{"SUBSYS_B.ROM", Directory()}}),
       1,
       errorOut,
       Standard({}, with(cg, {{"SUBSYS_A.ROM", File(SubsysA(usual))}, {"SUBSYS_B.ROM", Directory()}})),
       s.Failure("SUBSYS_B.ROM", "cannot create", CannotCreateDirectory())});
  cases.push_back({"InitiateRomNotCreated",
                   {},
                   Standard({}, {{"INITIATE.ROM", Directory()}}),
                   1,
                   errorOut,
                   Standard({}, with(subsys, {{"INITIATE.ROM", Directory()}})),
                   s.Failure("INITIATE.ROM", "cannot create", CannotCreateDirectory())});
  overOldImages.insert(overOldImages.end(), {"SubsysCgNotCreated", "SubsysANotCreated", "SubsysBNotCreated",
                                             "InitiateRomNotCreated"});

  // A write that the device refuses fails the run, whichever image it hits. A
  // device keeps no image, so it is written as it stands and stays a link.
  const Folder full = {{"SUBSYSCG.ROM", LinkTo("/dev/full")}};
  cases.push_back({"SubsysCgWriteFails",
                   {},
                   Standard({}, full),
                   1,
                   errorOut,
                   Standard({}, full),
                   s.Failure("SUBSYSCG.ROM", "cannot write", "No space left on device")});
  cases.push_back({"SubsysBWriteFails",
                   {},
                   Standard({}, {{"SUBSYS_B.ROM", LinkTo("/dev/full")}}),
                   1,
                   errorOut,
                   Standard({}, with(cg, {{"SUBSYS_A.ROM", File(SubsysA(usual))},
                                          {"SUBSYS_B.ROM", LinkTo("/dev/full")}})),
                   s.Failure("SUBSYS_B.ROM", "cannot write", "No space left on device")});
  cases.push_back({"InitiateRomWriteFails",
                   {},
                   Standard({}, {{"INITIATE.ROM", LinkTo("/dev/full")}}),
                   1,
                   errorOut,
                   Standard({}, with(subsys, {{"INITIATE.ROM", LinkTo("/dev/full")}})),
                   s.Failure("INITIATE.ROM", "cannot write", "No space left on device")});
  // A write past the limit on a file's size (a quota, a full disk) fails
  // with the system's reason, and the old image stays whole.
  {
    Inputs longProgram = WithProgram(10000);
    Case c{"InitiateRomOverTheSizeLimit",
           {},
           InputFiles(longProgram),
           1,
           errorOut,
           with(InputFiles(longProgram), {{"SUBSYSCG.ROM", File(SubsysCg(longProgram))},
                                          {"SUBSYS_A.ROM", File(SubsysA(longProgram))},
                                          {"SUBSYS_B.ROM", File(SubsysA(longProgram))}}),
           s.LongProgram(10000) + s.Failure("INITIATE.ROM", "cannot write", "File too large")};
    c.fileSizeLimit = 10000;
    c.notUnderWine = "the limit's signal ends Wine itself, which the tool cannot ask to ignore";
    c.notUnderNode = "the limit's signal ends Node itself, which the tool cannot ask to ignore";
    cases.push_back(c);
    overOldImages.push_back(c.name);
  }

  // Each step that puts an image in place, failed by the system (see
  // Fault), over a folder of old images: the images before it are new, it
  // and those after it are the old ones, whole, and no new file is left.
  {
    const std::pair<const char*, const char*> images[] = {{"SUBSYSCG.ROM", "SubsysCg"},
                                                          {"SUBSYS_A.ROM", "SubsysA"},
                                                          {"SUBSYS_B.ROM", "SubsysB"},
                                                          {"INITIATE.ROM", "InitiateRom"}};
    const struct {
      const char* call;
      const char* attempt;
      const char* name;
    } steps[] = {{"fsync", "cannot sync to disk", "SyncFails"},
                 {"close", "cannot close", "CloseFails"},
                 {"renameat", "cannot put in place", "RenameFails"}};
    const Folder made = AfterSuccess(usual, false);
    for (const auto& step : steps) {
      Folder after = OldImages(Standard());
      for (const auto& [image, name] : images) {
        Case c{std::string(name) + step.name,
               {},
               OldImages(Standard()),
               1,
               errorOut,
               after,
               s.Failure(image, step.attempt, "Input/output error")};
        c.fault = Fault{step.call, image};
        cases.push_back(c);
        after[image] = made.at(image);
      }
    }
  }

  // A read error is not the end of an input: an input that is a directory fails the run.
  const char* const noReadError =
      "Windows refuses to open a directory, so this provokes no read error there; the missing "
      "inputs cover the failure to open";
  cases.push_back({"SubsysCReadFails",
                   {},
                   Standard({"SUBSYS_C.ROM"}, {{"SUBSYS_C.ROM", Directory()}}),
                   1,
                   errorOut,
                   Standard({"SUBSYS_C.ROM"}, {{"SUBSYS_C.ROM", Directory()}}),
                   s.Failure("SUBSYS_C.ROM", "cannot read", "Is a directory"),
                   {},
                   noReadError});
  cases.push_back({"ProgramReadFails",
                   {},
                   Standard({"INITIATE.BIN"}, {{"INITIATE.BIN", Directory()}}),
                   1,
                   errorOut,
                   Standard({"INITIATE.BIN"}, with(subsys, {{"INITIATE.BIN", Directory()}})),
                   s.Failure("INITIATE.BIN", "cannot read", "Is a directory"),
                   {},
                   noReadError});
  cases.push_back({"BootDosReadFails",
                   {},
                   Standard({"BOOT_DOS.ROM"}, {{"BOOT_DOS.ROM", Directory()}}),
                   1,
                   errorOut,
                   Standard({"BOOT_DOS.ROM"}, with(subsys, {{"BOOT_DOS.ROM", Directory()}})),
                   s.Failure("BOOT_DOS.ROM", "cannot read", "Is a directory"),
                   {},
                   noReadError});
  overOldImages.insert(overOldImages.end(), {"SubsysCReadFails", "ProgramReadFails", "BootDosReadFails"});

  // An input that cannot be read afresh (a named pipe) would give four
  // different blocks in "SUBSYSCG.ROM": the failed seek fails the run.
  {
    const Folder pipe = {{"SUBSYS_C.ROM", Fifo(usual.subsysC)}};
    cases.push_back({"SubsysCCannotSeek",
                     {},
                     Standard({"SUBSYS_C.ROM"}, pipe),
                     1,
                     errorOut,
                     Standard({"SUBSYS_C.ROM"}, pipe),
                     s.Failure("SUBSYS_C.ROM", "cannot seek", "Illegal seek"),
                     {},
                     "a named pipe in the folder is a Unix file that Windows does not have",
                     "Node's file layer reports the failed seek as a read error, \"cannot read: "
                     "Illegal seek\"; the run fails all the same"});
    overOldImages.push_back("SubsysCCannotSeek");
  }

  // Names in any case, as on the file systems that the dumps were made on:
  // where an exact name is missing, the one entry that differs from it only
  // in case is read, or written over, and a line about it names it as it is.
  {
    const auto renamed = [](Folder folder, const std::map<std::string, std::string>& names) {
      for (const auto& [from, to] : names) {
        folder[to] = folder.at(from);
        folder.erase(from);
      }
      return folder;
    };
    const std::map<std::string, std::string> lower = {{"SUBSYS_C.ROM", "subsys_c.rom"},
                                                      {"INITIATE.BIN", "initiate.bin"},
                                                      {"BOOT_BAS.ROM", "boot_bas.rom"},
                                                      {"BOOT_DOS.ROM", "boot_dos.rom"}};
    const std::map<std::string, std::string> mixed = {
        {"SUBSYS_C.ROM", "Subsys_C.Rom"}, {"INITIATE.BIN", "Initiate.bin"}, {"BOOT_BAS.ROM", "boot_bas.ROM"}};
    cases.push_back({"InputsInLowerCase",
                     {},
                     renamed(Standard(), lower),
                     0,
                     Console(false, kSucceed),
                     renamed(AfterSuccess(usual, false), lower),
                     ""});
    cases.push_back({"InputsInMixedCase",
                     {},
                     renamed(Standard(), mixed),
                     0,
                     Console(false, kSucceed),
                     renamed(AfterSuccess(usual, false), mixed),
                     ""});
    cases.push_back({"InputsInLowerCaseInCompatibleMode",
                     {"-compatiblerom"},
                     renamed(Standard(), lower),
                     0,
                     Console(true, kSucceed),
                     renamed(AfterSuccess(usual, true), lower),
                     ""});
    // Windows asks for the name as the tool spells it, and says that name.
    const auto onDisk = [](const std::string& name) {
      std::string upper = name;
      for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      return TestingWindowsBuild() ? upper : name;
    };
    Inputs shortBoot = WithBoots(100, 512);
    cases.push_back({"WarningNamesTheFileOnDisk",
                     {},
                     renamed(InputFiles(shortBoot), lower),
                     0,
                     Console(false, kSucceed),
                     renamed(AfterSuccess(shortBoot, false), lower),
                     s.ShortInput(onDisk("boot_bas.rom"), 100, 512)});
    const std::map<std::string, std::string> images = {{"SUBSYSCG.ROM", "subsyscg.rom"},
                                                       {"SUBSYS_A.ROM", "Subsys_A.rom"},
                                                       {"SUBSYS_B.ROM", "subsys_b.ROM"},
                                                       {"INITIATE.ROM", "initiate.rom"}};
    Folder oldImages;
    for (const auto& [image, name] : images) oldImages[name] = File(old);
    cases.push_back({"OldImagesInAnotherCaseOverwritten",
                     {},
                     Standard({}, oldImages),
                     0,
                     Console(false, kSucceed),
                     renamed(AfterSuccess(usual, false), images),
                     ""});

    // An image that is a symbolic link stays a link, and the file that it
    // points to is replaced; one that points nowhere yet gets that file.
    const char* const windowsLinks =
        "Windows puts the new image in the place of the link itself; its links are its own";
    for (const bool dangling : {false, true}) {
      Folder before = Standard({}, {{"INITIATE.ROM", LinkTo("mine.rom")}});
      if (!dangling) before["mine.rom"] = File(old);
      Folder after = AfterSuccess(usual, false);
      after["INITIATE.ROM"] = LinkTo("mine.rom");
      after["mine.rom"] = File(Initiate(usual));
      Case c{dangling ? "ImageLinkingToNothingYet" : "ImageThatIsALinkStaysALink",
             {},
             before,
             0,
             Console(false, kSucceed),
             after,
             ""};
      c.notUnderWine = windowsLinks;
      cases.push_back(c);
    }

    // Two candidates: neither is used, and the line names both.
    const char* const twoNames =
        "Windows' file systems ignore case: two names that differ only in case cannot stand in one folder";
    const Folder twoSubsysC = {{"SUBSYS_C.rom", File(usual.subsysC)}, {"subsys_c.rom", File(old)}};
    Case c = {"InputMatchedTwice",
              {},
              Standard({"SUBSYS_C.ROM"}, twoSubsysC),
              1,
              errorOut,
              Standard({"SUBSYS_C.ROM"}, twoSubsysC),
              s.TwoMatches("SUBSYS_C.ROM", "cannot open for reading", "SUBSYS_C.rom", "subsys_c.rom")};
    c.notUnderWine = twoNames;
    cases.push_back(c);
    const Folder twoBootDos = {{"Boot_Dos.Rom", File(usual.bootDos)}, {"boot_dos.rom", File(usual.bootDos)}};
    c = {"BootImageMatchedTwice",
         {},
         Standard({"BOOT_DOS.ROM"}, twoBootDos),
         1,
         errorOut,
         Standard({"BOOT_DOS.ROM"}, with(subsys, twoBootDos)),
         s.TwoMatches("BOOT_DOS.ROM", "cannot open for reading", "Boot_Dos.Rom", "boot_dos.rom")};
    c.notUnderWine = twoNames;
    cases.push_back(c);
    const Folder twoImages = {{"SubsysCG.rom", File(old)}, {"subsyscg.rom", File(old)}};
    c = {"ImageMatchedTwice",
         {},
         Standard({}, twoImages),
         1,
         errorOut,
         Standard({}, twoImages),
         s.TwoMatches("SUBSYSCG.ROM", "cannot create", "SubsysCG.rom", "subsyscg.rom")};
    c.notUnderWine = twoNames;
    cases.push_back(c);
  }

  // The same failures where a run had made every image before: what is not
  // made again stays as it was.
  for (const std::string& name : overOldImages) {
    Case c = *std::find_if(cases.begin(), cases.end(), [&](const Case& other) { return other.name == name; });
    c.name += "OverOldImages";
    c.before = OldImages(c.before);
    c.after = OldImages(c.after);
    cases.push_back(c);
  }

  // Standard output that refuses the closing line: every image is written,
  // and the status is -1, seen as 255.
  auto refused = [&](const std::string& name, Out out, const std::string& reason) {
    Case c = Succeeds(name, usual);
    c.status = 255;
    c.out = "";
    c.err = s.Failure("standard output", "cannot write", reason);
    c.streams.out = out;
    return c;
  };
  cases.push_back(refused("StdoutRefused", Out::kFull, "No space left on device"));
  // Started with standard output closed, the first input must not take its
  // place, nor an image receive the console text.
  cases.push_back(refused("StdoutClosed", Out::kClosed, "Bad file descriptor"));
  cases.back().notUnderNode = kNodeOpensStdout;
  {
    // A diagnostic is written while "INITIATE.ROM" is open: with standard
    // error closed it must not land in the image.
    Case c;
    for (const Case& other : cases)
      if (other.name == "BootDosMissing") c = other;
    c.name = "StderrClosedDuringFailure";
    c.err = "";
    c.streams.closeErr = true;
    cases.push_back(c);
    c.name = "AllStreamsClosedDuringFailure";
    c.out = "";
    c.streams = {Out::kClosed, true, true};
    c.notUnderWine = kWineNeedsStdin;
    cases.push_back(c);
  }
  {
    Case c = Succeeds("AllStreamsClosed", usual, {"-compatiblerom"}, true);
    c.status = 255;
    c.out = "";
    c.streams = {Out::kClosed, true, true};
    c.notUnderWine = kWineNeedsStdin;
    c.notUnderNode = kNodeOpensStdout;
    cases.push_back(c);
  }
  return cases;
}

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class V2GenTest : public ::testing::TestWithParam<Case> {};

TEST_P(V2GenTest, LeavesExactlyTheExpectedBytes) {
  const Case& c = GetParam();
  const char* notHere = TestingWindowsBuild()       ? c.notUnderWine
                        : TestingWebAssemblyBuild() ? c.notUnderNode
                                                    : nullptr;
  if (notHere != nullptr) GTEST_SKIP() << notHere;
  if (c.fault && WhyNoFault() != nullptr) GTEST_SKIP() << WhyNoFault();
  TempDir root;
  std::vector<std::string> wrapper;
  if (c.fault) {
    const fs::path trial = fs::canonical(root.path()) / "trial", log = root.path() / "trace";
    fs::create_directory(trial);
    MakeFolder(trial, c.before);
    RunTool(trial, root.path(), c.args, c.streams, Tracing(*c.fault, log));
    const int when = CallOnNewFile(*c.fault, ReadFile(log));
    ASSERT_GT(when, 0) << "no " << c.fault->call << " on the new file of " << c.fault->image << ":\n"
                       << ReadFile(log);
    wrapper = Failing(*c.fault, when);
  }
  const fs::path work = fs::canonical(root.path()) / "work";
  fs::create_directory(work);
  MakeFolder(work, c.before);

  const std::vector<pid_t> writers = FeedFifos(work, c.before);
  const Result result = RunTool(work, root.path(), c.args, c.streams, wrapper,
                                c.fileSizeLimit != 0 ? c.fileSizeLimit : kFileSizeLimit);
  StopWriters(writers);

  EXPECT_EQ(c.status, result.status);
  EXPECT_TRUE(SameBytes(c.out, result.out)) << "standard output:\n" << result.out;
  EXPECT_EQ(InConsoleEncoding(c.err, c.streams.japanese), result.err);
  ExpectFolder(work, c.after);
}

// Every case in English and again in Japanese: standard output and the
// images are the same bytes in both, only standard error is translated.
// Made once, for the two tables that take it: its bytes cost more to make
// than most cases cost to run.
const std::vector<Case>& EveryCase() {
  static const std::vector<Case> every = [] {
    std::vector<Case> cases = Cases(Speech{false});
    for (Case c : Cases(Speech{true})) {
      c.name += "InJapanese";
      c.streams.japanese = true;
      cases.push_back(c);
    }
    return cases;
  }();
  return every;
}

INSTANTIATE_TEST_SUITE_P(Cases, V2GenTest, ::testing::ValuesIn(EveryCase()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// ---- The same table through the library ------------------------------------------

// The library gives what the command gives: the same images, the same
// success or failure, and each line of its standard error as a diagnostic.
// The line about standard output refusing the last line is the command's own.

struct FreeResult {
  void operator()(qv2gen_result* result) const { qv2gen_free(result); }
};
using LibraryResult = std::unique_ptr<qv2gen_result, FreeResult>;

// The case's mode, as the command took it from the command line.
qv2gen_mode ModeOf(const Case& c) {
  return c.out.rfind(kModeLine, 0) == 0 ? QV2GEN_COMPATIBLE : QV2GEN_NORMAL;
}

// The command's standard error as the library renders its diagnostics.
std::string RenderedDiagnostics(const qv2gen_result* result, bool japanese) {
  std::string lines;
  for (std::size_t i = 0; i < qv2gen_diagnostic_count(result); ++i) {
    const qv2gen_diagnostic* d = qv2gen_diagnostic_at(result, i);
    std::string line(qv2gen_render(d, japanese ? QV2GEN_JAPANESE : QV2GEN_ENGLISH, nullptr, 0) + 1, '\0');
    line.resize(qv2gen_render(d, japanese ? QV2GEN_JAPANESE : QV2GEN_ENGLISH, &line[0], line.size()));
    lines += line + "\n";
  }
  return lines;
}

std::string WithoutStandardOutput(const std::string& err) {
  std::istringstream lines(err);
  std::string kept;
  for (std::string line; std::getline(lines, line);)
    if (line.find(": standard output: ") == std::string::npos &&
        line.find(u8": 標準出力: ") == std::string::npos)
      kept += line + "\n";
  return kept;
}

bool Succeeded(const Case& c) { return c.status == 0 || c.status == 255; }

// A case in which the command's standard error was closed shows nothing to compare.
class LibraryTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    if (GetParam().streams.closeErr) GTEST_SKIP() << "the command's standard error is closed";
  }
};

// In a folder: every case whose failures the system gives without help.
TEST_P(LibraryTest, InAFolderAsTheCommand) {
  const Case& c = GetParam();
  if (c.fault) GTEST_SKIP() << "strace fails a call of a whole process";
  if (c.fileSizeLimit != 0) GTEST_SKIP() << "the limit on a file's size is a whole process's";
  TempDir root;
  const fs::path work = fs::canonical(root.path()) / "work";
  fs::create_directory(work);
  MakeFolder(work, c.before);
  const std::vector<pid_t> writers = FeedFifos(work, c.before);
  const int folder = open(work.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  const LibraryResult result(qv2gen_generate_at(folder, ModeOf(c)));
  close(folder);
  StopWriters(writers);
  ASSERT_NE(nullptr, result);
  EXPECT_EQ(Succeeded(c), qv2gen_succeeded(result.get()) == 1);
  EXPECT_EQ(WithoutStandardOutput(c.err), RenderedDiagnostics(result.get(), c.streams.japanese));
  ExpectFolder(work, c.after);
}

// The same under a process locale of another language, as a GTK or Qt
// emulator sets it with setlocale(LC_ALL, ""): the lines are the command's
// still, English reasons in English and Japanese ones in Japanese.
TEST_P(LibraryTest, InAFolderUnderAJapaneseProcessLocale) {
  const Case& c = GetParam();
  if (c.fault || c.fileSizeLimit != 0 || c.err.empty())
    GTEST_SKIP() << "a case without a line of its own here";
  if (std::setlocale(LC_ALL, "ja_JP.UTF-8") == nullptr)
    GTEST_SKIP() << "the ja_JP.UTF-8 locale is not generated on this machine";
  TempDir root;
  MakeFolder(root.path(), c.before);
  const std::vector<pid_t> writers = FeedFifos(root.path(), c.before);
  const LibraryResult result(qv2gen_generate_in_folder(root.path().c_str(), ModeOf(c)));
  StopWriters(writers);
  const std::string rendered = RenderedDiagnostics(result.get(), c.streams.japanese);
  (void)std::setlocale(LC_ALL, "C");  // back to the locale every program starts in
  EXPECT_EQ(WithoutStandardOutput(c.err), rendered);
}

// In memory: every case whose folder holds only files with the inputs' and
// the images' names, which is all that memory can show.
TEST_P(LibraryTest, InMemoryAsTheCommand) {
  const Case& c = GetParam();
  const char* const inputs[QV2GEN_INPUTS] = {"SUBSYS_C.ROM", "INITIATE.BIN", "BOOT_BAS.ROM", "BOOT_DOS.ROM"};
  const std::set<std::string> images = {"SUBSYSCG.ROM", "SUBSYS_A.ROM", "SUBSYS_B.ROM", "INITIATE.ROM"};
  for (const auto& [name, entry] : c.before) {
    const bool known =
        images.count(name) == 1 || std::find(std::begin(inputs), std::end(inputs), name) != std::end(inputs);
    if (entry.kind != Entry::kFile || !known) GTEST_SKIP() << "a folder that memory cannot hold";
  }
  if (c.fault || c.fileSizeLimit != 0) GTEST_SKIP() << "no call fails in memory, and no size is limited";
  qv2gen_input given[QV2GEN_INPUTS] = {};
  for (int i = 0; i < QV2GEN_INPUTS; ++i) {
    auto found = c.before.find(inputs[i]);
    if (found != c.before.end())
      given[i] = {reinterpret_cast<const unsigned char*>(found->second.bytes.data()),
                  found->second.bytes.size()};
  }
  const LibraryResult result(qv2gen_generate(given, ModeOf(c)));
  ASSERT_NE(nullptr, result);
  EXPECT_EQ(Succeeded(c), qv2gen_succeeded(result.get()) == 1);
  EXPECT_EQ(WithoutStandardOutput(c.err), RenderedDiagnostics(result.get(), c.streams.japanese));
  // The images that the run made: those of the folder after it that it wrote.
  std::map<std::string, std::string> expected, made;
  for (const auto& [name, entry] : c.after) {
    auto before = c.before.find(name);
    if (images.count(name) == 1 && (before == c.before.end() || before->second.bytes != entry.bytes))
      expected[name] = entry.bytes;
  }
  for (std::size_t i = 0; i < qv2gen_image_count(result.get()); ++i) {
    std::size_t size = 0;
    const unsigned char* bytes = qv2gen_image_bytes(result.get(), i, &size);
    made[qv2gen_image_name(result.get(), i)] = std::string(reinterpret_cast<const char*>(bytes), size);
  }
  EXPECT_EQ(expected.size(), made.size());
  for (const auto& [name, bytes] : expected) EXPECT_TRUE(SameBytes(bytes, made[name])) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, LibraryTest, ::testing::ValuesIn(EveryCase()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// ---- Runs killed, and runs at once -------------------------------------------

// What an image of a folder may hold after an interrupted run: the old bytes
// or the new, whole, and beside them at most a run's own new files, which a
// killed run cannot remove ("NAME.quorvel-XXXXXX.tmp").
void ExpectEveryImageWhole(const fs::path& dir, const Folder& old, const Folder& made,
                           const std::string& when) {
  for (const auto& item : fs::directory_iterator(dir)) {
    const std::string name = item.path().filename().string();
    const std::size_t mark = name.find(".quorvel-");
    if (mark != std::string::npos) {
      EXPECT_TRUE(made.count(name.substr(0, mark)) == 1 && name.size() == mark + 19 &&
                  name.compare(name.size() - 4, 4, ".tmp") == 0)
          << when << ": " << name;
      continue;
    }
    if (!item.is_regular_file()) {  // an input that is a named pipe
      EXPECT_TRUE(old.count(name) == 1 && old.at(name).kind == Entry::kFifo) << when << ": " << name;
      continue;
    }
    const std::string bytes = ReadFile(item.path());
    const bool isOld = old.count(name) == 1 && old.at(name).bytes == bytes;
    const bool isNew = made.count(name) == 1 && made.at(name).bytes == bytes;
    EXPECT_TRUE(isOld || isNew) << when << ": " << name << " is neither the old file nor the new one, "
                                << bytes.size() << " bytes";
  }
}

// Starts the tool in workDir with its output thrown away; the caller waits for it.
pid_t StartTool(const fs::path& workDir) {
  std::vector<std::string> command = ToolCommand({});
  const std::vector<char*> cargv = ArgumentVector(command);
  const pid_t pid = fork();
  if (pid == 0) {
    rlimit limit{kFileSizeLimit, kFileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    alarm(kTimeoutSeconds);
    const int null = open("/dev/null", O_WRONLY);
    if (chdir(workDir.c_str()) != 0 || dup2(null, 1) < 0 || dup2(null, 2) < 0) _exit(125);
    SetLocale(false);
    execvp(cargv[0], cargv.data());
    _exit(126);
  }
  return pid;
}

int WaitForTool(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A run killed at any moment (a closed window, Ctrl+C, a power cut) leaves
// every image the old one or the new one, whole. The program is long, so
// that some kills land while "INITIATE.ROM" is being written.
TEST(InterruptedRunTest, KilledAtAnyMomentLeavesEveryImageWhole) {
  Inputs in;
  in.program = Pattern(std::size_t{12} * 1024 * 1024, 2);
  const Folder before = OldImages(InputFiles(in));
  const Folder made = AfterSuccess(in, false);
  for (const int delay : {0, 1, 2, 3, 4, 6, 8, 11, 15, 20, 30, 45, 60, 90, 120, 250}) {
    TempDir root;
    MakeFolder(root.path(), before);
    const pid_t pid = StartTool(root.path());
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    kill(pid, SIGKILL);
    WaitForTool(pid);
    ExpectEveryImageWhole(root.path(), before, made, "killed after " + std::to_string(delay) + " ms");
  }
}

// Opens the named pipe at path for writing once a reader has opened it, or
// gives up after the tests' timeout; -1 then.
int OpenPipeForWriting(const fs::path& path) {
  for (int tries = 0; tries < static_cast<int>(kTimeoutSeconds) * 100; ++tries) {
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

// The same, killed for certain while "INITIATE.ROM" is being written: the
// program comes through a named pipe, and the kill follows once the tool has
// taken a given part of it. The old "INITIATE.ROM" stays, whole.
TEST(InterruptedRunTest, KilledWhileWritingLeavesTheOldImage) {
  if (TestingWindowsBuild())
    GTEST_SKIP() << "a named pipe in the folder is a Unix file that Windows does not have";
  if (TestingWebAssemblyBuild())
    GTEST_SKIP() << "Node's file layer reads a named pipe at a position, which fails (\"cannot read: "
                    "Illegal seek\"): no program comes through one";
  Inputs in;
  in.program = Pattern(std::size_t{2} * 1024 * 1024, 2);
  Folder before = OldImages(InputFiles(in));
  before["INITIATE.BIN"] = Fifo("");
  Folder made = AfterSuccess(in, false);
  made["INITIATE.BIN"] = before["INITIATE.BIN"];
  (void)signal(SIGPIPE, SIG_IGN);  // the reader is killed while the test writes
  for (const std::size_t fed :
       {std::size_t{0}, std::size_t{4096}, std::size_t{256} * 1024, in.program.size() - 1}) {
    TempDir root;
    MakeFolder(root.path(), before);
    const pid_t pid = StartTool(root.path());
    const int pipe = OpenPipeForWriting(root.path() / "INITIATE.BIN");
    ASSERT_GE(pipe, 0);
    // A write returns once the tool has taken all but a pipe's buffer of it.
    EXPECT_EQ(static_cast<ssize_t>(fed), write(pipe, in.program.data(), fed));
    kill(pid, SIGKILL);
    WaitForTool(pid);
    close(pipe);
    const std::string when = "killed after " + std::to_string(fed) + " bytes of the program";
    ExpectEveryImageWhole(root.path(), before, made, when);
    EXPECT_TRUE(SameBytes(before.at("INITIATE.ROM").bytes, ReadFile(root.path() / "INITIATE.ROM"))) << when;
  }
  (void)signal(SIGPIPE, SIG_DFL);
}

// Two runs at once in one folder (a double-click twice) leave every image
// whole, and nothing else. Both succeed; on Windows, which replaces no file
// that another program holds open, a run that meets the other's open image
// may fail instead, and says so, but never over a broken image.
TEST(InterruptedRunTest, TwoRunsAtOnceLeaveEveryImageWhole) {
  Inputs in;
  in.program = Pattern(std::size_t{2} * 1024 * 1024, 2);
  for (int round = 0; round < 5; ++round) {
    TempDir root;
    MakeFolder(root.path(), OldImages(InputFiles(in)));
    const Folder before = OldImages(InputFiles(in)), made = AfterSuccess(in, false);
    const pid_t first = StartTool(root.path()), second = StartTool(root.path());
    const int statuses[] = {WaitForTool(first), WaitForTool(second)};
    for (const int status : statuses) {
      if (TestingWindowsBuild() && status == 1) continue;
      EXPECT_EQ(0, status) << "round " << round;
    }
    if (statuses[0] == 0 && statuses[1] == 0) {
      ExpectFolder(root.path(), made);
      continue;
    }
    ExpectEveryImageWhole(root.path(), before, made, "round " + std::to_string(round));
    for (const auto& item : fs::directory_iterator(root.path()))
      EXPECT_EQ(std::string::npos, item.path().filename().string().find(".quorvel-")) << "round " << round;
  }
}

// The new image keeps the old one's permission bits; a new one gets the
// default, as any new file.
TEST(InterruptedRunTest, NewImagesKeepTheOldOnesPermissions) {
  if (TestingWindowsBuild()) GTEST_SKIP() << "Windows keeps no Unix permission bits";
  TempDir root;
  MakeFolder(root.path(), OldImages(InputFiles(Inputs())));
  fs::remove(root.path() / "INITIATE.ROM");
  const std::pair<const char*, fs::perms> kept[] = {{"SUBSYSCG.ROM", fs::perms(0640)},
                                                    {"SUBSYS_A.ROM", fs::perms(0600)},
                                                    {"SUBSYS_B.ROM", fs::perms(0754)}};
  for (const auto& [name, perms] : kept) fs::permissions(root.path() / name, perms);
  const mode_t mask = umask(022);
  umask(mask);
  EXPECT_EQ(0, RunTool(root.path(), root.path(), {}, Streams()).status);
  fs::remove(root.path() / "stdout");
  fs::remove(root.path() / "stderr");
  for (const auto& [name, perms] : kept)
    EXPECT_EQ(perms, fs::status(root.path() / name).permissions()) << name;
  EXPECT_EQ(fs::perms(0666 & ~mask), fs::status(root.path() / "INITIATE.ROM").permissions());
  ExpectFolder(root.path(), AfterSuccess(Inputs(), false));
}

// ---- An image that another program holds open, on Windows ----------------------

// A program that reads "INITIATE.ROM" and holds it open (an emulator, say)
// while the tool runs: the image is a clear failure and stays as it was.
// Letting no one write it, the image cannot be created; letting others
// write it but not rename it, the new image cannot be put in place.
TEST(HeldOpenTest, ImageThatAnotherProgramHoldsOpenStays) {
  const char* holder = std::getenv("QUORVEL_HOLD_OPEN");
  if (!TestingWindowsBuild() || holder == nullptr || *holder == '\0')
    GTEST_SKIP() << "only Windows keeps others from writing or renaming a file that a program holds open; "
                    "QUORVEL_HOLD_OPEN names the Windows helper that holds it";
  std::string tool = "Z:" + fs::canonical(ToolPath()).string();
  std::replace(tool.begin(), tool.end(), '/', '\\');
  const Inputs usual;
  const Speech s{false};
  Folder after = OldImages(AfterSuccess(usual, false));
  after["INITIATE.ROM"] = OldImages({}).at("INITIATE.ROM");
  for (const auto& [share, failure] :
       {std::pair<std::string, std::string>{"r",
                                            s.Failure("INITIATE.ROM", "cannot create", "Permission denied")},
        {"rw", s.Failure("INITIATE.ROM", "cannot put in place", "Permission denied")}}) {
    TempDir root;
    const fs::path work = fs::canonical(root.path()) / "work";
    fs::create_directory(work);
    MakeFolder(work, OldImages(InputFiles(usual)));
    const Result result = RunCommand(work, root.path(), {Emulator(), holder, share, "INITIATE.ROM", tool},
                                     Streams(), false, kFileSizeLimit);
    EXPECT_EQ(1, result.status) << share;
    EXPECT_TRUE(SameBytes(Console(false, kError), result.out)) << share << ":\n" << result.out;
    EXPECT_EQ(InConsoleEncoding(failure, false), result.err) << share;
    ExpectFolder(work, after);
  }
}

// Each kind of diagnostic as data: its code, file and numbers, which a
// program reads instead of the text.
TEST(LibraryDataTest, EachKindWithItsCodeFileAndNumbers) {
  struct Expected {
    qv2gen_kind kind;
    qv2gen_code code;
    const char* file;
    int error;
    std::vector<unsigned long long> numbers;
    const char* other;
  };
  struct DataCase {
    const char* name;
    Inputs in;
    std::vector<int> absent;
    Expected expected;
  };
  Inputs blankBoot, sameBoot;
  blankBoot.bootBas = Fill(512, '\xFF');
  sameBoot.bootDos = sameBoot.bootBas;
  const DataCase cases[] = {
      {"Missing",
       Inputs(),
       {QV2GEN_INITIATE_BIN},
       {QV2GEN_FAILURE, QV2GEN_CANNOT_OPEN_FOR_READING, "INITIATE.BIN", ENOENT, {0, 0, 0, 0}, nullptr}},
      {"Short",
       WithSubsysC(4000),
       {},
       {QV2GEN_WARNING, QV2GEN_SHORT_INPUT, "SUBSYS_C.ROM", 0, {4000, 10240, 0, 0}, nullptr}},
      {"Long",
       WithProgram(7000),
       {},
       {QV2GEN_WARNING, QV2GEN_LONG_INPUT, "INITIATE.BIN", 0, {7000, 6144, 9048, 8192}, "INITIATE.ROM"}},
      {"Blank",
       blankBoot,
       {},
       {QV2GEN_WARNING, QV2GEN_BLANK_INPUT, "BOOT_BAS.ROM", 0, {0, 511, 0xFF, 0}, nullptr}},
      {"Same",
       sameBoot,
       {},
       {QV2GEN_WARNING, QV2GEN_SAME_INPUT, "BOOT_DOS.ROM", 0, {512, 0, 0, 0}, "BOOT_BAS.ROM"}},
  };
  for (const DataCase& c : cases) {
    const std::string* bytes[QV2GEN_INPUTS] = {&c.in.subsysC, &c.in.program, &c.in.bootBas, &c.in.bootDos};
    qv2gen_input given[QV2GEN_INPUTS];
    for (int i = 0; i < QV2GEN_INPUTS; ++i) {
      const bool absent = std::find(c.absent.begin(), c.absent.end(), i) != c.absent.end();
      given[i] = {absent ? nullptr : reinterpret_cast<const unsigned char*>(bytes[i]->data()),
                  bytes[i]->size()};
    }
    const LibraryResult result(qv2gen_generate(given, QV2GEN_NORMAL));
    ASSERT_EQ(1u, qv2gen_diagnostic_count(result.get())) << c.name;
    const qv2gen_diagnostic* d = qv2gen_diagnostic_at(result.get(), 0);
    EXPECT_EQ(c.expected.kind, d->kind) << c.name;
    EXPECT_EQ(c.expected.code, d->code) << c.name;
    EXPECT_STREQ(c.expected.file, d->file) << c.name;
    EXPECT_EQ(c.expected.error, d->error) << c.name;
    EXPECT_EQ(c.expected.numbers, std::vector<unsigned long long>(d->numbers, d->numbers + 4)) << c.name;
    EXPECT_STREQ(c.expected.other != nullptr ? c.expected.other : "(none)",
                 d->other != nullptr ? d->other : "(none)")
        << c.name;
  }
}

// Two files for one name, in a folder: the failure names both.
TEST(LibraryDataTest, NameMatchedTwiceNamesTheMatches) {
  TempDir root;
  MakeFolder(root.path(),
             Standard({"SUBSYS_C.ROM"}, {{"SUBSYS_C.rom", File("a")}, {"subsys_c.rom", File("b")}}));
  const LibraryResult result(qv2gen_generate_in_folder(root.path().c_str(), QV2GEN_NORMAL));
  ASSERT_EQ(1u, qv2gen_diagnostic_count(result.get()));
  const qv2gen_diagnostic* d = qv2gen_diagnostic_at(result.get(), 0);
  EXPECT_EQ(QV2GEN_INPUT_MATCHED_MORE_THAN_ONCE, d->code);
  ASSERT_EQ(2u, d->match_count);
  EXPECT_STREQ("SUBSYS_C.rom", d->matches[0]);
  EXPECT_STREQ("subsys_c.rom", d->matches[1]);
  EXPECT_EQ(0, qv2gen_succeeded(result.get()));
  EXPECT_EQ(0u, qv2gen_image_count(result.get()));
}

// Arguments outside the documented ones are refused, not guessed at: one
// failure that names the argument, no image, and nothing on disk touched.
TEST(LibraryDataTest, ArgumentsOutsideTheDocumentedOnesAreRefused) {
  TempDir root;
  const Folder folder = OldImages(InputFiles(Inputs()));
  MakeFolder(root.path(), folder);
  const Inputs in;
  const qv2gen_input given[QV2GEN_INPUTS] = {
      {reinterpret_cast<const unsigned char*>(in.subsysC.data()), in.subsysC.size()},
      {reinterpret_cast<const unsigned char*>(in.program.data()), in.program.size()},
      {reinterpret_cast<const unsigned char*>(in.bootBas.data()), in.bootBas.size()},
      {reinterpret_cast<const unsigned char*>(in.bootDos.data()), in.bootDos.size()}};
  const int fd = open(root.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  const auto mode = [](int value) { return static_cast<qv2gen_mode>(value); };
  const std::string mode2 = "2 is not a mode; QV2GEN_NORMAL is 0 and QV2GEN_COMPATIBLE is 1";
  const struct {
    const char* name;
    qv2gen_result* result;
    const char* argument;
    std::string english, japanese;
  } cases[] = {
      {"ModeInMemory", qv2gen_generate(given, mode(2)), "mode", mode2,
       u8"2 はモードではありません。QV2GEN_NORMAL は 0、QV2GEN_COMPATIBLE は 1 です"},
      {"NegativeModeInAFolder", qv2gen_generate_in_folder(root.path().c_str(), mode(-1)), "mode",
       "-1 is not a mode; QV2GEN_NORMAL is 0 and QV2GEN_COMPATIBLE is 1",
       u8"-1 はモードではありません。QV2GEN_NORMAL は 0、QV2GEN_COMPATIBLE は 1 です"},
      {"ModeAtADescriptor", qv2gen_generate_at(fd, mode(2)), "mode", mode2,
       u8"2 はモードではありません。QV2GEN_NORMAL は 0、QV2GEN_COMPATIBLE は 1 です"},
      {"NullInputs", qv2gen_generate(nullptr, QV2GEN_NORMAL), "inputs",
       "NULL; give QV2GEN_INPUTS inputs, with NULL bytes for a file that is absent",
       u8"NULL です。QV2GEN_INPUTS 個の入力を渡してください（ないファイルは bytes を NULL にします）"},
      {"EmptyPath", qv2gen_generate_in_folder("", QV2GEN_NORMAL), "path",
       "the path is empty; NULL names the current working directory",
       u8"パスが空です。カレントディレクトリは NULL で指定します"},
  };
  close(fd);
  for (const auto& c : cases) {
    const LibraryResult result(c.result);
    ASSERT_NE(nullptr, result) << c.name;
    EXPECT_EQ(0, qv2gen_succeeded(result.get())) << c.name;
    EXPECT_EQ(0u, qv2gen_image_count(result.get())) << c.name;
    ASSERT_EQ(1u, qv2gen_diagnostic_count(result.get())) << c.name;
    const qv2gen_diagnostic* d = qv2gen_diagnostic_at(result.get(), 0);
    EXPECT_EQ(QV2GEN_FAILURE, d->kind) << c.name;
    EXPECT_EQ(QV2GEN_INVALID_ARGUMENT, d->code) << c.name;
    EXPECT_STREQ(c.argument, d->file) << c.name;
    EXPECT_EQ("quorvel-v2gen: " + std::string(c.argument) + ": invalid argument: " + c.english + "\n" +
                  "quorvel-v2gen: " + c.argument + u8": 不正な引数です: " + c.japanese + "\n",
              RenderedDiagnostics(result.get(), false) + RenderedDiagnostics(result.get(), true))
        << c.name;
  }
  ExpectFolder(root.path(), folder);
}

// No inputs at all, and a folder that is not there: failures, not crashes.
TEST(LibraryDataTest, NothingGivenIsAFailure) {
  const LibraryResult none(qv2gen_generate(nullptr, QV2GEN_NORMAL));
  EXPECT_EQ(0, qv2gen_succeeded(none.get()));
  EXPECT_EQ(0u, qv2gen_image_count(none.get()));
  EXPECT_EQ(nullptr, qv2gen_image_name(none.get(), 0));
  const LibraryResult nowhere(qv2gen_generate_in_folder("/no/such/folder", QV2GEN_NORMAL));
  ASSERT_EQ(1u, qv2gen_diagnostic_count(nowhere.get()));
  EXPECT_EQ(ENOENT, qv2gen_diagnostic_at(nowhere.get(), 0)->error);
  EXPECT_EQ(0, qv2gen_succeeded(nowhere.get()));
  EXPECT_EQ(0, qv2gen_succeeded(nullptr));
  qv2gen_free(nullptr);
}

// A short buffer takes what fits, ended; the length says how much was needed.
TEST(LibraryDataTest, RenderCutsToTheBufferAndSaysTheLength) {
  const Inputs in = WithSubsysC(4000);
  const qv2gen_input given[QV2GEN_INPUTS] = {
      {reinterpret_cast<const unsigned char*>(in.subsysC.data()), in.subsysC.size()},
      {reinterpret_cast<const unsigned char*>(in.program.data()), in.program.size()},
      {reinterpret_cast<const unsigned char*>(in.bootBas.data()), in.bootBas.size()},
      {reinterpret_cast<const unsigned char*>(in.bootDos.data()), in.bootDos.size()}};
  const LibraryResult result(qv2gen_generate(given, QV2GEN_NORMAL));
  const std::string line = Speech{false}.ShortInput("SUBSYS_C.ROM", 4000, 10240);
  char small[11];
  EXPECT_EQ(line.size() - 1,
            qv2gen_render(qv2gen_diagnostic_at(result.get(), 0), QV2GEN_ENGLISH, small, sizeof small));
  EXPECT_EQ(line.substr(0, 10), small);
  EXPECT_STREQ(QUORVEL_VERSION, qv2gen_version());
}

// A line cut to fit a buffer ends at a whole character, at every size: a
// prefix of the whole line, valid UTF-8, ended; the length is the whole line's.
TEST(LibraryDataTest, RenderCutsAtAWholeCharacter) {
  qv2gen_diagnostic d{};
  d.kind = QV2GEN_WARNING;
  d.code = QV2GEN_SHORT_INPUT;
  d.file = "SUBSYS_C.ROM";
  d.numbers[0] = 4000;
  d.numbers[1] = 10240;
  const std::string line = Speech{true}.ShortInput("SUBSYS_C.ROM", 4000, 10240);
  const std::string whole = line.substr(0, line.size() - 1);
  for (std::size_t size = 0; size <= whole.size() + 1; ++size) {
    std::string buffer(size + 1, '\x7F');  // one byte past the end, to see that nothing is written there
    EXPECT_EQ(whole.size(), qv2gen_render(&d, QV2GEN_JAPANESE, size == 0 ? nullptr : &buffer[0], size))
        << size;
    EXPECT_EQ('\x7F', buffer[size]) << size;
    if (size == 0) continue;
    const std::string got = buffer.c_str();
    EXPECT_EQ(whole.substr(0, got.size()), got) << size;
    EXPECT_LT(got.size(), size) << size;
    // A whole character: what follows the cut starts a character, or nothing does.
    EXPECT_TRUE(got.size() == whole.size() || (static_cast<unsigned char>(whole[got.size()]) & 0xC0) != 0x80)
        << size;
    EXPECT_EQ(got, testutil::Convert(got, "UTF-8", "UTF-8")) << size;
  }
}

// A reason depends on the error number and the language alone; a number
// that the library does not know is said as "error N" in both languages.
TEST(LibraryDataTest, ReasonsAreTheLibrarysOwn) {
  qv2gen_diagnostic d{};
  d.kind = QV2GEN_FAILURE;
  d.code = QV2GEN_CANNOT_OPEN_FOR_READING;
  d.file = "SUBSYS_C.ROM";
  d.error = 12345;
  char line[200];
  qv2gen_render(&d, QV2GEN_ENGLISH, line, sizeof line);
  EXPECT_STREQ("quorvel-v2gen: SUBSYS_C.ROM: cannot open for reading: error 12345", line);
  qv2gen_render(&d, QV2GEN_JAPANESE, line, sizeof line);
  EXPECT_STREQ(u8"quorvel-v2gen: SUBSYS_C.ROM: 読み込み用に開けません: error 12345", line);
  qv2gen_render(&d, static_cast<qv2gen_language>(7), line, sizeof line);
  EXPECT_STREQ("quorvel-v2gen: SUBSYS_C.ROM: cannot open for reading: error 12345", line);
  EXPECT_STREQ("ENOENT", qv2gen_error_name(ENOENT));
  EXPECT_STREQ("EISDIR", qv2gen_error_name(EISDIR));
  EXPECT_EQ(nullptr, qv2gen_error_name(0));
  EXPECT_EQ(nullptr, qv2gen_error_name(12345));
  // Every reason that the library knows has its text in both languages, and no two numbers share a name.
  std::set<std::string> names;
  for (int error = 1; error < 200; ++error) {
    const char* name = qv2gen_error_name(error);
    if (name == nullptr) continue;
    EXPECT_TRUE(names.insert(name).second) << name;
    d.error = error;
    qv2gen_render(&d, QV2GEN_ENGLISH, line, sizeof line);
    EXPECT_EQ(std::string::npos, std::string(line).find("error ")) << name;
  }
}

// Runs at once in two threads give each its own images.
TEST(LibraryDataTest, TwoThreadsAtOnce) {
  const auto work = [](unsigned seed, bool* same) {
    Inputs in;
    in.subsysC = Pattern(10240, seed);
    const qv2gen_input given[QV2GEN_INPUTS] = {
        {reinterpret_cast<const unsigned char*>(in.subsysC.data()), in.subsysC.size()},
        {reinterpret_cast<const unsigned char*>(in.program.data()), in.program.size()},
        {reinterpret_cast<const unsigned char*>(in.bootBas.data()), in.bootBas.size()},
        {reinterpret_cast<const unsigned char*>(in.bootDos.data()), in.bootDos.size()}};
    *same = true;
    for (int round = 0; round < 200; ++round) {
      const LibraryResult result(qv2gen_generate(given, QV2GEN_NORMAL));
      std::size_t size = 0;
      const unsigned char* bytes = qv2gen_image_bytes(result.get(), 0, &size);
      *same = *same && std::string(reinterpret_cast<const char*>(bytes), size) == SubsysCg(in);
    }
  };
  bool first = false, second = false;
  std::thread a(work, 11, &first), b(work, 12, &second);
  a.join();
  b.join();
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
}

// ---- The documents --------------------------------------------------------------

// The lines of standard error that a document shows as examples: in a
// README, in backquotes or an indented block; in a manual page, in a no-fill
// block, where an indented line goes on with the one before it (after a
// space, unless the break falls between two Japanese characters).
std::vector<std::string> ExampleLines(const std::string& document) {
  std::string text = ReadFile(fs::path(QUORVEL_SOURCE_DIR) / document);
  const bool manual = document.find(".1.in") != std::string::npos;
  if (manual) {
    for (const auto& [escape, plain] : {std::pair<std::string, std::string>{"\\-", "-"}, {"\\(dq", "\""}}) {
      for (std::size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at))
        text.replace(at, escape.size(), plain);
    }
  }
  std::vector<std::string> examples;
  std::istringstream lines(text);
  bool open = false;  // the last example may go on on the next line
  for (std::string line; std::getline(lines, line);) {
    const std::size_t start = line.find("quorvel-v2gen: ");
    if (manual && open && line.rfind("    ", 0) == 0) {
      // Japanese text has no spaces: a break between two of its characters,
      // or after its punctuation, joins without one.
      const std::string more = line.substr(line.find_first_not_of(' '));
      const std::string& last = examples.back();
      const bool punctuation = last.size() >= 3 && (last.compare(last.size() - 3, 3, u8"、") == 0 ||
                                                    last.compare(last.size() - 3, 3, u8"。") == 0);
      const bool japanese =
          static_cast<unsigned char>(last.back()) >= 0x80 && static_cast<unsigned char>(more.front()) >= 0x80;
      examples.back() += (japanese || punctuation ? "" : " ") + more;
      continue;
    }
    open = false;
    if (start == std::string::npos) continue;
    if (manual ? start == 0 : line.rfind("    quorvel-v2gen: ", 0) == 0) {
      examples.push_back(line.substr(start));
      open = manual;
      continue;
    }
    // `quorvel-v2gen: ` alone names the prefix in the prose.
    for (std::size_t at = line.find("`quorvel-v2gen: "); at != std::string::npos;
         at = line.find("`quorvel-v2gen: ", at + 1)) {
      const std::string quoted = line.substr(at + 1, line.find('`', at + 1) - at - 1);
      if (quoted != "quorvel-v2gen: ") examples.push_back(quoted);
    }
  }
  return examples;
}

// Every example of a message in the READMEs and the manual pages is a line
// that the tool writes for one of the cases above, in that document's
// language, so that the documents cannot drift from the tool.
TEST(V2GenDocumentTest, ExamplesAreWhatTheToolWrites) {
  for (const auto& [document, japanese] : {std::pair<const char*, bool>{"README.md", false},
                                           {"README.ja.md", true},
                                           {"doc/quorvel-v2gen.1.in", false},
                                           {"doc/quorvel-v2gen.ja.1.in", true}}) {
    std::set<std::string> written;
    for (const Case& c : Cases(Speech{japanese})) {
      std::istringstream err(c.err);
      for (std::string line; std::getline(err, line);) written.insert(line);
    }
    const std::vector<std::string> examples = ExampleLines(document);
    EXPECT_FALSE(examples.empty()) << document << " shows no message";
    for (const std::string& example : examples)
      EXPECT_TRUE(written.count(example) == 1) << document << ": no case writes\n" << example;
  }
}

// The library's documentation shows, in full, the examples that CI builds
// and runs (doc/library-example.c and .mjs; the C one is also the header's).
TEST(V2GenDocumentTest, LibraryExamplesAreTheTestedFiles) {
  const std::string document = ReadFile(fs::path(QUORVEL_SOURCE_DIR) / "doc/library.md");
  for (const auto& [fence, file] : {std::pair<std::string, std::string>{"```c\n", "doc/library-example.c"},
                                    {"```js\n", "doc/library-example.mjs"}}) {
    const std::size_t start = document.find(fence);
    ASSERT_NE(std::string::npos, start) << fence;
    const std::size_t body = start + fence.size();
    const std::string shown = document.substr(body, document.find("```\n", body) - body);
    EXPECT_EQ(ReadFile(fs::path(QUORVEL_SOURCE_DIR) / file), shown) << file;
  }
}

// ---- The manual pages as man shows them ------------------------------------------

// The page rendered as plain text by groff, as man shows it in 80 columns,
// with groff's own warnings first; nullopt where groff cannot run.
std::optional<std::string> Rendered(const std::string& page) {
  const std::string command = "groff -k -man -Tutf8 -P-cbou -rLL=78n -ww '" + page + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (pipe == nullptr) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, got);
  if (pclose(pipe.release()) != 0) return std::nullopt;
  return text;
}

// The code points of a line of UTF-8.
std::vector<char32_t> CodePoints(const std::string& line) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < line.size();) {
    const auto byte = static_cast<unsigned char>(line[i]);
    const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t point = length == 1 ? byte : byte & (0x7F >> length);
    for (int k = 1; k < length && i + k < line.size(); ++k)
      point = (point << 6) | (static_cast<unsigned char>(line[i + k]) & 0x3F);
    points.push_back(point);
    i += length;
  }
  return points;
}

// Kana, kanji and the full-width forms, the punctuation among them.
bool IsJapanese(char32_t c) { return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF); }
bool IsJapanesePunctuation(char32_t c) {
  return std::u32string(U"、。，．：；（）「」『』！？").find(c) != std::u32string::npos;
}

// Faults that a reader of man sees: a line wider than the terminal; a name
// such as SUBSYS_C.ROM or -compatiblerom cut by a hyphen at a line's end;
// in Japanese, a space where the source breaks a line between two Japanese
// words or after Japanese punctuation, which reads as a typo, and an
// example's line that goes on with a particle or with a number's unit.
TEST(ManualPageTest, TypesetCleanlyIn80Columns) {
  for (const auto& [page, japanese] :
       {std::pair<const char*, bool>{"doc/quorvel-v2gen.1.in", false}, {"doc/quorvel-v2gen.ja.1.in", true}}) {
    const std::optional<std::string> text = Rendered(std::string(QUORVEL_SOURCE_DIR) + "/" + page);
    if (!text) GTEST_SKIP() << "groff cannot run here";
    EXPECT_EQ(std::string::npos, text->find("troff:")) << page << ": groff warns\n" << *text;
    std::istringstream lines(*text);
    std::size_t example = std::string::npos;  // the indentation of an example's first line
    for (std::string line; std::getline(lines, line);) {
      const std::size_t indent = line.find_first_not_of(' ');
      const bool goesOn = example != std::string::npos && indent != std::string::npos && indent > example;
      if (!goesOn)
        example = line.compare(indent == std::string::npos ? 0 : indent, 15, "quorvel-v2gen: ") == 0
                      ? indent
                      : std::string::npos;
      const std::vector<char32_t> c = CodePoints(line);
      std::size_t columns = 0;
      for (char32_t point : c) columns += IsJapanese(point) ? 2 : 1;
      EXPECT_LE(columns, 80u) << page << ": wider than the terminal\n" << line;
      if (!c.empty()) {
        EXPECT_TRUE(c.back() != U'-' && c.back() != U'\u2010') << page << ": hyphenated\n" << line;
      }
      if (japanese && goesOn) {
        const std::string rest = line.substr(indent);
        for (const char* start : {u8"は", u8"が", u8"を", u8"に", u8"で", u8"と", u8"も", u8"の", u8"へ",
                                  u8"や", u8"から", u8"まで", u8"より", u8"バイト"})
          EXPECT_NE(0u, rest.rfind(start, 0)) << page << ": an example's line goes on with " << start << "\n"
                                              << line;
      }
      for (std::size_t i = 1; japanese && i + 1 < c.size(); ++i) {
        if (c[i] != U' ') continue;
        EXPECT_FALSE(IsJapanesePunctuation(c[i - 1]) || (IsJapanese(c[i - 1]) && IsJapanese(c[i + 1])))
            << page << ": a space in Japanese text\n"
            << line;
      }
    }
  }
}

// ---- On a terminal ------------------------------------------------------------

// The banner's Japanese lines as a UTF-8 terminal shows them.
const char* const kBannerUtf8[] = {
    u8"このプログラムは、Quorvel V1用のファイルから、V2に必要なファイルを作り出すプログラムです",
    u8"同じディレクトリに、V1用の以下のファイルが必要です",
};

// What the tool writes to standard output when that is a pseudo-terminal,
// with the locale variables given; the terminal passes bytes unchanged.
std::string OnTerminal(const fs::path& workDir,
                       const std::vector<std::pair<const char*, const char*>>& locale) {
  int master = -1, terminal = -1;
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&master, &terminal, nullptr, &raw, nullptr) != 0) {
    ADD_FAILURE() << "no pseudo-terminal";
    return "";
  }
  std::vector<std::string> command = ToolCommand({});
  const std::vector<char*> cargv = ArgumentVector(command);
  pid_t pid = fork();
  if (pid == 0) {
    rlimit limit{kFileSizeLimit, kFileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    alarm(kTimeoutSeconds);
    int null = open("/dev/null", O_WRONLY);
    if (chdir(workDir.c_str()) != 0 || dup2(terminal, 1) < 0 || dup2(null, 2) < 0) _exit(125);
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) unsetenv(name);
    for (const auto& [name, value] : locale) setenv(name, value, 1);
    execvp(cargv[0], cargv.data());
    _exit(126);
  }
  close(terminal);
  std::string out;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) break;  // EIO once the tool has closed the terminal
    out.append(buffer, static_cast<std::size_t>(got));
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  return out;
}

struct TerminalCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> locale;
  bool utf8;  // the banner in UTF-8, where the build can tell a terminal
};

void PrintTo(const TerminalCase& c, std::ostream* os) { *os << c.name; }

class TerminalTest : public ::testing::TestWithParam<TerminalCase> {};

// A person at a UTF-8 terminal reads the banner as Japanese; on any other
// terminal, and wherever standard output is read by a program, it is Shift_JIS.
TEST_P(TerminalTest, BannerInTheTerminalsEncoding) {
  const TerminalCase& c = GetParam();
  if (TestingWindowsBuild()) GTEST_SKIP() << "Windows writes the banner in code page 932 to any console";
  TempDir root;
  const fs::path work = fs::canonical(root.path());
  MakeFolder(work, InputFiles(Inputs()));
  std::string expected = Console(false, kSucceed);
  // Emscripten says that every stream is a terminal, so that build never believes it.
  if (c.utf8 && !TestingWebAssemblyBuild()) {
    for (int i = 0; i < 2; ++i) {
      const std::string shiftJis = std::string(kBanner[i + 1]) + "\n";
      expected.replace(expected.find(shiftJis), shiftJis.size(), std::string(kBannerUtf8[i]) + "\n");
    }
  }
  EXPECT_TRUE(SameBytes(expected, OnTerminal(work, c.locale)));
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminalTest,
                         ::testing::Values(TerminalCase{"JapaneseUtf8", {{"LANG", "ja_JP.UTF-8"}}, true},
                                           TerminalCase{"EnglishUtf8", {{"LANG", "en_US.UTF-8"}}, true},
                                           TerminalCase{"C", {{"LC_ALL", "C"}}, false},
                                           TerminalCase{"JapaneseEucJp", {{"LANG", "ja_JP.eucJP"}}, false},
                                           TerminalCase{"NothingSet", {}, false}),
                         [](const ::testing::TestParamInfo<TerminalCase>& info) {
                           return std::string(info.param.name);
                         });

// The UTF-8 banner above says what the Shift_JIS bytes say.
TEST(V2GenModelTest, BannerInUtf8IsTheShiftJisBanner) {
  for (int i = 0; i < 2; ++i) EXPECT_EQ(kBannerUtf8[i], testutil::Convert(kBanner[i + 1], "CP932", "UTF-8"));
}

// A few bytes checked by hand, so that the tests' own model of the images
// cannot be wrong in the same way as the tool.
TEST(V2GenModelTest, StandardImagesHaveTheirKnownShape) {
  const Inputs in;
  const std::string image = Initiate(in);
  ASSERT_EQ(8192u, image.size());
  EXPECT_EQ(in.program, image.substr(0, 4000));
  EXPECT_EQ(Fill(2144, '\0'), image.substr(4000, 2144));
  EXPECT_EQ(in.bootBas, image.substr(0x1800, 512));
  EXPECT_EQ(in.bootDos, image.substr(0x1A00, 512));
  EXPECT_EQ(Fill(1022, '\0'), image.substr(0x1C00, 1022));
  EXPECT_EQ('\x60', image[0x1FFE]);
  EXPECT_EQ('\0', image[0x1FFF]);
  const std::string cg = SubsysCg(in);
  ASSERT_EQ(8192u, cg.size());
  EXPECT_EQ(in.subsysC.substr(0, 2048), cg.substr(6144));
  EXPECT_EQ(in.subsysC.substr(2048), SubsysA(in));
  EXPECT_EQ(Fill(8192, '\xFF'), SubsysA(WithSubsysC(2048)));
}

}  // namespace
