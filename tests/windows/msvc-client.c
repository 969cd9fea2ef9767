/* A program built as Visual C++ builds one (clang for an *-pc-windows-msvc
 * target, linked by lld-link against quorvel-v2gen.lib), with no C runtime at
 * all, so that no Visual C++ library is needed to build it: it makes the V2
 * images in the current folder through the DLL, writes each failure and
 * warning as the command's line to standard error, and exits with 0 when
 * every image was made. */
#include <quorvel/v2gen.h>

#define WINAPI __stdcall
__declspec(dllimport) void* WINAPI GetStdHandle(unsigned long which);
__declspec(dllimport) int WINAPI
    WriteFile(void* file, const void* bytes, unsigned long size, unsigned long* written, void* overlapped);
__declspec(dllimport) __declspec(noreturn) void WINAPI ExitProcess(unsigned int status);

#define STD_ERROR_HANDLE ((unsigned long)-12)

static char line[1024];

static void write_line(void* out, size_t length) {
  unsigned long written = 0;
  if (length > sizeof line - 3) length = sizeof line - 3; /* what the buffer held */
  line[length] = '\r';
  line[length + 1] = '\n';
  WriteFile(out, line, (unsigned long)(length + 2), &written, 0);
}

void start(void) {
  void* err = GetStdHandle(STD_ERROR_HANDLE);
  qv2gen_result* result = qv2gen_generate_in_folder(0, QV2GEN_NORMAL);
  if (result == 0) ExitProcess(2);
  for (size_t i = 0; i < qv2gen_diagnostic_count(result); ++i) {
    write_line(err, qv2gen_render(qv2gen_diagnostic_at(result, i), QV2GEN_ENGLISH, line, sizeof line - 2));
  }
  unsigned int status = qv2gen_succeeded(result) ? 0 : 1;
  qv2gen_free(result);
  ExitProcess(status);
}
