// The one object that owns a session's state besides the widgets: the bank model, the attribute texts, the
// file list and loader state, the DLS and Akai state, the SCSI layer, the settings, and the Host through
// which everything reaches the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "formats/akai/AkaiVolumes.h"
#include "formats/common/SoundFileEncoder.h"
#include "formats/dls/DlsImage.h"
#include "formats/dls/GigaWriter.h"
#include "formats/soundfont/SoundFontWriter.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"
#include "model/SampleList.h"
#include "scsi/ScsiLayer.h"
#include "session/SampleBuffers.h"

namespace quorvane {

// One entry of the file list: the text shown (the file name without its extension) and the extension as
// it stands on disk (empty when the name has none), so that a bank named "Piano.SF2" is found again on a
// case-sensitive file system.
struct FileListEntry {
    std::string text;
    std::string extension;
};

// What the file list was filled by, so that "Show (Compressed)" can fill it again the same way.
enum class ListingKind { None, Folder, Search };

// In Akai mode the file list holds the volumes of the current partition.
struct LoaderState {
    int loadedEntry = -1;        // file-list entry now in the model; -1 after the list is rebuilt
    int currentBank = -1;        // file-list entry whose file the sample fetch reads
    bool loadedFlag = false;     // set while the model holds loadedEntry
    bool loadingFlag = false;    // set while a reader chain runs
    std::string currentFolder;   // folder of the file list, ending in '/'
    std::string currentFileName; // path of the bank being read; empty between loads
    // The bank whose unsupported contents were said last: a save run that reloads one bank for each of its
    // presets says them once.
    std::string unsupportedReported;
    std::vector<FileListEntry> fileList;
    ListingKind listingKind = ListingKind::None;
};

// What the information panel shows: nothing, a preset or layer (key map, zone map, auditioning) or a sample
// (waveform, wave playback).
enum class PanelContent { Nothing, Preset, Sample };

// What the user has chosen in the bank views.
struct Selection {
    uint32_t currentPreset = 0; // preset slot; 0 = none
    int currentLayer = -1;      // position in the current preset's layer list
    int currentZone = -1;       // position in the current layer's zone list
    uint32_t selectedSample = kNoSample;
    int lastSampleNode = -1; // sample-list node last chosen without a usable sample
    // Preset after a preset-tree selection, Sample after a sample selection.
    PanelContent DisplayMode = PanelContent::Nothing;
    // The preset filter of the sample list: while on, a saved sample file takes the root key of the zone
    // that listed the sample (`zoneRootKey`) instead of the sample's own.
    bool filterMode = false;
};

// State the writers leave behind for their callers, and what a run of writes carries from file to file.
struct WriterState {
    uint32_t LastWrittenSize = 0;
    GigaRunState giga;
    // The overall progress bar of a run spans base .. base + span per mille for the file being written.
    ProgressSpan progress;
    // False while a run of several files saves: a file that Cancel cut short is abandoned, never renamed over
    // a file of its name from before.
    bool keepCutShort = true;
    // The Vorbis quality of SoundFont 3 outputs (0 smallest .. 1 best).
    double vorbisQuality = kDefaultVorbisQuality;
    // The files SFZ outputs keep their samples in.
    SoundFileContainer sfzSampleFormat = SoundFileContainer::Wave;
};

struct Settings {
    bool ReadUnmappedRegions = true;
    bool LinkMonoSamples = true;
    bool Menu_ShowCompressed = false;
    int MiddleCOffset = 12; // added to a key number before its name is looked up
    // Kept between sessions by the desktop program.
    std::string LastDir; // folder of the last save, ending in '/'; empty until then
    bool AutoPlaySample = true;
    bool SortSamples = false;
    bool SortPresets = true;
    bool ShowHiddenDirs = false;
    bool AuditionLayers = false;
};

class Workspace {
  public:
    explicit Workspace(Host& host);

    Host& host;
    BankModel bank;
    AttributeList attributes;
    LoaderState loader;
    DlsState dls;
    ScsiLayer scsi;
    AkaiState akai;
    std::vector<SfzSampleFile> sfzSamples; // the file and channel of each sample of an SFZ instrument
    Selection selection;
    SampleBuffers samples;
    SampleSources sources;
    SampleList sampleList; // the sample list; in audio-file mode one entry per listed file
    WriterState writer;
    Settings settings;
};

} // namespace quorvane
