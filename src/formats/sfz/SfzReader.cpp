#include "formats/sfz/SfzReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sndfile.h>

namespace quorvane {

namespace {

namespace fs = std::filesystem;

double Number(const std::string& text, double fallback = 0) {
    double value = fallback;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+')
        ++begin;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    return error == std::errc() && end != begin ? value : fallback;
}

int16_t Clamped(double value, int low, int high) {
    return static_cast<int16_t>(std::clamp<long>(std::lround(value), low, high));
}

// The header facts of one sample file.
struct FileFacts {
    bool readable = false;
    uint32_t frames = 0, rate = 0;
    int channels = 0, bits = 16;
    bool looped = false;
    uint32_t loopStart = 0, loopEnd = 0;
    int rootKey = -1;
};

FileFacts ReadFacts(const std::string& path) {
    FileFacts facts;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return facts;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    facts.bits = subtype == SF_FORMAT_PCM_24 ? 24
                 : subtype == SF_FORMAT_PCM_32 || subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE
                     ? 32
                     : 16;
    facts.channels = info.channels;
    facts.rate = info.samplerate > 0 ? static_cast<uint32_t>(info.samplerate) : 0;
    facts.frames = static_cast<uint32_t>(std::clamp<sf_count_t>(info.frames, 0, UINT32_MAX / 8));
    SF_INSTRUMENT instrument{};
    if (sf_command(file, SFC_GET_INSTRUMENT, &instrument, sizeof instrument) == SF_TRUE) {
        facts.rootKey = instrument.basenote;
        if (instrument.loop_count > 0 && instrument.loops[0].mode != SF_LOOP_NONE) {
            facts.looped = true;
            facts.loopStart = instrument.loops[0].start;
            facts.loopEnd = instrument.loops[0].end;
        }
    }
    sf_close(file);
    facts.readable = facts.channels >= 1 && facts.channels <= 2 && facts.frames >= 1 && facts.rate != 0;
    return facts;
}

// Opcodes the regions are read by; any other name is noted once.
const std::set<std::string>& KnownOpcodes() {
    static const std::set<std::string> known = {"sample",
                                                "lokey",
                                                "hikey",
                                                "key",
                                                "lovel",
                                                "hivel",
                                                "pitch_keycenter",
                                                "transpose",
                                                "tune",
                                                "pitch_keytrack",
                                                "volume",
                                                "pan",
                                                "effect1",
                                                "effect2",
                                                "group",
                                                "off_by",
                                                "offset",
                                                "end",
                                                "loop_mode",
                                                "loopmode",
                                                "loop_start",
                                                "loopstart",
                                                "loop_end",
                                                "loopend",
                                                "ampeg_delay",
                                                "ampeg_attack",
                                                "ampeg_hold",
                                                "ampeg_decay",
                                                "ampeg_sustain",
                                                "ampeg_release",
                                                "fileg_depth",
                                                "fileg_delay",
                                                "fileg_attack",
                                                "fileg_hold",
                                                "fileg_decay",
                                                "fileg_sustain",
                                                "fileg_release",
                                                "pitcheg_depth",
                                                "pitcheg_delay",
                                                "pitcheg_attack",
                                                "pitcheg_hold",
                                                "pitcheg_decay",
                                                "pitcheg_sustain",
                                                "pitcheg_release",
                                                "fil_type",
                                                "cutoff",
                                                "resonance",
                                                "pitchlfo_delay",
                                                "pitchlfo_freq",
                                                "pitchlfo_depth",
                                                "fillfo_delay",
                                                "fillfo_freq",
                                                "fillfo_depth",
                                                "amplfo_delay",
                                                "amplfo_freq",
                                                "amplfo_depth",
                                                "sw_lokey",
                                                "sw_hikey",
                                                "sw_last",
                                                "sw_default",
                                                "seq_length",
                                                "seq_position",
                                                "trigger"};
    return known;
}

// The region's opcodes with later ones of a name replacing earlier ones.
std::map<std::string, std::string> Flattened(const SfzOpcodes& opcodes) {
    std::map<std::string, std::string> values;
    for (const SfzOpcode& opcode : opcodes)
        values[opcode.name] = opcode.value;
    return values;
}

class BankBuilder {
  public:
    BankBuilder(BankModel& bank, std::vector<SfzSampleFile>& samples, ReadNotes& notes,
                const std::string& folder)
        : bank_(bank), samples_(samples), notes_(notes), folder_(folder) {}

