#include <quorvel/v2gen.h>
#include <stdio.h>

int main(void) {
  static const unsigned char subsys[10240], program[4000], basic[512] = {1}, dos[512] = {2};
  qv2gen_input inputs[QV2GEN_INPUTS] = {
      {subsys, sizeof subsys}, {program, sizeof program}, {basic, sizeof basic}, {dos, sizeof dos}};
  qv2gen_result* result = qv2gen_generate(inputs, QV2GEN_NORMAL);
  if (result == NULL) return 2;  // out of memory
  for (size_t i = 0; i < qv2gen_diagnostic_count(result); ++i) {
    char line[1024];
    qv2gen_render(qv2gen_diagnostic_at(result, i), QV2GEN_ENGLISH, line, sizeof line);
    fprintf(stderr, "%s\n", line);
  }
  for (size_t i = 0; i < qv2gen_image_count(result); ++i) {
    size_t size = 0;
    qv2gen_image_bytes(result, i, &size);
    printf("%s: %zu bytes\n", qv2gen_image_name(result, i), size);
  }
  int status = qv2gen_succeeded(result) ? 0 : 1;
  qv2gen_free(result);
  return status;
}
