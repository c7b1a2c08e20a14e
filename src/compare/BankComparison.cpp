#include "compare/BankComparison.h"

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <map>
#include <optional>

#include "compare/EffectiveVoices.h"
#include "compare/SampleFingerprints.h"
#include "core/StringPrintf.h"

namespace quorvane {

namespace {

using P = VoiceParameter;

struct PresetRef {
    uint32_t bank = 0; // index into the outputs
    uint32_t slot = 0;
};

uint32_t PresetKey(const PresetRecord& preset) {
    return uint32_t{SoundFontBankOf(preset)} * 128 + (preset.program & 127);
}

std::string Trimmed(const std::string& text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string BankProgramText(const PresetRecord& preset) {
    return StringPrintf("%03u:%03u", SoundFontBankOf(preset), preset.program);
}

// Matches every source preset to an output preset: first by bank, program and name together, then by bank
// and program, then by name; each output preset answers once. An SFZ instrument has no numbers: only its
// name finds it.
std::vector<std::optional<PresetRef>> MatchPresets(const BankModel& source,
                                                   const std::vector<uint32_t>& slots,
                                                   const std::vector<CheckedBank>& outputs,
                                                   std::vector<std::vector<uint8_t>>& used) {
    std::vector<std::optional<PresetRef>> match(slots.size());
    used.assign(outputs.size(), {});
    for (size_t b = 0; b < outputs.size(); ++b)
        used[b].assign(outputs[b].workspace->bank.PresetCount + 1u, 0);
    auto pass = [&](bool byNumbers, auto same) {
        for (size_t i = 0; i < slots.size(); ++i) {
            if (match[i])
                continue;
            const PresetRecord& s = source.PresetTable[slots[i]];
            for (uint32_t b = 0; b < outputs.size() && !match[i]; ++b) {
                const BankModel& out = outputs[b].workspace->bank;
                if (byNumbers && out.SourceFormat == SourceFormat::Sfz)
                    continue;
                for (uint32_t slot = 1; slot <= out.PresetCount; ++slot) {
                    if (used[b][slot] || !same(s, out.PresetTable[slot]))
                        continue;
                    used[b][slot] = 1;
                    match[i] = PresetRef{b, slot};
                    break;
                }
            }
        }
    };
    pass(true, [](const PresetRecord& a, const PresetRecord& b) {
        return PresetKey(a) == PresetKey(b) && Trimmed(a.name) == Trimmed(b.name);
    });
    pass(true, [](const PresetRecord& a, const PresetRecord& b) { return PresetKey(a) == PresetKey(b); });
    pass(false,
         [](const PresetRecord& a, const PresetRecord& b) { return Trimmed(a.name) == Trimmed(b.name); });
    return match;
}

// A parameter's differences while one preset is compared: which source voices differ, and the largest.
struct Tally {
    std::vector<uint8_t> voices;
    uint32_t count = 0;
    std::optional<Difference> largest;

    void Add(uint32_t voice, const Difference& d) {
        if (voices.size() <= voice)
            voices.resize(voice + 1, 0);
        if (!voices[voice]) {
            voices[voice] = 1;
            ++count;
        }
        if (!largest || std::llabs(d.Size()) > std::llabs(largest->Size()))
            largest = d;
    }
};

struct Side {
    const BankModel* bank;
    std::vector<Voice> voices;
};

// Cached frame comparisons of two samples, so that a sample several voices play is fetched once.
struct FrameComparisons {
    Workspace* source;
    const std::vector<CheckedBank>* outputs;
    bool detailed; // false: the lengths alone (the output format does not keep exact frames)
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, FrameDifference> done;

    const FrameDifference& Of(uint32_t sourceSample, uint32_t outputBank, uint32_t outputSample) {
        const auto key = std::make_tuple(sourceSample, outputBank, outputSample);
        const auto found = done.find(key);
        if (found != done.end())
            return found->second;
        FrameDifference d;
        const FrameVector a = FetchSampleFrames(*source, sourceSample);
        Workspace& out = *(*outputs)[outputBank].workspace;
        const FrameVector b = FetchSampleFrames(out, outputSample);
        if (detailed) {
            d = CompareFrames(a, b);
        } else {
            d.sourceFrames = static_cast<uint32_t>(a.size());
            d.outputFrames = static_cast<uint32_t>(b.size());
        }
        return done.emplace(key, d).first->second;
    }
};

struct Prints {
    const std::vector<SampleFingerprint>* source;
    const std::vector<std::vector<SampleFingerprint>>* outputs;
};

// The velocities at which the set of sounding voices can change: 1 and every range's ends.
std::vector<int> VelocityBands(const std::vector<Voice>& a, const std::vector<Voice>& b) {
    std::vector<int> starts{1};
    for (const auto* list : {&a, &b})
        for (const Voice& v : *list) {
            starts.push_back(v.velocityLow);
            if (v.velocityHigh < 127)
                starts.push_back(v.velocityHigh + 1);
        }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

// 1 ms in timecents: a stage this short or shorter is heard as instant, so two such times are the same
// however far apart their timecents are (SoundFont's shortest is 2^-10 s, SFZ's is 0 s).
constexpr int32_t kInstantTimecents = -11959;

bool Differs(P parameter, int32_t a, int32_t b) {
    if (a == kNotApplicable || b == kNotApplicable)
        return false;
    if (InfoOf(parameter).unit == ValueUnit::Timecents) {
        a = std::max(a, kInstantTimecents);
        b = std::max(b, kInstantTimecents);
    }
    return std::llabs(int64_t{b} - a) > InfoOf(parameter).tolerance;
}

// Values compared one by one: everything from the root key to the exclusive class.
constexpr int kFirstValue = static_cast<int>(P::RootKey);
constexpr int kLastValue = static_cast<int>(P::ExclusiveClass);

int DifferenceCount(const Voice& s, const Voice& o) {
    int n = 0;
    for (int i = kFirstValue; i <= kLastValue; ++i)
        n += Differs(static_cast<P>(i), s.values[i], o.values[i]);
    return n;
}

size_t ModulatorMismatch(const std::vector<ModulatorRecord>& a, const std::vector<ModulatorRecord>& b) {
    size_t common = 0;
    for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        const auto ka =
            std::tie(a[i].source, a[i].destination, a[i].amountSource, a[i].transform, a[i].amount);
        const auto kb =
            std::tie(b[j].source, b[j].destination, b[j].amountSource, b[j].transform, b[j].amount);
        if (ka == kb) {
            ++common, ++i, ++j;
        } else if (ka < kb) {
            ++i;
        } else {
            ++j;
        }
    }
    return a.size() + b.size() - 2 * common;
}

std::string SampleName(const BankModel& bank, uint16_t sample) {
    return bank.IsValidSample(sample) ? Trimmed(bank.SampleTable[sample].name) : "?";
}

std::string RangeText(int low, int high) {
    return low == high ? StringPrintf("%d", low) : StringPrintf("%d-%d", low, high);
}

class PresetComparison {
  public:
    PresetComparison(const Side& source, const Side& output, uint32_t outputBank, const Prints& prints,
                     FrameComparisons& frames, BankKind kind)
        : s_(source), o_(output), outputBank_(outputBank), prints_(prints), frames_(frames), kind_(kind) {}

    void Run(PresetCheck& check);

  private:
    bool SameSample(const Voice& s, const Voice& o) const {
        const SampleFingerprint& a = (*prints_.source)[s.sample];
        const SampleFingerprint& b = (*prints_.outputs)[outputBank_][o.sample];
        return a.SameFrames(b);
    }
    void ComparePair(uint32_t si, uint32_t oi, int key, int velocity);
    void Record(P parameter, uint32_t voice, const Difference& d) {
        tallies_[static_cast<size_t>(parameter)].Add(voice, d);
    }
    // A difference in a value the output format has no place for, though it holds others of the parameter.
    void RecordUnheld(P parameter, uint32_t voice, const Difference& d) {
        unheld_[static_cast<size_t>(parameter)].Add(voice, d);
    }
    void Coverage();

    const Side& s_;
    const Side& o_;
    uint32_t outputBank_;
    Prints prints_;
    FrameComparisons& frames_;
    BankKind kind_;
    std::vector<Tally> tallies_ = std::vector<Tally>(kParameterCount);
    std::vector<Tally> unheld_ = std::vector<Tally>(kParameterCount);
    std::map<std::pair<uint32_t, uint32_t>, bool> compared_;
    // Per source and output voice: where it sounds in its own bank and where it was paired.
    std::vector<std::bitset<128>> sourcePairedKeys_, outputPairedKeys_;
    std::vector<uint32_t> sourceLost_, outputAdded_; // velocity steps unpaired, summed over keys
    std::vector<std::array<uint8_t, 128>> sourceLostSteps_, outputAddedSteps_; // unpaired steps per key
};

void PresetComparison::ComparePair(uint32_t si, uint32_t oi, int key, int velocity) {
    if (!compared_.emplace(std::make_pair(si, oi), true).second)
        return;
    const Voice& s = s_.voices[si];
    const Voice& o = o_.voices[oi];
    auto difference = [&](P parameter, int64_t from, int64_t to) {
        Difference d;
        d.parameter = parameter;
        d.sourceValue = from;
        d.outputValue = to;
        d.key = key;
        d.velocity = velocity;
        return d;
    };
    if (!SameSample(s, o)) {
        const FrameDifference f = frames_.Of(s.sample, outputBank_, o.sample);
        Difference d = difference(P::SampleFrames, f.sourceFrames, f.outputFrames);
        if (f.sourceFrames == 0 || f.outputFrames == 0)
            d.detail = StringPrintf("'%s': %s cannot be read", SampleName(*s_.bank, s.sample).c_str(),
                                    f.sourceFrames == 0 ? "the source's frames" : "the output's frames");
        else if (frames_.detailed)
            d.detail =
                StringPrintf("'%s' -> '%s': %u of %u frames differ (by up to %d)%s",
                             SampleName(*s_.bank, s.sample).c_str(), SampleName(*o_.bank, o.sample).c_str(),
                             f.differing, std::min(f.sourceFrames, f.outputFrames), f.largest,
                             f.sourceFrames != f.outputFrames ? ", lengths differ" : "");
        else
            d.detail = StringPrintf("'%s': coded again", SampleName(*s_.bank, s.sample).c_str());
        Record(P::SampleFrames, si, d);
    }
    // A format without a place for a source value may fold it into a neighbour: GigaSampler's filter envelope
    // has no depth, so a cutoff the modulation envelope sweeps is written as one cutoff with the sweep in it,
    // the modulation LFO's pitch depth goes to its one pitch LFO, and as it has no hold stage, a volume
    // envelope's hold is written into its decay (the time to the sustain level stays). The source value is
    // reported as not representable; the neighbour it moved is not a difference of its own.
    const auto folded = [&](P lost) {
        const int32_t value = s.values[static_cast<int>(lost)];
        return !Holds(kind_, lost) && value != 0 && value != kNotApplicable;
    };
    const bool cutoffFolded = folded(P::ModEnvToFilterFc);
    const bool vibratoFolded = folded(P::ModLfoToPitch);
    const bool holdFolded =
        !Holds(kind_, P::VolEnvHold) &&
        Differs(P::VolEnvHold, s.values[static_cast<int>(P::VolEnvHold)], InfoOf(P::VolEnvHold).defaultValue);
    for (int i = kFirstValue; i <= kLastValue; ++i) {
        const P parameter = static_cast<P>(i);
        if ((parameter == P::FilterCutoff && cutoffFolded) ||
            ((parameter == P::VibLfoToPitch || parameter == P::VibLfoFrequency) && vibratoFolded) ||
            (parameter == P::VolEnvDecay && holdFolded))
            continue;
        if (!Differs(parameter, s.values[i], o.values[i]))
            continue;
        Difference d = difference(parameter, s.values[i], o.values[i]);
        if (parameter == P::VolEnvHold && holdFolded)
            d.detail = "written into the decay";
        if (Holds(kind_, parameter) && !HoldsValue(kind_, parameter, s.values[i])) {
            d.detail = WhyNotHeld(kind_, parameter);
            RecordUnheld(parameter, si, d);
        } else {
            Record(parameter, si, d);
        }
    }
    const size_t mismatch = ModulatorMismatch(s.instrumentModulators, o.instrumentModulators) +
                            ModulatorMismatch(s.presetModulators, o.presetModulators);
    if (mismatch != 0) {
        Difference d = difference(P::Modulators, s.instrumentModulators.size() + s.presetModulators.size(),
                                  o.instrumentModulators.size() + o.presetModulators.size());
        d.detail = StringPrintf("%zu modulator(s) differ", mismatch);
        Record(P::Modulators, si, d);
    }
}

void PresetComparison::Run(PresetCheck& check) {
    const std::vector<int> bands = VelocityBands(s_.voices, o_.voices);
    const size_t ns = s_.voices.size(), no = o_.voices.size();
    sourcePairedKeys_.assign(ns, {});
    outputPairedKeys_.assign(no, {});
    sourceLost_.assign(ns, 0);
    outputAdded_.assign(no, 0);
    sourceLostSteps_.assign(ns, {});
    outputAddedSteps_.assign(no, {});
    std::vector<uint32_t> here, there;
    std::vector<uint8_t> taken;
    for (int key = 0; key < 128; ++key) {
        for (size_t b = 0; b < bands.size(); ++b) {
            const int velocity = bands[b];
            const int steps = (b + 1 < bands.size() ? bands[b + 1] : 128) - velocity;
            here.clear();
            there.clear();
            for (uint32_t i = 0; i < ns; ++i)
                if (s_.voices[i].Sounds(key, velocity))
                    here.push_back(i);
            for (uint32_t i = 0; i < no; ++i)
                if (o_.voices[i].Sounds(key, velocity))
                    there.push_back(i);
            if (here.empty() && there.empty())
                continue;
            taken.assign(there.size(), 0);
            std::vector<int> pairedWith(here.size(), -1);
            // First the voices that play the same frames, then the rest by their other values.
            for (int round = 0; round < 2; ++round) {
                for (size_t h = 0; h < here.size(); ++h) {
                    if (pairedWith[h] >= 0)
                        continue;
                    const Voice& s = s_.voices[here[h]];
                    int best = -1, bestCount = 0;
                    for (size_t t = 0; t < there.size(); ++t) {
                        if (taken[t] || (round == 0 && !SameSample(s, o_.voices[there[t]])))
                            continue;
                        // Without the same frames, a voice of the same sample name comes first.
                        const Voice& o = o_.voices[there[t]];
                        const int count =
                            2 * DifferenceCount(s, o) +
                            (round == 1 && SampleName(*s_.bank, s.sample) != SampleName(*o_.bank, o.sample));
                        if (best < 0 || count < bestCount)
                            best = static_cast<int>(t), bestCount = count;
                    }
                    if (best >= 0) {
                        taken[best] = 1;
                        pairedWith[h] = best;
                    }
                }
            }
            for (size_t h = 0; h < here.size(); ++h) {
                const uint32_t si = here[h];
                if (pairedWith[h] < 0) {
                    sourceLost_[si] += steps;
                    sourceLostSteps_[si][key] = static_cast<uint8_t>(sourceLostSteps_[si][key] + steps);
                    continue;
                }
                const uint32_t oi = there[pairedWith[h]];
                sourcePairedKeys_[si].set(key);
                outputPairedKeys_[oi].set(key);
                ComparePair(si, oi, key, velocity);
            }
            for (size_t t = 0; t < there.size(); ++t) {
                if (taken[t])
                    continue;
                outputAdded_[there[t]] += steps;
                outputAddedSteps_[there[t]][key] =
                    static_cast<uint8_t>(outputAddedSteps_[there[t]][key] + steps);
            }
        }
    }
    Coverage();

    uint32_t pairedVoices = 0;
    for (size_t i = 0; i < ns; ++i)
        pairedVoices += sourcePairedKeys_[i].any();
    for (int i = 0; i < kParameterCount; ++i) {
        for (const bool held : {true, false}) {
            const Tally& t = held ? tallies_[i] : unheld_[i];
            if (!t.largest)
                continue;
            Difference d = *t.largest;
            d.voices = t.count;
            d.presets = 1;
            d.representable = held && Holds(kind_, static_cast<P>(i));
            check.differences.push_back(d);
        }
    }
    std::stable_sort(
        check.differences.begin(), check.differences.end(),
        [](const Difference& a, const Difference& b) { return a.representable > b.representable; });
    const bool anyRepresentable = std::any_of(check.differences.begin(), check.differences.end(),
                                              [](const Difference& d) { return d.representable; });
    if (ns != 0 && pairedVoices == 0)
        check.outcome = PresetOutcome::Lost;
    else
        check.outcome = anyRepresentable ? PresetOutcome::Changed : PresetOutcome::Identical;
}

// Where voices sound on one side and not on the other: a voice that sounds nowhere on the other side is
// lost (or added); one that sounds at fewer (or more) keys has its key range changed; one that sounds at
// the same keys but over fewer (or more) velocities has its velocity range changed.
void PresetComparison::Coverage() {
    Difference voices;
    voices.parameter = P::Voices;
    uint32_t lost = 0, added = 0;
    std::string firstLost, firstAdded;
    auto ranges = [](const BankModel& bank, const Voice& v) {
        return StringPrintf("'%s' keys %s velocities %s", SampleName(bank, v.sample).c_str(),
                            RangeText(v.keyLow, v.keyHigh).c_str(),
                            RangeText(v.velocityLow, v.velocityHigh).c_str());
    };
    // Output voices are counted after the source's.
    const uint32_t offset = static_cast<uint32_t>(s_.voices.size());
    auto side = [&](const Side& own, const std::vector<std::bitset<128>>& paired,
                    const std::vector<uint32_t>& unpaired, const std::vector<std::array<uint8_t, 128>>& steps,
                    bool isSource, uint32_t& whole, std::string& first) {
        for (uint32_t i = 0; i < own.voices.size(); ++i) {
            if (unpaired[i] == 0)
                continue;
            const Voice& v = own.voices[i];
            if (paired[i].none()) {
                if (whole++ == 0)
                    first = ranges(*own.bank, v);
                continue;
            }
            int keys = 0, pairedLow = 127, pairedHigh = 0;
            for (int k = v.keyLow; k <= v.keyHigh; ++k) {
                if (paired[i].test(k)) {
                    pairedLow = std::min(pairedLow, k);
                    pairedHigh = std::max(pairedHigh, k);
                } else {
                    ++keys;
                }
            }
            const int span = v.keyHigh - v.keyLow + 1;
            if (keys != 0) {
                Difference d;
                d.parameter = P::KeyRange;
                d.sourceValue = isSource ? span : span - keys;
                d.outputValue = isSource ? span - keys : span;
                d.key = isSource ? v.keyLow : pairedLow;
                d.detail = StringPrintf("'%s': keys %s %s keys %s", SampleName(*own.bank, v.sample).c_str(),
                                        RangeText(v.keyLow, v.keyHigh).c_str(),
                                        isSource ? "sound as" : "sound where the source has",
                                        RangeText(pairedLow, pairedHigh).c_str());
                Record(P::KeyRange, isSource ? i : offset + i, d);
            }
            int worstKey = -1, worstSteps = 0;
            for (int k = v.keyLow; k <= v.keyHigh; ++k)
                if (paired[i].test(k) && steps[i][k] > worstSteps)
                    worstKey = k, worstSteps = steps[i][k];
            if (worstKey >= 0) {
                const int vspan = v.velocityHigh - v.velocityLow + 1;
                Difference d;
                d.parameter = P::VelocityRange;
                d.sourceValue = isSource ? vspan : vspan - worstSteps;
                d.outputValue = isSource ? vspan - worstSteps : vspan;
                d.key = worstKey;
                d.velocity = v.velocityLow;
                d.detail = StringPrintf("'%s': %d of velocities %s %s at key %d",
                                        SampleName(*own.bank, v.sample).c_str(), worstSteps,
                                        RangeText(v.velocityLow, v.velocityHigh).c_str(),
                                        isSource ? "do not sound" : "sound only in the output", worstKey);
                Record(P::VelocityRange, isSource ? i : offset + i, d);
            }
        }
    };
    side(s_, sourcePairedKeys_, sourceLost_, sourceLostSteps_, true, lost, firstLost);
    side(o_, outputPairedKeys_, outputAdded_, outputAddedSteps_, false, added, firstAdded);
    Tally& t = tallies_[static_cast<size_t>(P::Voices)];
    if (lost == 0 && added == 0) {
        t = Tally{};
        return;
    }
    voices.sourceValue = static_cast<int64_t>(s_.voices.size());
    voices.outputValue = voices.sourceValue - lost + added;
    std::string detail;
    if (lost != 0)
        detail = StringPrintf("%u lost (first: %s)", lost, firstLost.c_str());
    if (added != 0)
        detail +=
            StringPrintf("%s%u added (first: %s)", detail.empty() ? "" : "; ", added, firstAdded.c_str());
    voices.detail = detail;
    t.largest = voices;
    t.count = lost + added;
}

} // namespace

BankKind KindOfBank(const BankModel& bank) {
    switch (bank.SourceFormat) {
    case SourceFormat::SoundFont:
        return bank.BankVersion >= 30 ? BankKind::SoundFont3 : BankKind::SoundFont2;
    case SourceFormat::Dls:
        return bank.DlsFlavour == DlsFlavour::GigaSampler ? BankKind::GigaSampler : BankKind::Dls;
    case SourceFormat::Akai:
        return BankKind::Akai;
    case SourceFormat::Sfz:
        return BankKind::Sfz;
    default:
        return BankKind::AudioFiles;
    }
}

std::string FormatTextOf(const BankModel& bank) {
    switch (KindOfBank(bank)) {
    case BankKind::SoundFont2:
    case BankKind::SoundFont3:
        return StringPrintf("SoundFont %.1f", bank.BankVersion / 10.0);
    case BankKind::Dls:
        return "DLS Level 1";
    default:
        return BankKindName(KindOfBank(bank));
    }
}

CheckReport CheckConversion(const CheckedBank& source, const std::vector<CheckedBank>& outputs,
                            const CheckOptions& options) {
    CheckReport report;
    const BankModel& sourceBank = source.workspace->bank;
    report.sourcePath = source.path;
    report.sourceFormat = FormatTextOf(sourceBank);
    for (const CheckedBank& out : outputs)
        report.outputPaths.push_back(out.path);
    if (!outputs.empty())
        report.outputKind = KindOfBank(outputs[0].workspace->bank);

    std::vector<uint32_t> slots = options.sourceSlots;
    if (slots.empty())
        for (uint32_t slot = 1; slot <= sourceBank.PresetCount; ++slot)
            slots.push_back(slot);
    std::vector<std::vector<uint8_t>> used;
    const std::vector<std::optional<PresetRef>> match = MatchPresets(sourceBank, slots, outputs, used);

    // The voices of every matched pair, and the samples they play on either side.
    std::vector<Side> sourceSides(slots.size()), outputSides(slots.size());
    std::vector<uint8_t> sourceWanted(sourceBank.SampleCount, 0);
    std::vector<std::vector<uint8_t>> outputWanted(outputs.size());
    for (size_t b = 0; b < outputs.size(); ++b)
        outputWanted[b].assign(outputs[b].workspace->bank.SampleCount, 0);
    for (size_t i = 0; i < slots.size(); ++i) {
        sourceSides[i] = Side{&sourceBank, VoicesOfPreset(sourceBank, slots[i])};
        if (!match[i])
            continue;
        const BankModel& out = outputs[match[i]->bank].workspace->bank;
        outputSides[i] = Side{&out, VoicesOfPreset(out, match[i]->slot)};
        for (const Voice& v : sourceSides[i].voices)
            sourceWanted[v.sample] = 1;
        for (const Voice& v : outputSides[i].voices)
            outputWanted[match[i]->bank][v.sample] = 1;
    }
    report.samplesRead = static_cast<uint32_t>(std::count(sourceWanted.begin(), sourceWanted.end(), 1));
    for (const auto& wanted : outputWanted)
        report.samplesRead += static_cast<uint32_t>(std::count(wanted.begin(), wanted.end(), 1));
    // Progress: every sample read, then every preset compared.
    const uint32_t steps = report.samplesRead + static_cast<uint32_t>(slots.size());
    uint32_t done = 0;
    auto step = [&] {
        ++done;
        if (options.progress && !options.progress(done, steps))
            report.cancelled = true;
        return !report.cancelled;
    };
    const std::vector<SampleFingerprint> sourcePrints =
        FingerprintSamples(*source.workspace, sourceWanted, step);
    std::vector<std::vector<SampleFingerprint>> outputPrints;
    for (size_t b = 0; b < outputs.size() && !report.cancelled; ++b)
        outputPrints.push_back(FingerprintSamples(*outputs[b].workspace, outputWanted[b], step));
    if (report.cancelled)
        return report;

    // Voices of silent samples (the fillers a writer puts where a format wants a region) are not heard. The
    // voices are taken again now that every sample was fetched: an Akai sample's root key and loop are read
    // from its header when its frames are.
    for (size_t i = 0; i < slots.size(); ++i) {
        sourceSides[i].voices = VoicesOfPreset(sourceBank, slots[i]);
        if (match[i])
            outputSides[i].voices = VoicesOfPreset(*outputSides[i].bank, match[i]->slot);
        auto silent = [](const std::vector<SampleFingerprint>& prints) {
            return [&prints](const Voice& v) { return prints[v.sample].read && prints[v.sample].silent; };
        };
        std::erase_if(sourceSides[i].voices, silent(sourcePrints));
        if (match[i])
            std::erase_if(outputSides[i].voices, silent(outputPrints[match[i]->bank]));
    }

    FrameComparisons frames{source.workspace, &outputs, Holds(report.outputKind, P::SampleFrames), {}};
    const Prints prints{&sourcePrints, &outputPrints};
    for (size_t i = 0; i < slots.size(); ++i) {
        if (i != 0 && !step())
            return report;
        const PresetRecord& preset = sourceBank.PresetTable[slots[i]];
        PresetCheck check;
        check.sourceSlot = slots[i];
        check.name = Trimmed(preset.name);
        check.bankText = BankProgramText(preset);
        check.voices = static_cast<uint32_t>(sourceSides[i].voices.size());
        if (!match[i]) {
            check.outcome = PresetOutcome::Missing;
            report.presets.push_back(std::move(check));
            continue;
        }
        const CheckedBank& outBank = outputs[match[i]->bank];
        const PresetRecord& counterpart = outBank.workspace->bank.PresetTable[match[i]->slot];
        check.outputFile = outBank.path;
        check.outputSlot = match[i]->slot;
        PresetComparison(sourceSides[i], outputSides[i], match[i]->bank, prints, frames, report.outputKind)
            .Run(check);
        // The preset's own numbers and name, when it was found by the others.
        std::vector<Difference> own;
        auto add = [&](P parameter, int64_t from, int64_t to, std::string detail) {
            Difference d;
            d.parameter = parameter;
            d.voices = 1;
            d.presets = 1;
            d.sourceValue = from;
            d.outputValue = to;
            d.detail = std::move(detail);
            d.representable = Holds(report.outputKind, parameter);
            own.push_back(std::move(d));
        };
        if (SoundFontBankOf(preset) != SoundFontBankOf(counterpart))
            add(P::Bank, SoundFontBankOf(preset), SoundFontBankOf(counterpart), "");
        if (preset.program != counterpart.program)
            add(P::Program, preset.program, counterpart.program, "");
        if (Trimmed(preset.name) != Trimmed(counterpart.name))
            add(P::Name, 0, 0,
                StringPrintf("'%s' -> '%s'", Trimmed(preset.name).c_str(),
                             Trimmed(counterpart.name).c_str()));
        if (!own.empty()) {
            check.differences.insert(check.differences.begin(), own.begin(), own.end());
            // As for the voices: what the output cannot hold is listed, not counted as a change.
            if (check.outcome == PresetOutcome::Identical &&
                std::any_of(own.begin(), own.end(), [](const Difference& d) { return d.representable; }))
                check.outcome = PresetOutcome::Changed;
        }
        report.presets.push_back(std::move(check));
    }
    if (options.progress)
        options.progress(steps, steps); // all done: too late to cancel
    // A check of chosen presets says nothing about the output's other presets.
    for (size_t b = 0; b < outputs.size() && options.sourceSlots.empty(); ++b) {
        const BankModel& out = outputs[b].workspace->bank;
        for (uint32_t slot = 1; slot <= out.PresetCount; ++slot)
            if (!used[b][slot])
                report.extraPresets.push_back(StringPrintf("%s: %s %s", outputs[b].path.c_str(),
                                                           BankProgramText(out.PresetTable[slot]).c_str(),
                                                           Trimmed(out.PresetTable[slot].name).c_str()));
    }
    return report;
}

} // namespace quorvane
