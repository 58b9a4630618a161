// newmodule: asks for a module name, reads template.dat from the working directory, replaces
// its placeholders line by line and writes the module's source file beside it.
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/console_text.h"
#include "engine/textfile.h"
#include "newmodule.h"

namespace {

// One line from standard input without its line end; false at end of input.
bool read_line(std::string& line) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(stdin)) != EOF) {
        any = true;
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

// Waits for one key: unbuffered and without echo on a terminal, one byte (or end of input)
// otherwise.
void wait_key() {
    std::fflush(stdout);
    if (::isatty(STDIN_FILENO)) {
        termios old {};
        if (::tcgetattr(STDIN_FILENO, &old) == 0) {
            termios raw = old;
            raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
            unsigned char c;
            ssize_t n = ::read(STDIN_FILENO, &c, 1);
            (void)n;
            ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
            return;
        }
    }
    (void)std::fgetc(stdin);
}

}  // namespace

int main() {
    if (::isatty(STDOUT_FILENO)) std::fputs("\x1b[2J\x1b[H", stdout);
    std::fputs("\n\n", stdout);
    std::fputs(std::string(40, '_').c_str(), stdout);
    std::fputs("\nCreate New Module\n\n", stdout);

    std::string name;
    do {
        std::fputs("Enter Module Name: ", stdout);
        std::fflush(stdout);
        if (!read_line(name)) {
            std::fputs("\n", stdout);
            std::fputs("No module name entered: nothing created.\n", stderr);
            return 1;
        }
    } while (name.empty());

    if (!newmodule_valid_name(name)) {
        std::fputs("\n", stdout);
        std::fprintf(stderr, "\"%s\" is not a C++ identifier (letters, digits and _, not starting with a digit): "
                     "nothing created.\n", console_safe(name).c_str());
        return 1;
    }
    const std::string file_name = name + NEWMODULE_SOURCE_EXTENSION;
    struct stat existing {};
    if (::lstat(file_name.c_str(), &existing) == 0) {
        std::fputs("\n", stdout);
        std::fprintf(stderr, "%s already exists: it is not overwritten, nothing created.\n", file_name.c_str());
        return 1;
    }
    FieldReader tpl;
    if (!field_reader_open(tpl, "template.dat")) {
        std::fputs("\n", stdout);
        std::fprintf(stderr, "template.dat could not be read (%s): nothing created.\n", tpl.error.c_str());
        return 1;
    }

    FieldWriter out;
    while (!field_eof(tpl)) field_write(out, newmodule_replace(field_read(tpl), name));

    std::string why;
    if (!write_file_atomic(file_name, out.bytes, &why)) {
        std::fprintf(stderr, "\n%s could not be written (%s): no module created.\n", file_name.c_str(), why.c_str());
        return 1;
    }

    std::fputs("\n", stdout);
    std::fprintf(stdout, "%s created successfully\n", file_name.c_str());
    wait_key();
    return 0;
}
