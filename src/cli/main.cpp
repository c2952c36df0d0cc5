#include <cstdio>
#include <cstring>

namespace {

const char* const usage =
    "Usage: dravena-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  --help       show this text\n"
    "  --version    show the program version\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("dravena-cli %s\n", DRAVENA_VERSION);
        return 0;
    }
    std::fprintf(stderr, "dravena-cli: unknown command '%s'\n%s", argv[1], usage);
    return 2;
}
