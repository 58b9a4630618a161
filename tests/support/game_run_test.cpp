// The end-to-end helper itself: a private game directory never writes through to the built
// one, the settings editor keeps the other lines, traces are read key by key, and a run
// started in the background can be waited for.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include "support/game_run.h"

namespace fs = std::filesystem;

namespace {

ino_t inode_of(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST(GameRunHelper, ChangesStayInThePrivateDirectoryWhichGoesAtTheEnd) {
    if (!fs::exists(kvtest::kGame / "configVars.dat")) GTEST_SKIP() << "no built game directory";
    const std::string settings = read_file_text(kvtest::kGame / "configVars.dat");
    const std::string version = read_file_text(kvtest::kGame / "ver.dat");
    const std::string mission = read_file_text(kvtest::kGame / "data/missions/0.dat");
    fs::path where;
    {
        kvtest::GameDir g;
        ASSERT_TRUE(g.ok());
        where = g.path();
        EXPECT_EQ(read_file_text(g / "configVars.dat"), settings);
        // The version question is answered: no run asks about or contacts a host.
        EXPECT_EQ(read_file_text(g / "ver.dat"), "0.1.0\r\n 0\r\n");
        g.set_config_line(3, " 16");
        g.set_window(320, 240);
        g.write("data/profiles.dat", "junk");
        g.without_profiles();
        EXPECT_FALSE(fs::exists(g / "data/profiles.dat"));
        EXPECT_TRUE(fs::is_directory(g / "data/profiles"));
        ASSERT_TRUE(g.edit_line("data/missions/0.dat", "TIME_LIMIT//", "TIME_LIMIT//9"));
        EXPECT_FALSE(g.edit_line("data/missions/0.dat", "NO SUCH LINE", "x"));
        g.write("data/new/file.txt", "made");
        EXPECT_NE(inode_of(g / "configVars.dat"), inode_of(kvtest::kGame / "configVars.dat"));
        EXPECT_EQ(read_file_text(g / "data/new/file.txt"), "made");

        // Lines 1-3 changed; every other line as it was, with CR LF ends.
        std::istringstream a(settings), b(read_file_text(g / "configVars.dat"));
        std::string la, lb;
        int line = 0;
        while (std::getline(a, la)) {
            ++line;
            ASSERT_TRUE(std::getline(b, lb)) << "line " << line << " lost";
            if (la.empty() || la.back() != '\r') la += '\r';
            const char* changed[] = {nullptr, " 320\r", " 240\r", " 16\r"};
            EXPECT_EQ(lb, line <= 3 ? std::string(changed[line]) : la) << "line " << line;
        }
        EXPECT_GE(line, 5);
    }
    EXPECT_EQ(read_file_text(kvtest::kGame / "configVars.dat"), settings);
    EXPECT_EQ(read_file_text(kvtest::kGame / "ver.dat"), version);
    EXPECT_EQ(read_file_text(kvtest::kGame / "data/missions/0.dat"), mission);
    EXPECT_FALSE(fs::exists(kvtest::kGame / "data/new"));
    EXPECT_FALSE(fs::exists(where)) << "a passing test leaves no directory behind";
}

TEST(GameRunHelper, TraceRowsAreReadKeyByKey) {
    const auto rows = kvtest::parse_trace("frame=1 x=2.5 alert=A%20B\nnoise without frame\n\nframe=2 x=-1 junk\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].i("frame"), 1);
    EXPECT_DOUBLE_EQ(rows[0].d("x"), 2.5);
    EXPECT_EQ(rows[0].s("alert"), "A%20B");
    EXPECT_EQ(rows[1].d("x"), -1.0);
    EXPECT_FALSE(rows[1].has("junk"));
    EXPECT_EQ(rows[1].s("absent"), "");
    EXPECT_EQ(rows[1].i("absent"), 0);

    kvtest::RunResult r;
    r.rows = kvtest::parse_trace("frame=1 box=none\nframe=2 box=ok\nframe=3 box=ok\nframe=4 box=none\nframe=5 box=ok\n");
    EXPECT_EQ(r.stretches("box", "ok"), 2);
    EXPECT_EQ(r.first([](const kvtest::TraceRow& l) { return l.s("box") == "ok"; }, 4), 5);
    EXPECT_EQ(r.first([](const kvtest::TraceRow& l) { return l.s("box") == "gone"; }), 0);
    EXPECT_EQ(r.at(3).s("box"), "ok");
    EXPECT_EQ(kvtest::key_press(7, "UP", 2), "7 key UP 1\n9 key UP 0\n");
}

TEST(GameRunHelper, RowsAreFoundByFrameNumberOrTextAndMissingFieldsFail) {
    kvtest::RunResult r;
    r.rows = kvtest::parse_trace(
        "frame=1 menu=7\nframe=2 menu=2 box=Profile%20Saved!\nframe=3 landed=0 menu=02\nframe=4 menu=2 landed=1\n");
    ASSERT_NE(r.row(3), nullptr);
    EXPECT_EQ(r.row(3)->s("landed"), "0");
    EXPECT_EQ(r.row(9), nullptr);
    // Numbers compare as numbers; a row without the key never matches, not even the value 0.
    EXPECT_EQ(r.find("menu", 2), r.row(2));
    EXPECT_EQ(r.find("menu", 2, 3), r.row(3));
    EXPECT_EQ(r.find("landed", 0), r.row(3));
    EXPECT_EQ(r.find("menu", 5), nullptr);
    EXPECT_EQ(r.find_text("menu", "2", 3), r.row(4));
    EXPECT_EQ(r.find_text("box", kvtest::encoded("Profile Saved!")), r.row(2));
    EXPECT_EQ(r.count("menu", "2"), 2);
    EXPECT_EQ(r.count("box", ""), 3);

    // The strict readers fail the test on a missing field instead of reading it as 0.
    const kvtest::TraceRow& first = r.rows[0];
    EXPECT_EQ(first.num("menu"), 7);
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(first.num("landed"), -999999), "lacks landed");
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(first.real("x"), -999999.0), "lacks x");
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(first.at("box"), ""), "lacks box");

