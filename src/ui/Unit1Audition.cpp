// Auditioning in TForm1: the synthesizer and MIDI input items of the Options menu and of PopupMenu4, the
// switch SpeedButton3, the MIDI input lamp, loading the selected preset or layer, the MIDI timer and the
// zone map played with the mouse. The Audition object decides; this file turns the user's actions into its
// calls and shows its state.
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
#include "ui/Unit1.h"

namespace quorvane::ui {

namespace {

// Often enough that a played note sounds without a delay anyone hears.
constexpr int kMidiTimerMs = 2;

const QColor kLampIdle(0, 119, 6);
const QColor kLampKeyHeld(255, 0, 0);

int LevelOf(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* at = node->parent(); at; at = at->parent())
        ++level;
    return level;
}

} // namespace

void TForm1::ConnectAuditioning(const DeviceLists& devices) {
    audio::SynthDevices* synths = devices.synthesizers;
    if (synths == nullptr) {
        ownSynths_ = std::make_unique<NoSynthDevices>();
        synths = ownSynths_.get();
    }
    audio::MidiInputs* inputs = devices.midiInputs;
    if (inputs == nullptr) {
        ownInputs_ = std::make_unique<NoMidiInputs>();
        inputs = ownInputs_.get();
    }
    audition_ = std::make_unique<Audition>(*synths, *inputs, *this);
    audition_->SetLampListener([this](InputLamp lamp) { ShowLamp(lamp); });

    midiTimer_ = new QTimer(this);
    midiTimer_->setObjectName("MidiTimer");
    midiTimer_->setInterval(kMidiTimerMs);
    connect(midiTimer_, &QTimer::timeout, this, &TForm1::MidiTimerTick);

    popupMenu4_ = new QMenu(this);
    popupMenu4_->setObjectName("PopupMenu4");
    QAction* title = popupMenu4_->addAction("&Auditioning Settings:");
    title->setObjectName("Menu_AuditioningSettings");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    for (int device = 0; device < audio::kMaxSynthDevices; ++device) {
        QAction* copy = MakeItem(popupMenu4_, qPrintable(QStringLiteral("Menu_synth%1").arg(device + 1)),
                                 QString(), true);
        popupSynths_[static_cast<size_t>(device)] = copy;
        connect(copy, &QAction::triggered, this, [this, device] { ChooseSynthesizerClick(device); });
        connect(controls_.synths[static_cast<size_t>(device)], &QAction::triggered, this,
                [this, device] { ChooseSynthesizerClick(device); });
    }
    popupMenu4_->addSeparator();
    for (int input = 0; input < audio::kMaxMidiInputs; ++input) {
        QAction* copy =
            MakeItem(popupMenu4_, qPrintable(QStringLiteral("Menu_aud%1").arg(input + 4)), QString(), true);
        popupInputs_[static_cast<size_t>(input)] = copy;
        connect(copy, &QAction::triggered, this, [this, input] { ChooseInputClick(input); });
        connect(controls_.midiInputs[static_cast<size_t>(input)], &QAction::triggered, this,
                [this, input] { ChooseInputClick(input); });
    }

    QToolButton* speedButton3 = controls_.speedButton3;
    // A flat button that stays pressed in while auditioning is on.
    speedButton3->setStyleSheet("QToolButton:checked { background: rgb(232, 232, 232); border: 2px solid; "
                                "border-color: rgb(64, 64, 64) white white rgb(64, 64, 64); }");
    connect(speedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    speedButton3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(speedButton3, &QWidget::customContextMenuRequested, this, &TForm1::ShowPopupMenu4);

    infoPanel_->setMouseTracking(true);
    infoPanel_->installEventFilter(this);
}

void TForm1::StartAuditioning() {
    audition_->Start();
    const int devices = audition_->DeviceCount();
    for (int device = 0; device < audio::kMaxSynthDevices; ++device) {
        QAction* item = controls_.synths[static_cast<size_t>(device)];
        item->setVisible(device < devices);
        if (device < devices)
            item->setText(QString::fromStdString(audition_->DeviceName(device)));
    }
    const std::vector<std::string> inputs = audition_->InputNames();
    for (int input = 0; input < audio::kMaxMidiInputs; ++input) {
        QAction* item = controls_.midiInputs[static_cast<size_t>(input)];
        const bool present = static_cast<size_t>(input) < inputs.size();
        item->setVisible(present);
        if (present)
            item->setText(QString::fromStdString(inputs[static_cast<size_t>(input)]));
    }
    if (inputs.empty()) {
        QAction* none = controls_.midiInputs[0];
        none->setText("No Midi Inputs Available");
        none->setVisible(true);
        none->setEnabled(false);
    }
    ShowAuditionState();
}

void TForm1::ShowAuditionState() {
    for (int device = 0; device < audio::kMaxSynthDevices; ++device)
        controls_.synths[static_cast<size_t>(device)]->setChecked(device == audition_->CheckedDevice());
    for (int input = 0; input < audio::kMaxMidiInputs; ++input)
        controls_.midiInputs[static_cast<size_t>(input)]->setChecked(input == audition_->CurrentInput() &&
                                                                     audition_->InputChecked());
    QToolButton* speedButton3 = controls_.speedButton3;
    speedButton3->setEnabled(audition_->DeviceCount() > 0);
    speedButton3->setChecked(audition_->On());
    // MIDI input is taken while an input is open.
    if (audition_->InputOpen())
        midiTimer_->start();
    else
        midiTimer_->stop();
}

void TForm1::ShowLamp(InputLamp lamp) {
    SetBackground(controls_.lampkaIn, lamp == InputLamp::KeyHeld ? kLampKeyHeld
                                      : lamp == InputLamp::Idle  ? kLampIdle
                                                                 : kWindowGrey);
}

void TForm1::ChooseSynthesizerClick(int device) {
    audition_->ChooseSynthesizer(device);
    ShowAuditionState();
    AuditionSelectedNode();
}

void TForm1::ChooseInputClick(int input) {
    audition_->ChooseInput(input);
    ShowAuditionState();
}

void TForm1::SpeedButton3Click() {
    if (controls_.speedButton3->isChecked())
        audition_->SwitchOn();
    else
        audition_->SwitchOff();
    ShowAuditionState();
    // The preset or layer on screen is what the keys play from now on.
    AuditionSelectedNode();
}

void TForm1::ShowPopupMenu4(const QPoint& at) {
    for (int device = 0; device < audio::kMaxSynthDevices; ++device) {
        const QAction* item = controls_.synths[static_cast<size_t>(device)];
        QAction* copy = popupSynths_[static_cast<size_t>(device)];
        copy->setText(item->text());
        copy->setChecked(item->isChecked());
        copy->setEnabled(item->isEnabled());
        copy->setVisible(item->isVisible());
    }
    for (int input = 0; input < audio::kMaxMidiInputs; ++input) {
        const QAction* item = controls_.midiInputs[static_cast<size_t>(input)];
        QAction* copy = popupInputs_[static_cast<size_t>(input)];
        copy->setText(item->text());
        copy->setChecked(item->isChecked());
        copy->setEnabled(item->isEnabled());
        copy->setVisible(item->isVisible());
    }
    popupMenu4_->popup(controls_.speedButton3->mapToGlobal(at));
}

void TForm1::MidiTimerTick() {
    audition_->DrainInput(treeView2_->topLevelItemCount() > 0);
}

void TForm1::AuditionSelectedNode() {
    QTreeWidgetItem* node = treeView2_->currentItem();
    if (node == nullptr || !node->isSelected())
        return;
    const int level = LevelOf(node);
    const Selection& selection = workspace_.selection;
    // A zone plays as part of its layer or preset: selecting one changes nothing on the synthesizer.
    if (level == 2 || (level == 1 && !workspace_.settings.AuditionLayers))
        return;
    if (!audition_->On() || audition_->CurrentDevice() < 0 ||
        !workspace_.bank.IsValidSlot(selection.currentPreset))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    audition_->LoadShown(workspace_, selection.currentPreset, level == 1 ? selection.currentLayer : -1);
    QApplication::restoreOverrideCursor();
    ShowAuditionState();
}

void TForm1::PlayNotes(const std::vector<uint32_t>& messages) {
    for (uint32_t message : messages)
        audition_->Play(message, false, treeView2_->topLevelItemCount() > 0);
}

bool TForm1::ZoneMapMouse(QMouseEvent* event) {
    const bool presetShown = workspace_.selection.DisplayMode == 1;
    const bool playable = presetShown && audition_->Playable();
    const ZoneMapPlayArea area = infoPanel_->PlayArea();
    const QPoint at = event->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseMove:
        if (playable && InPlayArea(area, at.x(), at.y()))
            infoPanel_->setCursor(Qt::PointingHandCursor);
        else
            infoPanel_->unsetCursor();
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
