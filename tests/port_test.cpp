// The port's own layer: the command line and settings, the data lookup, and a
// session recorded and played back through the layer both windows share.
#include <gtest/gtest.h>

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

namespace qv {
namespace {

std::optional<ProgramOptions> parse(const std::vector<std::string>& args, std::string& error) {
    return parse_program_options(args, PortSettings{}, error);
}

TEST(ProgramOptions, FlagsOverrideSettingsAndFaultsAreOneShortLine) {
    std::string error;
    PortSettings from_file;
    ASSERT_TRUE(apply_setting(from_file, "fullscreen", "1", error));
    ASSERT_TRUE(apply_setting(from_file, "volume", "40", error));
    ASSERT_TRUE(apply_setting(from_file, "aspect", "4:3", error));
    const auto options = parse_program_options(
        {"--window", "--scale", "2", "--volume", "0", "--mute", "--seed", "4294967295", "--data", "d", "--again"},
        from_file, error);
    ASSERT_TRUE(options) << error;
    EXPECT_FALSE(options->settings.fullscreen);
    EXPECT_EQ(options->settings.scale, 2);
    EXPECT_EQ(options->settings.volume, 0);
    EXPECT_TRUE(options->settings.mute);
    EXPECT_TRUE(options->settings.again);
    EXPECT_EQ(options->settings.aspect, Aspect::FourThree) << "kept from the file";
    EXPECT_EQ(options->seed, 4294967295u);
    EXPECT_EQ(options->data_dir, "d");

    const struct {
        std::vector<std::string> args;
        const char* says;
    } faults[] = {
        {{"--bogus"}, "unknown argument \"--bogus\""},
        {{"--scale"}, "--scale needs a value"},
        {{"--scale", "17"}, "--scale wants"},
        {{"--volume", "-1"}, "--volume wants"},
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
    EXPECT_TRUE(parse({"--version"}, error).value().version);
}

TEST(ProgramOptions, SettingsFileTextReadsBackAndBadValuesChangeNothing) {
    PortSettings chosen;
    chosen.fullscreen = true;
    chosen.scale = 4;
    chosen.aspect = Aspect::FourThree;
    chosen.volume = 55;
    chosen.mute = true;
    chosen.again = true;
    PortSettings read;
    std::istringstream text(settings_text(chosen));
    std::string line, error;
    while (std::getline(text, line)) {
        const size_t eq = line.find(" = ");
        if (eq == std::string::npos) continue;
        ASSERT_TRUE(apply_setting(read, line.substr(0, eq), line.substr(eq + 3), error)) << error;
    }
    EXPECT_EQ(settings_text(read), settings_text(chosen));

    const PortSettings before = read;
    EXPECT_FALSE(apply_setting(read, "volume", "loud", error));
    EXPECT_FALSE(apply_setting(read, "colour", "1", error));
    EXPECT_EQ(settings_text(read), settings_text(before));
}

TEST(DataLookup, SearchesTheGivenFolderThenHereThenTheProgramThenTheInstall) {
    EXPECT_EQ(data_search_path(std::string("x"), "bin", "/usr/share/quorvaner"),
              (std::vector<std::string>{"x", ".", "bin", "/usr/share/quorvaner"}));
    EXPECT_EQ(data_search_path(std::nullopt, ".", ""), (std::vector<std::string>{"."}));

    const std::filesystem::path root = std::filesystem::temp_directory_path() / "qv-lookup-test";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "empty");
    std::filesystem::create_directories(root / "full");
    std::filesystem::create_directories(root / "also");
    std::ofstream(root / "full" / "tie.obj") << "size 1\n";
    std::ofstream(root / "also" / "tie.obj") << "size 1\n";
    const std::vector<std::string> folders = {(root / "empty").string(), (root / "full").string(),
                                              (root / "also").string()};
    EXPECT_EQ(find_data_folder(folders, "tie.obj"), folders[1]);
    EXPECT_EQ(find_data_folder({(root / "empty").string()}, "tie.obj"), std::nullopt);
    const std::string message = data_not_found("tie.obj", {"a", "b", std::string(500, 'c')});
    EXPECT_EQ(message.substr(0, 33), "tie.obj: not found in a, b or ...");
    EXPECT_LT(message.size(), 120u);
    std::filesystem::remove_all(root);
}

// Everything a run shows and plays, as the replay tool would trace it.
struct Session {
    std::vector<std::string> trace;
    std::string recording;
    uint64_t pumps = 0;
};

Session run(const std::vector<MouseScriptEntry>& script, uint64_t max_pumps, std::function<void(PortBackEnd&)> setup) {
    HeadlessBackEnd window;
    window.script = script;
    window.max_pumps = max_pumps;
    window.start_ticks = 99;  // the seed comes from the port layer or not at all
    Session result;
    window.trace = [&result](const std::string& line) { result.trace.push_back(line); };
    window.on_present = [&result](const PresentedFrame& picture) {
        result.trace.push_back("present " + std::to_string(surface_crc(picture.surface.pixels)));
    };
    PortBackEnd port(window);
    setup(port);
    auto game = std::make_unique<Game>();
    game->window.backend = &port;
    run_program(*game);
    result.recording = port.recording_text();
    result.pumps = window.pumps;
    return result;
}

std::vector<MouseScriptEntry> read_script(const std::string& text, uint64_t* max_pumps = nullptr) {
    std::string error;
    auto script = parse_mouse_script(text, "recording", error);
    EXPECT_TRUE(script) << error;
    if (max_pumps != nullptr) {
        const size_t at = text.find("--max-pumps ");
        *max_pumps = at == std::string::npos ? 10000000 : std::stoull(text.substr(at + 12));
    }
    return script.value_or(std::vector<MouseScriptEntry>{});
}

TEST(Recording, ASessionReplaysFrameForFrameAndAClosedOneEndsWhereItWasClosed) {
    // Leave the title, sweep the edges while firing, open the credits on the way.
    std::vector<MouseScriptEntry> played = {{30, 100, 100, 0, 1}, {34, 100, 100, 0, 0}, {60, 160, 100, 1, 0},
                                            {64, 160, 100, 0, 0}, {80, 5, 100, 1, 0},   {200, 315, 195, 1, 0},
                                            {400, 160, 5, 0, 0},  {600, 170, 110, 1, 0}};
    for (const uint64_t closed_at : {uint64_t{3000}, uint64_t{10000000}}) {
        const Session live = run(played, closed_at, [](PortBackEnd& p) {
            p.seed = 7;
            p.recording = true;
        });
        EXPECT_EQ(live.recording.rfind("# args: --seed 7", 0), 0u) << live.recording;
        EXPECT_EQ(live.recording.find("--max-pumps") != std::string::npos, closed_at < 10000000) << live.recording;

        uint64_t max_pumps = 0;
        const std::vector<MouseScriptEntry> recorded = read_script(live.recording, &max_pumps);
        const Session again = run(recorded, max_pumps, [](PortBackEnd& p) { p.seed = 7; });
        EXPECT_EQ(again.trace, live.trace) << "closed at " << closed_at;
        EXPECT_EQ(again.pumps, live.pumps);
        ASSERT_FALSE(live.trace.empty());
        EXPECT_EQ(closed_at < 10000000, live.trace.back().rfind("box", 0) != 0) << live.trace.back();
    }
}

TEST(Recording, ADemoDrivesTheGameInsteadOfTheWindowsMouse) {
    const std::vector<MouseScriptEntry> script = {{60, 160, 100, 1, 0}, {64, 160, 100, 0, 0}, {90, 10, 10, 1, 0}};
    const Session scripted = run(script, 2000, [](PortBackEnd& p) { p.seed = 3; });
    // The window's own mouse holds the left button all along; the demo wins.
    const Session demo = run({{1, 50, 50, 1, 0}}, 2000, [&script](PortBackEnd& p) {
        p.seed = 3;
        p.demo = script;
    });
    EXPECT_EQ(demo.trace, scripted.trace);
    EXPECT_EQ(script_seed("# args: --seed 12 --max-pumps 5\n1 0 0 0 0\n"), 12u);
    EXPECT_EQ(script_seed("1 0 0 0 0\n# args: --seed 12\n"), std::nullopt);
}

}  // namespace
}  // namespace qv
