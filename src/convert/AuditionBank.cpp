#include "convert/AuditionBank.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "convert/BankWriters.h"
#include "core/StringPrintf.h"

namespace quorvane {

namespace {

// The user's temporary folder: $TMPDIR when set, else /tmp.
std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Creates an empty file of a name no other file has (two running copies of the program never write the
// same one) and returns its path; empty with `error` set when the folder cannot take it.
std::string ReserveTemporaryFile(std::string& error) {
    const std::string folder = TemporaryFolder();
    std::string pattern = folder + "/quorvane-audition-XXXXXX.sf2";
    const int fd = ::mkstemps(pattern.data(), 4);
    if (fd < 0) {
        error = StringPrintf("Couldn't create a temporary file for auditioning in %s:\r\n%s", folder.c_str(),
                             std::strerror(errno));
        return {};
    }
    ::close(fd);
    return pattern;
}

} // namespace

AuditionBank WriteAuditionBank(Workspace& workspace, uint32_t slot, int layer) {
    AuditionBank result;
    const BankModel& bank = workspace.bank;
    if (!bank.IsValidSlot(slot))
        return result;
    WriteSelection chosen(bank);
    if (layer >= 0)
        chosen.AddPresetLayer(bank, slot, layer);
    else
        chosen.AddPreset(bank, slot);
    if (chosen.SampleCount() == 0)
        return result;

    std::string error;
    const std::string path = ReserveTemporaryFile(error);
    if (path.empty()) {
        workspace.host.ShowMessage(error, kMessageCaption, MessageIcon::Warning);
        result.status = AuditionBank::WriteFailed;
        result.message = error;
        return result;
    }

    const uint32_t entry =
        workspace.loader.currentBank < 0 ? 0 : static_cast<uint32_t>(workspace.loader.currentBank);
    // The writer tells the user itself when the file cannot be written.
    const SoundFontWriteResult written =
        WriteSoundFont(workspace, chosen, entry, path, BankNaming::SourceBank, true);

    if (!written.written) {
        ::unlink(path.c_str());
        result.status = AuditionBank::WriteFailed;
        result.message = StringPrintf("ERROR! Can't write to File %s", path.c_str());
        return result;
    }
    result.status = AuditionBank::Written;
    result.path = path;
    result.size = written.size;
    return result;
}

} // namespace quorvane