    kvtest::Keys k;
    k.press(5, "ENTER").hold(10, 20, "UP").down(30, "SPACE");
    EXPECT_EQ(k.text, "5 key ENTER 1\n7 key ENTER 0\n10 key UP 1\n20 key UP 0\n30 key SPACE 1\n");
}

TEST(GameRunHelper, ABackgroundRunCanBeWaitedFor) {
    KV_REQUIRE_GAME();
    kvtest::GameDir g;
    ASSERT_TRUE(g.ok());
    const kvtest::Play p{.name = "background", .script = kvtest::key_line(2, "UP", 1), .frames = 5, .fly = true};
    const pid_t pid = g.start(p);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const auto rows = g.trace(p);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows.back().i("frame"), 5);
}

TEST(GameRunHelper, LayoutWithInactiveSwitchesOffOnlyTheNamedSlots) {
    if (!fs::exists(kvtest::kGame / "data/enemies0.dat")) GTEST_SKIP() << "no built game directory";
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            out.push_back(l);
        }
        return out;
    };
    const std::vector<std::string> shipped = lines(read_file_text(kvtest::kGame / "data/enemies0.dat"));
    const std::vector<std::string> changed = lines(kvtest::layout_with_inactive(1, 7));
    ASSERT_EQ(changed.size(), shipped.size());
    ASSERT_GT(shipped.size(), 12u);
    for (size_t row = 0; row < shipped.size(); ++row) {
        const int slot = static_cast<int>(row) - 2;
        if (slot < 1 || slot > 7) {
            EXPECT_EQ(changed[row], shipped[row]) << "row " << row;
            continue;
        }
        // Only the fourth field (ACTIVE) differs, and it reads 0.
        std::vector<std::string> a, b;
        std::istringstream sa(shipped[row]), sb(changed[row]);
        for (std::string f; std::getline(sa, f, ',');) a.push_back(f);
        for (std::string f; std::getline(sb, f, ',');) b.push_back(f);
        ASSERT_EQ(a.size(), b.size()) << "row " << row;
        ASSERT_GE(b.size(), 4u) << "row " << row;
        EXPECT_EQ(b[3], "0") << "row " << row;
        b[3] = a[3];
        EXPECT_EQ(b, a) << "row " << row;
    }
}
