// The port's own layer: the command line and settings, the data lookup, and a
// session recorded and played back through the layer both windows share.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "front/program.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/headless/picture_files.h"
#include "platform/port/data_lookup.h"
#include "platform/port/options.h"
#include "platform/port/port_backend.h"
#include "platform/port/settings.h"
#include "test_world.h"

namespace qv {
namespace {

std::optional<ProgramOptions> parse(const std::vector<std::string>& args, std::string& error) {
    return parse_program_options(args, PortSettings{}, error);
}

TEST(ProgramOptions, FlagsOverrideSettingsAndFaultsAreOneShortLine) {
    std::string error;
    const PortSettings from_file{.fullscreen = true, .aspect = Aspect::FourThree, .volume = 40};
    const auto options =
        parse_program_options({"--window", "--scale", "2", "--volume", "0", "--mute", "--seed", "4294967295", "--data",
                               "d", "--again", "--pad-speed", "10", "--key-speed", "1", "--dead-zone", "0"},
                              from_file, error);
    ASSERT_TRUE(options) << error;
    const PortSettings wanted{.scale = 2,
                              .aspect = Aspect::FourThree,
                              .volume = 0,
                              .mute = true,
                              .again = true,
                              .pad_speed = 10,
                              .key_speed = 1,
                              .dead_zone = 0};
    EXPECT_EQ(settings_text(options->settings), settings_text(wanted)) << "the aspect kept from the file";
    EXPECT_EQ(options->seed, 4294967295u);
    EXPECT_EQ(options->data_dir, "d");

    const struct {
        std::vector<std::string> args;
        const char* says;
    } faults[] = {
        {{"--scale"}, "--scale needs a value"},
        {{"--volume", "-1"}, "--volume wants"},
        {{"--pad-speed", "0"}, "--pad-speed wants a whole number from 1 to 10, not \"0\""},
        {{"--key-speed", "11"}, "--key-speed wants"},
        {{"--dead-zone", "51"}, "--dead-zone wants a whole number from 0 to 50 (percent)"},
        {{"--pad_speed", "3"}, "unknown argument \"--pad_speed\""},
        {{"--aspect", "5:4"}, "--aspect wants"},
        {{"--seed", "4294967296"}, "--seed wants"},
        {{"--record", "a", "--playdemo", "b"}, "cannot be used together"},
        {{std::string(5000, 'x')}, "..."},
    };
    for (const auto& fault : faults) {
        error.clear();
        EXPECT_FALSE(parse(fault.args, error));
        EXPECT_NE(error.find(fault.says), std::string::npos) << error;
        EXPECT_LT(error.size(), 120u);
    }
    EXPECT_TRUE(parse({"--help"}, error).value().help);
}

TEST(Settings, TheFileTextReadsBackAndBadValuesChangeNothing) {
    const PortSettings chosen{true, 4, Aspect::FourThree, 55, true, true, 9, 2, 35};
    for (const char* line_end : {"\n", "\r\n"}) {
        const SettingsRead read = parse_settings(settings_text(chosen, line_end), "settings.ini");
        EXPECT_TRUE(read.problems.empty()) << read.problems.front();
        EXPECT_EQ(settings_text(read.settings), settings_text(chosen)) << "line ends " << line_end[0] + 0;
    }
    std::string error;
    PortSettings kept = chosen;
    EXPECT_FALSE(apply_setting(kept, "volume", "loud", error));
    EXPECT_EQ(settings_text(kept), settings_text(chosen));
}

TEST(Settings, OverlongOrNulLinesAreRefusedWholeAndEveryProblemSaysWhereWhatAndWhatIsUsed) {
    const std::string text = "# " + std::string(300, 'x') +
                             " scale = 1\n"  // a comment, however long
                             "[quorvaner]\n"
                             "volume = 5 ; quiet, please\n"
                             "scale = 1" +
                             std::string("\0junk", 5) +
                             "\n"
                             "mute = perhaps\n"
                             "colour = red\n"
                             "\r\n"
                             "[other program]\n"
                             "scale = 7\n"
                             "just words\n";
    const SettingsRead read = parse_settings(text, "/home/p/settings.ini");
    EXPECT_EQ(read.settings.scale, PortSettings{}.scale) << "neither the comment's tail nor the cut value counts";
    EXPECT_EQ(read.settings.volume, 5);
    EXPECT_FALSE(read.settings.mute);
    const std::vector<std::string> expected = {
        "/home/p/settings.ini:1: the line is longer than 255 characters; it is ignored",
        "/home/p/settings.ini:4: the line holds a NUL byte; it is ignored",
        "/home/p/settings.ini:5: mute wants 1 or 0, not \"perhaps\"; 0 is used",
        "/home/p/settings.ini:6: unknown setting \"colour\"; it is ignored",
        "/home/p/settings.ini:10: not a setting line (key = value): \"just words\"",
    };
    EXPECT_EQ(read.report(), expected);

    EXPECT_EQ(parse_settings("scale = 2\n", "s.ini").report(),
              std::vector<std::string>{"s.ini: has no [quorvaner] section; the defaults are used"});
    EXPECT_TRUE(parse_settings("", "s.ini").report().empty());

    // A flood of bad lines gives a few lines and a count, never one per line.
    std::string flood = "[quorvaner]\n";
    for (int i = 0; i < 20000; ++i) flood += "scale = 99\n";
    const std::vector<std::string> report = parse_settings(flood, "s.ini").report();
    ASSERT_EQ(report.size(), max_settings_problems + 1);
    EXPECT_EQ(report.back(), "... and 19995 more problems in the settings file");
}

TEST(Settings, OnlyARegularFileIsReadAndNothingButNothingIsEverOverwritten) {
    testing::Scratch s("port-settings");
    const std::string fifo = (s.dir / "fifo.ini").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", s.dir / "zero.ini");
    std::filesystem::create_directories(s.dir / "folder.ini");
    s.write("huge.ini", "[quorvaner]\n" + std::string(max_settings_size, '#'));
    const struct {
        const char* name;
        const char* says;
    } refused[] = {{"fifo.ini", "is a device or a pipe"},
                   {"zero.ini", "is a device or a pipe"},
                   {"folder.ini", "is a folder"},
                   {"huge.ini", "is larger than 65536 bytes"}};
    for (const auto& r : refused) {
        const SettingsRead read = read_settings_file((s.dir / r.name).string());  // a FIFO would hang here
        EXPECT_TRUE(read.found) << r.name;
        ASSERT_EQ(read.report().size(), 1u) << r.name;
        EXPECT_NE(read.report()[0].find(r.says), std::string::npos) << read.report()[0];
        EXPECT_EQ(settings_text(read.settings), settings_text(PortSettings{}));
        EXPECT_FALSE(write_default_settings((s.dir / r.name).string())) << "left alone";
    }

    const std::string kept = s.write("kept.ini", "[quorvaner]\nscale = 2\n# mine\n");
    EXPECT_EQ(read_settings_file(kept).settings.scale, 2);
    EXPECT_FALSE(write_default_settings(kept));
    EXPECT_EQ(read_settings_file(kept).settings.scale, 2) << "the player's file is never replaced";
    // A link to nowhere is told of (and never followed: tests/e2e/program_runs.sh).
    std::filesystem::create_symlink(s.dir / "nowhere" / "target.ini", s.dir / "dangling.ini");
    EXPECT_FALSE(read_settings_file((s.dir / "dangling.ini").string()).report().empty());

    const std::string fresh = (s.dir / "new" / "settings.ini").string();
    EXPECT_FALSE(read_settings_file(fresh).found);
    EXPECT_EQ(write_default_settings(fresh, "\r\n"), std::nullopt);
    const SettingsRead written = read_settings_file(fresh);
    EXPECT_TRUE(written.found && written.problems.empty());
}

TEST(DataLookup, GivenFolderAloneElseHereTheCheckoutTheProgramItsShareAndTheInstall) {
    testing::Scratch s("port-lookup", true);  // no data here
    const std::filesystem::path build = s.dir / "build";
    const std::filesystem::path prefix_bin = s.dir / "prefix" / "bin";
    std::filesystem::create_directories(build);
    std::filesystem::create_directories(prefix_bin);
    std::filesystem::create_directories(s.dir / "prefix" / "share" / "quorvaner");
    s.write("build/CMakeCache.txt", "");
    s.write("prefix/share/quorvaner/tie.obj", "size 1\n");

    EXPECT_EQ(data_search_path({"x", build.string(), "/src/data", "/usr/share/quorvaner"}),
              std::vector<std::string>{"x"});
    EXPECT_EQ(data_search_path({std::nullopt, build.string(), "/src/data", "/usr/share/quorvaner"}),
              (std::vector<std::string>{".", "/src/data", build.string(), (s.dir / "share" / "quorvaner").string(),
                                        "/usr/share/quorvaner"}));
    EXPECT_EQ(data_search_path({std::nullopt, prefix_bin.string(), "/src/data", ""}),
              (std::vector<std::string>{".", prefix_bin.string(), (s.dir / "prefix" / "share" / "quorvaner").string()}))
        << "no checkout's data outside a build tree";

    // An installed program, moved anywhere, finds the data beside it.
    const DataLookup moved = look_up_data({std::nullopt, prefix_bin.string(), "", "/nowhere"});
    EXPECT_EQ(moved.folder, (s.dir / "prefix" / "share" / "quorvaner").string());

    const std::string missing = data_not_found("tie.obj", {"a", "b", std::string(500, 'c')});
    EXPECT_EQ(missing.substr(0, 33), "tie.obj: not found in a, b or ...");
    EXPECT_LT(missing.size(), 300u);

    // A --data that holds no data is an error naming it, never a silent fallback
    // to the data of the working directory.
    for (const std::string& chosen :
         {s.write("a-file", "x"), (s.dir / "absent").string(), std::string(4000, 'd'), std::string("tab\there")}) {
        const DataLookup lookup = look_up_data({chosen, std::string(QV_DATA_DIR), "", QV_DATA_DIR});
        EXPECT_FALSE(lookup.folder) << chosen;
        EXPECT_TRUE(lookup.chosen_without_data);
        EXPECT_EQ(lookup.problem.rfind("--data \"", 0), 0u) << lookup.problem;
        EXPECT_LT(lookup.problem.size(), 120u);
        EXPECT_EQ(lookup.problem.find('\t'), std::string::npos);
    }
}

// The whole program on the headless window through the port's layer, and
// everything it shows and plays, as the replay tool would trace it.
struct Session {
    HeadlessBackEnd window;
    PortBackEnd port{window};
    std::vector<std::string> trace;

