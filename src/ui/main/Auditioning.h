// The main window's auditioning: the synthesizer and MIDI input items of the Options menu and of
// PopupMenu4, the switch SpeedButton3, the MIDI input lamp, loading the selected preset or layer, the MIDI
// timer and the zone map played with the mouse. The Audition object decides; this controller turns the
// user's actions into its calls and shows its state.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QObject>

#include "audio/MidiInputs.h"
#include "audio/SynthDevices.h"
#include "core/Host.h"
#include "session/Workspace.h"
#include "ui/Audition.h"
#include "ui/ZoneMapKeys.h"

class QAction;
class QMenu;
class QMouseEvent;
class QPoint;
class QTimer;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace quorvane::ui {

class InfoPanel;

class AuditioningController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QWidget* window = nullptr;           // PopupMenu4's parent
        QToolButton* switchButton = nullptr; // SpeedButton3
        QWidget* lamp = nullptr;             // LampkaIn
        QTreeWidget* presetTree = nullptr;   // TreeView2: the node that is auditioned
        InfoPanel* panel = nullptr;          // the zone map the mouse plays
        QAction* unavailable = nullptr;      // the Auditioning menu's greyed reason, when it cannot be used
        std::array<QAction*, audio::kMaxSynthDevices> synths{};
        std::array<QAction*, audio::kMaxMidiInputs> midiInputs{};
    };

    // `synths` and `inputs` may be nullptr: the controller then has empty ones of its own.
    AuditioningController(Workspace& workspace, Host& host, audio::SynthDevices* synths,
                          audio::MidiInputs* inputs, const Widgets& widgets, QObject* parent);
    ~AuditioningController() override;

    Audition& Auditioning() { return *audition_; }

    // Opens the devices and shows them in the menus.
    void StartAuditioning();
    // A synthesizer item of either menu (0..5) and a MIDI input item (0..3).
    void ChooseSynthesizerClick(int device);
    void ChooseInputClick(int input);
    // The auditioning switch after the user toggled it.
    void SpeedButton3Click();
    // PopupMenu4 over the switch (`at` in the button's coordinates), its items copied from the Options
    // menu's.
    void ShowPopupMenu4(const QPoint& at);
    // Plays what the MIDI input has queued (the MIDI timer does this every few milliseconds).
    void MidiTimerTick();
    // Loads the selected preset, or layer when layers are auditioned, into the synthesizer.
    void AuditionSelectedNode();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The menus and the switch show the auditioning state.
    void ShowAuditionState();
    void ShowLamp(InputLamp lamp);
    // The zone map's mouse: true when the event played or was meant for playing.
    bool ZoneMapMouse(QMouseEvent* event);
    void PlayNotes(const std::vector<uint32_t>& messages);
    bool BankShown() const;

    Workspace& workspace_;
    Widgets widgets_;
    std::unique_ptr<audio::SynthDevices> ownSynths_;
    std::unique_ptr<audio::MidiInputs> ownInputs_;
    std::unique_ptr<Audition> audition_;
    ZoneMapNotes zoneMapNotes_; // the note the mouse holds on the zone map
    QTimer* midiTimer_ = nullptr;
    QMenu* popupMenu4_ = nullptr;
    // PopupMenu4's copies of the synthesizer and MIDI input items.
    std::array<QAction*, audio::kMaxSynthDevices> popupSynths_{};
    std::array<QAction*, audio::kMaxMidiInputs> popupInputs_{};
};

} // namespace quorvane::ui
