#include "convert/SaveDialog.h"

#include "convert/FileNameCharMap.h"

namespace quorvane {

namespace {

struct TitleRow {
    const char* several;
    const char* all;
    const char* one;
};

TitleRow RowOf(SourceFormat sourceFormat, SaveItems items) {
    const bool presets = items == SaveItems::Presets;
    switch (sourceFormat) {
    case SourceFormat::Dls:
        return presets
                   ? TitleRow{"Save Instrument(s) As ...", "Save ALL Instruments As ...",
                              "Save Instrument As ..."}
                   : TitleRow{"Save Gigafile(s) As ...", "Save ALL Gigafiles As ...", "Save Gigafile As ..."};
    case SourceFormat::Akai:
        return presets ? TitleRow{"Save Program(s) As ...", "Save ALL Programs As ...", "Save Program As ..."}
                       : TitleRow{"Save Volume(s) As ...", "Save ALL Volumes As ...", "Save Bank As ..."};
    default:
        return presets ? TitleRow{"Save Preset(s) As ...", "Save ALL Presets As ...", "Save Preset As ..."}
                       : TitleRow{"Save Bank(s) As ...", "Save ALL Banks As ...", "Save Bank As ..."};
    }
}

} // namespace

std::string SaveDialogTitle(SourceFormat sourceFormat, SaveItems items, size_t n, size_t count) {
    const TitleRow row = RowOf(sourceFormat, items);
    if (n == 1)
        return row.one;
    return n == count ? row.all : row.several;
}

std::string OutputFileName(SourceFormat sourceFormat, const std::string& name) {
    std::string mapped = MapFileName(name);
    if (sourceFormat == SourceFormat::Akai)
        mapped.erase(mapped.find_last_not_of(' ') + 1);
    return mapped;
}

std::string ProposedFileName(SourceFormat sourceFormat, SaveItems items, size_t n,
                             const std::string& bankText, const std::string& presetName) {
    std::string name;
    if (items == SaveItems::Presets)
        name = n > 1 ? bankText : presetName;
    else if (n == 1)
        name = bankText;
    return OutputFileName(sourceFormat, name) + ".xyz";
}

DialogAnswer ResolveDialogPath(const std::string& returnedPath, OutputType type, bool singleFile,
                               const std::string& proposedName) {
    const size_t slash = returnedPath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string path = returnedPath;
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        path.erase(dot);
    DialogAnswer answer;
    answer.folder = nameStart == 0 ? "./" : path.substr(0, nameStart);
    if (!singleFile)
        return answer;
    if (path.size() == nameStart) {
        const std::string proposed = proposedName.substr(0, proposedName.rfind(".xyz"));
        path += proposed;
    }
    answer.file = path + OutputExtension(type);
    return answer;
}

} // namespace quorvane
