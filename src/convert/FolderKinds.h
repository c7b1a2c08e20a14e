// What a folder holds, by file name, so that a folder opened by path is shown in the listing that has
// something to show in it.
#pragma once

#include <string>

namespace quorvane {

enum class FolderListing { SoundFonts, Gigas, AudioFiles };

struct FolderKinds {
    bool soundFonts = false; // .sf2, .sf3
    bool gigas = false;      // .gig, .dls
    bool audioFiles = false; // .wav, .aif, .aiff
    bool Has(FolderListing listing) const;
};

// The files directly in `folder` (ending in '/'), by extension in any case.
FolderKinds KindsInFolder(const std::string& folder);

// The current listing when the folder holds files it shows; else the first of SoundFont, GigaSampler and
// audio files that the folder holds; the current one again when it holds none of them.
FolderListing ListingForFolder(const FolderKinds& kinds, FolderListing current);

} // namespace quorvane