    void Region(const std::map<std::string, std::string>& v, const std::string& defaultPath,
                int defaultSwitch) {
        auto has = [&](const char* name) { return v.count(name) != 0; };
        auto get = [&](const char* name, double fallback = 0) {
            const auto found = v.find(name);
            return found == v.end() ? fallback : Number(found->second, fallback);
        };
        auto alias = [&](const char* name, const char* other) { return has(name) ? name : other; };
        for (const auto& [name, value] : v)
            if (!KnownOpcodes().count(name))
                unknown_.insert(name);
        // Key switches choose among regions: the model holds the one chosen at the start.
        if (has("sw_last") && SfzKey(v.at("sw_last")) != defaultSwitch) {
            ++lost_["regions of other key switches than the default"];
            return;
        }
        if (has("seq_position") && get("seq_position", 1) != 1) {
            ++lost_["round robins past the first"];
            return;
        }
        if (has("trigger") && v.at("trigger") != "attack") {
            ++lost_["regions sounded on other triggers than the note's attack"];
            return;
        }
        if (!has("sample"))
            return;
        const std::vector<uint16_t> sampleIndices = Samples(defaultPath + v.at("sample"));
        if (sampleIndices.empty())
            return;

        int lokey = has("key") ? SfzKey(v.at("key")) : 0, hikey = has("key") ? lokey : 127;
        if (has("lokey"))
            lokey = SfzKey(v.at("lokey"));
        if (has("hikey"))
            hikey = SfzKey(v.at("hikey"));
        const int lovel = static_cast<int>(get("lovel", 0)), hivel = static_cast<int>(get("hivel", 127));
        if (lokey < 0 || hikey < 0 || lokey > hikey || lovel > hivel) {
            ++lost_["regions with keys or velocities no note reaches"];
            return;
        }
        // Zone indices are 16-bit, 0xFFFF meaning none.
        if (bank_.ZoneTable.size() + sampleIndices.size() >= kNoSample) {
            ++lost_["regions past the most zones a bank holds"];
            return;
        }
        for (size_t half = 0; half < sampleIndices.size(); ++half) {
            const uint16_t s = sampleIndices[half];
            const SampleRecord& sample = bank_.SampleTable[s];
            ZoneRecord zone;
            zone.Reset();
            zone.isGlobal = 0;
            zone.sampleIndex = s;
            zone.Set(gen::sampleID, static_cast<int16_t>(s));
            zone.Set(gen::keyRange,
                     static_cast<int16_t>(std::clamp(hikey, 0, 127) << 8 | std::clamp(lokey, 0, 127)));
            zone.Set(gen::velRange,
                     static_cast<int16_t>(std::clamp(hivel, 0, 127) << 8 | std::clamp(lovel, 0, 127)));
            int root = has("pitch_keycenter") ? SfzKey(v.at("pitch_keycenter")) : has("key") ? lokey : 60;
            if (has("pitch_keycenter") && v.at("pitch_keycenter") == "sample")
                root = sample.rootKey;
            zone.Set(gen::overridingRootKey, static_cast<int16_t>(std::clamp(root < 0 ? 60 : root, 0, 127)));
            // The sample's own correction stays with the sample; the region's tuning goes to the zone.
            const int cents = static_cast<int>(get("transpose")) * 100 + static_cast<int>(get("tune"));
            if (cents / 100 != 0)
                zone.Set(gen::coarseTune, static_cast<int16_t>(cents / 100));
            if (cents % 100 != 0)
                zone.Set(gen::fineTune, static_cast<int16_t>(cents % 100));
            if (has("pitch_keytrack"))
                zone.Set(gen::scaleTuning, Clamped(get("pitch_keytrack"), 0, 1200));
            if (has("volume"))
                zone.Set(gen::initialAttenuation,
                         Clamped(get("volume") / kDecibelsPerAttenuationUnit, 0, 1440));
            // A stereo file's halves sound left and right, the region's pan moving both.
            double pan = get("pan") * 5;
            if (sampleIndices.size() == 2)
                pan += half == 0 ? -500 : 500;
            if (pan != 0)
                zone.Set(gen::pan, Clamped(pan, -500, 500));
            if (has("effect1"))
                zone.Set(gen::reverbEffectsSend, Clamped(get("effect1") * 10, 0, 1000));
            if (has("effect2"))
                zone.Set(gen::chorusEffectsSend, Clamped(get("effect2") * 10, 0, 1000));
            if (has("group") && get("group") != 0) {
                if (!has("off_by") || get("off_by") == get("group"))
                    zone.Set(gen::exclusiveClass, Clamped(get("group"), 0, 127));
                else
                    ++lost_["groups turned off by another group than their own"];
            }
            const uint32_t frames = sample.dataLength / std::max<uint16_t>(sample.blockAlign, 1);
            const double offset = std::clamp(get("offset"), 0.0, double(frames));
            if (offset > 0) {
                const auto start = static_cast<int64_t>(offset);
                zone.Set(gen::startAddrsOffset, static_cast<int16_t>(start % 32768));
                if (start / 32768 != 0)
                    zone.Set(gen::startAddrsCoarseOffset, static_cast<int16_t>(start / 32768));
            }
            if (has("end") && get("end") >= 0 && get("end") + 1 < frames) {
                const auto cut = static_cast<int64_t>(get("end")) + 1 - frames;
                zone.Set(gen::endAddrsOffset, static_cast<int16_t>(cut % 32768));
                if (cut / 32768 != 0)
                    zone.Set(gen::endAddrsCoarseOffset, static_cast<int16_t>(cut / 32768));
            }
            Loop(zone, v, sample, frames, alias("loop_mode", "loopmode"), alias("loop_start", "loopstart"),
                 alias("loop_end", "loopend"));
            Envelopes(zone, v);
            bank_.ZoneTable.push_back(zone);
        }
    }

