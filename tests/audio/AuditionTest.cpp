// Auditioning heard through the real synthesizer, rendered offline: the shown preset (or one layer) is
// written as a temporary bank, loaded at bank 120, selected with the messages the MIDI output opens with,
// and played through the same short messages a keyboard sends. What sounds is measured by its pitch and
// level.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/FluidSynthDevices.h"
#include "audio/PulseSink.h"
#include "convert/AuditionBank.h"
#include "convert/BankLoader.h"
#include "convert/PresetEdits.h"
#include "model/Generators.h"
#include "support/FileSystemLimits.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"
#include "support/ToneMeasure.h"

namespace quorvane {
namespace {

using audio::FluidSynthDevices;
constexpr uint32_t kBankLocation = 120;

uint32_t Message(int status, int data1, int data2 = 0) {
    return static_cast<uint32_t>(status | data1 << 8 | data2 << 16);
}

// The synthesizer as auditioning drives it, rendering on demand.
class Synth {
  public:
    Synth() {
        EXPECT_TRUE(devices_.Open(0));
        EXPECT_EQ(devices_.OpenOutput(0), audio::PortResult::Opened);
    }
    int Load(const std::string& path) {
        devices_.ClearBank(0, kBankLocation);
        return devices_.LoadBank(0, kBankLocation, path);
    }
    // What opening the MIDI output sends on channel 1.
    void SelectAuditionProgram() {
        for (uint32_t message : {Message(0xB0, 0, 120), Message(0xB0, 32, 0), Message(0xC0, 0),
                                 Message(0xB0, 7, 127), Message(0xB0, 91, 0), Message(0xB0, 93, 0)})
            devices_.SendShortMessage(message);
    }
    void Send(uint32_t message) { devices_.SendShortMessage(message); }
    // One channel (0 left, 1 right) of the next `seconds` of output, as floats.
    std::vector<float> Render(double seconds, int channel = 0) {
        const int frames = static_cast<int>(seconds * test::kRenderRate);
        std::vector<int16_t> interleaved(2 * static_cast<size_t>(frames));
        devices_.Render(interleaved.data(), frames);
        std::vector<float> one(static_cast<size_t>(frames));
        for (size_t i = 0; i < one.size(); ++i)
            one[i] = interleaved[2 * i + static_cast<size_t>(channel)] / 32768.0f;
        return one;
    }
    // Plays `key` for half a second and gives the frequency and level of its steady part on one channel.
    void Hear(int key, int velocity, double& frequency, double& rms, int channel = 0) {
        Send(Message(0x90, key, velocity));
        const std::vector<float> audio = Render(0.5, channel);
        Send(Message(0x80, key));
        Send(Message(0xB0, 120, 0));
        Render(0.05);
        test::MeasureTone(audio, 0.2, 0.48, frequency, rms);
    }

