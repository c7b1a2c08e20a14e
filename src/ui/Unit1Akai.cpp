// TForm1's side of Akai mode, and opening what the program was started with. The Akai controller reads the
// disc and fills the Explorer tree with its partitions; the window switches its views for it.
#include <QFileInfo>

#include "convert/BankLoader.h"
#include "convert/FolderFiles.h"
#include "convert/FolderKinds.h"
#include "core/Host.h"
#include "formats/common/InputFile.h"
#include "ui/Unit1.h"

namespace quorvane::ui {

namespace {

bool IsDiscImage(const QString& path) {
    const std::string name = path.toStdString();
    return HasExtension(name, ".iso") || HasExtension(name, ".img") || HasExtension(name, ".bin") ||
           HasExtension(name, ".cue");
}

} // namespace

void TForm1::ConnectAkai() {
    AkaiController::Widgets widgets;
    widgets.window = this;
    widgets.explorer = controls_.treeView1;
    widgets.formatItems = formatGroup_;
    widgets.drives = controls_.scsiDrives;
    widgets.openImage = controls_.akaiImage;
    akai_ = std::make_unique<AkaiController>(
        workspace_, *this, [this] { return sourceFormat_; }, widgets, nullptr);
    connect(akai_.get(), &AkaiController::AkaiModeEntered, this, [this] {
        SetSourceFormat(SourceFormat::Akai);
        browser_->ResetDisplay();
    });
    connect(akai_.get(), &AkaiController::DiscRefused, this, [this] {
        // The disc was read where the file list stood: the format is shown again and its folder listed.
        const QString folder = CurrentFolder();
        SetSourceFormat(sourceFormat_);
        if (folder.isEmpty() || !SelectFolder(folder))
            FillDriveTree();
        else
            ListFolder();
    });
}

void TForm1::OpenPath(const QString& path) {
    const QFileInfo info(path);
    auto refuse = [&](const char* why) {
        ShowMessage(path.toStdString() + "\r\n\r\n" + why, kMessageCaption, MessageIcon::Warning);
    };
    if (!info.exists()) {
        refuse("This file or folder does not exist.");
        return;
    }
    if (info.isDir()) {
        // A folder opens in the listing that has something to show in it: a folder of samples in audio-file
        // mode, a folder of banks in their format.
        if (sourceFormat_ != SourceFormat::Akai) {
            const FolderListing current = sourceFormat_ == SourceFormat::Dls ? FolderListing::Gigas
                                          : sourceFormat_ == SourceFormat::AudioFile
                                              ? FolderListing::AudioFiles
                                              : FolderListing::SoundFonts;
            const FolderListing wanted =
                ListingForFolder(KindsInFolder(info.absoluteFilePath().toStdString() + "/"), current);
            if (wanted != current)
                browser_->SoundFormatClick(wanted == FolderListing::Gigas        ? controls_.menuGig
                                           : wanted == FolderListing::AudioFiles ? controls_.menuAllAudioFiles
                                                                                 : controls_.menuSf2);
        }
        SelectFolder(info.absoluteFilePath());
        return;
    }
    const std::string name = info.fileName().toStdString();
    const QString folder = info.absolutePath();
    if (HasExtension(name, ".wav") || HasExtension(name, ".aif") || HasExtension(name, ".aiff") ||
        HasExtension(name, ".aifc")) {
        auto* item = HasExtension(name, ".wav") ? controls_.menuWave : controls_.menuAiff;
        browser_->SoundFormatClick(item);
        if (!SelectFolder(folder))
            return;
        views_->SelectSampleNamed(info.fileName());
        return;
    }
    if (IsDiscImage(path)) {
        OpenDiscImage(info.absoluteFilePath());
        return;
    }
    InputFile probe;
    const std::string file = info.absoluteFilePath().toStdString();
    const std::optional<quorvane::SourceFormat> format =
        probe.Open(file) ? SourceFormatOfFile(probe, file) : std::nullopt;
    if (!format || !IsReadFromFile(*format)) {
        refuse("This is not a bank, audio file or disc image the program reads.");
        return;
    }
    browser_->SoundFormatClick(format == SourceFormat::Dls   ? controls_.menuGig
                               : format == SourceFormat::Sfz ? controls_.menuSfz
                                                             : controls_.menuSf2);
    if (!SelectFolder(folder))
        return;
    browser_->LoadEntryNamed(info.completeBaseName().toStdString());
}

} // namespace quorvane::ui
