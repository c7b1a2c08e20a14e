// The SoundFont writer on small banks made byte by byte: what lands in the file, record by record, and what
// the user is told through the Host.
#include <gtest/gtest.h>

#include <fluidsynth.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>

#include "convert/BankWriters.h"
#include "support/RecordingHost.h"
#include "support/SoundFontBuilder.h"
#include "support/SoundFontSteps.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::BagRecord;
using test::GenRecord;
using test::InstrumentHeader;
using test::PresetHeader;
using test::Range;
using test::SampleHeader;
using test::SoundFontBuilder;

constexpr uint16_t Neg(int value) {
    return static_cast<uint16_t>(static_cast<int16_t>(value));
}

// A RecordingHost whose user presses Cancel once the given number of samples has been written.
class WriterHost : public test::RecordingHost {
  public:
    size_t cancelAfter = SIZE_MAX;
    bool CancelRequested() override { return fileProgress.size() >= cancelAfter; }
};

// Two mono samples, one instrument with a global zone, and three presets that all play it: a lead with a
// global layer, a bass in bank 8 and a drum kit in bank 128. Generators are given out of the order in which
// the writer puts them, and one generator (60) lies beyond the ones the writer carries.
SoundFontBuilder SmallBank() {
    SoundFontBuilder sf;
    sf.AddSample("Sine", 100);
    sf.AddSample("Saw", 60);
    sf.samples[1].sampleRate = 22050;
    sf.samples[1].originalKey = 48;
    sf.samples[1].correction = -12;
    sf.instruments = {{.name = "Lead",
                       .bags = {test::Gens({{gen::sampleModes, 1}}),
                                test::Gens({{gen::pan, 100},
                                            {gen::velRange, Range(0, 100)},
                                            {gen::keyRange, Range(0, 60)},
                                            {gen::overridingRootKey, 61},
                                            {gen::sampleID, 0}}),
                                test::Gens({{60, 5}, {gen::keyRange, Range(61, 127)}, {gen::sampleID, 1}})}}};
    sf.presets = {
        {.name = "Lead",
         .program = 80,
         .bags = {test::Gens({{gen::reverbEffectsSend, 200}}),
                  test::Gens({{gen::pan, Neg(-50)}, {gen::keyRange, Range(10, 100)}, {gen::instrument, 0}})}},
        {.name = "Bass", .program = 33, .bank = 8, .bags = {test::Gens({{gen::instrument, 0}})}},
        {.name = "Kit", .program = 25, .bank = 128, .bags = {test::Gens({{gen::instrument, 0}})}},
    };
    return sf;
}

std::string SavedLine(const SoundFontWriteResult& result) {
    return "Saved file  '" + result.path + "'  (" + std::to_string(result.size) + " bytes).";
}

class SoundFontWriterTest : public ::testing::Test {
  protected:
    WriteSelection selection; // what Write writes
    // Writes the bank to name in the test folder and loads it as the file list's only entry, with every
    // preset, layer, zone and sample chosen for writing.
    void Load(const SoundFontBuilder& builder, const std::string& name = "Bank.sf2") {
        sourcePath = dir.Write(name, builder.Build());
        ASSERT_EQ(test::LoadBankFile(workspace, sourcePath), LoadStatus::Loaded);
        selection = WriteSelection::All(workspace.bank);
    }

    SoundFontWriteResult Write(const std::string& name = "Out.sf2", bool temporary = false,
                               BankNaming naming = BankNaming::SourceBank) {
        return WriteSoundFont(workspace, selection, 0, dir.Folder() + name, naming, temporary);
    }

    static std::vector<test::RiffChunk> Chunks(const std::string& path) {
        return test::WalkRiff(test::ReadFileBytes(path));
    }

    test::TempDir dir;
    WriterHost host;
    Workspace workspace{host};
    std::string sourcePath;
};

