// The library's C interface: runs in memory and in a folder, their images and
// diagnostics as data. No exception crosses it: a failed allocation is NULL.
#include "quorvel/v2gen.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "romimage/romimage.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

struct qv2gen_result {
  bool succeeded = false;
  std::vector<std::string> names;
  std::vector<std::string> bytes;  // empty for a folder's run
  std::vector<Diagnostic> owners;
  std::vector<qv2gen_diagnostic> diagnostics;  // point into owners
  std::vector<std::vector<const char*>> matches;
};

namespace {

const char* const kInputNames[QV2GEN_INPUTS] = {"SUBSYS_C.ROM", "INITIATE.BIN", "BOOT_BAS.ROM",
                                                "BOOT_DOS.ROM"};

// What each of the interface's codes, in its order, is as the library's own
// diagnostic: one table for both directions. A warning's attempt is unused
// and stays the default.
struct Meaning {
  Diagnostic::Code code;
  Attempt attempt;
};
constexpr Meaning kMeanings[] = {
    {Diagnostic::kFailure, Attempt::kOpenForReading},
    {Diagnostic::kFailure, Attempt::kCreate},
    {Diagnostic::kFailure, Attempt::kRead},
    {Diagnostic::kFailure, Attempt::kWrite},
    {Diagnostic::kFailure, Attempt::kSeek},
    {Diagnostic::kFailure, Attempt::kClose},
    {Diagnostic::kAmbiguousName, Attempt::kOpenForReading},
    {Diagnostic::kAmbiguousName, Attempt::kCreate},
    {Diagnostic::kShortInput, Attempt::kOpenForReading},
    {Diagnostic::kLongInput, Attempt::kOpenForReading},
    {Diagnostic::kBlankInput, Attempt::kOpenForReading},
    {Diagnostic::kSameInput, Attempt::kOpenForReading},
    {Diagnostic::kFailure, Attempt::kSync},
    {Diagnostic::kFailure, Attempt::kRename},
    {Diagnostic::kInvalidArgument, Attempt::kOpenForReading},
};
constexpr int kCodes = static_cast<int>(sizeof kMeanings / sizeof kMeanings[0]);
static_assert(kCodes == QV2GEN_INVALID_ARGUMENT + 1, "a meaning for each code");

qv2gen_code CodeOf(const Diagnostic& d) {
  for (int code = 0; code < kCodes; ++code)
    if (kMeanings[code].code == d.code && kMeanings[code].attempt == d.attempt)
      return static_cast<qv2gen_code>(code);
  return QV2GEN_CANNOT_OPEN_FOR_READING;
}

// What the run leaves, as the result; the C views are made once the owners stand still.
qv2gen_result* Finish(std::unique_ptr<qv2gen_result> result, Run& run, bool succeeded) {
  result->succeeded = succeeded;
  result->names = run.images;
  result->owners = std::move(run.diagnostics);
  for (const Diagnostic& d : result->owners) {
    std::vector<const char*> names;
    for (const std::string& match : d.matches) names.push_back(match.c_str());
    result->matches.push_back(std::move(names));
  }
  for (std::size_t i = 0; i < result->owners.size(); ++i) {
    const Diagnostic& d = result->owners[i];
    qv2gen_diagnostic view{};
    view.kind = d.IsWarning() ? QV2GEN_WARNING : QV2GEN_FAILURE;
    view.code = CodeOf(d);
    view.file = d.file.c_str();
    view.error = d.error;
    for (int n = 0; n < 4; ++n) view.numbers[n] = d.numbers[n];
    view.other = d.other.empty() ? nullptr : d.other.c_str();
    view.matches = result->matches[i].empty() ? nullptr : result->matches[i].data();
    view.match_count = result->matches[i].size();
    result->diagnostics.push_back(view);
  }
  return result.release();
}

// Refuses the argument named: a result that did not succeed, with no image
// and one failure that says what was wrong; nothing is read or written.
qv2gen_result* Refuse(const char* argument, long long value = 0) {
  Run run;
  Diagnostic d{Diagnostic::kInvalidArgument, argument};
  d.numbers[0] = static_cast<std::uint64_t>(value);
  run.Report(d);
  return Finish(std::make_unique<qv2gen_result>(), run, false);
}

bool KnownMode(qv2gen_mode mode) { return mode == QV2GEN_NORMAL || mode == QV2GEN_COMPATIBLE; }

bool Generate(Run& run, qv2gen_mode mode) {
  return GenerateSubsysRom(run, mode == QV2GEN_COMPATIBLE) && GenerateInitiateRom(run);
}

}  // namespace

