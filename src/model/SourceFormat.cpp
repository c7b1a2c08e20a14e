#include "model/SourceFormat.h"

#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace quorvane {

namespace {

constexpr std::array<SourceFormatFacts, 5> kFacts{{
    {SourceFormat::SoundFont, "sf2", ".sf3", "RIFFsfbk", nullptr, "Bank", "Preset", "Bank", "Preset/Layer",
     "Samples", false, false},
    {SourceFormat::Dls, "gig", ".dls", "RIFFDLS ", nullptr, "Gigafile", "Instrument", "Bank",
     "Instrument/Layer", "Groups/Samples", true, true},
    {SourceFormat::AudioFile, "wav", nullptr, nullptr, nullptr, "Bank", "Preset", "Samples", "Preset/Layer",
     "Samples", false, false},
    {SourceFormat::Akai, "akai", nullptr, nullptr, nullptr, "Volume", "Program", "Volume", "Preset/Layer",
     "Samples", true, false},
    {SourceFormat::Sfz, "sfz", nullptr, nullptr, ".sfz", "Instrument", "Preset", "Bank", "Preset/Layer",
     "Samples", false, false},
}};

} // namespace

const SourceFormatFacts& FactsOf(SourceFormat format) {
    for (const SourceFormatFacts& facts : kFacts)
        if (facts.format == format)
            return facts;
    return kFacts[0];
}

std::vector<std::string> BankFileExtensions() {
    std::vector<std::string> extensions;
    for (const SourceFormatFacts& facts : kFacts) {
        if (facts.typeKey != nullptr)
            extensions.push_back(std::string(".") + facts.extension);
        for (const char* other : {facts.siblingExtension, facts.textExtension})
            if (other != nullptr)
                extensions.emplace_back(other);
    }
    return extensions;
}

const char* ExtensionOf(SourceFormat format) {
    for (const SourceFormatFacts& facts : kFacts)
        if (facts.format == format)
            return facts.extension;
    return "";
}

std::optional<SourceFormat> SourceFormatOfKey(std::string_view typeKey) {
    for (const SourceFormatFacts& facts : kFacts)
        if (facts.typeKey != nullptr && typeKey == facts.typeKey)
            return facts.format;
    return std::nullopt;
}

std::optional<SourceFormat> SourceFormatOfTextFile(std::string_view fileName) {
    for (const SourceFormatFacts& facts : kFacts) {
        if (facts.textExtension == nullptr)
            continue;
        const std::string_view extension = facts.textExtension;
        if (fileName.size() <= extension.size())
            continue;
        const std::string_view end = fileName.substr(fileName.size() - extension.size());
        bool same = true;
        for (size_t i = 0; i < end.size(); ++i)
            same = same && std::tolower(static_cast<unsigned char>(end[i])) == extension[i];
        if (same)
            return facts.format;
    }
    return std::nullopt;
}

std::optional<SourceFormat> SourceFormatOfNumber(uint32_t number) {
    for (const SourceFormatFacts& facts : kFacts)
        if (static_cast<uint32_t>(facts.format) == number)
            return facts.format;
    return std::nullopt;
}

uint32_t NumberOf(SourceFormat format) {
    return static_cast<uint32_t>(format);
}

} // namespace quorvane