// The whole layout of a small bank: chunk order, the sample data with its zero guard words, and every
// hydra record, with the key range written first and the velocity range second as players require.
TEST_F(SoundFontWriterTest, WritesEveryChunkAndRecordOfASmallBank) {
    Load(SmallBank());
    workspace.writer.progress = {100, 400};

    const SoundFontWriteResult result = Write();
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.path, dir.Folder() + "Out.sf2");
    const test::Bytes file = test::ReadFileBytes(result.path);
    EXPECT_EQ(result.size, file.size());
    EXPECT_EQ(workspace.writer.LastWrittenSize, file.size());

    const std::vector<test::RiffChunk> chunks = test::WalkRiff(file);
    std::vector<std::string> paths;
    for (const test::RiffChunk& chunk : chunks)
        if (chunk.path.rfind("sfbk/INFO/", 0) != 0)
            paths.push_back(chunk.path);
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "sfbk", "sfbk/INFO", "sfbk/sdta", "sfbk/sdta/smpl", "sfbk/pdta", "sfbk/pdta/phdr",
                         "sfbk/pdta/pbag", "sfbk/pdta/pmod", "sfbk/pdta/pgen", "sfbk/pdta/inst",
                         "sfbk/pdta/ibag", "sfbk/pdta/imod", "sfbk/pdta/igen", "sfbk/pdta/shdr"}));

    // Each sample's frames, then 32 zero words.
    std::vector<int16_t> words;
    words.reserve(132);
    for (int i = 0; i < 100; ++i)
        words.push_back(static_cast<int16_t>(i * 64));
    words.insert(words.end(), 32, 0);
    for (int i = 0; i < 60; ++i)
        words.push_back(static_cast<int16_t>(i * 64));
    words.insert(words.end(), 32, 0);
    test::Bytes smpl;
    for (int16_t word : words)
        test::PutU16(smpl, static_cast<uint16_t>(word));
    ASSERT_NE(test::FindChunk(chunks, "sfbk/sdta/smpl"), nullptr);
    EXPECT_EQ(test::FindChunk(chunks, "sfbk/sdta/smpl")->data, smpl);

    EXPECT_EQ(test::PresetHeaders(chunks),
              (std::vector<PresetHeader>{
                  {"Lead", 80, 0, 0}, {"Bass", 33, 8, 2}, {"Kit", 25, 128, 3}, {"EOP", 255, 255, 4}}));
    EXPECT_EQ(test::Bags(chunks, "pbag"), (std::vector<BagRecord>{{0, 0}, {1, 0}, {4, 0}, {5, 0}, {6, 0}}));
    EXPECT_EQ(test::FindChunk(chunks, "sfbk/pdta/pmod")->data, test::Bytes(10, 0));
    EXPECT_EQ(test::GenRecords(chunks, "pgen"), (std::vector<GenRecord>{{gen::reverbEffectsSend, 200},
                                                                        {gen::keyRange, Range(10, 100)},
                                                                        {gen::pan, Neg(-50)},
                                                                        {gen::instrument, 0},
                                                                        {gen::instrument, 0},
                                                                        {gen::instrument, 0},
                                                                        {0, 0}}));
    // Three layers play the same instrument: it is written once.
    EXPECT_EQ(test::InstrumentHeaders(chunks), (std::vector<InstrumentHeader>{{"Lead", 0}, {"EOI", 3}}));
    EXPECT_EQ(test::Bags(chunks, "ibag"), (std::vector<BagRecord>{{0, 0}, {1, 0}, {7, 0}, {10, 0}}));
    EXPECT_EQ(test::FindChunk(chunks, "sfbk/pdta/imod")->data, test::Bytes(10, 0));
    // The global zone's sample mode reaches every zone when the bank is read.
    EXPECT_EQ(test::GenRecords(chunks, "igen"), (std::vector<GenRecord>{{gen::sampleModes, 1},
                                                                        {gen::keyRange, Range(0, 60)},
                                                                        {gen::velRange, Range(0, 100)},
                                                                        {gen::pan, 100},
                                                                        {gen::sampleModes, 1},
                                                                        {gen::overridingRootKey, 61},
                                                                        {gen::sampleID, 0},
                                                                        {gen::keyRange, Range(61, 127)},
                                                                        {gen::sampleModes, 1},
                                                                        {gen::sampleID, 1},
                                                                        {0, 0}}));
    EXPECT_EQ(test::SampleHeaders(chunks), (std::vector<SampleHeader>{
                                               {"Sine", 0, 100, 8, 92, 44100, 60, 0, 0, 1},
                                               {"Saw", 132, 192, 140, 184, 22050, 48, -12, 0, 1},
                                               {"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                           }));

    EXPECT_EQ(host.statusLines,
              (std::vector<std::string>{"Copying sample 1  'Sine'", "Copying sample 2  'Saw'",
                                        "Saving wavepool data ...", SavedLine(result)}));
    EXPECT_EQ(host.fileProgress, (std::vector<int>{500, 1000}));
    EXPECT_EQ(host.overallProgress, (std::vector<int>{300, 500}));
    EXPECT_EQ(host.pumpCalls, 2);
    EXPECT_TRUE(host.messages.empty());
}

struct InfoCase {
    const char* what;
    std::string entryName; // the source file's name without its extension: the bank's name in the list
    // Texts in the model before the write; "isng" is the sound engine.
    std::map<std::string, std::string> given;
    // The sub-chunks after ifil, in order, with their texts; "*" stands for any date.
    std::vector<std::pair<std::string, std::string>> written;
    SourceFormat sourceFormat = SourceFormat::SoundFont;
    uint32_t currentPreset = 0; // with it, the bank is named after that preset (naming flag 1)
};

TEST_F(SoundFontWriterTest, InfoTextsTakeTheirDefaultsAndEvenSizes) {
    const std::string longComment = std::string(2444, 'c') + "\r\n" + std::string(600, 'k');
    const std::vector<InfoCase> cases = {
        {"defaults; a name of 5 characters takes 6 bytes",
         "Piano",
         {},
         {{"INAM", "Piano"},
          {"isng", "E-mu 10K1"},
          {"ISFT", "Quorvane v1.1"},
          {"ICRD", "*"},
          {"ICMT", "Comments Not Present"},
          {"ICOP", "Copyright Information Not Present"}}},
        {"keywords and artist stand in; a name of 4 characters takes 6 bytes",
         "Harp",
         {{"IKEY", "warm pad"}, {"IART", "Ann"}},
         {{"INAM", "Harp"},
          {"isng", "E-mu 10K1"},
          {"IENG", "Ann"},
          {"ISFT", "Quorvane v1.1"},
          {"ICRD", "*"},
          {"ICMT", "warm pad"},
          {"ICOP", "Copyright Information Not Present"}}},
        {"given texts are kept, keywords follow the comment",
         "Bank",
         {{"ICMT", "Nice"},
          {"IKEY", "warm"},
          {"IENG", "Bob"},
          {"ICOP", "(c) me"},
          {"ISFT", "Tool 2"},
          {"isng", "EMU8000"},
          {"ICRD", "1 Jan 2000"},
          {"IPRD", "SBAWE32"}},
         {{"INAM", "Bank"},
          {"isng", "EMU8000"},
          {"IPRD", "SBAWE32"},
          {"IENG", "Bob"},
          {"ISFT", "Tool 2"},
          {"ICRD", "1 Jan 2000"},
          {"ICMT", "Nice\r\nwarm"},
          {"ICOP", "(c) me"}}},
        {"a GigaSampler source always names this program",
         "Bank",
         {{"ISFT", "Tool 2"}},
         {{"INAM", "Bank"},
          {"isng", "E-mu 10K1"},
          {"IENG", "GigaSampler Instrument Designer"},
          {"ISFT", "Quorvane v1.1"},
          {"ICRD", "*"},
          {"ICMT", "Comments Not Present"},
          {"ICOP", "Copyright Information Not Present"}},
         SourceFormat::Dls},
        {"named after the current preset",
         "Bank",
         {},
         {{"INAM", "Kit"},
          {"isng", "E-mu 10K1"},
          {"ISFT", "Quorvane v1.1"},
          {"ICRD", "*"},
          {"ICMT", "Comments Not Present"},
          {"ICOP", "Copyright Information Not Present"}},
         SourceFormat::SoundFont,
         3},
        {"long texts are written whole, up to the 65,535 characters a SoundFont allows",
         "Bank",
         {{"ICMT", std::string(2444, 'c')},
          {"IKEY", std::string(600, 'k')},
          {"IENG", std::string(70000, 'e')}},
         {{"INAM", "Bank"},
          {"isng", "E-mu 10K1"},
          {"IENG", std::string(65535, 'e')},
          {"ISFT", "Quorvane v1.1"},
          {"ICRD", "*"},
          {"ICMT", longComment},
          {"ICOP", "Copyright Information Not Present"}}},
    };
    const std::regex date(
        R"(\d{1,2} (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4}   \d{1,2}:\d\d:\d\d)");

    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.what);
        workspace.bank.SourceFormat =
            SourceFormat::SoundFont; // the loader reads only banks of the chosen format
        Load(SmallBank(), c.entryName + ".sf2");
        BankModel& bank = workspace.bank;
        bank.SourceFormat = c.sourceFormat;
        for (const auto& [tag, text] : c.given)
            bank.BankInfo[tag == "isng" ? kSoundEngineSlot : BankInfoSlotOf(tag.c_str())] = text;
        workspace.selection.currentPreset = c.currentPreset;
        const SoundFontWriteResult result =
            Write("Out.sf2", false, c.currentPreset != 0 ? BankNaming::Preset : BankNaming::SourceBank);
        ASSERT_TRUE(result.written);

        const std::vector<test::RiffChunk> chunks = Chunks(result.path);
        std::vector<const test::RiffChunk*> info;
        for (const test::RiffChunk& chunk : chunks)
            if (chunk.path.rfind("sfbk/INFO/", 0) == 0)
                info.push_back(&chunk);
        ASSERT_EQ(info.size(), c.written.size() + 1);
        EXPECT_EQ(info[0]->path, "sfbk/INFO/ifil");
        EXPECT_EQ(info[0]->data, (test::Bytes{2, 0, 1, 0}));
        for (size_t i = 0; i < c.written.size(); ++i) {
            const auto& [tag, text] = c.written[i];
            const test::RiffChunk& chunk = *info[i + 1];
            EXPECT_EQ(chunk.path, "sfbk/INFO/" + tag);
            const std::string got = test::InfoTextOf(chunk);
            if (text == "*") {
                EXPECT_TRUE(std::regex_match(got, date)) << tag << ": " << got;
            } else {
                EXPECT_EQ(got, text) << tag;
            }
            // Zero-terminated and padded to an even size: one zero after an odd length, two after an even
            // one.
            EXPECT_EQ(chunk.size, got.size() + (got.size() % 2 ? 1 : 2)) << tag;
            test::Bytes padded(got.begin(), got.end());
            padded.resize(chunk.size, 0);
            EXPECT_EQ(chunk.data, padded) << tag;
        }
    }
}

// Sets TZ for the life of the guard.
class TimeZone {
  public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> old_;
};

TEST_F(SoundFontWriterTest, CreationDateIsTheLocalDateAndTime) {
    // Fourteen hours east of UTC: a date taken from UTC, or from UTC plus two hours, is half a day off.
    TimeZone zone("QRV-14");
    Load(SmallBank());
    const std::time_t before = std::time(nullptr);
    const SoundFontWriteResult result = Write();
    const std::time_t after = std::time(nullptr);
    ASSERT_TRUE(result.written);
    const std::vector<test::RiffChunk> chunks = Chunks(result.path);
    const test::RiffChunk* icrd = test::FindChunk(chunks, "sfbk/INFO/ICRD");
    ASSERT_NE(icrd, nullptr);
    const std::string text = test::InfoTextOf(*icrd);

    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    char month[4] = {};
    ASSERT_EQ(std::sscanf(text.c_str(), "%d %3s %d   %d:%d:%d", &local.tm_mday, month, &local.tm_year,
                          &local.tm_hour, &local.tm_min, &local.tm_sec),
              6)
        << text;
    local.tm_mon = static_cast<int>(std::find_if(std::begin(months), std::end(months),
                                                 [&](const char* m) { return std::string(m) == month; }) -
                                    std::begin(months));
    local.tm_year -= 1900;
    local.tm_isdst = -1;
    const std::time_t written = std::mktime(&local);
    EXPECT_GE(written, before - 1) << text;
    EXPECT_LE(written, after + 1) << text;
}

struct NamingCase {
    const char* what;
    std::string source;
    std::string output;
    std::vector<std::string> existing; // files already in the folder
    std::string written;
};

TEST_F(SoundFontWriterTest, SavingOntoTheSourceTakesTheNextFreeNumber) {
    const std::vector<NamingCase> cases = {
        {"onto the source", "Bank.sf2", "Bank.sf2", {}, "Bank-1.sf2"},
        {"numbers in use are skipped", "Bank.sf2", "Bank.sf2", {"Bank-1.sf2", "Bank-2.sf2"}, "Bank-3.sf2"},
        {"extension in capitals", "Bank.SF2", "Bank.SF2", {}, "Bank-1.sf2"},
        {"another name is used as given", "Bank.sf2", "Copy.sf2", {"Copy.sf2"}, "Copy.sf2"},
    };
    const test::Bytes old = {'o', 'l', 'd'};
    for (const NamingCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir folder;
        const std::string source = folder.Write(c.source, SmallBank().Build());
        for (const std::string& name : c.existing)
            folder.Write(name, old);
        host.Forget();
        ASSERT_EQ(test::LoadBankFile(workspace, source), LoadStatus::Loaded);

        const SoundFontWriteResult result =
            WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0, folder.Folder() + c.output,
                           BankNaming::SourceBank, false);
        ASSERT_TRUE(result.written);
        EXPECT_EQ(result.path, folder.Folder() + c.written);
        EXPECT_EQ(host.statusLines.back(), SavedLine(result));
        EXPECT_EQ(test::ReadFileBytes(source), SmallBank().Build()) << "the source is never touched";
        const test::Bytes written = test::ReadFileBytes(result.path);
        EXPECT_EQ(written.size(), result.size);
        EXPECT_FALSE(test::WalkRiff(written).empty());
        for (const std::string& name : c.existing) {
            if (name != c.written) {
                EXPECT_EQ(test::ReadFileBytes(folder.Folder() + name), old) << name;
            }
        }
    }
}

