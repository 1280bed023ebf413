#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tern2bufr-cli [-C SETTINGS_FOLDER] COMMAND ...\n");
    return 2;
  }
  std::fprintf(stderr, "tern2bufr-cli: unknown command %s\n", argv[1]);
  return 2;
}
