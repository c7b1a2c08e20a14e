#include "ModelJson.h"

#include <array>
#include <ostream>
#include <string_view>

#include "OutputText.h"

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

// Lists are printed item by item while all of them together hold at most this many items; real banks
// hold tens of thousands at most (FluidR3_GM 19,136). Past it, a list held as a run of consecutive indices is
// printed as {"first": F, "count": N} under "layerRange" or "zoneRange" in place of the item list: a small
// file can name the same long run from thousands of layers, and spelled out per layer the output (and the
// memory to build it) would grow with the product of the counts.
constexpr uint64_t kListedItemBudget = 1u << 20;

uint64_t ListedItems(const BankModel& bank) {
    uint64_t items = 0;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        items += bank.PresetTable[slot].layerList.Count();
    for (uint32_t i = 0; i < bank.LayerCount; ++i)
        items += bank.LayerTable[i].zoneList.Count();
    return items;
}

// Adds the list under `name` ("layerList"), or as a run under `rangeName` ("layerRange") when runs are
// printed as ranges.
void AddList(Json& record, const char* name, const char* rangeName, const HexIndexList& list,
             bool runsAsRanges) {
    if (runsAsRanges && list.IsRun())
        record[rangeName] = {{"first", list.RunFirst()}, {"count", list.Count()}};
    else
        record[name] = IndexArray(list);
}

// The records of one table, as the dump lists them.
using RecordJson = Json (*)(const Workspace&, uint32_t, bool);

Json PresetJson(const Workspace& workspace, uint32_t slot, bool runsAsRanges) {
    const BankModel& bank = workspace.bank;
    const PresetRecord& preset = bank.PresetTable[slot];
    Json record = {{"slot", slot},
                   {"name", Utf8Text(preset.name)},
                   {"bank", preset.bank},
                   {"bankLsb", preset.bankLsb},
                   {"program", preset.program},
                   {"isDrum", preset.isDrum}};
    AddList(record, "layerList", "layerRange", preset.layerList, runsAsRanges);
    if (bank.SourceFormat == SourceFormat::Akai)
        record["keygroupCount"] = preset.keygroupCount;
    return record;
}

Json LayerJson(const Workspace& workspace, uint32_t i, bool runsAsRanges) {
    const LayerRecord& layer = workspace.bank.LayerTable[i];
    Json record = {{"name", Utf8Text(layer.name)}, {"isGlobal", layer.isGlobal}};
    AddList(record, "zoneList", "zoneRange", layer.zoneList, runsAsRanges);
    record["generators"] = SetGenerators(layer);
    return record;
}

Json ZoneJson(const Workspace& workspace, uint32_t i, bool) {
    const ZoneRecord& zone = workspace.bank.ZoneTable[i];
    return {{"isGlobal", zone.isGlobal},
            {"sampleIndex", zone.sampleIndex},
            {"generators", SetGenerators(zone)},
            {"loopStart", zone.loopStart},
            {"loopEnd", zone.loopEnd}};
}

Json SampleJson(const Workspace& workspace, uint32_t i, bool) {
    const BankModel& bank = workspace.bank;
    const SampleRecord& sample = bank.SampleTable[i];
    Json record = {{"name", Utf8Text(sample.name)},
                   {"fullName", Utf8Text(sample.fullName)},
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
                   {"linkIndex", sample.linkIndex}};
    if (bank.SourceFormat == SourceFormat::Dls)
        record["sampleGroup"] = sample.sampleGroup;
    if (bank.SourceFormat == SourceFormat::AudioFile) {
        record["fileKind"] = sample.fileKind;
        record["formatTag"] = sample.formatTag;
        record["blockAlign"] = sample.blockAlign;
    }
    return record;
}

struct Table {
    const char* name;
    uint32_t first;
    uint32_t end;
    RecordJson record;
};

// The four tables in the order the dump gives them: presets from slot 1, then layers, zones and samples.
std::array<Table, 4> Tables(const BankModel& bank) {
    return {{{"presets", 1, bank.PresetCount + 1u, PresetJson},
             {"layers", 0, bank.LayerCount, LayerJson},
             {"zones", 0, bank.ZoneCount, ZoneJson},
             {"samples", 0, bank.SampleCount, SampleJson}}};
}

// Everything before the tables: the format line, a DLS bank's flavour and groups, and the INFO texts.
Json HeadJson(const Workspace& workspace, const std::string& formatLine) {
    const BankModel& bank = workspace.bank;
    Json root;
    root["format"] = Utf8Text(formatLine);
    if (bank.SourceFormat == SourceFormat::Dls) {
        // Written as the number scripts have read since before the flavour had a name.
        root["dlsFlavour"] = static_cast<uint16_t>(bank.DlsFlavour);
        Json groups = Json::array();
        for (const std::string& name : workspace.dls.SampleGroupNames)
            groups.push_back(Utf8Text(name));
        root["sampleGroups"] = groups;
    }
    Json info = Json::object();
    for (int slot = 1; slot < kBankInfoSlots; ++slot)
        if (!bank.BankInfo[slot].empty())
            info[BankInfoTag(slot)] = Utf8Text(bank.BankInfo[slot]);
    root["info"] = info;
    return root;
}

// A value dumped with one space of indent per level, its lines after the first moved in by `depth` levels,
// as it reads nested that deep in a dump of the whole.
void WriteNested(std::ostream& out, const Json& value, int depth) {
    const std::string text = JsonDump(value, 1);
    const std::string indent(static_cast<size_t>(depth), ' ');
    size_t from = 0;
    for (size_t newline; (newline = text.find('\n', from)) != std::string::npos; from = newline + 1)
        out << std::string_view(text).substr(from, newline + 1 - from) << indent;
    out << std::string_view(text).substr(from);
}
} // namespace

nlohmann::ordered_json ModelToJson(const Workspace& workspace, const std::string& formatLine) {
    const BankModel& bank = workspace.bank;
    const bool runsAsRanges = ListedItems(bank) > kListedItemBudget;
    Json root = HeadJson(workspace, formatLine);
    for (const Table& table : Tables(bank)) {
        Json records = Json::array();
        for (uint32_t i = table.first; i < table.end; ++i)
            records.push_back(table.record(workspace, i, runsAsRanges));
        root[table.name] = std::move(records);
    }
    return root;
}

void WriteModelJson(std::ostream& out, const Workspace& workspace, const std::string& formatLine) {
    const BankModel& bank = workspace.bank;
    const bool runsAsRanges = ListedItems(bank) > kListedItemBudget;
    const Json head = HeadJson(workspace, formatLine);
    out << "{\n";
    for (const auto& [key, value] : head.items()) {
        out << ' ' << JsonDump(key) << ": ";
        WriteNested(out, value, 1);
        out << ",\n";
    }
    const std::array<Table, 4> tables = Tables(bank);
    for (size_t t = 0; t < tables.size(); ++t) {
        const Table& table = tables[t];
        out << ' ' << JsonDump(table.name) << ": ";
        if (table.first >= table.end) {
            out << "[]";
        } else {
            out << "[\n";
            for (uint32_t i = table.first; i < table.end; ++i) {
                out << "  ";
                WriteNested(out, table.record(workspace, i, runsAsRanges), 2);
                out << (i + 1 < table.end ? ",\n" : "\n");
            }
            out << " ]";
        }
        out << (t + 1 < tables.size() ? ",\n" : "\n");
    }
    out << "}";
}

} // namespace quorvane::cli