TEST_F(SoundFontWriterTest, DrumPresetsTakeBank128AndTemporaryFilesBankAndProgram0) {
    struct Case {
        bool temporary;
        std::vector<PresetHeader> presets;
    };
    const std::vector<Case> cases = {
        {false, {{"Lead", 80, 0, 0}, {"Bass", 33, 8, 2}, {"Kit", 25, 128, 3}, {"EOP", 255, 255, 4}}},
        {true, {{"Lead", 0, 0, 0}, {"Bass", 0, 0, 2}, {"Kit", 0, 0, 3}, {"EOP", 255, 255, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.temporary ? "temporary" : "saved");
        Load(SmallBank());
        host.Forget();
        const SoundFontWriteResult result = Write("_temp.sf2", c.temporary);
        ASSERT_TRUE(result.written);
        EXPECT_EQ(test::PresetHeaders(Chunks(result.path)), c.presets);
        EXPECT_EQ(workspace.writer.LastWrittenSize, std::filesystem::file_size(result.path));
        if (c.temporary) {
            // Auditioning writes quietly: no status lines and no progress.
            EXPECT_TRUE(host.statusLines.empty());
            EXPECT_TRUE(host.fileProgress.empty());
            EXPECT_EQ(host.pumpCalls, 0);
        } else {
            EXPECT_EQ(host.statusLines.back(), SavedLine(result));
        }
    }
}

// Layers that point to equally named instruments with the same zones share one instrument record; an
// instrument of the same name with other zones gets its own.
TEST_F(SoundFontWriterTest, SharedInstrumentsAreWrittenOnce) {
    SoundFontBuilder sf;
    sf.AddSample("A", 20);
    sf.AddSample("B", 20);
    sf.instruments = {
        {.name = "Piano", .bags = {test::Gens({{gen::sampleID, 0}})}},
        {.name = "Organ", .bags = {test::Gens({{gen::sampleID, 0}})}},
        {.name = "Piano", .bags = {test::Gens({{gen::sampleID, 1}})}},
    };
    sf.presets = {
        {.name = "One", .bags = {test::Gens({{gen::instrument, 0}}), test::Gens({{gen::instrument, 1}})}},
        {.name = "Two",
         .program = 1,
         .bags = {test::Gens({{gen::chorusEffectsSend, 10}}), test::Gens({{gen::instrument, 0}}),
                  test::Gens({{gen::instrument, 2}})}},
    };
    Load(sf);
    const SoundFontWriteResult result = Write();
    ASSERT_TRUE(result.written);
    const auto chunks = Chunks(result.path);
    EXPECT_EQ(test::InstrumentHeaders(chunks),
              (std::vector<InstrumentHeader>{{"Piano", 0}, {"Organ", 1}, {"Piano", 2}, {"EOI", 3}}));
    EXPECT_EQ(test::GenRecords(chunks, "pgen"), (std::vector<GenRecord>{{gen::instrument, 0},
                                                                        {gen::instrument, 1},
                                                                        {gen::chorusEffectsSend, 10},
                                                                        {gen::instrument, 0},
                                                                        {gen::instrument, 2},
                                                                        {0, 0}}));
}

std::vector<ModulatorRecord> Records(const std::vector<test::Modulator>& modulators) {
    std::vector<ModulatorRecord> records;
    for (const test::Modulator& m : modulators)
        records.push_back({m.source, m.destination, m.amount, m.amountSource, m.transform});
    return records;
}

// Modulators of global and normal zones, of presets and of instruments, come back from a written bank as
// they were read, each on its own zone; a zone without modulators between two with them stays without. The
// file written for auditioning carries only the terminal records.
TEST_F(SoundFontWriterTest, ModulatorsOfGlobalAndNormalZonesSurviveAReadWriteRead) {
    const test::Modulator velocityToCutoff{0x0502, gen::initialFilterFc, -2400, 0, 0};
    const test::Modulator wheelToVibrato{0x0081, gen::vibLfoToPitch, 50, 0, 0};
    const test::Modulator expression{0x058B, gen::initialAttenuation, 960, 0, 0};
    const test::Modulator linked{0x0081, 0x8000, -100, 0x0102, 2}; // into the zone's first modulator
    SoundFontBuilder sf = SmallBank();
    sf.instruments[0].bags[0].modulators = {velocityToCutoff, wheelToVibrato};
    sf.instruments[0].bags[2].modulators = {expression, linked};
    sf.presets[0].bags[0].modulators = {wheelToVibrato};
    sf.presets[0].bags[1].modulators = {linked};
    sf.presets[2].bags[0].modulators = {expression};
    Load(sf);

    const std::vector<std::vector<ModulatorRecord>> layers = {
        Records({wheelToVibrato}), Records({linked}), {}, Records({expression})};
    const std::vector<std::vector<ModulatorRecord>> zones = {
        Records({velocityToCutoff, wheelToVibrato}), {}, Records({expression, linked})};
    auto expectModulators = [&](const BankModel& bank, const char* which) {
        SCOPED_TRACE(which);
        std::vector<std::vector<ModulatorRecord>> readLayers, readZones;
        for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
            for (uint16_t l : bank.PresetTable[slot].layerList)
                readLayers.push_back(bank.LayerTable[l].modulators);
        ASSERT_GE(bank.LayerCount, 2);
        for (uint16_t z : bank.LayerTable[1].zoneList)
            readZones.push_back(bank.ZoneTable[z].modulators);
        EXPECT_EQ(readLayers, layers);
        EXPECT_EQ(readZones, zones);
    };
    expectModulators(workspace.bank, "read");

    const SoundFontWriteResult result = Write();
    ASSERT_TRUE(result.written);
    EXPECT_EQ(test::Bags(Chunks(result.path), "pbag"),
              (std::vector<BagRecord>{{0, 0}, {1, 1}, {4, 2}, {5, 2}, {6, 3}}));
    BankModel copy;
    EXPECT_FALSE(test::ReadSoundFontFile(copy, result.path)) << "a chunk of odd size";
    expectModulators(copy, "written and read again");

    Load(sf, "Again.sf2");
    const SoundFontWriteResult temporary = Write("_temp.sf2", true);
    ASSERT_TRUE(temporary.written);
    const auto chunks = Chunks(temporary.path);
    EXPECT_EQ(test::FindChunk(chunks, "sfbk/pdta/pmod")->data, test::Bytes(10, 0));
    EXPECT_EQ(test::FindChunk(chunks, "sfbk/pdta/imod")->data, test::Bytes(10, 0));
}

// INFO texts longer than the 512 bytes older readers kept come back whole.
TEST_F(SoundFontWriterTest, LongInfoTextsSurviveAReadWriteRead) {
    const std::string comment =
        std::string(2000, 'c') + "\r\nand a last line of 444 bytes" + std::string(414, '.');
    const std::string engineer(700, 'e');
    SoundFontBuilder sf = SmallBank();
    sf.info = {test::InfoText("ICMT", comment), test::InfoText("IENG", engineer)};
    Load(sf);
    ASSERT_EQ(workspace.bank.BankInfo[BankInfoSlotOf("ICMT")], comment);
    const SoundFontWriteResult result = Write();
    ASSERT_TRUE(result.written);
    BankModel copy;
    EXPECT_FALSE(test::ReadSoundFontFile(copy, result.path)) << "a chunk of odd size";
    EXPECT_EQ(copy.BankInfo[BankInfoSlotOf("ICMT")], comment);
    EXPECT_EQ(copy.BankInfo[BankInfoSlotOf("IENG")], engineer);
}

// A sample header holds one loop, but zones that share a sample may loop different parts of it (offset
// generators, folded into each zone's loop on reading). Read back, every zone loops where it did, also when
// its offset needs the coarse generators.
TEST_F(SoundFontWriterTest, ZonesSharingASampleKeepTheirOwnLoops) {
    SoundFontBuilder sf;
    sf.AddSample("Long", 40000); // loop 8 .. 39992
    sf.instruments = {
        {.name = "I",
         .bags = {
             test::Gens({{gen::keyRange, Range(0, 59)},
                         {gen::startloopAddrsCoarseOffset, 1},
                         {gen::startloopAddrsOffset, 100},
                         {gen::endloopAddrsOffset, Neg(-5)},
                         {gen::sampleModes, 1},
                         {gen::sampleID, 0}}),
             test::Gens({{gen::keyRange, Range(60, 99)},
                         {gen::startloopAddrsOffset, Neg(-8)},
                         {gen::sampleModes, 1},
                         {gen::sampleID, 0}}),
             test::Gens({{gen::keyRange, Range(100, 127)}, {gen::sampleModes, 1}, {gen::sampleID, 0}})}}};
    sf.presets = {{.name = "P", .bags = {test::Gens({{gen::instrument, 0}})}}};
    Load(sf);
    std::vector<std::pair<uint32_t, uint32_t>> loops;
    for (uint32_t z = 0; z < workspace.bank.ZoneCount; ++z)
        loops.emplace_back(workspace.bank.ZoneTable[z].loopStart, workspace.bank.ZoneTable[z].loopEnd);
    ASSERT_EQ(loops, (std::vector<std::pair<uint32_t, uint32_t>>{{32876, 39987}, {0, 39992}, {8, 39992}}));

    const SoundFontWriteResult result = Write();
    ASSERT_TRUE(result.written);
    BankModel reread;
    test::ReadSoundFontFile(reread, result.path);
    std::vector<std::pair<uint32_t, uint32_t>> written;
    for (uint32_t z = 0; z < reread.ZoneCount; ++z)
        written.emplace_back(reread.ZoneTable[z].loopStart, reread.ZoneTable[z].loopEnd);
    EXPECT_EQ(written, loops);
}

// A sample header holds its pitch correction in a signed byte: a larger one moves its whole semitones into
// the root key, and a zone overriding the root key moves with it, so every key still sounds where it did.
TEST_F(SoundFontWriterTest, PitchCorrectionsBeyondAByteMoveSemitonesIntoTheRootKey) {
    struct Case {
        int root, correction;
        int writtenRoot, writtenCorrection;
    };
    const std::vector<Case> cases = {
        {60, 127, 60, 127}, {60, -128, 60, -128}, {60, -250, 63, 50}, {48, 180, 46, -20}, {60, -1195, 72, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.root) + " " + std::to_string(c.correction));
        Load(SmallBank());
        SampleRecord& sample = workspace.bank.SampleTable[0];
        sample.rootKey = static_cast<uint16_t>(c.root);
        sample.pitchCorrection = static_cast<int16_t>(c.correction);
        const SoundFontWriteResult result = Write();
        ASSERT_TRUE(result.written);
        BankModel reread;
        test::ReadSoundFontFile(reread, result.path);
        EXPECT_EQ(reread.SampleTable[0].rootKey, c.writtenRoot);
        EXPECT_EQ(reread.SampleTable[0].pitchCorrection, c.writtenCorrection);
        // The zone of sample 0 overrides its root key with 61.
        const auto zone =
            std::find_if(reread.ZoneTable.begin(), reread.ZoneTable.end(), [](const ZoneRecord& z) {
                return z.IsSet(gen::overridingRootKey) && z.IsSet(gen::sampleID) && z.sampleIndex == 0;
            });
        ASSERT_NE(zone, reread.ZoneTable.end());
        EXPECT_EQ(zone->generators[gen::overridingRootKey], 61 + c.writtenRoot - c.root);
        std::filesystem::remove(result.path);
    }
}

// The two halves of an interleaved stereo wave (as the stereo split leaves them) are written as two
// samples, each with its own channel, named with "(L)" and "(R)" in place of a trailing "-LR" or "LR".
// Halves that were paired afterwards are fetched once and written linked; unpaired halves stay mono.
TEST_F(SoundFontWriterTest, StereoHalvesAreWrittenAsLeftAndRight) {
    struct Case {
        std::string name;
        bool paired;
        std::string left, right;
    };
    const std::vector<Case> cases = {
        {"PIANO-LR", true, "PIANO(L)", "PIANO(R)"},
        {"PIANOLR", false, "PIANO(L)", "PIANO(R)"},
        {"Pad", false, "Pad(L)", "Pad(R)"},
        {"A Long Sample Name-LR", true, "A Long Sample Name(L", "A Long Sample Name(R"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // One record over 64 interleaved stereo frames: left words k * 100, right words -k * 100.
        SoundFontBuilder sf;
        for (int k = 0; k < 64; ++k) {
            sf.sampleWords.push_back(static_cast<int16_t>(k * 100));
            sf.sampleWords.push_back(static_cast<int16_t>(-k * 100));
        }
        sf.sampleWords.insert(sf.sampleWords.end(), 46, 0);
        sf.samples = {{.name = "wave", .start = 0, .end = 128, .loopStart = 0, .loopEnd = 128}};
        sf.instruments = {
            {.name = "Stereo", .bags = {test::Gens({{gen::sampleID, 0}}), test::Gens({{gen::sampleID, 0}})}}};
        sf.presets = {{.name = "Stereo", .bags = {test::Gens({{gen::instrument, 0}})}}};
        Load(sf);
        host.Forget();

        BankModel& bank = workspace.bank;
        SampleRecord& left = bank.SampleTable[0];
        left.name = left.fullName = c.name;
        left.loopStart = 4;
        left.loopEnd = 60;
        left.stereoHalf = 1;
        left.linkIndex = 2;
        left.sampleType = c.paired ? 4 : 0;
        left.channels = c.paired ? 2 : 1;
        bank.SampleTable.push_back(left);
        SampleRecord& right = bank.SampleTable[1];
        right.stereoHalf = 2;
        right.linkIndex = 1;
        right.sampleType = c.paired ? 2 : 0;
        bank.SampleCount = 2;
        bank.ZoneTable[1].sampleIndex = 1;
        bank.ZoneTable[1].Set(gen::sampleID, 1);
        for (ZoneRecord& zone : bank.ZoneTable) {
            zone.loopStart = 4;
            zone.loopEnd = 60;
        }
        selection = WriteSelection::All(bank);

        const SoundFontWriteResult result = Write();
        ASSERT_TRUE(result.written);
        const auto chunks = Chunks(result.path);
        EXPECT_EQ(test::SampleHeaders(chunks),
                  (std::vector<SampleHeader>{
                      {c.left, 0, 64, 4, 60, 44100, 60, 0, static_cast<uint16_t>(c.paired ? 1 : 0),
                       static_cast<uint16_t>(c.paired ? 4 : 1)},
                      {c.right, 96, 160, 100, 156, 44100, 60, 0, 0, static_cast<uint16_t>(c.paired ? 2 : 1)},
                      {"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
        test::Bytes smpl;
        for (int channel = 0; channel < 2; ++channel) {
            for (int k = 0; k < 64; ++k)
                test::PutU16(smpl, static_cast<uint16_t>(channel == 0 ? k * 100 : -k * 100));
            smpl.insert(smpl.end(), 64, 0);
        }
        EXPECT_EQ(test::FindChunk(chunks, "sfbk/sdta/smpl")->data, smpl);
        EXPECT_EQ(test::GenRecords(chunks, "igen"),
                  (std::vector<GenRecord>{{gen::sampleID, 0}, {gen::sampleID, 1}, {0, 0}}));

        std::vector<std::string> lines = {"Copying sample 1  '" + c.name + "' to mono L+R"};
        if (!c.paired)
            lines.push_back("Copying sample 2  '" + c.name + "' to mono L+R");
        lines.insert(lines.end(), {"Saving wavepool data ...", SavedLine(result)});
        EXPECT_EQ(host.statusLines, lines);
    }
}

TEST_F(SoundFontWriterTest, EmptySelectionWritesOnlyInfoAndTerminalRecords) {
    Load(SmallBank());
    selection = WriteSelection(workspace.bank);
    const SoundFontWriteResult result = Write();
    ASSERT_TRUE(result.written);

    const auto chunks = Chunks(result.path);
    std::vector<std::pair<std::string, uint32_t>> layout;
    for (const test::RiffChunk& chunk : chunks)
        if (chunk.path.rfind("sfbk/INFO/", 0) != 0 && chunk.path != "sfbk" && chunk.path != "sfbk/INFO")
            layout.emplace_back(chunk.path, chunk.size);
    EXPECT_EQ(layout, (std::vector<std::pair<std::string, uint32_t>>{
                          {"sfbk/sdta", 12},
                          {"sfbk/sdta/smpl", 0},
                          {"sfbk/pdta", 4 + 9 * 8 + 38 + 4 + 10 + 4 + 22 + 4 + 10 + 4 + 46},
                          {"sfbk/pdta/phdr", 38},
                          {"sfbk/pdta/pbag", 4},
                          {"sfbk/pdta/pmod", 10},
                          {"sfbk/pdta/pgen", 4},
                          {"sfbk/pdta/inst", 22},
                          {"sfbk/pdta/ibag", 4},
                          {"sfbk/pdta/imod", 10},
                          {"sfbk/pdta/igen", 4},
                          {"sfbk/pdta/shdr", 46}}));
    EXPECT_NE(test::FindChunk(chunks, "sfbk/INFO/INAM"), nullptr);
    EXPECT_EQ(test::PresetHeaders(chunks), (std::vector<PresetHeader>{{"EOP", 255, 255, 0}}));
    EXPECT_EQ(test::Bags(chunks, "pbag"), (std::vector<BagRecord>{{0, 0}}));
    EXPECT_EQ(test::GenRecords(chunks, "pgen"), (std::vector<GenRecord>{{0, 0}}));
    EXPECT_EQ(test::InstrumentHeaders(chunks), (std::vector<InstrumentHeader>{{"EOI", 0}}));
    EXPECT_EQ(test::Bags(chunks, "ibag"), (std::vector<BagRecord>{{0, 0}}));
    EXPECT_EQ(test::GenRecords(chunks, "igen"), (std::vector<GenRecord>{{0, 0}}));
    EXPECT_EQ(test::SampleHeaders(chunks), (std::vector<SampleHeader>{{"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(host.statusLines, (std::vector<std::string>{"Saving wavepool data ...", SavedLine(result)}));

    BankModel reread;
    test::ReadSoundFontFile(reread, result.path);
    EXPECT_EQ(reread.PresetCount, 0);
    EXPECT_EQ(reread.SampleCount, 0);
}

// A sample whose data cannot be read is reported in place of its "Copying" line and written with no
// frames; the write carries on and the bank is saved.
TEST_F(SoundFontWriterTest, UnreadableSampleIsReportedAndWrittenEmpty) {
    struct Case {
        const char* what;
        bool removeSource;
        std::vector<std::string> lines;
        std::vector<SampleHeader> samples;
    };
    const SampleHeader eos{"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<Case> cases = {
        {"data range past the end of the file",
         false,
         {"Copying sample 1  'Good'", "ERROR! Reading sample 2  'Broken'", "Copying sample 3  'Tail'"},
         {{"Good", 0, 100, 8, 92, 44100, 60, 0, 0, 1},
          {"Broken", 0, 0, 0, 0, 44100, 60, 0, 0, 1},
          {"Tail", 132, 182, 140, 174, 44100, 60, 0, 0, 1},
          eos}},
        {"source removed after loading",
         true,
         {"ERROR! Reading sample 1  'Good'", "ERROR! Reading sample 2  'Broken'",
          "ERROR! Reading sample 3  'Tail'"},
         {{"Good", 0, 0, 0, 0, 44100, 60, 0, 0, 1},
          {"Broken", 0, 0, 0, 0, 44100, 60, 0, 0, 1},
          {"Tail", 0, 0, 0, 0, 44100, 60, 0, 0, 1},
          eos}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFontBuilder sf;
        sf.AddSample("Good", 100);
        sf.AddSample("Broken", 50);
        sf.AddSample("Tail", 50);
        sf.samples[1].start += 5'000'000;
        sf.samples[1].end += 5'000'000;
        sf.samples[1].loopStart = sf.samples[1].start;
        sf.samples[1].loopEnd = sf.samples[1].end;
        sf.instruments = {{.name = "I",
                           .bags = {test::Gens({{gen::sampleID, 0}}), test::Gens({{gen::sampleID, 1}}),
                                    test::Gens({{gen::sampleID, 2}})}}};
        sf.presets = {{.name = "P", .bags = {test::Gens({{gen::instrument, 0}})}}};
        Load(sf);
        host.Forget();
        if (c.removeSource)
            std::filesystem::remove(sourcePath);

        const SoundFontWriteResult result = Write();
        ASSERT_TRUE(result.written);
        std::vector<std::string> lines = c.lines;
        lines.insert(lines.end(), {"Saving wavepool data ...", SavedLine(result)});
        EXPECT_EQ(host.statusLines, lines);
        const std::vector<test::RiffChunk> chunks = Chunks(result.path);
        EXPECT_EQ(test::SampleHeaders(chunks), c.samples);
        // A zone's loop stays within the frames written: no offset reaches past a sample written empty.
        for (const GenRecord& g : test::GenRecords(chunks, "igen"))
            EXPECT_TRUE(g.number != gen::startloopAddrsOffset && g.number != gen::endloopAddrsOffset &&
                        g.number != gen::startloopAddrsCoarseOffset &&
                        g.number != gen::endloopAddrsCoarseOffset)
                << g;
    }
}

bool FluidSynthLoads(const std::string& path) {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = new_fluid_synth(settings);
    const bool loaded = fluid_synth_sfload(synth, path.c_str(), 0) != FLUID_FAILED;
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return loaded;
}

// Cancel skips the samples not yet written; the hydra is still written, without the zones that would play
// a skipped sample, so that players load the file. A stereo half whose partner was skipped is written as a
// mono sample rather than linked to a header that is not there.
TEST_F(SoundFontWriterTest, CancelSkipsTheRemainingSamplesAndKeepsTheHeaders) {
    struct Case {
        size_t written;
        std::vector<SampleHeader> samples;
        std::vector<InstrumentHeader> instruments;
        std::vector<GenRecord> igen;
    };
    const SampleHeader eos{"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<Case> cases = {
        {1,
         {{"PIANO-L", 0, 40, 8, 32, 44100, 60, 0, 0, 1}, eos},
         {{"I", 0}, {"EOI", 1}},
         {{gen::sampleID, 0}, {0, 0}}},
        {2,
         {{"PIANO-L", 0, 40, 8, 32, 44100, 60, 0, 1, 4},
          {"PIANO-R", 72, 112, 80, 104, 44100, 60, 0, 0, 2},
          eos},
         {{"I", 0}, {"EOI", 2}},
         {{gen::sampleID, 0}, {gen::sampleID, 1}, {0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        SoundFontBuilder sf;
        sf.AddSample("PIANO-L", 40);
        sf.AddSample("PIANO-R", 40);
        sf.AddSample("Flute", 40);
        sf.samples[0].type = 4;
        sf.samples[0].link = 1;
        sf.samples[1].type = 2;
        sf.samples[1].link = 0;
        sf.instruments = {{.name = "I",
                           .bags = {test::Gens({{gen::sampleID, 0}}), test::Gens({{gen::sampleID, 1}}),
                                    test::Gens({{gen::sampleID, 2}})}}};
        sf.presets = {{.name = "P", .bags = {test::Gens({{gen::instrument, 0}})}}};
        Load(sf);
        host.Forget();
        host.cancelAfter = c.written;
        const SoundFontWriteResult result = Write();
        host.cancelAfter = SIZE_MAX;
        ASSERT_TRUE(result.written);

        std::vector<std::string> lines = {"Copying sample 1  'PIANO-L'", "Copying sample 2  'PIANO-R'"};
        lines.resize(c.written);
        lines.insert(lines.end(), {"Saving wavepool data ...", SavedLine(result)});
        EXPECT_EQ(host.statusLines, lines);
        const auto chunks = Chunks(result.path);
        EXPECT_EQ(test::SampleHeaders(chunks), c.samples);
        EXPECT_EQ(test::InstrumentHeaders(chunks), c.instruments);
        EXPECT_EQ(test::GenRecords(chunks, "igen"), c.igen);
        EXPECT_TRUE(FluidSynthLoads(result.path));
    }
}

TEST_F(SoundFontWriterTest, LongStatusListIsClearedBeforeTheSavedLine) {
    // The small bank adds three lines before "Saved file": 2000 lines in all are kept, 2001 are not.
    for (size_t before : {1997u, 1998u}) {
        SCOPED_TRACE(before);
        Load(SmallBank());
        host.Forget();
        host.statusLines.assign(before, "earlier");
        const SoundFontWriteResult result = Write();
        ASSERT_TRUE(result.written);
        if (before == 1997) {
            EXPECT_EQ(host.statusLines.size(), 2001u);
            EXPECT_EQ(host.statusLines.back(), SavedLine(result));
        } else {
            EXPECT_EQ(host.statusLines, (std::vector<std::string>{SavedLine(result)}));
        }
    }
}

TEST_F(SoundFontWriterTest, MoreThan65536InstrumentGeneratorsWarnsAndWritesAnyway) {
    Load(SmallBank());
    BankModel& bank = workspace.bank;
    // 1200 more global zones of 55 generators each (0..55 but sampleID) in the lead's instrument: 66000
    // plus the 10 it had.
    LayerRecord& layer = bank.LayerTable[1];
    for (int i = 0; i < 1200; ++i) {
        ZoneRecord zone;
        zone.Reset();
        for (int number = 0; number <= 55; ++number)
            if (number != gen::sampleID)
                zone.Set(number, 1);
        bank.ZoneTable.push_back(zone);
        layer.zoneList.Append(bank.ZoneCount++);
    }
    selection = WriteSelection::Presets(bank, {1});

    const SoundFontWriteResult result = Write();
    EXPECT_TRUE(result.written);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "This file contains 66010 articulations.\r\nThe Soundfont file may have only "
              "65536 possible articulations.\r\nSome layers & zones could't be played "
              "properly!");
    EXPECT_EQ(host.messages[0].caption, "Quorvane v1.1");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.statusLines.back(), SavedLine(result));
}

} // namespace
} // namespace quorvane