    void Finish(const std::string& name) {
        for (const auto& [what, count] : lost_)
            notes_.Add(std::to_string(count) + " region(s): " + what);
        if (!unknown_.empty()) {
            std::string line = "opcodes not read:";
            for (const std::string& opcode : unknown_)
                line += " " + opcode;
            notes_.Add(line);
        }
        bank_.ZoneCount = static_cast<uint16_t>(bank_.ZoneTable.size());
        bank_.SampleCount = static_cast<uint16_t>(bank_.SampleTable.size());
        bank_.PresetTable.assign(2, PresetRecord{});
        bank_.PresetTable[1].name = name.substr(0, kMaxNameLength);
        bank_.PresetTable[1].layerList = {uint16_t{0}};
        LayerRecord layer;
        layer.Reset();
        layer.isGlobal = 0;
        layer.name = bank_.PresetTable[1].name.substr(0, 20);
        layer.Set(gen::instrument, 0);
        layer.zoneList = HexIndexList::Run(0, bank_.ZoneCount);
        bank_.LayerTable = {layer};
        bank_.LayerCount = 1;
        bank_.PresetCount = 1;
    }

  private:
    void Loop(ZoneRecord& zone, const std::map<std::string, std::string>& v, const SampleRecord& sample,
              uint32_t frames, const char* modeName, const char* startName, const char* endName) {
        const auto found = v.find(modeName);
        const std::string mode = found != v.end() ? found->second
                                 : sample.looped  ? "loop_continuous"
                                                  : "no_loop";
        int sampleModes = 0;
        if (mode == "loop_continuous")
            sampleModes = 1;
        else if (mode == "loop_sustain")
            sampleModes = 3;
        else if (mode == "one_shot")
            ++lost_["one-shot regions (played as unlooped samples that stop at the note's end)"];
        zone.Set(gen::sampleModes, static_cast<int16_t>(sampleModes));
        uint32_t start = sample.loopStart, end = sample.loopEnd;
        if (v.count(startName))
            start = static_cast<uint32_t>(std::clamp(Number(v.at(startName)), 0.0, double(frames)));
        if (v.count(endName)) // SFZ names the loop's last frame
            end = static_cast<uint32_t>(std::clamp(Number(v.at(endName)) + 1, 0.0, double(frames)));
        if (sampleModes != 0 && end <= start) {
            start = 0;
            end = frames;
        }
        zone.loopStart = start;
        zone.loopEnd = end;
    }

