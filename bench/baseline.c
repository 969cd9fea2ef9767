/* The floor that quorvel-v2gen is measured against: the same job, same bytes,
   with raw system calls and nothing else, each image written as the tool
   writes it: into a new file, synced, renamed into place, the folder synced.
   Not part of the product. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static unsigned char block[65536];

static long readup(int fd, unsigned char *p, long n) {
  long got = 0, r;
  while (got < n && (r = read(fd, p + got, n - got)) > 0) got += r;
  return r < 0 ? -1 : got;
}

static int put(int fd, const unsigned char *p, long n) {
  while (n > 0) {
    long w = write(fd, p, n);
    if (w <= 0) return -1;
    p += w;
    n -= w;
  }
  return 0;
}

static int create(const char *name) {
  char temporary[64];
  strcpy(temporary, name);
  strcat(temporary, ".tmp");
  return open(temporary, O_WRONLY | O_CREAT | O_TRUNC, 0666);
}

/* Syncs and closes the new file, puts it in name's place and syncs the folder. */
static int commit(int fd, const char *name) {
  char temporary[64];
  strcpy(temporary, name);
  strcat(temporary, ".tmp");
  int folder = open(".", O_RDONLY | O_DIRECTORY);
  int failed = fsync(fd) || close(fd) || rename(temporary, name) || folder < 0 || fsync(folder);
  if (folder >= 0) close(folder);
  return failed;
}

int main(void) {
  static unsigned char subsys[10240], image[8192];
  int in = open("SUBSYS_C.ROM", O_RDONLY), out;
  long n, total;
  if (in < 0 || (n = readup(in, subsys, sizeof subsys)) < 0) return 1;
  memset(subsys + n, 0xFF, sizeof subsys - n);
  close(in);
  for (int i = 0; i < 4; i++) memcpy(image + 2048 * i, subsys, 2048);
  if ((out = create("SUBSYSCG.ROM")) < 0 || put(out, image, 8192) || commit(out, "SUBSYSCG.ROM")) return 1;
  if ((out = create("SUBSYS_A.ROM")) < 0 || put(out, subsys + 2048, 8192) || commit(out, "SUBSYS_A.ROM"))
    return 1;
  if ((in = open("SUBSYS_A.ROM", O_RDONLY)) < 0 || (out = create("SUBSYS_B.ROM")) < 0) return 1;
  while ((n = read(in, block, sizeof block)) > 0)
    if (put(out, block, n)) return 1;
  if (n < 0 || close(in) || commit(out, "SUBSYS_B.ROM")) return 1;

  if ((out = create("INITIATE.ROM")) < 0 || (in = open("INITIATE.BIN", O_RDONLY)) < 0) return 1;
  total = 0;
  while ((n = read(in, block, sizeof block)) > 0) {
    if (put(out, block, n)) return 1;
    total += n;
  }
  close(in);
  memset(image, 0, sizeof image);
  long fill = total < 6144 ? 6144 - total : 0;
  long tail = fill;
  const char *boots[] = {"BOOT_BAS.ROM", "BOOT_DOS.ROM"};
  for (int b = 0; b < 2; b++) {
    if ((in = open(boots[b], O_RDONLY)) < 0 || (n = readup(in, image + tail, 512)) < 0) return 1;
    memset(image + tail + n, 0xFF, 512 - n);
    close(in);
    tail += 512;
  }
  tail += 1022;
  image[tail++] = 0x60;
  image[tail++] = 0x00;
  if (put(out, image, tail) || commit(out, "INITIATE.ROM")) return 1;
  write(1, "Succeed to generate V2 files!\n", 30);
  return 0;
}
