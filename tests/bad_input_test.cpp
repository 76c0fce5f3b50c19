// Hostile and careless input: whatever a data file, a script or an argument
// holds, the program answers with one short printable message that keeps its
// reason, and never reads a huge file whole.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/data_error.h"
#include "platform/excerpt.h"
#include "platform/headless/replay_options.h"
#include "test_world.h"
#include "world/model.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using testing::Scratch;

// The longest message any input may produce.
constexpr size_t longest_message = 300;

const std::string square = "size 8 lines 1 points 2 p -8 -8 p 8 8 v 0 1 48\n";

// What a model text is refused with ("" when it loads).
std::string model_fault(const std::string& text) {
    try {
        parse_model(text, "tie.obj");
    } catch (const DataError& e) {
        return e.what();
    }
    return "";
}

TEST(Excerpt, ShortPrintableAndCutWithAnEllipsis) {
    const std::string forty(40, 'a');
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"", ""},
        {"size", "size"},
        {std::string("size\0XY", 7), "size\\x00XY"},
        {"\xff\n\x7f~ ", "\\xff\\x0a\\x7f~ "},
        {"a\\x41", "a\\\\x41"},  // a backslash in the input cannot pass for an escape
        {forty, forty},
        {forty + "b", forty + "..."},
        {std::string(38, 'a') + "\x01", std::string(38, 'a') + "..."},  // an escape is never split
    };
    for (const auto& c : cases) EXPECT_EQ(excerpt(c.text), c.shown) << c.text;
    EXPECT_EQ(quoted_excerpt("p"), "\"p\"");
    EXPECT_EQ(file_name_excerpt("run.txt"), "run.txt");
    const std::string long_name(file_name_length, 'n');
    EXPECT_EQ(file_name_excerpt("/long/" + long_name), "..." + long_name) << "a long name keeps its end";
    EXPECT_EQ(file_name_excerpt("C:\\Spiele\\\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0\\tie.obj"),
              "C:\\Spiele\\\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0\\tie.obj")
        << "a Windows folder in any script, once-escaped";
    EXPECT_EQ(file_name_excerpt("a\xe3\x82\nb\xc0\xaf"
                                "c\xed\xa0\x80"),
              "a\\xe3\\x82\\x0ab\\xc0\\xafc\\xed\\xa0\\x80")
        << "broken, overlong and surrogate sequences and controls as bytes";
    EXPECT_EQ(excerpt(std::string(1 << 20, '\0')).size(), 40u + 3u);
}

TEST(ModelLoader, HostileTokensGiveShortMessagesThatKeepTheirReason) {
    const struct {
        std::string text;
        const char* reason;  // must appear in the message
    } cases[] = {
        {std::string("size\0XYZWVUT 4\n", 15) + square, "\"size\\x00XYZWVUT\" is too long for a keyword"},
        {std::string(2048, 'k') + "\n" + square, "is too long for a keyword"},
        {"size " + std::string(2048, '7') + " lines 1 points 2", "is not a whole number within 32 bits"},
        {"size \x80\x81\x82\n", "\"\\x80\\x81\\x82\" is not a whole number"},
    };
    for (const auto& c : cases) {
        const std::string message = model_fault(c.text);
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_LE(message.size(), longest_message);
        EXPECT_EQ(message.find('\0'), std::string::npos);
    }
}

TEST(ModelLoader, AFileOver64KbIsRefusedBeforeItIsParsed) {
    Scratch s("bad-input-model");
    // Comment words make a file of any size that would otherwise load.
    std::string text = square;
    while (text.size() < 65536) text += "x ";
    text.resize(65536);
    EXPECT_EQ(load_model(s.write("edge.obj", text)).size, 8) << "exactly 64 KB still loads";
    text += "x";
    const std::string big = s.write("big.obj", text);
    try {
        load_model(big);
        ADD_FAILURE() << "a file over 64 KB loaded";
    } catch (const DataError& e) {
        EXPECT_EQ(e.line(), 0);
        EXPECT_NE(e.reason().find("65536"), std::string::npos) << e.reason();
    }
}

