// Wave playback in TForm1: the play button, the sample list's playing keys, the volume slider (a sample's
// gain, a preset's MIDI volume), the Audio Output menu, and the play cursor over the waveform. The player
// decides what is played; this file turns the user's actions into its calls and shows the results.
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "ui/Artwork.h"
#include "ui/InfoPanel.h"
#include "ui/OutputDevices.h"
#include "ui/Palette.h"
#include "ui/SampleView.h"
#include "ui/Unit1.h"

namespace quorvane::ui {

namespace {

constexpr int kPlayTimerMs = 5;
// The output reports frames as it takes them; the cursor trails by this many, about what is still on its
// way to the speaker.
constexpr uint64_t kCursorLag = 500;

} // namespace

void TForm1::ConnectPlayback(const DeviceLists& devices) {
    audio::WaveOutput* output = devices.waveOutput;
    if (output == nullptr) {
        ownOutput_ = std::make_unique<SilentOutput>();
        output = ownOutput_.get();
    }
    player_ = std::make_unique<audio::WavePlayer>(*output);
    player_->ListOutputDevices();
    // The menu offers the devices the caller listed; playing needs at least one of them.
    player_->OutputDeviceCount = std::min<uint32_t>(
        player_->OutputDeviceCount, static_cast<uint32_t>(devices.audioOutputs->Names().size()));

    playTimer_ = new QTimer(this);
    playTimer_->setObjectName("PlayTimer");
    playTimer_->setInterval(kPlayTimerMs);
    playTimer_->setTimerType(Qt::PreciseTimer);
    connect(playTimer_, &QTimer::timeout, this, &TForm1::PlayTimerTick);

    connect(controls_.speedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(controls_.speedButton2, &QToolButton::clicked, this, [this] { RequestSampleSave(-1); });
    QSlider* trackBar1 = controls_.trackBar1;
    connect(trackBar1, &QSlider::valueChanged, this, &TForm1::TrackBar1Change);
    sampleSliderPosition_ = presetSliderPosition_ = trackBar1->value();

    QAction* mapper = controls_.waveMapper;
    connect(mapper, &QAction::triggered, this,
            [this, mapper] { ChooseOutputDevice(mapper, audio::kDefaultOutput); });
    for (int i = 0; i < static_cast<int>(audio::kMaxOutputDevices); ++i) {
        QAction* item = controls_.outputs[static_cast<size_t>(i)];
        connect(item, &QAction::triggered, this, [this, item, i] { ChooseOutputDevice(item, i); });
    }
    treeList_->installEventFilter(this);
    SetPlayButton(PlayButtonPicture::Play);
}

void TForm1::SetPlayButton(PlayButtonPicture picture) {
    const bool stop = picture == PlayButtonPicture::Stop;
    controls_.speedButton1->setIcon(Artwork(stop ? "stop" : "play", {16, 16}));
    controls_.speedButton1->setText(stop ? "Stop" : "Play");
    playButton_ = picture;
}

void TForm1::StartPlayback(bool updateButton) {
    if (!workspace_.bank.IsValidSample(workspace_.selection.selectedSample))
        return;
    if (updateButton && playButton_ != PlayButtonPicture::Stop)
        SetPlayButton(PlayButtonPicture::Stop);
    const audio::StartResult result = player_->StartPlayback(workspace_);
    if (!result.started) {
        SetPlayButton(PlayButtonPicture::Play);
        if (result.attempted)
            ShowMessage(result.error, result.deviceName, MessageIcon::Warning);
        return;
    }
    infoPanel_->SetCursor(0, -1);
    infoPanel_->SetCursor(1, -1);
    CursorSuspended = true;
    playTimer_->start();
}

void TForm1::FillBlock(int block) {
    player_->FillBlock(workspace_, block);
}

void TForm1::StopPlayback(bool updateButton) {
    // A sample that ended by itself has closed its output already; its button and cursor remain.
    if (!player_ || (!player_->Playing() && !playTimer_->isActive()))
        return;
    if (updateButton && playButton_ != PlayButtonPicture::Play)
        SetPlayButton(PlayButtonPicture::Play);
    CursorSuspended = true;
    playTimer_->stop();
    player_->StopPlayback();
    DrawPlayCursor(0, true);
}

void TForm1::SpeedButton1Click() {
    if (player_->Playing()) {
        StopPlayback(true);
        return;
    }
    if (player_->OutputDeviceCount == 0)
        return;
    StartPlayback(true);
    FillBlock(0);
    FillBlock(1);
    CursorSuspended = false;
}

bool TForm1::TreeListKey(QKeyEvent* event) {
    const bool valid = workspace_.bank.IsValidSample(workspace_.selection.selectedSample);
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (player_->Playing())
            StopPlayback(false);
        if (valid && player_->OutputDeviceCount > 0) {
            StartPlayback(true);
            FillBlock(0);
            FillBlock(1);
        }
        if (valid)
            CursorSuspended = false;
        return true;
    case Qt::Key_Escape:
    case Qt::Key_0:
        StopPlayback(true);
        return true;
    case Qt::Key_S:
        RequestSampleSave(event->modifiers() & Qt::ControlModifier ? 1 : 0);
        return true;
    default:
        return false;
    }
}

void TForm1::RequestSampleSave(int saveAllOption) {
    // Saving reads the sample again: playback stops first.
    StopPlayback(true);
    emit SampleSaveRequested(saveAllOption);
}

void TForm1::TrackBar1Change(int position) {
    if (changesSuppressed_)
        return;
    if (workspace_.selection.DisplayMode == 2) {
        player_->PlayVolume = audio::VolumeForPosition(position);
        waveGain_ = static_cast<uint16_t>(player_->PlayVolume);
        sampleSliderPosition_ = position;
    } else if (workspace_.selection.DisplayMode == 1) {
        // A preset plays on the synthesizer: the slider is its MIDI volume.
        audition_->SetVolumePosition(position);
        presetSliderPosition_ = position;
    }
}

void TForm1::ChooseOutputDevice(QAction* item, int device) {
    std::string error;
    if (!player_->TestDevice(device, error)) {
        // The item the user clicked keeps no check mark: the one in use stays checked.
        item->setChecked(false);
        const int previous = player_->OutputDevice;
        if (previous == audio::kDefaultOutput)
            controls_.waveMapper->setChecked(true);
        else if (previous >= 0 && static_cast<size_t>(previous) < controls_.outputs.size())
            controls_.outputs[static_cast<size_t>(previous)]->setChecked(true);
        ShowMessage(error, item->text().toStdString(), MessageIcon::Warning);
        item->setEnabled(false);
        return;
    }
    player_->OutputDevice = device;
    item->setChecked(true);
}

void TForm1::PlayTimerTick() {
    if (player_->Poll(workspace_) || !player_->Playing()) {
        StopPlayback(true);
        return;
    }
    if (!CursorSuspended) {
        const uint64_t position = player_->Position();
        if (position >= kCursorLag)
            DrawPlayCursor(position - kCursorLag, false);
    }
}

void TForm1::DrawPlayCursor(uint64_t position, bool erase) {
    const BankModel& bank = workspace_.bank;
    const uint32_t sample = workspace_.selection.selectedSample;
    if (!bank.IsValidSample(sample) || infoPanel_ == nullptr)
        return;
    if (erase) {
        infoPanel_->SetCursor(0, -1);
        infoPanel_->SetCursor(1, -1);
        return;
    }
    const FrameBuffer* buffers[] = {&workspace_.samples.PlayLeft, &workspace_.samples.PlayRight};
    const audio::ChannelLoop loops[] = {audio::LeftLoop(bank, sample), audio::RightLoop(bank, sample)};
    for (int channel = 0; channel < 2; ++channel) {
        const uint32_t frames = buffers[channel]->FrameCount();
        if (frames == 0)
            continue;
        const audio::ChannelLoop& loop = loops[channel];
        const int x =
            CursorColumn(position, frames, infoPanel_->width(), {loop.looped, loop.start, loop.end});
        infoPanel_->SetCursor(channel, x);
    }
}

void TForm1::ShowBlockTitle(const QString& title, const QString& formatLabel) {
    label4_->setText(title);
    SetTextColour(label4_, Qt::yellow);
    label4_->show();
    if (!formatLabel.isEmpty())
        label1_->setText(formatLabel);
}

} // namespace quorvane::ui
