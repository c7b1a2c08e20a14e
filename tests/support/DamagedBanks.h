// The banks the damage sweeps start from, one per reader, and the load that checks what a reader made of a
// damaged copy: the status the loader gives, a model that hangs together, and model functions that work on
// it. Loading must never crash or read outside the data (the test build runs under the address and
// undefined-behaviour sanitizers).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "convert/BankLoader.h"
#include "support/DlsBuilder.h"
#include "support/RiffBuilder.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane::test {

// Damage that every bank builder can put into the file, by chunk path.
struct Damage {
    std::map<std::string, uint32_t> declaredSize; // size field written instead of the true size
    std::map<std::string, Bytes> appendToChunk;   // extra bytes inside a chunk, counted in its size
    std::set<std::string> omit;                   // chunks left out (only where canOmit)
    bool unpadded = false; // no pad byte after odd-sized chunks (only where canDropPadBytes)
};

// One reader's undamaged bank and what the sweeps need to know of it.
struct DamageBase {
    std::string name;
    SourceFormat sourceFormat;
    std::string extension;
    // The bank's bytes with the damage put in; layout receives every chunk's place by path.
    std::function<Bytes(const Damage&, std::map<std::string, ChunkPlace>*)> build;
    // The first way in which what the reader made does not hang together, or an empty text.
    std::function<std::string(const BankModel&)> inconsistency;
    // True for a chunk that holds sample data, which the byte sweep leaves alone.
    std::function<bool(const std::string& path)> isSampleData;
    bool canOmit = false;
    bool canDropPadBytes = false;
};

// A base shows by its name in test names and messages.
inline void PrintTo(const DamageBase& base, std::ostream* out) {
    *out << base.name;
}

// Every table the SoundFont reader fills, a global layer and zone, a stereo pair and an unused instrument,
// with little sample data so that a sweep over every byte stays quick.
SoundFontBuilder SoundFontDamageBase();
// Every kind of chunk the GigaSampler readers take apart: bank INFO, groups, a stereo wave, smpl and wsmp
// loops, an odd-sized chunk, dimension layouts with a channel, velocity and key-switch split, an unmapped
// dimension region and instrument globals.
DlsBuilder GigaDamageBase();
// A DLS Level 1 bank: two regions (one rgn2) with wsmp in the region, a stereo wave, an empty instrument.
DlsBuilder LevelOneDamageBase();

// The bases above as the sweeps take them: SoundFont, GigaSampler, DLS Level 1.
const std::vector<DamageBase>& DamageBases();
const DamageBase& SoundFontBase();
const DamageBase& GigaBase();
const DamageBase& LevelOneBase();

// The first way in which a model read from a SoundFont, or from a DLS or GigaSampler bank, does not hang
// together, or an empty text.
std::string SoundFontModelInconsistency(const BankModel& bank);
std::string DlsModelInconsistency(const BankModel& bank);

// Loads the bytes as the file list's only entry through the silent load of batch saving and expects the
// status; a loaded model must hang together and take edits, and with writeSoundFont be written as a
// SoundFont that names only samples and instruments it holds.
void LoadDamaged(const DamageBase& base, const TempDir& dir, const Bytes& bytes, LoadStatus expected,
                 const std::string& what, bool writeSoundFont = false);

// Writes the loaded bank as a SoundFont and checks that every reference in it points inside its table.
void ExpectSoundFontReferencesResolve(Workspace& workspace, const TempDir& dir);

} // namespace quorvane::test
