// One GigaSampler write from a bank made in the test: a workspace with its own recording host and folder,
// the source bank loaded the way batch saving loads it, and the output read back into its parts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "convert/BankWriters.h"
#include "support/GigFileParts.h"
#include "support/RecordingHost.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane::test {

struct GigWriteSession {
    RecordingHost host;
    Workspace workspace{host};
    TempDir folder;
    std::string sourcePath;
    WriteSelection selection; // what Write writes

    // Writes the bytes as name in the folder and loads them silently as the file list's only entry, read as
    // sourceFormat, with every preset, layer, zone and sample chosen for writing.
    void Load(const Bytes& bytes, const std::string& name = "Bank.sf2",
              SourceFormat sourceFormat = SourceFormat::SoundFont) {
        sourcePath = folder.Write(name, bytes);
        workspace.bank.SourceFormat = sourceFormat;
        ASSERT_EQ(LoadBankFile(workspace, sourcePath), LoadStatus::Loaded);
        selection = WriteSelection::All(workspace.bank);
    }

    GigaWriteResult Write(const std::string& name = "Out.gig", BankNaming naming = BankNaming::SourceBank) {
        return WriteGigaFile(workspace, selection, 0, folder.Folder() + name, naming);
    }

    // Writes and reads the file back; the write must succeed.
    GigFileParts WriteAndRead(const std::string& name = "Out.gig") {
        const GigaWriteResult result = Write(name);
        EXPECT_TRUE(result.written) << ::testing::PrintToString(host.statusLines);
        return ReadGigParts(ReadFileBytes(result.path));
    }
};

} // namespace quorvane::test
