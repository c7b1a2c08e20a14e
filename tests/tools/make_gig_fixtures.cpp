// Authors GigaSampler and DLS Level 1 banks through libgig's public API: fixtures made independently of
// quorvane's own code. The peer test reads them with quorvane's reader and with libgig's gigdump and
// dlsdump, the conversion test plays a SoundFont made from one in FluidSynth, and bench/gig_load.sh makes
// a large bank with it.
//
//   make_gig_fixtures FOLDER          writes peer.gig, peer.dls, sine.gig and gs3.gig into FOLDER
//   make_gig_fixtures --big MB FILE   writes a GigaSampler bank of at least MB megabytes to FILE
//   make_gig_fixtures --big3 MB FILE  the same in the GigaStudio 3 layout
//   make_gig_fixtures --audition FILE writes the velocity-switched sine instrument the audition test plays
//
// peer.gig, sine.gig and --big are written in the GigaSampler 2 layout (at most five dimensions and 32
// dimension regions per region); gs3.gig and --big3 in libgig's default, the GigaStudio 3 layout (eight
// dimensions and 256 dimension regions, velocity splits in the dimension upper limits).
#include <DLS.h>
#include <RIFF.h>
#include <gig.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// Frames to write once the file exists: libgig writes sample data into the saved file.
struct PendingData {
    DLS::Sample* sample;
    std::vector<int16_t> frames; // interleaved
};

void SetFormat(DLS::Sample* sample, uint16_t channels, uint32_t rate, size_t frames) {
    sample->Channels = channels;
    sample->BitDepth = 16;
    sample->FrameSize = 2 * channels;
    sample->BlockAlign = static_cast<uint16_t>(2 * channels);
    sample->SamplesPerSecond = rate;
    sample->AverageBytesPerSecond = rate * 2 * channels;
    sample->Resize(frames);
}

// A sine of the given period in frames, the same on every channel.
std::vector<int16_t> Sine(size_t frames, uint16_t channels, double period, double amplitude = 16000) {
    std::vector<int16_t> data(frames * channels);
    for (size_t f = 0; f < frames; ++f)
        for (uint16_t c = 0; c < channels; ++c)
            data[f * channels + c] =
                static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * f / period)));
    return data;
}

gig::Sample* AddGigSample(gig::File& file, std::vector<PendingData>& pending, const std::string& name,
                          uint16_t channels, uint32_t rate, size_t frames, double period) {
    gig::Sample* sample = file.AddSample();
    sample->pInfo->Name = name;
    SetFormat(sample, channels, rate, frames);
    pending.push_back({sample, Sine(frames, channels, period)});
    return sample;
}

void LoopSample(gig::Sample* sample, uint32_t start, uint32_t length) {
    sample->Loops = 1;
    sample->LoopType = gig::loop_type_normal;
    sample->LoopStart = start;
    sample->LoopEnd = start + length - 1;
    sample->LoopSize = length;
}

void LoopDimensionRegion(gig::DimensionRegion* region, uint32_t start, uint32_t length) {
    DLS::sample_loop_t loop{};
    loop.Size = sizeof(DLS::sample_loop_t);
    loop.LoopType = gig::loop_type_normal;
    loop.LoopStart = start;
    loop.LoopLength = length;
    region->AddSampleLoop(&loop);
}

gig::Region* AddRegion(gig::Instrument* instrument, uint16_t low, uint16_t high,
                       const std::vector<std::pair<gig::dimension_t, uint8_t>>& dimensions) {
    gig::Region* region = instrument->AddRegion();
    region->SetKeyRange(low, high);
    for (const auto& [type, bits] : dimensions) {
        gig::dimension_def_t definition{};
        definition.dimension = type;
        definition.bits = bits;
        definition.zones = static_cast<uint8_t>(1u << bits);
        region->AddDimension(&definition);
    }
    return region;
}

gig::Instrument* AddInstrument(gig::File& file, const std::string& name, uint8_t bankCoarse, uint8_t bankFine,
                               uint32_t program) {
    gig::Instrument* instrument = file.AddInstrument();
    instrument->pInfo->Name = name;
    instrument->MIDIBankCoarse = bankCoarse;
    instrument->MIDIBankFine = bankFine;
    instrument->MIDIBank = static_cast<uint16_t>(bankCoarse * 128 + bankFine);
    instrument->MIDIProgram = program;
    return instrument;
}

