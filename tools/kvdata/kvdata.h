// Subcommand registry of the kvdata tool. A subcommand file defines a function
// `int run(int argc, char** argv)` (argv[0] is the subcommand's name) and registers it with
// KVDATA_COMMAND; main.cpp dispatches on the first argument and prints the usage lines.
#pragma once

struct KvdataCommand {
    const char* name;
    const char* usage;  // one line: arguments and what the subcommand does
    int (*run)(int argc, char** argv);
};

bool kvdata_register(const KvdataCommand& command);

#define KVDATA_COMMAND(NAME, USAGE, FN) \
    static const bool kvdata_registered_##FN = kvdata_register(KvdataCommand{NAME, USAGE, FN})