TEST(ReplayInput, ScriptFilesAndShotFoldersAreCheckedBeforeTheRun) {
    Scratch s("bad-input-files");
    std::string error;
    EXPECT_FALSE(load_mouse_script(s.dir.string(), error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    EXPECT_FALSE(load_mouse_script((s.dir / "absent.txt").string(), error));
    EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;
    EXPECT_FALSE(load_mouse_script(s.write("big.txt", std::string(max_script_size + 1, '\n')), error));
    EXPECT_EQ(load_mouse_script(s.write("run.txt", "3 1 2 1 0\n"), error).value().entries.at(0).pump, 3u);

    EXPECT_TRUE(prepare_shot_dir((s.dir / "new" / "shots").string(), error)) << error;
    EXPECT_TRUE(fs::is_empty(s.dir / "new" / "shots")) << "the write check leaves nothing behind";
    EXPECT_FALSE(prepare_shot_dir(s.write("plain", "x") + "/shots", error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    EXPECT_FALSE(prepare_shot_dir("/proc", error)) << "a folder that takes no files";
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

// The replay tool run in `dir` with `args`: exit status, standard output and error.
struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun replay(const fs::path& dir, const std::string& args) {
    const fs::path out = dir / "stdout.txt";
    const fs::path err = dir / "stderr.txt";
    const std::string command = "cd '" + dir.string() + "' && " QV_EMULATOR "'" QV_BINARY_DIR "/quorvaner-replay' " +
                                args + " > '" + out.string() + "' 2> '" + err.string() + "'";
    const int raw = std::system(command.c_str());
    auto slurp = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    return ToolRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

TEST(ReplayTool, BadArgumentsAndFilesStopBeforeTheRunWithOneShortLine) {
    Scratch s("bad-input-tool");
    for (const fs::directory_entry& f : fs::directory_iterator(QV_DATA_DIR)) fs::copy(f.path(), s.dir);
    const struct {
        const char* args;
        std::string tie;  // replaces tie.obj when not empty
        int status;
    } runs[] = {
        {"--input .", "", 2},                  // a folder is no script
        {"--input /proc/self/mem", "", 2},     // opens, cannot be read
        {"--shot 1 --shot-dir /proc", "", 2},  // found before any trace
        {"--max-pumps 5", std::string("size\0XYZWVUT 4\n", 15), 1},
        {"--max-pumps 5", std::string(1 << 20, 'k'), 1},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.args);
        if (!r.tie.empty()) s.write("tie.obj", r.tie);
        const ToolRun run = replay(s.dir, r.args);
        EXPECT_EQ(run.status, r.status);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_LE(run.err.size(), longest_message) << run.err;
    }
}

TEST(ReplayTool, TimingAddsOneLineOnStandardErrorAndChangesNoTrace) {
    Scratch s("bad-input-timing");
    for (const fs::directory_entry& f : fs::directory_iterator(QV_DATA_DIR)) fs::copy(f.path(), s.dir);
    const ToolRun plain = replay(s.dir, "--max-pumps 200");
    const ToolRun timed = replay(s.dir, "--max-pumps 200 --timing");
    EXPECT_EQ(timed.status, 0);
    EXPECT_EQ(timed.out, plain.out);
    EXPECT_EQ(plain.err, "");
    size_t presents = 0;
    for (size_t at = plain.out.find("present "); at != std::string::npos; at = plain.out.find("present ", at + 1)) {
        ++presents;
    }
    EXPECT_EQ(timed.err.rfind("timing: " + std::to_string(presents) + " presents in ", 0), 0u) << timed.err;
    EXPECT_NE(timed.err.find(" presents/s, "), std::string::npos) << timed.err;
}

}  // namespace
}  // namespace qv