template <typename File>
void SaveWithData(File& file, const std::string& path, std::vector<PendingData>& pending) {
    file.Save(path);
    for (PendingData& data : pending)
        data.sample->Write(data.frames.data(), data.frames.size() / data.sample->Channels);
}

// Three instruments over five samples: a velocity split with upper limits, tuning and pan; a stereo
// channel split over two mono samples; layer and key-switch dimensions with one unmapped dimension
// region; a drum instrument; a sample group besides the default one; looped and unlooped samples.
void WritePeerGig(const std::string& path) {
    gig::File file;
    *file.pVersion = gig::File::VERSION_2;
    file.pInfo->Name = "Peer bank";
    std::vector<PendingData> pending;
    gig::Group* strings = file.AddGroup();
    strings->Name = "Strings";

    gig::Sample* sine = AddGigSample(file, pending, "Sine A4", 1, 44000, 4400, 100);
    sine->MIDIUnityNote = 69;
    LoopSample(sine, 2000, 2400);
    strings->AddSample(sine);
    gig::Sample* pad = AddGigSample(file, pending, "Pad Stereo", 2, 48000, 2000, 80);
    gig::Sample* violinLeft = AddGigSample(file, pending, "Violin(L)", 1, 22050, 1000, 50);
    LoopSample(violinLeft, 100, 800);
    strings->AddSample(violinLeft);
    gig::Sample* violinRight = AddGigSample(file, pending, "Violin(R)", 1, 22050, 1000, 50);
    strings->AddSample(violinRight);
    gig::Sample* click = AddGigSample(file, pending, "Click", 1, 32000, 300, 10);

    gig::Instrument* piano = AddInstrument(file, "Velocity Piano", 0, 2, 1);
    gig::Region* velocity = AddRegion(piano, 21, 59, {{gig::dimension_velocity, 2}});
    const uint8_t limits[] = {40, 90, 127, 127};
    for (int r = 0; r < 4; ++r) {
        gig::DimensionRegion* region = velocity->pDimensionRegions[r];
        region->pSample = sine;
        region->UnityNote = 69;
        region->VelocityUpperLimit = limits[r];
        LoopDimensionRegion(region, 2000, 2400);
    }
    velocity->pDimensionRegions[1]->FineTune = -150;
    velocity->pDimensionRegions[2]->Pan = -32;
    velocity->SetSample(sine);
    gig::Region* channels =
        AddRegion(piano, 60, 108, {{gig::dimension_samplechannel, 1}, {gig::dimension_velocity, 1}});
    for (int r = 0; r < 4; ++r) {
        gig::DimensionRegion* region = channels->pDimensionRegions[r];
        region->pSample = r % 2 == 0 ? violinLeft : violinRight;
        region->UnityNote = 62;
        region->Pan = static_cast<int8_t>(r % 2 == 0 ? -63 : 63);
    }
    channels->SetSample(violinLeft);

    gig::Instrument* keys = AddInstrument(file, "Layered Keys", 1, 0, 5);
    gig::Region* layered = AddRegion(keys, 0, 127, {{gig::dimension_layer, 1}, {gig::dimension_keyboard, 1}});
    gig::Sample* layeredSamples[] = {click, pad, pad, nullptr};
    for (int r = 0; r < 4; ++r) {
        layered->pDimensionRegions[r]->pSample = layeredSamples[r];
        layered->pDimensionRegions[r]->UnityNote = static_cast<uint8_t>(50 + r);
        layered->pDimensionRegions[r]->FineTune = static_cast<int16_t>(10 * r);
    }
    layered->SetSample(click);

    gig::Instrument* kit = AddInstrument(file, "Drum Kit", 0, 0, 0);
    kit->IsDrum = true;
    gig::Region* drum = AddRegion(kit, 36, 38, {});
    drum->pDimensionRegions[0]->pSample = click;
    drum->pDimensionRegions[0]->UnityNote = 36;
    drum->SetSample(click);

    SaveWithData(file, path, pending);
}

