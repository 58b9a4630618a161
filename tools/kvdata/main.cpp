// Dispatcher of the kvdata tool: finds the subcommand named by the first argument among those
// the other files of this program registered, and prints usage when none matches.
#include "kvdata.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
std::vector<KvdataCommand>& commands() {
    static std::vector<KvdataCommand> list;
    return list;
}

int usage(FILE* out) {
    std::fprintf(out, "usage: kvdata COMMAND [ARGS]\n\nInspects and checks the data files of Kessra Vorn.\n\ncommands:\n");
    auto list = commands();
    std::sort(list.begin(), list.end(), [](const KvdataCommand& a, const KvdataCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const KvdataCommand& c : list) std::fprintf(out, "  kvdata %s %s\n", c.name, c.usage);
    return out == stdout ? 0 : 2;
}
}  // namespace

bool kvdata_register(const KvdataCommand& command) {
    commands().push_back(command);
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage(stderr);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) return usage(stdout);
    for (const KvdataCommand& c : commands()) {
        if (std::strcmp(c.name, argv[1]) == 0) return c.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "kvdata: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