  private:
    FluidSynthDevices devices_{FluidSynthDevices::Output::Offline};
};

// Sine words of the given period in frames, followed by the 46 zero guard words a bank leaves.
uint16_t AddSine(test::SoundFontBuilder& sf, const std::string& name, uint32_t frames, int period) {
    test::Sample sample;
    sample.name = name;
    sample.sampleRate = 44000;
    sample.originalKey = 69;
    sample.start = static_cast<uint32_t>(sf.sampleWords.size());
    sample.end = sample.start + frames;
    sample.loopStart = sample.start + frames / 2;
    sample.loopEnd = sample.end; // a whole number of periods
    for (uint32_t i = 0; i < frames; ++i)
        sf.sampleWords.push_back(static_cast<int16_t>(12000 * std::sin(2 * M_PI * i / period)));
    sf.sampleWords.insert(sf.sampleWords.end(), 46, 0);
    sf.samples.push_back(sample);
    return static_cast<uint16_t>(sf.samples.size() - 1);
}

// Preset 1 "Two Layers" (bank 5, program 9): layer 0 plays a 440 Hz sine on keys 0..63, layer 1 an 880 Hz
// sine on keys 64..127, both with root key 69. Preset 2 "Silent" has a zone that plays no sample.
test::Bytes TwoLayerBank() {
    test::SoundFontBuilder sf;
    const uint16_t low = AddSine(sf, "Sine440", 4400, 100);
    const uint16_t high = AddSine(sf, "Sine880", 4400, 50);
    using test::Gens, test::Range;
    sf.instruments = {
        {.name = "Low",
         .bags = {Gens({{gen::keyRange, Range(0, 63)}, {gen::sampleModes, 1}, {gen::sampleID, low}})}},
        {.name = "High",
         .bags = {Gens({{gen::keyRange, Range(64, 127)}, {gen::sampleModes, 1}, {gen::sampleID, high}})}},
        {.name = "Empty", .bags = {Gens({{gen::keyRange, Range(0, 127)}, {gen::pan, 0}})}}};
    sf.presets = {{.name = "Two Layers",
                   .program = 9,
                   .bank = 5,
                   .bags = {Gens({{gen::instrument, 0}}), Gens({{gen::instrument, 1}})}},
                  {.name = "Silent", .program = 1, .bank = 0, .bags = {Gens({{gen::instrument, 2}})}}};
    return sf.Build();
}

class AuditionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old != nullptr ? old : "";
        hadTmp_ = old != nullptr;
        UseTemporaryFolder(temporary_.Path().string());
    }
    void TearDown() override {
        if (hadTmp_)
            ::setenv("TMPDIR", oldTmp_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    static void UseTemporaryFolder(const std::string& folder) { ::setenv("TMPDIR", folder.c_str(), 1); }

    // Loads `name` from the bank folder as the views show it.
    void LoadBank(const std::string& name, const std::string& extension, SourceFormat format) {
        workspace_.bank.SourceFormat = format;
        SetFileList(workspace_, banks_.Folder(), {{name, extension}});
        ASSERT_EQ(LoadBankInteractively(workspace_, 0), LoadStatus::Loaded);
    }
    // Writes the audition bank of the preset (or layer) and loads it into the synthesizer, deleting the
    // file as the windows do.
    void Audition(uint32_t slot, int layer = -1) {
        const AuditionBank bank = WriteAuditionBank(workspace_, slot, layer);
        ASSERT_EQ(bank.status, AuditionBank::Written) << bank.message;
        EXPECT_EQ(std::filesystem::path(bank.path).parent_path(), temporary_.Path());
        EXPECT_EQ(bank.size, std::filesystem::file_size(bank.path));
        ASSERT_EQ(synth_.Load(bank.path), 0);
        std::filesystem::remove(bank.path);
    }

    test::TempDir banks_, temporary_;
    test::RecordingHost host_;
    Workspace workspace_{host_};
    Synth synth_;

  private:
    std::string oldTmp_;
    bool hadTmp_ = false;
};

TEST_F(AuditionTest, PresetAndLayerOfASoundFontSoundAtBank120) {
    banks_.Write("two.sf2", TwoLayerBank());
    LoadBank("two", "sf2", SourceFormat::SoundFont);
    Audition(1);
    synth_.SelectAuditionProgram();

    struct Case {
        int key;
        double frequency;
    };
    for (const Case& c : {Case{57, 220}, Case{69, 880}, Case{81, 1760}}) {
        double frequency = 0, rms = 0;
        synth_.Hear(c.key, 100, frequency, rms);
        EXPECT_NEAR(frequency, c.frequency, c.frequency * 0.01) << "key " << c.key;
        EXPECT_GT(rms, 0.01) << "key " << c.key;
    }

    // Layer 1 alone: the keys of layer 0 stay silent. The program was selected before the load: the new
    // bank answers at once.
    Audition(1, 1);
    double frequency = 0, rms = 0;
    synth_.Hear(57, 100, frequency, rms);
    EXPECT_LT(rms, 1e-3);
    synth_.Hear(69, 100, frequency, rms);
    EXPECT_NEAR(frequency, 880, 8.8);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(test::FilesIn(temporary_.Path()).empty());
}

TEST_F(AuditionTest, VolumeControllerLowersAndAllSoundOffSilences) {
    banks_.Write("two.sf2", TwoLayerBank());
    LoadBank("two", "sf2", SourceFormat::SoundFont);
    Audition(1);
    synth_.SelectAuditionProgram();

    synth_.Send(Message(0x90, 69, 100));
    double frequency = 0, loud = 0, soft = 0, after = 0;
    test::MeasureTone(synth_.Render(0.5), 0.2, 0.48, frequency, loud);
    synth_.Send(Message(0xB0, 7, 40));
    test::MeasureTone(synth_.Render(0.5), 0.2, 0.48, frequency, soft);
    EXPECT_GT(loud, 0.01);
    EXPECT_LT(soft, 0.5 * loud);
    EXPECT_GT(soft, 0.0);
    synth_.Send(Message(0xB0, 120, 0));
    test::MeasureTone(synth_.Render(0.3), 0.01, 0.28, frequency, after);
    EXPECT_LT(after, 1e-3);
}

// A note at full velocity and volume sounds about as loud as its sample played back (within 6 dB), not
// some 17 dB below it: the sine's words peak at 12000, so played back its level is 12000 / 32768 / sqrt 2.
TEST_F(AuditionTest, AFullNoteIsAsLoudAsItsSamplePlayedBack) {
    banks_.Write("two.sf2", TwoLayerBank());
    LoadBank("two", "sf2", SourceFormat::SoundFont);
    Audition(1);
    synth_.SelectAuditionProgram();
    double frequency = 0, rms = 0;
    synth_.Hear(69, 127, frequency, rms);
    const double played = 12000.0 / 32768.0 / std::sqrt(2.0);
    EXPECT_GT(rms, played / 2) << "more than 6 dB quieter";
    EXPECT_LT(rms, played * 2) << "more than 6 dB louder";
}

// A GigaSampler bank made by libgig: a velocity switch between an interleaved stereo wave (440 Hz left,
// 220 Hz right) and a mono 880 Hz sine. The stereo wave is split for the write into halves panned left and
// right, so each side keeps its own pitch; the bank comes back as the views showed it, with the user's
// program edit still in place.
TEST_F(AuditionTest, GigaSamplerVelocitySwitchAndTheBankAsShownAfterwards) {
    const std::string gig = banks_.Folder() + "switch.gig";
    const test::ProcessResult made = test::RunProcess(QUORVANE_GIG_FIXTURES_PATH, {"--audition", gig});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    LoadBank("switch", "gig", SourceFormat::Dls);
    ProgramPlus(workspace_.bank, workspace_.attributes, 1);
    const uint16_t program = workspace_.bank.PresetTable[1].program;
    const uint16_t samples = workspace_.bank.SampleCount, zones = workspace_.bank.ZoneCount;

    Audition(1);
    EXPECT_EQ(workspace_.bank.SampleCount, samples);
    EXPECT_EQ(workspace_.bank.ZoneCount, zones);
    EXPECT_EQ(workspace_.bank.PresetTable[1].program, program);

    synth_.SelectAuditionProgram();
    struct Case {
        int key, velocity, channel;
        double frequency;
    };
    for (const Case& c : {Case{69, 40, 0, 440}, Case{69, 40, 1, 220}, Case{57, 40, 0, 220},
                          Case{69, 100, 0, 880}, Case{69, 100, 1, 880}, Case{81, 127, 0, 1760}}) {
        double frequency = 0, rms = 0;
        synth_.Hear(c.key, c.velocity, frequency, rms, c.channel);
        EXPECT_NEAR(frequency, c.frequency, c.frequency * 0.01)
            << "key " << c.key << " velocity " << c.velocity << " channel " << c.channel;
        EXPECT_GT(rms, 0.003) << "key " << c.key << " velocity " << c.velocity << " channel " << c.channel;
    }
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(AuditionTest, NothingToPlayOrNowhereToWriteLeavesNoFile) {
    banks_.Write("two.sf2", TwoLayerBank());
    LoadBank("two", "sf2", SourceFormat::SoundFont);

    // A preset whose zone plays no sample, a layer position past the preset's list, a slot past the bank.
    EXPECT_EQ(WriteAuditionBank(workspace_, 2, -1).status, AuditionBank::NothingSelected);
    EXPECT_EQ(WriteAuditionBank(workspace_, 1, 5).status, AuditionBank::NothingSelected);
    EXPECT_EQ(WriteAuditionBank(workspace_, 9, -1).status, AuditionBank::NothingSelected);
    EXPECT_TRUE(test::FilesIn(temporary_.Path()).empty());
    EXPECT_TRUE(host_.messages.empty());

    // A temporary folder that does not exist: one clear message, nothing written, the next try works.
    UseTemporaryFolder((temporary_.Path() / "gone").string());
    const AuditionBank nowhere = WriteAuditionBank(workspace_, 1, -1);
    EXPECT_EQ(nowhere.status, AuditionBank::WriteFailed);
    EXPECT_NE(nowhere.message.find("gone"), std::string::npos) << nowhere.message;
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, nowhere.message);

    // A disk that fills during the write: no file is left behind.
    UseTemporaryFolder(temporary_.Path().string());
    {
        test::FileSizeLimit full(1000);
        const AuditionBank cut = WriteAuditionBank(workspace_, 1, -1);
        EXPECT_EQ(cut.status, AuditionBank::WriteFailed);
    }
    EXPECT_TRUE(test::FilesIn(temporary_.Path()).empty());

    // Two writes in a row never share a file.
    const AuditionBank first = WriteAuditionBank(workspace_, 1, -1),
                       second = WriteAuditionBank(workspace_, 1, -1);
    EXPECT_NE(first.path, second.path);
    EXPECT_EQ(test::FilesIn(temporary_.Path()).size(), 2u);
}

TEST_F(AuditionTest, ABankTheSynthesizerCannotTakeIsRefusedAndNothingPlays) {
    const std::string notABank = banks_.Write("noise.sf2", test::Bytes(5000, 0x55));
    synth_.SelectAuditionProgram();
    EXPECT_NE(synth_.Load(notABank), 0);
    EXPECT_NE(synth_.Load(banks_.Folder() + "missing.sf2"), 0);
    double frequency = 0, rms = 0;
    synth_.Hear(69, 100, frequency, rms);
    EXPECT_LT(rms, 1e-3);

    audio::FluidSynthDevices closed(FluidSynthDevices::Output::Offline);
    EXPECT_NE(closed.LoadBank(0, kBankLocation, notABank), 0);
    EXPECT_EQ(closed.OpenOutput(0), audio::PortResult::Failed);
    EXPECT_EQ(closed.Count(), 1);
    EXPECT_EQ(closed.Name(0), "FluidSynth");
}

// The device as the program opens it: FluidSynth's own driver plays into a PulseAudio server of the test's
// own, and what its null sink heard has the pitch of the key.
TEST(AuditionSoundTest, TheDriverPlaysTheAuditionedPresetIntoTheSoundServer) {
    REQUIRE_PEER(!test::FindOnPath("parec").empty() && !test::FindOnPath("pactl").empty(),
                 "parec or pactl is missing (Debian package pulseaudio-utils)");
    test::PulseSink sink;
    REQUIRE_PEER(sink.Running(), "no PulseAudio server: " << sink.Error());
    test::TempDir banks;
    banks.Write("two.sf2", TwoLayerBank());
    test::RecordingHost host;
    Workspace workspace(host);
    SetFileList(workspace, banks.Folder(), {{"two", "sf2"}});
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    const AuditionBank bank = WriteAuditionBank(workspace, 1, -1);
    ASSERT_EQ(bank.status, AuditionBank::Written);

    FluidSynthDevices devices;
    ASSERT_TRUE(devices.Open(0));
    EXPECT_EQ(devices.DriverName(), "pulseaudio");
    ASSERT_EQ(devices.LoadBank(0, kBankLocation, bank.path), 0);
    std::filesystem::remove(bank.path);
    ASSERT_EQ(devices.OpenOutput(0), audio::PortResult::Opened);
    for (uint32_t message : {Message(0xB0, 0, 120), Message(0xB0, 32, 0), Message(0xC0, 0)})
        devices.SendShortMessage(message);

    test::Recorder recorder(sink);
    ASSERT_TRUE(recorder.Running());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    devices.SendShortMessage(Message(0x90, 69, 110));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // What the server holds for the stream: a buffer of a few milliseconds plays drop-outs as soon as the
    // machine is busy, so at least half of the intended buffer must be queued.
    const test::ProcessResult inputs = test::RunProcess(test::FindOnPath("pactl"), {"list", "sink-inputs"});
    const size_t at = inputs.out.find("Buffer Latency: ");
    ASSERT_NE(at, std::string::npos) << inputs.out << inputs.err;
    const double bufferSeconds = std::stod(inputs.out.substr(at + 16)) / 1e6;
    EXPECT_GT(bufferSeconds, 0.5 * FluidSynthDevices::kBufferFrames / FluidSynthDevices::kSampleRate);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    devices.SendShortMessage(Message(0xB0, 120, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    devices.Close(0);
    const std::vector<int16_t> heard = recorder.Stop();

    // The loudest 0.3 s of the left channel.
    std::vector<float> left;
    for (size_t i = 0; i < heard.size(); i += 2)
        left.push_back(heard[i] / 32768.0f);
    const size_t window = test::kRenderRate * 3 / 10;
    ASSERT_GT(left.size(), 2 * window);
    double best = 0, bestFrequency = 0;
    for (size_t start = 1; start + window < left.size(); start += window / 3) {
        const double from = static_cast<double>(start) / test::kRenderRate;
        const double to = static_cast<double>(start + window) / test::kRenderRate;
        double frequency = 0, rms = 0;
        test::MeasureTone(left, from, to, frequency, rms);
        if (rms > best) {
            best = rms;
            bestFrequency = test::MedianPeriodFrequency(left, from, to);
        }
    }
    EXPECT_GT(best, 0.01);
    EXPECT_NEAR(bestFrequency, 880, 8.8);
}

} // namespace
} // namespace quorvane
