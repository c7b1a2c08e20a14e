#include "convert/FolderKinds.h"

#include "convert/FolderFiles.h"

namespace quorvane {

bool FolderKinds::Has(FolderListing listing) const {
    switch (listing) {
    case FolderListing::SoundFonts:
        return soundFonts;
    case FolderListing::Gigas:
        return gigas;
    case FolderListing::AudioFiles:
        return audioFiles;
    }
    return false;
}

FolderKinds KindsInFolder(const std::string& folder) {
    FolderKinds kinds;
    for (const FoundFile& file : FilesOfFolder(folder)) {
        const std::string& name = file.name;
        kinds.soundFonts = kinds.soundFonts || HasExtension(name, ".sf2") || HasExtension(name, ".sf3");
        kinds.gigas = kinds.gigas || HasExtension(name, ".gig") || HasExtension(name, ".dls");
        kinds.audioFiles = kinds.audioFiles || HasExtension(name, ".wav") || HasExtension(name, ".aif") ||
                           HasExtension(name, ".aiff") || HasExtension(name, ".aifc");
    }
    return kinds;
}

FolderListing ListingForFolder(const FolderKinds& kinds, FolderListing current) {
    if (kinds.Has(current))
        return current;
    for (FolderListing listing : {FolderListing::SoundFonts, FolderListing::Gigas, FolderListing::AudioFiles})
        if (kinds.Has(listing))
            return listing;
    return current;
}

} // namespace quorvane
