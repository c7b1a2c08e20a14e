// MIDI bank numbers through conversion. A DLS or GigaSampler ulBank holds the bank select MSB (CC0) in bits
// 8..14 and the LSB (CC32) in bits 0..6, bit 31 the drum flag; a SoundFont bank is the MSB (the LSB where
// the MSB is 0), drum presets bank 128; a SoundFont bank N becomes MSB N. Shown as "MSB" or "MSB/LSB".
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "model/AttributeList.h"
#include "support/DlsBuilder.h"
#include "support/GigWriteSession.h"
#include "support/PresetBanks.h"

namespace quorvane {
namespace {

using test::Bytes;

// Every preset's SoundFont bank in a written SoundFont, by name.
std::map<std::string, uint16_t> SoundFontBanks(const Bytes& file) {
    std::map<std::string, uint16_t> banks;
    for (const test::PresetHeader& p : test::PresetHeaders(test::WalkRiff(file)))
        if (p.name != "EOP")
            banks[p.name] = p.bank;
    return banks;
}

// Every instrument's ulBank in a written GigaSampler file, by name.
std::map<std::string, uint32_t> GigaBanks(const test::GigFileParts& parts) {
    std::map<std::string, uint32_t> banks;
    for (const test::GigInstrumentParts& instrument : parts.instruments)
        banks[instrument.name] = test::GetU32(instrument.insh, 4);
    return banks;
}

Bytes WrittenSoundFont(test::GigWriteSession& session) {
    const std::string path = session.folder.Folder() + "Out.sf2";
    EXPECT_TRUE(
        WriteSoundFont(session.workspace, session.selection, 0, path, BankNaming::SourceBank, false).written);
    return test::ReadFileBytes(path);
}

TEST(BankNumbersTest, GigaSamplerBanksKeepTheirMidiBankInEveryOutput) {
    struct Case {
        const char* name;
        uint16_t ulBank;
        bool drum;
        const char* shown;
        uint16_t soundFontBank;
    };
    const Case cases[] = {
        {"Zero", 0x0000, false, "0", 0},        {"Msb1", 0x0100, false, "1", 1},
        {"Lsb3", 0x0003, false, "0/3", 3},      {"Msb1Lsb2", 0x0102, false, "1/2", 1},
        {"Top", 0x7F7F, false, "127/127", 127}, {"Kit", 0x0100, true, "1", 128},
    };
    test::DlsBuilder dls;
    dls.waves = {test::MonoWave("Wave", 100)};
    for (const Case& c : cases) {
        test::DlsRegion region;
        region.dimensionRegions = {{.poolIndex = 0}};
        dls.instruments.push_back({.name = c.name, .bank = c.ulBank, .drum = c.drum, .regions = {region}});
    }
    const Bytes bytes = dls.Build();

    test::GigWriteSession toSoundFont;
    toSoundFont.Load(bytes, "Bank.gig", SourceFormat::Dls);
    const BankModel& bank = toSoundFont.workspace.bank;
    ASSERT_EQ(bank.PresetCount, std::size(cases));
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        EXPECT_EQ(BankText(bank.PresetTable[slot]), cases[slot - 1].shown) << cases[slot - 1].name;
    const std::map<std::string, uint16_t> soundFont = SoundFontBanks(WrittenSoundFont(toSoundFont));

    test::GigWriteSession toGiga;
    toGiga.Load(bytes, "Bank.gig", SourceFormat::Dls);
    const std::map<std::string, uint32_t> giga = GigaBanks(toGiga.WriteAndRead());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(soundFont.at(c.name), c.soundFontBank);
        EXPECT_EQ(giga.at(c.name), c.ulBank | (c.drum ? 0x80000000u : 0u)) << "GigaSampler to GigaSampler";
    }
}

// SoundFont bank N becomes MSB N, drum presets keep their flag; read back, the SoundFont banks are the same.
// A bank edit sets the MSB and clears the LSB.
TEST(BankNumbersTest, SoundFontBanksBecomeTheMsbAndComeBack) {
    test::SoundFontBuilder sf = test::ManyPresetsBank(0);
    const std::vector<uint16_t> banks = {0, 1, 5, 127, 128};
    for (uint16_t b : banks)
        sf.presets.push_back({.name = "B" + std::to_string(b),
                              .program = 5,
                              .bank = b,
                              .bags = {test::Gens({{gen::instrument, 0}})}});
    test::GigWriteSession toGiga;
    toGiga.Load(sf.Build());
    EXPECT_EQ(BankText(toGiga.workspace.bank.PresetTable[3]), "5");
    const GigaWriteResult written = toGiga.Write();
    ASSERT_TRUE(written.written);
    const std::map<std::string, uint32_t> giga =
        GigaBanks(test::ReadGigParts(test::ReadFileBytes(written.path)));
    EXPECT_EQ(giga.at("B0"), 0x0000u);
    EXPECT_EQ(giga.at("B1"), 0x0100u);
    EXPECT_EQ(giga.at("B5"), 0x0500u);
    EXPECT_EQ(giga.at("B127"), 0x7F00u);
    EXPECT_EQ(giga.at("B128"), 0x80000000u);

    test::GigWriteSession back;
    back.Load(test::ReadFileBytes(written.path), "Back.gig", SourceFormat::Dls);
    const std::map<std::string, uint16_t> soundFont = SoundFontBanks(WrittenSoundFont(back));
    for (uint16_t b : banks)
        EXPECT_EQ(soundFont.at("B" + std::to_string(b)), b);

    // The edit line "BANK 0002" on the preset at MSB 0 / LSB 3 read from a GigaSampler file.
    test::DlsBuilder dls;
    dls.waves = {test::MonoWave("Wave", 100)};
    test::DlsRegion region;
    region.dimensionRegions = {{.poolIndex = 0}};
    dls.instruments = {{.name = "Lsb3", .bank = 0x0003, .regions = {region}}};
    test::GigWriteSession edited;
    edited.Load(dls.Build(), "Bank.gig", SourceFormat::Dls);
    ApplyEdits(edited.workspace.bank, EditLine("PRES", 1, "BANK", 2), ApplyMode::Views);
    EXPECT_EQ(BankText(edited.workspace.bank.PresetTable[1]), "2");
    EXPECT_EQ(SoundFontBanks(WrittenSoundFont(edited)).at("Lsb3"), 2);
}

} // namespace
} // namespace quorvane
