/* quorvel/v2gen.h: the Quorvel V2 ROM images from the V1 files, as a library.
 *
 * The same generation as the quorvel-v2gen command, for an emulator or any
 * other program: from "SUBSYS_C.ROM", "INITIATE.BIN", "BOOT_BAS.ROM" and
 * "BOOT_DOS.ROM" it makes "SUBSYSCG.ROM", "SUBSYS_A.ROM", "SUBSYS_B.ROM" and
 * "INITIATE.ROM" (only "SUBSYSCG.ROM" and "INITIATE.ROM" in compatible mode),
 * byte for byte as the command does, in memory or in a folder.
 *
 * Every call returns what it found as data: the images, whether the run
 * succeeded, and each failure and warning, which the caller may render as the
 * command's line in English or Japanese. The library keeps no global state,
 * writes to no standard stream, never ends the process, and may be called
 * from several threads at once. Usable from C99 and C++.
 *
 * A complete example, which makes the images of a folder in memory and says
 * what the command would say:
 *
 *   #include <quorvel/v2gen.h>
 *   #include <stdio.h>
 *
 *   int main(void) {
 *     static const unsigned char subsys[10240], program[4000], basic[512] = {1}, dos[512] = {2};
 *     qv2gen_input inputs[QV2GEN_INPUTS] = {
 *         {subsys, sizeof subsys}, {program, sizeof program}, {basic, sizeof basic}, {dos, sizeof dos}};
 *     qv2gen_result* result = qv2gen_generate(inputs, QV2GEN_NORMAL);
 *     if (result == NULL) return 2;  // out of memory
 *     for (size_t i = 0; i < qv2gen_diagnostic_count(result); ++i) {
 *       char line[1024];
 *       qv2gen_render(qv2gen_diagnostic_at(result, i), QV2GEN_ENGLISH, line, sizeof line);
 *       fprintf(stderr, "%s\n", line);
 *     }
 *     for (size_t i = 0; i < qv2gen_image_count(result); ++i) {
 *       size_t size = 0;
 *       qv2gen_image_bytes(result, i, &size);
 *       printf("%s: %zu bytes\n", qv2gen_image_name(result, i), size);
 *     }
 *     int status = qv2gen_succeeded(result) ? 0 : 1;
 *     qv2gen_free(result);
 *     return status;
 *   }
 *
 * Build it with:  cc example.c $(pkg-config --cflags --libs quorvel-v2gen)
 */
#ifndef QUORVEL_V2GEN_H
#define QUORVEL_V2GEN_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What the run makes: all four images, or the compatible set
 * ("SUBSYSCG.ROM" and "INITIATE.ROM", as the -compatiblerom switch). */
typedef enum { QV2GEN_NORMAL = 0, QV2GEN_COMPATIBLE = 1 } qv2gen_mode;

/* The language of a rendered line. */
typedef enum { QV2GEN_ENGLISH = 0, QV2GEN_JAPANESE = 1 } qv2gen_language;

/* The inputs of qv2gen_generate, in this order. */
enum {
  QV2GEN_SUBSYS_C_ROM = 0, /* "SUBSYS_C.ROM" */
  QV2GEN_INITIATE_BIN = 1, /* "INITIATE.BIN" */
  QV2GEN_BOOT_BAS_ROM = 2, /* "BOOT_BAS.ROM" */
  QV2GEN_BOOT_DOS_ROM = 3, /* "BOOT_DOS.ROM" */
  QV2GEN_INPUTS = 4
};

/* One input file's bytes. bytes NULL: the file is absent, as a missing file
 * is to the command; an empty file is any other pointer with size 0. */
typedef struct {
  const unsigned char* bytes;
  size_t size;
} qv2gen_input;

/* What a diagnostic is about. The failures name what was attempted; the
 * system's error number is in error. */
typedef enum {
  QV2GEN_CANNOT_OPEN_FOR_READING = 0,
  QV2GEN_CANNOT_CREATE = 1,
  QV2GEN_CANNOT_READ = 2,
  QV2GEN_CANNOT_WRITE = 3,
  QV2GEN_CANNOT_SEEK = 4,
  QV2GEN_CANNOT_CLOSE = 5,
  /* Failures: two or more files of the folder differ from the name only in
   * case (matches); none of them was used. */
  QV2GEN_INPUT_MATCHED_MORE_THAN_ONCE = 6,
  QV2GEN_IMAGE_MATCHED_MORE_THAN_ONCE = 7,
  /* Warnings. numbers[0] is the input's size, numbers[1] the least that was
   * expected; the missing bytes are 0xFF in the images. */
  QV2GEN_SHORT_INPUT = 8,
  /* numbers[0] the size, numbers[1] the most expected, numbers[2] the size of
   * the image named by other, numbers[3] its usual size. */
  QV2GEN_LONG_INPUT = 9,
  /* Bytes numbers[0] to numbers[1] of the input are all the value numbers[2]:
   * a chip that was never read comes out that way. */
  QV2GEN_BLANK_INPUT = 10,
  /* The numbers[0] bytes used are those of the input named by other. */
  QV2GEN_SAME_INPUT = 11,
  /* Failures of an image being put in place (since 0.7.0): its bytes could
   * not be made durable, or it could not replace the old image. The old
   * image, or its absence, stays as it was. */
  QV2GEN_CANNOT_SYNC = 12,
  QV2GEN_CANNOT_RENAME = 13,
  /* A refused argument (since 0.7.0): file names it ("mode", "inputs" or
   * "path"); for "mode", numbers[0] is the value given. Nothing was read or
   * written. */
  QV2GEN_INVALID_ARGUMENT = 14
} qv2gen_code;

