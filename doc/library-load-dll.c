/* Makes the V2 images in a folder (the current one, or the one given) as the
 * command does, with quorvel-v2gen.dll loaded at run time: LoadLibrary and
 * GetProcAddress, no import library. Prints each failure and warning as the
 * command's line, in English; the status is 0 when every image was made. */
#include <quorvel/v2gen.h>
#include <stdio.h>
#include <windows.h>

typedef qv2gen_result* (*generate_in_folder_fn)(const char*, qv2gen_mode);
typedef int (*succeeded_fn)(const qv2gen_result*);
typedef size_t (*diagnostic_count_fn)(const qv2gen_result*);
typedef const qv2gen_diagnostic* (*diagnostic_at_fn)(const qv2gen_result*, size_t);
typedef size_t (*render_fn)(const qv2gen_diagnostic*, qv2gen_language, char*, size_t);
typedef void (*free_fn)(qv2gen_result*);

/* GetProcAddress returns a generic function pointer; each is cast to its type
 * through void (*)(void), which compilers accept without a warning. */
#define LOAD(type, name) (type)(void (*)(void)) GetProcAddress(dll, name)

int main(int argc, char** argv) {
  HMODULE dll = LoadLibraryA("quorvel-v2gen.dll");
  if (dll == NULL) {
    fprintf(stderr, "quorvel-v2gen.dll: cannot load (Windows error %lu)\n", GetLastError());
    return 2;
  }
  generate_in_folder_fn generate_in_folder = LOAD(generate_in_folder_fn, "qv2gen_generate_in_folder");
  succeeded_fn succeeded = LOAD(succeeded_fn, "qv2gen_succeeded");
  diagnostic_count_fn diagnostic_count = LOAD(diagnostic_count_fn, "qv2gen_diagnostic_count");
  diagnostic_at_fn diagnostic_at = LOAD(diagnostic_at_fn, "qv2gen_diagnostic_at");
  render_fn render = LOAD(render_fn, "qv2gen_render");
  free_fn free_result = LOAD(free_fn, "qv2gen_free");
  if (!generate_in_folder || !succeeded || !diagnostic_count || !diagnostic_at || !render || !free_result) {
    fprintf(stderr, "quorvel-v2gen.dll: a function is missing; is it an older version?\n");
    FreeLibrary(dll);
    return 2;
  }

  qv2gen_result* result = generate_in_folder(argc > 1 ? argv[1] : NULL, QV2GEN_NORMAL);
  if (result == NULL) {
    FreeLibrary(dll);
    return 2; /* out of memory */
  }
  for (size_t i = 0; i < diagnostic_count(result); ++i) {
    char line[1024];
    render(diagnostic_at(result, i), QV2GEN_ENGLISH, line, sizeof line);
    fprintf(stderr, "%s\n", line);
  }
  int status = succeeded(result) ? 0 : 1;
  free_result(result);
  FreeLibrary(dll);
  return status;
}