// One looped sine at 440 Hz (100 frames a period at 44000 Hz) lasting 0.1 s, on every key with root key
// 69 (A4); the loop holds a whole number of periods, so the note sounds on seamlessly.
void WriteSineGig(const std::string& path) {
    gig::File file;
    *file.pVersion = gig::File::VERSION_2;
    file.pInfo->Name = "Sine";
    std::vector<PendingData> pending;
    gig::Sample* sine = AddGigSample(file, pending, "Sine 440", 1, 44000, 4400, 100);
    sine->MIDIUnityNote = 69;
    LoopSample(sine, 2000, 2400);
    gig::Instrument* instrument = AddInstrument(file, "Sine", 0, 0, 0);
    gig::Region* region = AddRegion(instrument, 0, 127, {});
    gig::DimensionRegion* only = region->pDimensionRegions[0];
    only->pSample = sine;
    only->UnityNote = 69;
    LoopDimensionRegion(only, 2000, 2400);
    region->SetSample(sine);
    SaveWithData(file, path, pending);
}

// One instrument on every key with a velocity switch at 64, both zones at root key 69 (A4): soft notes play
// an interleaved stereo wave, a 440 Hz sine on the left and a 220 Hz sine on the right; loud ones a mono
// 880 Hz sine. All loop over whole periods.
void WriteAuditionGig(const std::string& path) {
    gig::File file;
    *file.pVersion = gig::File::VERSION_2;
    file.pInfo->Name = "Audition";
    std::vector<PendingData> pending;
    gig::Sample* low = AddGigSample(file, pending, "Sine 440 220 Stereo", 2, 44000, 4400, 100);
    const std::vector<int16_t> right = Sine(4400, 1, 200);
    for (size_t f = 0; f < right.size(); ++f)
        pending.back().frames[2 * f + 1] = right[f];
    low->MIDIUnityNote = 69;
    LoopSample(low, 2000, 2400);
    gig::Sample* high = AddGigSample(file, pending, "Sine 880", 1, 44000, 4400, 50);
    high->MIDIUnityNote = 69;
    LoopSample(high, 2000, 2400);
    gig::Instrument* instrument = AddInstrument(file, "Switch", 0, 3, 17);
    gig::Region* region = AddRegion(instrument, 0, 127, {{gig::dimension_velocity, 1}});
    gig::Sample* samples[] = {low, high};
    const uint8_t limits[] = {64, 127};
    for (int r = 0; r < 2; ++r) {
        gig::DimensionRegion* dimension = region->pDimensionRegions[r];
        dimension->pSample = samples[r];
        dimension->UnityNote = 69;
        dimension->VelocityUpperLimit = limits[r];
        LoopDimensionRegion(dimension, 2000, 2400);
    }
    region->SetSample(low);
    SaveWithData(file, path, pending);
}

// Sixteen looped sines on root key 69 at 44000 Hz, each of its own pitch: 44000 / period Hz.
constexpr double kGs3Periods[] = {200, 160, 100, 80, 176, 110, 125, 88, 275, 220, 250, 55, 40, 50, 64, 44};
constexpr size_t kGs3Frames = 8800;

// Velocity upper limits of a 4-zone split; not an even split, so that reading them matters.
void SetVelocityLimits(gig::Region* region, const std::vector<uint8_t>& limits) {
    int velocity = -1, step = 1;
    for (uint32_t i = 0; i < region->Dimensions; ++i) {
        if (region->pDimensionDefinitions[i].dimension == gig::dimension_velocity) {
            velocity = static_cast<int>(i);
            break;
        }
        step <<= region->pDimensionDefinitions[i].bits;
    }
    for (uint32_t r = 0; r < region->DimensionRegions; ++r) {
        const size_t zone = (r / step) % limits.size();
        region->pDimensionRegions[r]->DimensionUpperLimits[velocity] = limits[zone];
    }
}

// Dimension region r plays sine `first + r` (modulo the sixteen); in a stereo region the right channel
// plays the next sine.
void FillRegion(gig::Region* region, const std::vector<gig::Sample*>& sines, size_t first) {
    for (uint32_t r = 0; r < region->DimensionRegions; ++r) {
        gig::DimensionRegion* d = region->pDimensionRegions[r];
        d->pSample = sines[(first + r) % sines.size()];
        d->UnityNote = 69;
        d->FineTune = 0;
        LoopDimensionRegion(d, 0, kGs3Frames);
    }
    region->SetSample(sines[first % sines.size()]);
}