    Session(const std::vector<MouseScriptEntry>& script, uint64_t max_pumps) {
        window.script = script;
        window.max_pumps = max_pumps;
        window.start_ticks = 99;  // the seed comes from the port layer or not at all
        window.trace = [this](const std::string& line) { trace.push_back(line); };
        window.on_present = [this](const PresentedFrame& picture) {
            trace.push_back("present " + std::to_string(surface_crc(picture.surface.pixels)));
        };
    }
    const std::vector<std::string>& operator()(bool again = false) {
        auto game = std::make_unique<Game>();
        game->window.backend = &port;
        game->window.data_folder = QV_DATA_DIR;
        run_program(*game, again);
        return trace;
    }
};

std::vector<MouseScriptEntry> read_script(const std::string& text) {
    std::string error;
    auto script = parse_mouse_script(text, "recording", error);
    EXPECT_TRUE(script) << error;
    return script.value_or(std::vector<MouseScriptEntry>{});
}

// A recording played back as a demo: its own "# args:" lines decide its seed and end.
std::vector<std::string> replayed(const std::string& recording) {
    Session demo({}, 10000000);
    const ScriptArgs args = script_args(recording);
    demo.port.seed = args.seed;
    demo.port.demo = read_script(recording);
    demo.port.demo_end = args.max_pumps;
    return demo();
}

TEST(Recording, ADemoDrivesTheGameInsteadOfTheWindowsMouseAndTheSettingsNoticeComesOnce) {
    const std::vector<MouseScriptEntry> script = {{60, 160, 100, 1, 0}, {64, 160, 100, 0, 0}, {90, 10, 10, 1, 0}};
    Session scripted(script, 2000);
    scripted.port.seed = 3;
    scripted();
    // The window's own mouse holds the left button all along; the demo wins.
    Session demo({{1, 50, 50, 1, 0}}, 2000);
    demo.port.seed = 3;
    demo.port.demo = script;
    EXPECT_EQ(demo(), scripted.trace);

    Session told(script, 2000);
    told.port.seed = 3;
    told.port.notice = "settings.ini:2: scale wants a whole number";
    told();
    ASSERT_EQ(told.trace.front(), "box \"Quorvaner\" \"settings.ini:2: scale wants a whole number\"");
    EXPECT_EQ(std::vector<std::string>(told.trace.begin() + 1, told.trace.end()), scripted.trace);

    EXPECT_EQ(script_args("# args: --seed 12\n1 0 0 0 0\n# args: --max-pumps 5 --state\n").max_pumps, 5u);
    EXPECT_EQ(script_args("#args: --seed 12\n# args: --seed x\n").seed, std::nullopt);
    EXPECT_NE(fresh_seed(), fresh_seed());
}

// A page plays again after each score box and records every game on its own:
// the second game's recording names its own seed, counts its pumps from its
// own title and replays alone, picture for picture, as the replay tool plays it.
TEST(Recording, EachGameOfASessionThatPlaysAgainIsARecordingThatReplaysOnItsOwn) {
    // Seed 7 idle is lost at pump 3159 (tests/replays/idle-until-lost); the
    // second game, its pumps counted from there, is left with a held click,
    // fired at the edges and closed.
    constexpr uint64_t second = 3159;
    const std::vector<MouseScriptEntry> played = {
        {60, 160, 100, 1, 0},        {64, 160, 100, 0, 0},           {3100, 20, 30, 1, 0},
        {second + 2, 20, 30, 0, 0},  {second + 55, 160, 100, 1, 0},  {second + 70, 160, 100, 0, 0},
        {second + 90, 5, 100, 1, 0}, {second + 300, 315, 195, 0, 0}, {second + 500, 170, 110, 1, 0}};
    Session live(played, second + 900);
    live.port.seed = 7;
    live.port.next_seed = [] { return 4000000000u; };
    std::vector<std::string> recordings;
    std::vector<size_t> starts;  // where each game begins in the trace
    live.port.game_started = [&](uint32_t seed) {
        EXPECT_EQ(live.port.game_seed(), seed);
        starts.push_back(live.trace.size());
        recordings.emplace_back();
        live.port.start_recording([&recordings](const std::string& text) { recordings.back() += text; });
    };
    const std::vector<std::string>& trace = live(true);
    const std::string cut = live.port.recording_cut();
    live.port.finish_recording();
    ASSERT_EQ(recordings.size(), 2u);
    EXPECT_EQ(recordings[0].rfind("# args: --seed 7\n", 0), 0u);
    EXPECT_EQ(recordings[1].rfind("# args: --seed 4000000000\n", 0), 0u);
    EXPECT_EQ(script_args(recordings[0]).max_pumps, std::nullopt) << "the first game was lost";
    EXPECT_EQ(script_args(recordings[1]).max_pumps, 900u);
    EXPECT_NE(cut.find("# args: --max-pumps 900\n"), std::string::npos) << cut;
    EXPECT_EQ(read_script(recordings[1]).front().pump, 1u);
    EXPECT_EQ(read_script(recordings[0]).back().pump, 3100u) << "its last entry went to the first game";

    for (size_t k = 0; k < 2; ++k) {
        const auto from = trace.begin() + static_cast<std::ptrdiff_t>(starts[k]);
        const auto to =
            k + 1 < starts.size() ? trace.begin() + static_cast<std::ptrdiff_t>(starts[k + 1]) : trace.end();
        EXPECT_EQ(replayed(recordings[k]), std::vector<std::string>(from, to)) << "game " << k + 1;
    }
}

TEST(Recording, EachWriteIsWholeLinesAndACutEndsTheRecordingWhereItIsAndEachFreshGameHasItsSeed) {
    HeadlessBackEnd window;
    window.create_window("");
    window.script = {{2, 160, 100, 1, 0}, {3, 150, 90, 0, 0}, {5, 10, 10, 1, 0}};
    window.start_ticks = 500;
    PortBackEnd port(window);
    std::vector<uint32_t> seeds;
    port.game_started = [&seeds](uint32_t seed) { seeds.push_back(seed); };
    port.seed = 12;
    std::vector<std::string> writes;
    port.start_recording([&writes](const std::string& text) { writes.push_back(text); });
    ASSERT_EQ(writes.size(), 1u) << "the seed is written before the game starts";
    EXPECT_EQ(writes[0].rfind("# args: --seed 12\n", 0), 0u);
    EXPECT_EQ(port.recording_cut(), "# args: --max-pumps 0\n");
    const auto pump = [&port] {
        port.cursor_position();
        WindowEvent event{};
        while (port.next_event(event)) {
        }
    };
    for (int i = 0; i < 5; ++i) pump();
    EXPECT_EQ(port.recording_cut(), "5 10 10 1 0\n# args: --max-pumps 5\n") << "pump 5's entry is still to come";
    EXPECT_EQ(writes, (std::vector<std::string>{writes[0], "2 160 100 1 0\n", "3 150 90 0 0\n"}));
    pump();
    EXPECT_EQ(port.recording_cut(), "# args: --max-pumps 6\n");
    EXPECT_EQ(writes.back(), "5 10 10 1 0\n");

    // The first game draws the seed; a fresh game without next_seed the
    // window's tick count, with it whatever it gives.
    EXPECT_EQ(port.ticks(), 12u);
    EXPECT_EQ(port.ticks(), 500u);
    port.next_seed = [] { return 9u; };
    EXPECT_EQ(port.ticks(), 9u);
    EXPECT_EQ(seeds, (std::vector<uint32_t>{12, 500, 9}));
    EXPECT_EQ(port.game_seed(), 9u);
    std::string recording;
    port.start_recording([&recording](const std::string& text) { recording += text; });
    EXPECT_EQ(recording.rfind("# args: --seed 9\n", 0), 0u);
    pump();
    EXPECT_EQ(port.recording_cut(), "1 10 10 1 0\n# args: --max-pumps 1\n") << "counted from the new start";
    port.finish_recording();
    EXPECT_TRUE(recording.ends_with("\n1 10 10 1 0\n")) << "the last pump's entry, and no close";
}

}  // namespace
}  // namespace qv
