// The player's own files: settings rewritten keeping everything of the
// player's, files replaced whole even when the program is killed while it
// writes, and the best scores table with its ordering, its ten places and a
// damaged file set aside once.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/port/best_scores.h"
#include "platform/port/settings.h"
#include "platform/port/whole_file.h"

#if defined(__unix__)
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qv {
namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct Folder : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("qv-player-files-" + std::to_string(::getpid()) + "-" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST(SettingsRewrite, OnlyTheChangedKeysLinesChangeCommentsUnknownKeysAndOtherSectionsStay) {
    const std::string file =
        "; mine\r\n[other]\r\nscale = 7\r\n[quorvaner]\r\n  scale=3 ; big\r\nfancy = yes\r\n# volume = 5\r\n"
        "volume = 40\r\nscale = 4\r\n[later]\r\nx = 1";
    const PortSettings settings{.scale = 2, .volume = 90, .mute = true};
    const std::string text = rewritten_settings(file, settings, {"scale", "mute"});
    EXPECT_EQ(text,
              "; mine\r\n[other]\r\nscale = 7\r\n[quorvaner]\r\n  scale = 2 ; big\r\nfancy = yes\r\n# volume = 5\r\n"
              "volume = 40\r\nscale = 2\r\nmute = 1\r\n[later]\r\nx = 1\r\n")
        << "every scale line of the section, the missing key after its last setting, CRLF kept";
    const SettingsRead read = parse_settings(text, "settings.ini");
    EXPECT_EQ(read.settings.scale, 2);
    EXPECT_TRUE(read.settings.mute);
    EXPECT_EQ(read.settings.volume, 40) << "a key not asked for keeps the player's value";

    // No section: one is added at the end; nothing at all: it is the new file.
    EXPECT_EQ(rewritten_settings("[x]\ny = 1\n", settings, {"fullscreen"}),
              "[x]\ny = 1\n[quorvaner]\nfullscreen = 0\n");
    EXPECT_EQ(rewritten_settings("", settings, {"aspect"}, "\r\n"), "[quorvaner]\r\naspect = 1:1\r\n");
    // A line too long to read is the player's and stays as it is; the value
    // that counts is added.
    const std::string overlong = "scale = 1 ; " + std::string(300, 'x');
    EXPECT_EQ(rewritten_settings("[quorvaner]\n" + overlong + "\n", settings, {"scale"}),
              "[quorvaner]\nscale = 2\n" + overlong + "\n");
}

TEST_F(Folder, SavingWritesTheWholeFileAndLeavesLinksAndNonFilesAlone) {
    const fs::path path = dir / "sub" / "settings.ini";
    PortSettings settings{.fullscreen = true};
    ASSERT_FALSE(save_settings(path.string(), settings, {"fullscreen"}));
    const SettingsRead read = read_settings_file(path.string());
    EXPECT_TRUE(read.problems.empty());
    EXPECT_TRUE(read.settings.fullscreen);
    EXPECT_NE(read_text(path).find("# Quorvaner settings"), std::string::npos) << "a new file starts from the defaults";
    EXPECT_FALSE(fs::exists(writing_path(path)));

    // Left over from a write that was cut short: written afresh, never followed.
    write_text(dir / "target", "keep");
    fs::create_symlink(dir / "target", writing_path(path));
    settings.scale = 5;
    ASSERT_FALSE(save_settings(path.string(), settings, {"scale"}));
    EXPECT_EQ(read_text(dir / "target"), "keep");
    EXPECT_EQ(read_settings_file(path.string()).settings.scale, 5);

    const fs::path link = dir / "link.ini";
    fs::create_symlink(dir / "target", link);
    const auto problem = save_settings(link.string(), settings, {"scale"});
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("is a link"), std::string::npos) << *problem;
    EXPECT_EQ(read_text(dir / "target"), "keep");
    fs::create_directory(dir / "folder.ini");
    EXPECT_TRUE(save_settings((dir / "folder.ini").string(), settings, {"scale"}));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
    EXPECT_TRUE(write_whole_file((dir / "folder.ini").string(), "x"));
}

#if defined(__unix__)
// A child saves two different texts over and over and is killed at a random
// moment: each time the file holds one of them whole.
TEST_F(Folder, AKillAtAnyMomentOfAWriteLeavesTheOldOrTheNewFileWhole) {
    const fs::path path = dir / "scores.txt";
    const std::string a = std::string(200000, 'a') + "\n";
    const std::string b = "b\n" + std::string(150000, 'b');
    ASSERT_FALSE(write_whole_file(path.string(), a));
    for (int round = 0; round < 12; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) write_whole_file(path.string(), i % 2 == 0 ? b : a);
        }
        ::usleep(static_cast<useconds_t>(3000 + round * 1700));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = read_text(path);
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
    ASSERT_FALSE(write_whole_file(path.string(), a)) << "a leftover is no obstacle";
    EXPECT_EQ(read_text(path), a);
}
#endif

