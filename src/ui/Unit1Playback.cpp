// TForm1's side of wave playback: it hands the playback controller its widgets and the output, and routes
// a preset's MIDI volume to auditioning.
#include <QLabel>

#include "ui/OutputDevices.h"
#include "ui/Palette.h"
#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::ConnectPlayback(const DeviceLists& devices) {
    PlaybackController::Widgets widgets;
    widgets.playButton = controls_.speedButton1;
    widgets.saveButton = controls_.speedButton2;
    widgets.volume = controls_.trackBar1;
    widgets.sampleList = controls_.treeList;
    widgets.panel = infoPanel_;
    widgets.defaultOutput = controls_.waveMapper;
    widgets.unavailable = controls_.outputUnavailable;
    widgets.outputs = controls_.outputs;
    playback_ = std::make_unique<PlaybackController>(workspace_, *this, devices.waveOutput,
                                                     devices.audioOutputs->Names().size(), widgets, nullptr);
    connect(playback_.get(), &PlaybackController::PresetVolumeChanged, this,
            [this](int position) { Auditioning().SetVolumePosition(position); });
}

void TForm1::ShowBlockTitle(const QString& title, const QString& formatLabel) {
    label4_->setText(title);
    SetTextColour(label4_, Qt::yellow);
    label4_->show();
    // An audio file's block names its format and bit depth in the title bar ("Wave 16 bit").
    if (!formatLabel.isEmpty()) {
        label1_->setText(formatLabel);
        label1_->show();
    }
}

} // namespace quorvane::ui
