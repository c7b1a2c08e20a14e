#include "ui/main/Auditioning.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "ui/Colours.h"
#include "ui/InfoPanel.h"
#include "ui/Palette.h"
#include "ui/PresetTreeLevel.h"

namespace quorvane::ui {

namespace {

// Often enough that a played note sounds without a delay anyone hears.
constexpr int kMidiTimerMs = 2;

const QColor kLampIdle(0, 119, 6);
const QColor kLampKeyHeld(255, 0, 0);

QAction* MakeCheckItem(QMenu* menu, const QString& name) {
    QAction* item = menu->addAction(QString());
    item->setObjectName(name);
    item->setCheckable(true);
    return item;
}

// PopupMenu4's item shows what the Options menu's item shows.
void CopyItem(const QAction* from, QAction* to) {
    to->setText(from->text());
    to->setChecked(from->isChecked());
    to->setEnabled(from->isEnabled());
    to->setVisible(from->isVisible());
}

} // namespace

AuditioningController::AuditioningController(Workspace& workspace, Host& host, audio::SynthDevices* synths,
                                             audio::MidiInputs* inputs, const Widgets& widgets,
                                             QObject* parent)
    : QObject(parent), workspace_(workspace), widgets_(widgets) {
    if (synths == nullptr) {
        ownSynths_ = std::make_unique<NoSynthDevices>();
        synths = ownSynths_.get();
    }
    if (inputs == nullptr) {
        ownInputs_ = std::make_unique<NoMidiInputs>();
        inputs = ownInputs_.get();
    }
    audition_ = std::make_unique<Audition>(*synths, *inputs, host);
    audition_->SetLampListener([this](InputLamp lamp) { ShowLamp(lamp); });

    midiTimer_ = new QTimer(this);
    midiTimer_->setObjectName("MidiTimer");
    midiTimer_->setInterval(kMidiTimerMs);
    connect(midiTimer_, &QTimer::timeout, this, &AuditioningController::MidiTimerTick);

    popupMenu4_ = new QMenu(widgets_.window);
    popupMenu4_->setObjectName("PopupMenu4");
    QAction* title = popupMenu4_->addAction("&Auditioning Settings:");
    title->setObjectName("Menu_AuditioningSettings");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    for (int device = 0; device < audio::kMaxSynthDevices; ++device) {
        QAction* copy = MakeCheckItem(popupMenu4_, QStringLiteral("Menu_synth%1").arg(device + 1));
        popupSynths_[static_cast<size_t>(device)] = copy;
        connect(copy, &QAction::triggered, this, [this, device] { ChooseSynthesizerClick(device); });
        connect(widgets_.synths[static_cast<size_t>(device)], &QAction::triggered, this,
                [this, device] { ChooseSynthesizerClick(device); });
    }
    popupMenu4_->addSeparator();
    for (int input = 0; input < audio::kMaxMidiInputs; ++input) {
        QAction* copy = MakeCheckItem(popupMenu4_, QStringLiteral("Menu_aud%1").arg(input + 4));
        popupInputs_[static_cast<size_t>(input)] = copy;
        connect(copy, &QAction::triggered, this, [this, input] { ChooseInputClick(input); });
        connect(widgets_.midiInputs[static_cast<size_t>(input)], &QAction::triggered, this,
                [this, input] { ChooseInputClick(input); });
    }

    QToolButton* speedButton3 = widgets_.switchButton;
    // A flat button that stays pressed in while auditioning is on.
    speedButton3->setStyleSheet("QToolButton:checked { background: rgb(232, 232, 232); border: 2px solid; "
                                "border-color: rgb(64, 64, 64) white white rgb(64, 64, 64); }");
    connect(speedButton3, &QToolButton::clicked, this, &AuditioningController::SpeedButton3Click);
    speedButton3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(speedButton3, &QWidget::customContextMenuRequested, this, &AuditioningController::ShowPopupMenu4);

    widgets_.panel->setMouseTracking(true);
    widgets_.panel->installEventFilter(this);
}

// The window shuts the devices down while the widgets are still there (TForm1's destructor).
AuditioningController::~AuditioningController() = default;

void AuditioningController::StartAuditioning() {
    audition_->Start();
    const int devices = audition_->DeviceCount();
    for (int device = 0; device < audio::kMaxSynthDevices; ++device) {
        QAction* item = widgets_.synths[static_cast<size_t>(device)];
        item->setVisible(device < devices);
        if (device < devices)
            item->setText(QString::fromStdString(audition_->DeviceName(device)));
    }
    const std::vector<std::string> inputs = audition_->InputNames();
    for (int input = 0; input < audio::kMaxMidiInputs; ++input) {
        QAction* item = widgets_.midiInputs[static_cast<size_t>(input)];
        const bool present = static_cast<size_t>(input) < inputs.size();
        item->setVisible(present);
        if (present)
            item->setText(QString::fromStdString(inputs[static_cast<size_t>(input)]));
    }
    if (inputs.empty()) {
        QAction* none = widgets_.midiInputs[0];
        none->setText("No Midi Inputs Available");
        none->setVisible(true);
        none->setEnabled(false);
    }
    ShowAuditionState();
}

void AuditioningController::ShowAuditionState() {
    for (int device = 0; device < audio::kMaxSynthDevices; ++device)
        widgets_.synths[static_cast<size_t>(device)]->setChecked(device == audition_->CheckedDevice());
    for (int input = 0; input < audio::kMaxMidiInputs; ++input)
        widgets_.midiInputs[static_cast<size_t>(input)]->setChecked(input == audition_->CurrentInput() &&
                                                                    audition_->InputChecked());
    // Until a synthesizer opens, the switch is off and greyed and says why; the synthesizer's item stays
    // there to try again.
    const QString unavailable = QString::fromStdString(audition_->Unavailable());
    widgets_.unavailable->setText("Auditioning unavailable: " + unavailable);
    widgets_.unavailable->setVisible(!unavailable.isEmpty());
    widgets_.unavailable->setEnabled(false);
    QToolButton* speedButton3 = widgets_.switchButton;
    speedButton3->setEnabled(audition_->DeviceCount() > 0 && unavailable.isEmpty());
    speedButton3->setChecked(audition_->On());
    speedButton3->setToolTip(unavailable.isEmpty() ? "Auditioning"
                                                   : "Auditioning unavailable: " + unavailable);
    // MIDI input is taken while an input is open.
    if (audition_->InputOpen())
        midiTimer_->start();
    else
        midiTimer_->stop();
}

void AuditioningController::ShowLamp(InputLamp lamp) {
    SetBackground(widgets_.lamp, lamp == InputLamp::KeyHeld ? kLampKeyHeld
                                 : lamp == InputLamp::Idle  ? kLampIdle
                                                            : kWindowGrey);
}

void AuditioningController::ChooseSynthesizerClick(int device) {
    audition_->ChooseSynthesizer(device);
    ShowAuditionState();
    AuditionSelectedNode();
}

void AuditioningController::ChooseInputClick(int input) {
    audition_->ChooseInput(input);
    ShowAuditionState();
}

void AuditioningController::SpeedButton3Click() {
    if (widgets_.switchButton->isChecked())
        audition_->SwitchOn();
    else
        audition_->SwitchOff();
    ShowAuditionState();
    // The preset or layer on screen is what the keys play from now on.
    AuditionSelectedNode();
}

void AuditioningController::ShowPopupMenu4(const QPoint& at) {
    for (size_t device = 0; device < popupSynths_.size(); ++device)
        CopyItem(widgets_.synths[device], popupSynths_[device]);
    for (size_t input = 0; input < popupInputs_.size(); ++input)
        CopyItem(widgets_.midiInputs[input], popupInputs_[input]);
    popupMenu4_->popup(widgets_.switchButton->mapToGlobal(at));
}

bool AuditioningController::BankShown() const {
    return widgets_.presetTree->topLevelItemCount() > 0;
}

void AuditioningController::MidiTimerTick() {
    audition_->DrainInput(BankShown());
}

void AuditioningController::AuditionSelectedNode() {
    QTreeWidgetItem* node = widgets_.presetTree->currentItem();
    if (node == nullptr || !node->isSelected())
        return;
    const PresetTreeLevel level = LevelOf(node);
    const Selection& selection = workspace_.selection;
    // A zone plays as part of its layer or preset: selecting one changes nothing on the synthesizer.
    if (level == PresetTreeLevel::Zone ||
        (level == PresetTreeLevel::Layer && !workspace_.settings.AuditionLayers))
        return;
    if (!audition_->On() || audition_->CurrentDevice() < 0 ||
        !workspace_.bank.IsValidSlot(selection.currentPreset))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    audition_->LoadShown(workspace_, selection.currentPreset,
                         level == PresetTreeLevel::Layer ? selection.currentLayer : -1);
    QApplication::restoreOverrideCursor();
    ShowAuditionState();
}

void AuditioningController::PlayNotes(const std::vector<uint32_t>& messages) {
    for (uint32_t message : messages)
        audition_->Play(message, false, BankShown());
}

bool AuditioningController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widgets_.panel &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonRelease) &&
        ZoneMapMouse(static_cast<QMouseEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

bool AuditioningController::ZoneMapMouse(QMouseEvent* event) {
    InfoPanel* panel = widgets_.panel;
    const bool presetShown = workspace_.selection.DisplayMode == PanelContent::Preset;
    const bool playable = presetShown && audition_->Playable();
    const ZoneMapPlayArea area = panel->PlayArea();
    const QPoint at = event->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseMove:
        if (playable && InPlayArea(area, at.x(), at.y()))
            panel->setCursor(Qt::PointingHandCursor);
        else
            panel->unsetCursor();
        if (!zoneMapNotes_.Held())
            return false;
        PlayNotes(zoneMapNotes_.Drag(KeyAt(area, at.y()), DragVelocity(area, at.x())));
        return true;
    case QEvent::MouseButtonPress:
        if (!playable || event->button() != Qt::LeftButton || !InPlayArea(area, at.x(), at.y()))
            return false;
        PlayNotes(zoneMapNotes_.Press(KeyAt(area, at.y()), PressVelocity(area, at.x())));
        return true;
    case QEvent::MouseButtonRelease:
        if (event->button() != Qt::LeftButton || !zoneMapNotes_.Held())
            return false;
        PlayNotes(zoneMapNotes_.Release());
        return true;
    default:
        return false;
    }
}

} // namespace quorvane::ui