// A GigaStudio 3 bank: one region of a 4-zone velocity split (limits 30, 70, 100, 127) of four pitches on
// MIDI bank MSB 1 program 5; two dimensions (velocity and a key switch); five dimensions of 128 dimension
// regions (velocity, layer, key switch, round robin, mod wheel); six dimensions of 128 (sample channel,
// velocity, layer, key switch, release trigger, mod wheel); two regions side by side; a drum instrument.
void WriteGigaStudio3(const std::string& path) {
    gig::File file;
    file.pInfo->Name = "GigaStudio 3 bank";
    std::vector<PendingData> pending;
    std::vector<gig::Sample*> sines;
    for (size_t i = 0; i < std::size(kGs3Periods); ++i) {
        gig::Sample* sine =
            AddGigSample(file, pending, "Sine " + std::to_string(i), 1, 44000, kGs3Frames, kGs3Periods[i]);
        sine->MIDIUnityNote = 69;
        LoopSample(sine, 0, kGs3Frames);
        sines.push_back(sine);
    }

    gig::Instrument* velocity = AddInstrument(file, "Velocity Sines", 1, 0, 5);
    gig::Region* split = AddRegion(velocity, 0, 127, {{gig::dimension_velocity, 2}});
    FillRegion(split, sines, 0);
    SetVelocityLimits(split, {30, 70, 100, 127});

    gig::Instrument* two = AddInstrument(file, "Two Dimensions", 0, 3, 1);
    gig::Region* low = AddRegion(two, 0, 59, {{gig::dimension_velocity, 1}, {gig::dimension_keyboard, 1}});
    FillRegion(low, sines, 4);
    SetVelocityLimits(low, {50, 127});
    gig::Region* high = AddRegion(two, 60, 127, {{gig::dimension_keyboard, 2}, {gig::dimension_velocity, 1}});
    FillRegion(high, sines, 8);
    SetVelocityLimits(high, {90, 127});

    gig::Instrument* five = AddInstrument(file, "Five Dimensions", 2, 1, 7);
    gig::Region* many = AddRegion(five, 24, 96,
                                  {{gig::dimension_velocity, 2},
                                   {gig::dimension_layer, 1},
                                   {gig::dimension_keyboard, 1},
                                   {gig::dimension_roundrobin, 1},
                                   {gig::dimension_modwheel, 2}});
    FillRegion(many, sines, 3);
    SetVelocityLimits(many, {20, 60, 110, 127});

    gig::Instrument* six = AddInstrument(file, "Six Dimensions", 0, 0, 9);
    gig::Region* most = AddRegion(six, 0, 127,
                                  {{gig::dimension_samplechannel, 1},
                                   {gig::dimension_velocity, 2},
                                   {gig::dimension_layer, 1},
                                   {gig::dimension_keyboard, 1},
                                   {gig::dimension_releasetrigger, 1},
                                   {gig::dimension_modwheel, 1}});
    FillRegion(most, sines, 7);
    SetVelocityLimits(most, {40, 80, 120, 127});

    gig::Instrument* kit = AddInstrument(file, "Drum Kit", 0, 0, 0);
    kit->IsDrum = true;
    gig::Region* drum = AddRegion(kit, 36, 38, {});
    FillRegion(drum, sines, 15);

    SaveWithData(file, path, pending);
}

// Two DLS Level 1 instruments over three samples, with key and velocity ranges, tuning and a loop.
void WritePeerDls(const std::string& path) {
    DLS::File file;
    file.pInfo->Name = "Peer DLS";
    std::vector<PendingData> pending;
    auto add = [&](const std::string& name, uint16_t channels, uint32_t rate, size_t frames) {
        DLS::Sample* sample = file.AddSample();
        sample->pInfo->Name = name;
        SetFormat(sample, channels, rate, frames);
        pending.push_back({sample, Sine(frames, channels, 25)});
        return sample;
    };
    DLS::Sample* tone = add("Tone", 1, 22050, 500);
    DLS::Sample* chord = add("Chord", 2, 44100, 300);
    DLS::Sample* odd = add("Odd", 1, 11025, 200);

    DLS::Instrument* organ = file.AddInstrument();
    organ->pInfo->Name = "Organ";
    organ->MIDIBankCoarse = 1;
    organ->MIDIBankFine = 2;
    organ->MIDIProgram = 7;
    DLS::Region* low = organ->AddRegion();
    low->SetKeyRange(10, 50);
    low->VelocityRange.low = 5;
    low->VelocityRange.high = 100;
    low->SetSample(tone);
    low->UnityNote = 64;
    low->FineTune = -7;
    DLS::sample_loop_t loop{};
    loop.Size = sizeof(DLS::sample_loop_t);
    loop.LoopStart = 100;
    loop.LoopLength = 300;
    low->AddSampleLoop(&loop);
    DLS::Region* high = organ->AddRegion();
    high->SetKeyRange(51, 90);
    high->SetSample(chord);
    high->UnityNote = 72;

    DLS::Instrument* drums = file.AddInstrument();
    drums->pInfo->Name = "Drums";
    drums->IsDrum = true;
    DLS::Region* snare = drums->AddRegion();
    snare->SetKeyRange(35, 40);
    snare->SetSample(odd);
    snare->UnityNote = 38;
    SaveWithData(file, path, pending);
}

