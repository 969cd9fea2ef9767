/* Makes the V2 images in the folder given, as the command does there, and
   says what the command would say on standard error; status 0 on success. */
#include <quorvel/v2gen.h>
#include <stdio.h>

const char* emulator_name(void);

int main(int argc, char** argv) {
  qv2gen_result* result = qv2gen_generate_in_folder(argc > 1 ? argv[1] : NULL, QV2GEN_NORMAL);
  if (result == NULL) return 2;
  for (size_t i = 0; i < qv2gen_diagnostic_count(result); ++i) {
    char line[1024];
    qv2gen_render(qv2gen_diagnostic_at(result, i), QV2GEN_ENGLISH, line, sizeof line);
    fprintf(stderr, "%s\n", line);
  }
  int status = qv2gen_succeeded(result) ? 0 : 1;
  printf("%s: %s\n", emulator_name(), status == 0 ? "Succeed to generate V2 files!" : "Error!");
  qv2gen_free(result);
  return status;
}
