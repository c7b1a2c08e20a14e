// Texts from banks, discs and folders on their way out: escape sequences and line breaks in names reach the
// terminal escaped, never raw; JSON gets valid UTF-8 whatever bytes a name holds, with UTF-8 names kept as
// they are and Latin-1 names converted. Checked on the bytes the program prints.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "model/Generators.h"
#include "support/AkaiSineDisc.h"
#include "support/AudioFileBuilder.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

using Json = nlohmann::json;

constexpr const char* kTitleEscape = "\x1b]0;owned\x07";

// A bank whose texts hold control characters and bytes that are no UTF-8: an INAM that would retitle the
// terminal, a preset name with a line break that would forge a table row, a Latin-1 preset name, a UTF-8
// one cut off inside its last character, and a sample name with an escape that clears the screen.
Bytes HostileTextBank() {
    SoundFontBuilder sf;
    sf.info.push_back(InfoText("INAM", std::string("Bank ") + kTitleEscape));
    sf.AddSample("S\x1b[2Jx", 64);
    sf.instruments = {{.name = "I", .bags = {Gens({{gen::sampleID, 0}})}}};
    for (const char* name : {"Row\n  99  0  0", "Caf\xe9", "Gr\xc3\xbc\xc3"})
        sf.presets.push_back({.name = name, .bags = {Gens({{gen::instrument, 0}})}});
    return sf.Build();
}

bool HasControlBytes(const std::string& text) {
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\n') || c == 0x7f)
            return true;
    return false;
}

TEST(CliTextOutput, ControlCharactersReachTheTerminalEscaped) {
    TempDir folder;
    const std::string bank = folder.Write("hostile.sf2", HostileTextBank());
    const ProcessResult info = RunProcess(QUORVANE_CLI_PATH, {"info", bank});
    ASSERT_EQ(info.exitStatus, 0) << info.err;
    EXPECT_FALSE(HasControlBytes(info.out)) << info.out;
    EXPECT_NE(info.out.find("INAM  Bank \\x1b]0;owned\\x07\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Row\\x0a  99  0  0\n"), std::string::npos) << info.out;

    const ProcessResult convert =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "-v", "-o", folder.Folder() + "copy.sf2", bank});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    EXPECT_FALSE(HasControlBytes(convert.err)) << convert.err;
    EXPECT_NE(convert.err.find("'S\\x1b[2Jx'"), std::string::npos) << convert.err;
}

TEST(CliTextOutput, JsonHoldsEveryNameAsValidUtf8) {
    TempDir folder;
    const std::string bank = folder.Write("hostile.sf2", HostileTextBank());
    const ProcessResult result = RunProcess(QUORVANE_CLI_PATH, {"info", "--json", bank});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Json json = Json::parse(result.out); // throws on bytes that are no UTF-8
    EXPECT_EQ(json["info"]["INAM"], std::string("Bank ") + kTitleEscape);
    EXPECT_NE(result.out.find("\\u001b]0;owned\\u0007"), std::string::npos);
    EXPECT_EQ(json["presets"][0]["name"], "Row\n  99  0  0");
    EXPECT_EQ(json["presets"][1]["name"], "Caf\xc3\xa9");            // Latin-1 converted
    EXPECT_EQ(json["presets"][2]["name"], "Gr\xc3\xbc\xef\xbf\xbd"); // cut character replaced
    EXPECT_EQ(json["samples"][0]["name"], "S\x1b[2Jx");
}

// File names become names too: an audio file named in UTF-8 keeps its name, and an Akai image whose name is
// cut inside a character where the drive list shortens it still gives valid JSON.
TEST(CliTextOutput, Utf8FileNamesStayAsTheyAre) {
    TempDir folder;
    const std::string chinese = "scxt-\xe8\x81\xb2\xe9\x9f\xb3";
    folder.Write(chinese + ".wav", WaveForm({{"fmt ", FmtBody(1, 1, 44100, 16)}, {"data", Bytes(64, 1)}}));
    const ProcessResult audio = RunProcess(QUORVANE_CLI_PATH, {"info", "--json", folder.Folder()});
    ASSERT_EQ(audio.exitStatus, 0) << audio.err;
    EXPECT_EQ(Json::parse(audio.out)["samples"][0]["fullName"], chinese);

    const std::string disc = folder.Write("abcdefghijklmno\xc3\xa8\xc3\xa8.iso", SineDisc().Build());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", "--json", disc},
          std::vector<std::string>{"info", "--json", "--volume", "A/1", disc}}) {
        const ProcessResult akai = RunProcess(QUORVANE_CLI_PATH, args);
        ASSERT_EQ(akai.exitStatus, 0) << akai.err;
        EXPECT_NO_THROW(Json::parse(akai.out)) << akai.out;
    }
}

} // namespace
} // namespace quorvane::test