// A bank of at least the given size: one 1 MiB sample per megabyte, in four groups, played by 32
// instruments of 8 velocity-split regions each.
void WriteBigGig(const std::string& path, unsigned megabytes, bool gigaStudio3) {
    gig::File file;
    if (!gigaStudio3)
        *file.pVersion = gig::File::VERSION_2;
    file.pInfo->Name = "Big bank";
    constexpr size_t kFrames = 512 * 1024;
    std::vector<gig::Group*> groups;
    for (int g = 0; g < 3; ++g) {
        groups.push_back(file.AddGroup());
        groups.back()->Name = "Group " + std::to_string(g + 1);
    }
    std::vector<gig::Sample*> samples;
    for (unsigned s = 0; s < megabytes; ++s) {
        gig::Sample* sample = file.AddSample();
        sample->pInfo->Name = "Sample " + std::to_string(s + 1);
        SetFormat(sample, 1, 44100, kFrames);
        sample->MIDIUnityNote = 36 + s % 60;
        LoopSample(sample, kFrames / 2, kFrames / 4);
        if (s % 4 != 0)
            groups[s % 4 - 1]->AddSample(sample);
        samples.push_back(sample);
    }
    unsigned next = 0;
    for (int i = 0; i < 32; ++i) {
        gig::Instrument* instrument = AddInstrument(file, "Instrument " + std::to_string(i + 1), 0, 0, i);
        for (int j = 0; j < 8; ++j) {
            gig::Region* region = AddRegion(instrument, 16 * j, 16 * j + 15, {{gig::dimension_velocity, 2}});
            for (int r = 0; r < 4; ++r) {
                gig::DimensionRegion* dr = region->pDimensionRegions[r];
                dr->pSample = samples[next++ % samples.size()];
                dr->UnityNote = dr->pSample->MIDIUnityNote;
                LoopDimensionRegion(dr, kFrames / 2, kFrames / 4);
            }
            region->SetSample(region->pDimensionRegions[0]->pSample);
        }
    }
    file.Save(path);
    const std::vector<int16_t> frames = Sine(kFrames, 1, 100.25);
    for (gig::Sample* sample : samples)
        sample->Write(const_cast<int16_t*>(frames.data()), kFrames);
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && (std::string(argv[1]) == "--big" || std::string(argv[1]) == "--big3")) {
            const unsigned megabytes = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
            if (megabytes == 0) {
                std::fprintf(stderr, "make_gig_fixtures: the size must be a number of megabytes\n");
                return 2;
            }
            WriteBigGig(argv[3], megabytes, std::string(argv[1]) == "--big3");
            return 0;
        }
        if (argc == 3 && std::string(argv[1]) == "--audition") {
            WriteAuditionGig(argv[2]);
            return 0;
        }
        if (argc != 2) {
            std::fprintf(stderr,
                         "usage: make_gig_fixtures FOLDER | --big|--big3 MB FILE | --audition FILE\n");
            return 2;
        }
        const std::string folder = std::string(argv[1]) + "/";
        WritePeerGig(folder + "peer.gig");
        WriteSineGig(folder + "sine.gig");
        WritePeerDls(folder + "peer.dls");
        WriteGigaStudio3(folder + "gs3.gig");
        return 0;
    } catch (RIFF::Exception& e) {
        std::fprintf(stderr, "make_gig_fixtures: %s\n", e.Message.c_str());
        return 1;
    }
}