extern "C" {

const char* qv2gen_version(void) { return QUORVEL_VERSION; }

qv2gen_result* qv2gen_generate(const qv2gen_input inputs[QV2GEN_INPUTS], qv2gen_mode mode) {
  try {
    if (!KnownMode(mode)) return Refuse("mode", static_cast<int>(mode));
    if (inputs == nullptr) return Refuse("inputs");
    auto result = std::make_unique<qv2gen_result>();
    std::map<std::string, std::string> folder;
    for (int i = 0; i < QV2GEN_INPUTS; ++i) {
      if (inputs[i].bytes != nullptr)
        folder[kInputNames[i]].assign(reinterpret_cast<const char*>(inputs[i].bytes), inputs[i].size);
    }
    Run run;
    run.memory = &folder;
    const bool succeeded = Generate(run, mode);
    for (const std::string& name : run.images) result->bytes.push_back(std::move(folder[name]));
    return Finish(std::move(result), run, succeeded);
  } catch (...) {  // std::bad_alloc: nothing else is thrown
    return nullptr;
  }
}

#ifndef _WIN32
qv2gen_result* qv2gen_generate_at(int folder_fd, qv2gen_mode mode) {
  try {
    if (!KnownMode(mode)) return Refuse("mode", static_cast<int>(mode));
    auto result = std::make_unique<qv2gen_result>();
    Run run;
    run.folder = folder_fd;
    const bool succeeded = Generate(run, mode);
    return Finish(std::move(result), run, succeeded);
  } catch (...) {
    return nullptr;
  }
}
#endif

qv2gen_result* qv2gen_generate_in_folder(const char* path, qv2gen_mode mode) {
  try {
    if (!KnownMode(mode)) return Refuse("mode", static_cast<int>(mode));
    if (path != nullptr && *path == '\0') return Refuse("path");
    Run run;
#ifdef _WIN32
    if (path != nullptr && *path != '\0') {
      run.prefix = path;
      if (run.prefix.back() != '\\' && run.prefix.back() != '/') run.prefix += '\\';
    }
#else
    if (path != nullptr) {
      errno = 0;
      const int fd = open(path, O_RDONLY | O_DIRECTORY);
      if (fd < 0) {
        Diagnostic d{Diagnostic::kFailure, path};
        d.error = errno;
        run.Report(d);
        return Finish(std::make_unique<qv2gen_result>(), run, false);
      }
      qv2gen_result* result = qv2gen_generate_at(fd, mode);
      (void)close(fd);  // only read: nothing is lost
      return result;
    }
#endif
    auto result = std::make_unique<qv2gen_result>();
    const bool succeeded = Generate(run, mode);
    return Finish(std::move(result), run, succeeded);
  } catch (...) {
    return nullptr;
  }
}

int qv2gen_succeeded(const qv2gen_result* result) { return result != nullptr && result->succeeded ? 1 : 0; }

size_t qv2gen_image_count(const qv2gen_result* result) {
  return result != nullptr ? result->names.size() : 0;
}

const char* qv2gen_image_name(const qv2gen_result* result, size_t index) {
  return result != nullptr && index < result->names.size() ? result->names[index].c_str() : nullptr;
}

const unsigned char* qv2gen_image_bytes(const qv2gen_result* result, size_t index, size_t* size) {
  const bool held = result != nullptr && index < result->bytes.size();
  if (size != nullptr) *size = held ? result->bytes[index].size() : 0;
  return held ? reinterpret_cast<const unsigned char*>(result->bytes[index].data()) : nullptr;
}

size_t qv2gen_diagnostic_count(const qv2gen_result* result) {
  return result != nullptr ? result->diagnostics.size() : 0;
}

const qv2gen_diagnostic* qv2gen_diagnostic_at(const qv2gen_result* result, size_t index) {
  return result != nullptr && index < result->diagnostics.size() ? &result->diagnostics[index] : nullptr;
}

size_t qv2gen_render(const qv2gen_diagnostic* diagnostic, qv2gen_language language, char* buffer,
                     size_t size) {
  if (diagnostic == nullptr) return 0;
  std::string line;
  try {
    // Rebuilt from the view alone, so that a caller may render one that it filled in itself.
    Diagnostic d;
    d.file = diagnostic->file != nullptr ? diagnostic->file : "";
    d.error = diagnostic->error;
    for (int n = 0; n < 4; ++n) d.numbers[n] = diagnostic->numbers[n];
    d.other = diagnostic->other != nullptr ? diagnostic->other : "";
    for (size_t i = 0; i < diagnostic->match_count; ++i) d.matches.emplace_back(diagnostic->matches[i]);
    // A code past the table is read as the last attempt's failure.
    const int code =
        diagnostic->code >= 0 && diagnostic->code < kCodes ? diagnostic->code : QV2GEN_CANNOT_CLOSE;
    d.code = kMeanings[code].code;
    d.attempt = kMeanings[code].attempt;
    line = Render(d, language == QV2GEN_JAPANESE ? Language::kJapanese : Language::kEnglish);
  } catch (...) {
    return 0;
  }
  if (buffer != nullptr && size > 0) {
    // Cut at a whole character: never before a UTF-8 continuation byte.
    std::size_t kept = std::min(line.size(), size - 1);
    while (kept > 0 && kept < line.size() && (static_cast<unsigned char>(line[kept]) & 0xC0) == 0x80) --kept;
    std::memcpy(buffer, line.data(), kept);
    buffer[kept] = '\0';
  }
  return line.size();
}

void qv2gen_free(qv2gen_result* result) { delete result; }

const char* qv2gen_error_name(int error) { return ErrorName(error); }

}  // extern "C"
