/* Runs one command and prints its wall time in seconds, its peak resident
   memory in KiB and its exit status. A small C parent of its own keeps the
   peak honest: a child forked from a larger process inherits that process's
   resident size into its own peak. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv) {
  struct timespec start, end;
  struct rusage usage;
  int status;
  if (argc < 2) return 2;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  fprintf(stderr, "%.9f %ld %d\n", (end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9,
          usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
