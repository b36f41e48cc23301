// Stands in for the client in the launcher's tests: records the folder it was
// started in and its arguments in "started.txt" there (one line each, the
// folder first), then ends with status 0; with "--stay" it runs until it is
// signalled, as a client the agent has open.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof(cwd)) == nullptr) return 1;
  std::FILE* f = std::fopen("started.txt", "a");
  if (f == nullptr) return 1;
  std::fprintf(f, "%s\n", cwd);
  bool stay = false;
  for (int i = 1; i < argc; ++i) {
    std::fprintf(f, "%s\n", argv[i]);
    if (std::strcmp(argv[i], "--stay") == 0) stay = true;
  }
  std::fclose(f);
  while (stay) pause();
  return 0;
}