    void Envelopes(ZoneRecord& zone, const std::map<std::string, std::string>& v) {
        auto has = [&](const std::string& name) { return v.count(name) != 0; };
        auto get = [&](const std::string& name) { return Number(v.at(name)); };
        auto time = [&](const std::string& name, int number) {
            if (has(name))
                zone.Set(number,
                         static_cast<int16_t>(std::clamp(SecondsToTimecents(get(name)), -12000, 8000)));
        };
        time("ampeg_delay", gen::delayVolEnv);
        time("ampeg_attack", gen::attackVolEnv);
        time("ampeg_hold", gen::holdVolEnv);
        time("ampeg_decay", gen::decayVolEnv);
        time("ampeg_release", gen::releaseVolEnv);
        if (has("ampeg_sustain")) {
            const double level = std::clamp(get("ampeg_sustain"), 0.0, 100.0);
            zone.Set(gen::sustainVolEnv,
                     level <= 0 ? int16_t{1440} : Clamped(-200 * std::log10(level / 100), 0, 1440));
        }
        // SoundFont zones have one modulation envelope for the filter and the pitch: both are kept when their
        // stages agree (as this program writes them), else the filter's.
        const bool filter = has("fileg_depth"), pitch = has("pitcheg_depth");
        bool shared = filter && pitch;
        for (const char* stage : {"delay", "attack", "hold", "decay", "sustain", "release"}) {
            const auto f = v.find(std::string("fileg_") + stage), p = v.find(std::string("pitcheg_") + stage);
            if (shared && (f != v.end() || p != v.end()))
                shared = f != v.end() && p != v.end() && f->second == p->second;
        }
        if (filter && pitch && !shared)
            ++lost_["a pitch envelope beside a different filter envelope (they share one)"];
        const std::string prefix = filter ? "fileg_" : "pitcheg_";
        if (filter || pitch) {
            zone.Set(filter ? gen::modEnvToFilterFc : gen::modEnvToPitch,
                     Clamped(get(prefix + "depth"), -12000, 12000));
            if (shared)
                zone.Set(gen::modEnvToPitch, Clamped(get("pitcheg_depth"), -12000, 12000));
            time(prefix + "delay", gen::delayModEnv);
            time(prefix + "attack", gen::attackModEnv);
            time(prefix + "hold", gen::holdModEnv);
            time(prefix + "decay", gen::decayModEnv);
            time(prefix + "release", gen::releaseModEnv);
            if (has(prefix + "sustain"))
                zone.Set(gen::sustainModEnv,
                         Clamped(1000 - std::clamp(get(prefix + "sustain"), 0.0, 100.0) * 10, 0, 1000));
        }
        if (has("cutoff"))
            zone.Set(gen::initialFilterFc, Clamped(HertzToAbsoluteCents(get("cutoff")), 1500, 13500));
        if (has("resonance"))
            zone.Set(gen::initialFilterQ, Clamped(get("resonance") * 10, 0, 960));
        if (has("fil_type") && v.at("fil_type") != "lpf_2p" && v.at("fil_type") != "lpf_1p")
            ++lost_["filters other than low pass"];
        // The pitch LFO is the vibrato LFO; the filter and amplitude LFOs share the modulation LFO.
        if (has("pitchlfo_depth")) {
            zone.Set(gen::vibLfoToPitch, Clamped(get("pitchlfo_depth"), -12000, 12000));
            time("pitchlfo_delay", gen::delayVibLFO);
            if (has("pitchlfo_freq"))
                zone.Set(gen::freqVibLFO, Clamped(HertzToAbsoluteCents(get("pitchlfo_freq")), -16000, 4500));
        }
        const bool filterLfo = has("fillfo_depth"), ampLfo = has("amplfo_depth");
        if (filterLfo)
            zone.Set(gen::modLfoToFilterFc, Clamped(get("fillfo_depth"), -12000, 12000));
        if (ampLfo)
            zone.Set(gen::modLfoToVolume, Clamped(-get("amplfo_depth") * 10, -960, 960));
        const std::string lfo = filterLfo ? "fillfo_" : "amplfo_";
        if (filterLfo || ampLfo) {
            time(lfo + "delay", gen::delayModLFO);
            if (has(lfo + "freq"))
                zone.Set(gen::freqModLFO, Clamped(HertzToAbsoluteCents(get(lfo + "freq")), -16000, 4500));
        }
    }