typedef enum { QV2GEN_FAILURE = 0, QV2GEN_WARNING = 1 } qv2gen_kind;

/* One failure or warning, owned by its result. */
typedef struct {
  qv2gen_kind kind;
  qv2gen_code code;
  const char* file; /* the file it names, as it is on disk */
  int error;        /* failures: the platform's errno value, 0 if none; see qv2gen_error_name */
  unsigned long long numbers[4];
  const char* other;          /* see the code; NULL where it names none */
  const char* const* matches; /* QV2GEN_..._MATCHED_MORE_THAN_ONCE: the names */
  size_t match_count;
} qv2gen_diagnostic;

/* The outcome of one run, owned by the caller until qv2gen_free. */
typedef struct qv2gen_result qv2gen_result;

/* The library's version, "MAJOR.MINOR.PATCH". */
const char* qv2gen_version(void);

/* Makes the images from inputs (QV2GEN_INPUTS of them, in the order above)
 * in memory. The result holds each image that was completed, in the order
 * made; after a failure, those completed before it, and never a part of an
 * image. NULL only when memory runs out.
 * inputs NULL, or a mode outside the enum: a failed result with one
 * QV2GEN_INVALID_ARGUMENT diagnostic and no image. */
qv2gen_result* qv2gen_generate(const qv2gen_input inputs[QV2GEN_INPUTS], qv2gen_mode mode);

/* Makes the images in the folder at path (NULL: the current working
 * directory; "" and a mode outside the enum are refused with one
 * QV2GEN_INVALID_ARGUMENT diagnostic, and nothing is touched), reading and writing its files as the command
 * does, a block at a time. Each image is written into a new file of its own in the folder
 * ("NAME.quorvel-XXXXXX.tmp"), synced, and only then put in the old image's
 * place in one step; a failure removes the new file and leaves the old image
 * as it was. The result names the images made; their bytes are on disk. NULL
 * only when memory runs out; a folder that cannot be opened is a failure of
 * the result. */
qv2gen_result* qv2gen_generate_in_folder(const char* path, qv2gen_mode mode);

#ifndef _WIN32
/* The same in the folder that the open directory descriptor folder_fd names
 * (AT_FDCWD for the current working directory); folder_fd stays open. A
 * descriptor that is not an open folder fails each file with EBADF or
 * ENOTDIR; a mode outside the enum is refused as above. */
qv2gen_result* qv2gen_generate_at(int folder_fd, qv2gen_mode mode);
#endif

/* 1 when every image of the mode was made, as the command's
 * "Succeed to generate V2 files!"; 0 after a failure, as its "Error!", and
 * for a NULL result. */
int qv2gen_succeeded(const qv2gen_result* result);

/* The images, in the order they were made: name, and (in memory) bytes.
 * A NULL result has none; an index past the count gives NULL (and size 0). */
size_t qv2gen_image_count(const qv2gen_result* result);
const char* qv2gen_image_name(const qv2gen_result* result, size_t index);
/* The image's bytes and *size; NULL, with *size 0, for a folder's image.
 * size may be NULL when only the bytes are wanted. */
const unsigned char* qv2gen_image_bytes(const qv2gen_result* result, size_t index, size_t* size);

/* The failures and warnings, in the order they arose. A NULL result has
 * none; an index past the count gives NULL. */
size_t qv2gen_diagnostic_count(const qv2gen_result* result);
const qv2gen_diagnostic* qv2gen_diagnostic_at(const qv2gen_result* result, size_t index);

/* Writes the diagnostic's line, as the command writes it to standard error,
 * in UTF-8 without a line end, into buffer (size bytes, ended by a NUL,
 * cut short at a whole character if it must be). Returns the line's whole
 * length in bytes, so that a longer buffer can be given when that is size
 * or more. The line depends on nothing but the diagnostic and the language:
 * the system's reason is the library's own text for the error number, in
 * that language, whatever the process's locale ("error N" for a number it
 * does not know). A language outside the enum is English; a code outside it
 * renders as QV2GEN_CANNOT_CLOSE. A NULL diagnostic writes nothing and
 * returns 0; buffer may be NULL when size is 0. */
size_t qv2gen_render(const qv2gen_diagnostic* diagnostic, qv2gen_language language, char* buffer,
                     size_t size);

/* Frees the result and all it holds; NULL is allowed. */
void qv2gen_free(qv2gen_result* result);

/* The POSIX name of a diagnostic's error number ("ENOENT"), the same on every
 * platform, where the numbers differ; NULL for 0 or a number the library does
 * not know. (Since 0.7.0.) */
const char* qv2gen_error_name(int error);

#ifdef __cplusplus
}
#endif

#endif
