#include "ui/main/Playback.h"

#include <algorithm>

#include <QAction>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "ui/Artwork.h"
#include "ui/InfoPanel.h"
#include "ui/OutputDevices.h"
#include "ui/SampleView.h"

namespace quorvane::ui {

namespace {

constexpr int kPlayTimerMs = 5;
// The output reports frames as it takes them; the cursor trails by this many, about what is still on its
// way to the speaker.
constexpr uint64_t kCursorLag = 500;

} // namespace

PlaybackController::PlaybackController(Workspace& workspace, Host& host, audio::WaveOutput* output,
                                       size_t listedOutputs, const Widgets& widgets, QObject* parent)
    : QObject(parent), workspace_(workspace), host_(host), widgets_(widgets) {
    if (output == nullptr) {
        ownOutput_ = std::make_unique<SilentOutput>();
        output = ownOutput_.get();
    }
    player_ = std::make_unique<audio::WavePlayer>(*output);
    player_->ListOutputDevices();
    // The menu offers the devices the caller listed; playing needs at least one of them.
    player_->OutputDeviceCount =
        std::min<uint32_t>(player_->OutputDeviceCount, static_cast<uint32_t>(listedOutputs));
    unavailable_ = QString::fromStdString(output->Unavailable());
    if (unavailable_.isEmpty() && player_->OutputDeviceCount == 0)
        unavailable_ = "no sound output device was found";

    playTimer_ = new QTimer(this);
    playTimer_->setObjectName("PlayTimer");
    playTimer_->setInterval(kPlayTimerMs);
    playTimer_->setTimerType(Qt::PreciseTimer);
    connect(playTimer_, &QTimer::timeout, this, &PlaybackController::PlayTimerTick);

    connect(widgets_.playButton, &QToolButton::clicked, this, &PlaybackController::SpeedButton1Click);
    connect(widgets_.saveButton, &QToolButton::clicked, this,
            [this] { RequestSampleSave(SaveAllChoice::AsLastChosen); });
    connect(widgets_.volume, &QSlider::valueChanged, this, &PlaybackController::TrackBar1Change);
    sampleSliderPosition_ = presetSliderPosition_ = widgets_.volume->value();

    QAction* mapper = widgets_.defaultOutput;
    connect(mapper, &QAction::triggered, this,
            [this, mapper] { ChooseOutputDevice(mapper, audio::kDefaultOutput); });
    for (int i = 0; i < static_cast<int>(audio::kMaxOutputDevices); ++i) {
        QAction* item = widgets_.outputs[static_cast<size_t>(i)];
        connect(item, &QAction::triggered, this, [this, item, i] { ChooseOutputDevice(item, i); });
    }
    widgets_.sampleList->installEventFilter(this);
    SetPlayButton(PlayButtonPicture::Play);
    ShowUnavailable();
}

void PlaybackController::ShowUnavailable() {
    const bool unavailable = !unavailable_.isEmpty();
    widgets_.unavailable->setText("Playback unavailable: " + unavailable_);
    widgets_.unavailable->setVisible(unavailable);
    widgets_.unavailable->setEnabled(false);
    widgets_.defaultOutput->setEnabled(!unavailable);
    widgets_.playButton->setToolTip(unavailable ? "Playback unavailable: " + unavailable_
                                                : "Play or stop the sample");
}

void PlaybackController::PlayAsked() {
    if (!unavailable_.isEmpty()) {
        host_.ShowMessage(("Samples cannot be played: " + unavailable_ + ".").toStdString(), kMessageCaption,
                          MessageIcon::Warning);
        return;
    }
    PlaySelectedSample();
}

PlaybackController::~PlaybackController() {
    StopPlayback(false);
}

void PlaybackController::SetPlayButton(PlayButtonPicture picture) {
    const bool stop = picture == PlayButtonPicture::Stop;
    widgets_.playButton->setIcon(Artwork(stop ? "stop" : "play", {16, 16}));
    widgets_.playButton->setText(stop ? "Stop" : "Play");
    playButton_ = picture;
}

void PlaybackController::StartPlayback(bool updateButton) {
    if (!workspace_.bank.IsValidSample(workspace_.selection.selectedSample))
        return;
    if (updateButton && playButton_ != PlayButtonPicture::Stop)
        SetPlayButton(PlayButtonPicture::Stop);
    const audio::StartResult result = player_->StartPlayback(workspace_);
    if (!result.started) {
        SetPlayButton(PlayButtonPicture::Play);
        if (result.attempted)
            host_.ShowMessage(result.error, result.deviceName, MessageIcon::Warning);
        return;
    }
    widgets_.panel->SetCursor(0, -1);
    widgets_.panel->SetCursor(1, -1);
    cursorSuspended_ = true;
    playTimer_->start();
}

void PlaybackController::FillBlock(int block) {
    player_->FillBlock(workspace_, block);
}

void PlaybackController::StopPlayback(bool updateButton) {
    // A sample that ended by itself has closed its output already; its button and cursor remain.
    if (!player_->Playing() && !playTimer_->isActive())
        return;
    if (updateButton && playButton_ != PlayButtonPicture::Play)
        SetPlayButton(PlayButtonPicture::Play);
    cursorSuspended_ = true;
    playTimer_->stop();
    player_->StopPlayback();
    DrawPlayCursor(0, true);
}

void PlaybackController::PlaySelectedSample() {
    if (player_->OutputDeviceCount == 0)
        return;
    StartPlayback(true);
    FillBlock(0);
    FillBlock(1);
    cursorSuspended_ = false;
}

void PlaybackController::SpeedButton1Click() {
    if (player_->Playing()) {
        StopPlayback(true);
        return;
    }
    PlayAsked();
}

bool PlaybackController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widgets_.sampleList && event->type() == QEvent::KeyPress &&
        SampleListKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

bool PlaybackController::SampleListKey(QKeyEvent* event) {
    const bool valid = workspace_.bank.IsValidSample(workspace_.selection.selectedSample);
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (player_->Playing())
            StopPlayback(false);
        if (valid)
            PlayAsked();
        return true;
    case Qt::Key_Escape:
    case Qt::Key_0:
        StopPlayback(true);
        return true;
    case Qt::Key_S:
        RequestSampleSave(event->modifiers() & Qt::ControlModifier ? SaveAllChoice::On : SaveAllChoice::Off);
        return true;
    default:
        return false;
    }
}