    // The sample records of a sample file, added on first use: one for a mono file, a linked left and
    // right half for a stereo one. Empty when the file is refused or cannot be read.
    std::vector<uint16_t> Samples(const std::string& name) {
        const std::string path = PathInsideFolder(folder_, name);
        if (path.empty()) {
            refused_.insert(name);
            return {};
        }
        if (const auto known = byPath_.find(path); known != byPath_.end())
            return known->second;
        const FileFacts facts = ReadFacts(path);
        std::vector<uint16_t>& indices = byPath_[path];
        if (!facts.readable) {
            unreadable_.insert(name);
            return indices;
        }
        if (bank_.SampleTable.size() + facts.channels >= kNoSample) {
            ++lost_["regions past the most samples a bank holds"];
            return indices;
        }
        const std::string stem = fs::path(path).stem().string();
        for (int channel = 0; channel < facts.channels; ++channel) {
            SampleRecord sample;
            sample.name = sample.fullName =
                (stem + (facts.channels == 2 ? (channel == 0 ? "(L)" : "(R)") : ""))
                    .substr(0, kMaxNameLength);
            sample.bitsPerSample = static_cast<uint16_t>(facts.bits);
            sample.blockAlign = static_cast<uint16_t>(facts.bits / 8);
            sample.channels = 1;
            sample.dataLength = facts.frames * sample.blockAlign;
            sample.sampleRate = facts.rate;
            sample.rootKey =
                static_cast<uint16_t>(facts.rootKey >= 0 && facts.rootKey < 128 ? facts.rootKey : 60);
            sample.looped = facts.looped;
            sample.loopStart = std::min(facts.loopStart, facts.frames);
            sample.loopEnd = std::min(facts.loopEnd, facts.frames);
            indices.push_back(static_cast<uint16_t>(bank_.SampleTable.size()));
            bank_.SampleTable.push_back(sample);
            samples_.push_back({path, channel});
        }
        if (indices.size() == 2) {
            SampleRecord& left = bank_.SampleTable[indices[0]];
            SampleRecord& right = bank_.SampleTable[indices[1]];
            left.sampleType = 4;
            right.sampleType = 2;
            left.linkIndex = static_cast<uint16_t>(indices[1] + 1);
            right.linkIndex = static_cast<uint16_t>(indices[0] + 1);
        }
        return indices;
    }

  public:
    void NoteFiles() {
        for (const std::string& name : refused_)
            notes_.Add("sample \"" + name + "\" refused: it leaves the instrument's folder");
        for (const std::string& name : unreadable_)
            notes_.Add("sample \"" + name + "\" cannot be read");
    }

  private:
    BankModel& bank_;
    std::vector<SfzSampleFile>& samples_;
    ReadNotes& notes_;
    std::string folder_;
    std::map<std::string, std::vector<uint16_t>> byPath_;
    std::map<std::string, uint32_t> lost_;
    std::set<std::string> unknown_, refused_, unreadable_;
};

} // namespace

int SfzKey(const std::string& text) {
    if (text.empty())
        return -1;
    if (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-') {
        int key = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
        return error == std::errc() && end == text.data() + text.size() && key >= 0 && key <= 127 ? key : -1;
    }
    static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    if (letter < 'a' || letter > 'g')
        return -1;
    int key = kSemitone[letter - 'a'];
    size_t at = 1;
    if (at < text.size() && text[at] == '#')
        ++key, ++at;
    else if (at < text.size() && text[at] == 'b')
        --key, ++at;
    int octave = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), octave);
    if (error != std::errc() || end != text.data() + text.size())
        return -1;
    key += (octave + 1) * 12;
    return key >= 0 && key <= 127 ? key : -1;
}

bool ReadSfzBank(const std::string& path, BankModel& bank, std::vector<SfzSampleFile>& samples,
                 ReadNotes& notes) {
    SfzDocument document;
    if (!ParseSfzFile(path, document, notes))
        return false;
    bank = BankModel{};
    bank.SourceFormat = SourceFormat::Sfz;
    samples.clear();
    // The key switch sounding at the start: sw_default, else the lowest switch any region names.
    int chosenSwitch = -1, lowestSwitch = 128;
    for (const SfzParsedRegion& region : document.regions)
        for (const SfzOpcode& opcode : region.Opcodes()) {
            const int key = SfzKey(opcode.value);
            if (opcode.name == "sw_default" && key >= 0)
                chosenSwitch = key;
            else if (opcode.name == "sw_last" && key >= 0)
                lowestSwitch = std::min(lowestSwitch, key);
        }
    const int defaultSwitch = chosenSwitch >= 0 ? chosenSwitch : lowestSwitch;
    BankBuilder builder(bank, samples, notes, fs::path(path).parent_path().string() + "/");
    for (const SfzParsedRegion& region : document.regions) {
        builder.Region(Flattened(region.Opcodes()), region.defaultPath, defaultSwitch);
    }
    builder.NoteFiles();
    builder.Finish(fs::path(path).stem().string());
    if (bank.ZoneCount == 0) {
        notes.damage = "the SFZ file holds no region with a sample that can be read";
        return false;
    }
    return true;
}

} // namespace quorvane