ScoreEntry game(int32_t kills, uint32_t seed, int32_t level = 1) {
    return {int64_t{kills} * 100, level, kills, "2025-04-0" + std::to_string(1 + seed % 9), seed};
}

TEST(ScoreTable, BestFirstTiesGoToTheEarlierGameAndOnlyTenAreKept) {
    ScoreTable table;
    EXPECT_EQ(table.add(game(5, 1)), 0u);
    EXPECT_EQ(table.add(game(9, 2)), 0u);
    EXPECT_EQ(table.add(game(5, 3)), 2u) << "a tie goes below the game that made it first";
    EXPECT_EQ(table.add(game(0, 4)), 3u);
    for (uint32_t seed = 5; seed < 11; ++seed) table.add(game(1, seed));
    ASSERT_EQ(table.entries().size(), 10u);
    EXPECT_FALSE(table.add(game(0, 11))) << "below the tenth";
    EXPECT_FALSE(table.add(game(0, 12))) << "a tie with the tenth does not push it out";
    EXPECT_EQ(table.add(game(2, 13)), 3u);
    ASSERT_EQ(table.entries().size(), 10u);
    EXPECT_EQ(table.entries().back().seed, 10u) << "the last of the ties fell out";
    EXPECT_EQ(table.entries()[0].seed, 2u);

    // Written and read back the same; the lines for the player line up.
    const ScoresParse parse = parse_scores(scores_text(table, "\r\n"));
    ASSERT_TRUE(parse.table) << parse.problem;
    EXPECT_EQ(scores_text(*parse.table), scores_text(table));
    const std::vector<std::string> lines = score_lines(table);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[1].substr(0, 16), " 1      900     ");
}

TEST(ScoreTable, AnythingButAWellFormedTableIsDamaged) {
    const std::string head = std::string(scores_version_line) + "\n";
    for (const std::string& bad :
         {std::string(), std::string("quorvaner-scores 2\n"), head + "100 1 1 2025-01-01\n",
          head + "200 1 1 2025-01-01 5\n", head + "100 0 1 2025-01-01 5\n", head + "100 1 1 2025-13-01 5\n",
          head + "100 1 1 2025-01-01 -5\n", head + "100 1 1 2025-01-01 5\n200 1 2 2025-01-01 5\n",
          head + std::string("100 1 1 2025-01-01 5\0", 22)}) {
        EXPECT_FALSE(parse_scores(bad).table) << bad;
        EXPECT_FALSE(parse_scores(bad).problem.empty());
    }
    std::string eleven = head;
    for (int i = 0; i < 11; ++i) eleven += "100 1 1 2025-01-01 5\n";
    EXPECT_NE(parse_scores(eleven).problem.find("more than 10"), std::string::npos);
    EXPECT_TRUE(parse_scores(head + "# a note\n\n").table);
}

TEST_F(Folder, ADamagedFileIsSetAsideOnceAndAFreshTableStarts) {
    const fs::path path = dir / "scores.txt";
    ScoresSave first = add_score_to_file(path.string(), game(3, 7));
    EXPECT_TRUE(first.problems.empty());
    EXPECT_EQ(first.place, 0u);
    write_text(path, "garbage\n");
    write_text(dir / "scores.txt.damaged-1", "an older one");
    const ScoresSave save = add_score_to_file(path.string(), game(4, 8));
    ASSERT_EQ(save.problems.size(), 1u);
    EXPECT_NE(save.problems[0].find("damaged"), std::string::npos) << save.problems[0];
    EXPECT_NE(save.problems[0].find("scores.txt.damaged-2"), std::string::npos) << save.problems[0];
    EXPECT_EQ(read_text(dir / "scores.txt.damaged-2"), "garbage\n");
    EXPECT_EQ(read_text(dir / "scores.txt.damaged-1"), "an older one");
    ASSERT_EQ(save.table.entries().size(), 1u);
    EXPECT_EQ(save.table.entries()[0].seed, 8u);

    // Not a plain file: left alone, reported, never written over.
    fs::remove(path);
    fs::create_directory(path);
    const ScoresSave refused = add_score_to_file(path.string(), game(9, 9));
    ASSERT_EQ(refused.problems.size(), 1u);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(refused.place, 0u) << "still shown in the window";
}

}  // namespace
}  // namespace qv