void PlaybackController::RequestSampleSave(SaveAllChoice saveAll) {
    // Saving reads the sample again: playback stops first.
    StopPlayback(true);
    emit SampleSaveRequested(saveAll);
}

void PlaybackController::TrackBar1Change(int position) {
    if (workspace_.selection.DisplayMode == PanelContent::Sample) {
        player_->PlayVolume = audio::VolumeForPosition(position);
        sampleSliderPosition_ = position;
    } else if (workspace_.selection.DisplayMode == PanelContent::Preset) {
        // A preset plays on the synthesizer: the slider is its MIDI volume.
        presetSliderPosition_ = position;
        emit PresetVolumeChanged(position);
    }
}

void PlaybackController::ShowSampleVolume() {
    widgets_.volume->setToolTip("Audio Volume");
    {
        const QSignalBlocker quiet(widgets_.volume);
        widgets_.volume->setValue(sampleSliderPosition_);
    }
    player_->PlayVolume = audio::VolumeForPosition(sampleSliderPosition_);
}

void PlaybackController::ShowPresetVolume() {
    const QSignalBlocker quiet(widgets_.volume);
    widgets_.volume->setValue(presetSliderPosition_);
}

void PlaybackController::ChooseOutputDevice(QAction* item, int device) {
    std::string error;
    if (!player_->TestDevice(device, error)) {
        // The item the user clicked keeps no check mark: the one in use stays checked.
        item->setChecked(false);
        const int previous = player_->OutputDevice;
        if (previous == audio::kDefaultOutput)
            widgets_.defaultOutput->setChecked(true);
        else if (previous >= 0 && static_cast<size_t>(previous) < widgets_.outputs.size())
            widgets_.outputs[static_cast<size_t>(previous)]->setChecked(true);
        host_.ShowMessage(error, item->text().toStdString(), MessageIcon::Warning);
        item->setEnabled(false);
        return;
    }
    player_->OutputDevice = device;
    item->setChecked(true);
}

void PlaybackController::PlayTimerTick() {
    if (player_->Poll(workspace_) || !player_->Playing()) {
        StopPlayback(true);
        return;
    }
    if (!cursorSuspended_) {
        const uint64_t position = player_->Position();
        if (position >= kCursorLag)
            DrawPlayCursor(position - kCursorLag, false);
    }
}

void PlaybackController::DrawPlayCursor(uint64_t position, bool erase) {
    const BankModel& bank = workspace_.bank;
    const uint32_t sample = workspace_.selection.selectedSample;
    InfoPanel* panel = widgets_.panel;
    if (!bank.IsValidSample(sample))
        return;
    if (erase) {
        panel->SetCursor(0, -1);
        panel->SetCursor(1, -1);
        return;
    }
    const FrameBuffer* buffers[] = {&workspace_.samples.PlayLeft, &workspace_.samples.PlayRight};
    const audio::ChannelLoop loops[] = {audio::LeftLoop(bank, sample), audio::RightLoop(bank, sample)};
    for (int channel = 0; channel < 2; ++channel) {
        const uint32_t frames = buffers[channel]->FrameCount();
        if (frames == 0)
            continue;
        const audio::ChannelLoop& loop = loops[channel];
        const int x = CursorColumn(position, frames, panel->width(), {loop.looped, loop.start, loop.end});
        panel->SetCursor(channel, x);
    }
}

} // namespace quorvane::ui
