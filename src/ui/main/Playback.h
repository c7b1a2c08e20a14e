// The main window's wave playback: the play button, the sample save button, the sample list's playing
// keys, the volume slider (a sample's gain, a preset's MIDI volume), the Audio Output menu and the play
// cursor over the waveform. The player decides what is played; this controller turns the user's actions
// into its calls and shows the results.
#pragma once

#include <array>
#include <memory>

#include <QObject>

#include "audio/WavePlayer.h"
#include "core/Host.h"
#include "session/Workspace.h"

class QAction;
class QKeyEvent;
class QSlider;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace quorvane::ui {

class InfoPanel;

// What the play button shows: Play while nothing plays, Stop while a sample plays.
enum class PlayButtonPicture { Play, Stop };

// How a sample save asked for here starts its "Save ALL Samples" box: as the user left it, off or on.
enum class SaveAllChoice { AsLastChosen, Off, On };

class PlaybackController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QToolButton* playButton = nullptr; // SpeedButton1
        QToolButton* saveButton = nullptr; // SpeedButton2
        QSlider* volume = nullptr;         // TrackBar1
        QTreeWidget* sampleList = nullptr; // TreeList: its playing keys
        InfoPanel* panel = nullptr;        // the waveform the cursor moves over
        QAction* defaultOutput = nullptr;  // menu_wavemapper
        QAction* unavailable = nullptr;    // the Audio Output menu's greyed reason, when nothing plays
        std::array<QAction*, audio::kMaxOutputDevices> outputs{};
    };

    // `output` is where samples play (nullptr: a silent one of its own); the menu offers `listedOutputs`
    // of its devices.
    PlaybackController(Workspace& workspace, Host& host, audio::WaveOutput* output, size_t listedOutputs,
                       const Widgets& widgets, QObject* parent);
    ~PlaybackController() override;

    audio::WavePlayer& Player() { return *player_; }

    // Opens the output for the selected sample; with updateButton the play button shows its stop picture.
    void StartPlayback(bool updateButton);
    void FillBlock(int block);
    void StopPlayback(bool updateButton);
    // Plays the selected sample from its start with the cursor following, when an output is there.
    void PlaySelectedSample();
    // The play button: stops a sample that plays, else starts the selected one.
    void SpeedButton1Click();
    // The volume slider moved to `position`.
    void TrackBar1Change(int position);
    // An Audio Output menu item: kDefaultOutput or a device.
    void ChooseOutputDevice(QAction* item, int device);

    // The slider shows the volume of what is on screen now: a sample's gain or a preset's MIDI volume.
    void ShowSampleVolume();
    void ShowPresetVolume();
    // Why samples cannot be played ("no sound server ... was found"); empty when they can.
    const QString& Unavailable() const { return unavailable_; }
    // Stops playback and asks for the sample save dialog.
    void RequestSampleSave(SaveAllChoice saveAll);

  signals:
    // Ctrl+S (every sample), S (one) or the save button (as last chosen), after playback stopped.
    void SampleSaveRequested(SaveAllChoice saveAll);
    // The slider moved while a preset is shown: the synthesizer's MIDI volume.
    void PresetVolumeChanged(int position);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool SampleListKey(QKeyEvent* event);
    void PlayTimerTick();
    void DrawPlayCursor(uint64_t position, bool erase);
    void SetPlayButton(PlayButtonPicture picture);
    // The menu and the play button say why nothing plays.
    void ShowUnavailable();
    // The user asked to play: plays, or says why nothing can.
    void PlayAsked();

    Workspace& workspace_;
    Host& host_;
    Widgets widgets_;
    std::unique_ptr<audio::WaveOutput> ownOutput_; // the output when the caller gave none
    std::unique_ptr<audio::WavePlayer> player_;
    QTimer* playTimer_ = nullptr;
    PlayButtonPicture playButton_ = PlayButtonPicture::Play;
    QString unavailable_;
    // Set while opening and stopping, so that the timer draws no cursor.
    bool cursorSuspended_ = true;
    // The volume slider's position in sample mode and in preset mode.
    int sampleSliderPosition_ = 0;
    int presetSliderPosition_ = 0;
};

} // namespace quorvane::ui
