#include "ModelJson.h"

namespace quorvane::cli {

namespace {
using Json = nlohmann::ordered_json;

Json SetGenerators(const GeneratorSet& set) {
    Json generators = Json::object();
    for (int number = 0; number < gen::count; ++number)
        if (set.IsSet(number))
            generators[std::to_string(number)] = set.generators[number];
    return generators;
}

Json IndexArray(const HexIndexList& list) {
    Json items = Json::array();
    for (uint16_t index : list)
        items.push_back(index);
    return items;
}

// Names may hold any bytes a file put there; JSON wants UTF-8, so bytes past ASCII are taken as Latin-1.
std::string Utf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
} // namespace

nlohmann::ordered_json ModelToJson(const Workspace& workspace, const std::string& formatLine) {
    const BankModel& bank = workspace.bank;
    const bool dls = bank.SourceFormat == kDlsSource;
    Json root;
    root["format"] = formatLine;
    if (dls) {
        root["dlsFlavour"] = bank.DlsFlavour;
        Json groups = Json::array();
        for (const std::string& name : workspace.dls.SampleGroupNames)
            groups.push_back(Utf8(name));
        root["sampleGroups"] = groups;
    }
    Json info = Json::object();
    for (int slot = 1; slot < kBankInfoSlots; ++slot)
        if (!bank.BankInfo[slot].empty())
            info[BankInfoTag(slot)] = Utf8(bank.BankInfo[slot]);
    root["info"] = info;

    Json presets = Json::array();
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const PresetRecord& preset = bank.PresetTable[slot];
        presets.push_back({{"slot", slot},
                           {"name", Utf8(preset.name)},
                           {"bank", preset.bank},
                           {"bankLsb", preset.bankLsb},
                           {"program", preset.program},
                           {"isDrum", preset.isDrum},
                           {"layerList", IndexArray(preset.layerList)}});
        if (bank.SourceFormat == kAkaiSource)
            presets.back()["keygroupCount"] = preset.keygroupCount;
    }
    root["presets"] = presets;

    Json layers = Json::array();
    for (uint32_t i = 0; i < bank.LayerCount; ++i) {
        const LayerRecord& layer = bank.LayerTable[i];
        layers.push_back({{"name", Utf8(layer.name)},
                          {"isGlobal", layer.isGlobal},
                          {"zoneList", IndexArray(layer.zoneList)},
                          {"generators", SetGenerators(layer)}});
    }
    root["layers"] = layers;

    Json zones = Json::array();
    for (uint32_t i = 0; i < bank.ZoneCount; ++i) {
        const ZoneRecord& zone = bank.ZoneTable[i];
        zones.push_back({{"isGlobal", zone.isGlobal},
                         {"sampleIndex", zone.sampleIndex},
                         {"generators", SetGenerators(zone)},
                         {"loopStart", zone.loopStart},
                         {"loopEnd", zone.loopEnd}});
    }
    root["zones"] = zones;

    Json samples = Json::array();
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        const SampleRecord& sample = bank.SampleTable[i];
        samples.push_back({{"name", Utf8(sample.name)},
                           {"fullName", Utf8(sample.fullName)},
                           {"dataOffset", sample.dataOffset},
                           {"dataLength", sample.dataLength},
                           {"sampleRate", sample.sampleRate},
                           {"bitsPerSample", sample.bitsPerSample},
                           {"channels", sample.channels},
                           {"stereoHalf", sample.stereoHalf},
                           {"loopStart", sample.loopStart},
                           {"loopEnd", sample.loopEnd},
                           {"looped", sample.looped},
                           {"rootKey", sample.rootKey},
                           {"pitchCorrection", sample.pitchCorrection},
                           {"sampleType", sample.sampleType},
                           {"linkIndex", sample.linkIndex}});
        if (dls)
            samples.back()["sampleGroup"] = sample.sampleGroup;
        if (bank.SourceFormat == kAudioFileSource) {
            samples.back()["fileKind"] = sample.fileKind;
            samples.back()["formatTag"] = sample.formatTag;
            samples.back()["blockAlign"] = sample.blockAlign;
        }
    }
    root["samples"] = samples;
    return root;
}

} // namespace quorvane::cli
