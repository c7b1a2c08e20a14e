// The main window's controls that its handlers reach after set-up, held by pointer so that no handler looks
// a control up by its name. The names stay the controls' objectNames (the layout and the tests use them).
#pragma once

#include <array>
#include <cstdint>

#include "audio/MidiInputs.h"
#include "audio/SynthDevices.h"
#include "audio/WavePlayer.h"

class QAction;
class QLabel;
class QListWidget;
class QObject;
class QSlider;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace quorvane::ui {

// The SCSI targets the Akai menu offers.
constexpr int kAkaiMenuDrives = 8;

struct MainControls {
    // Browser and bank views.
    QTreeWidget* treeView1 = nullptr;
    QListWidget* listBox1 = nullptr;
    QTreeWidget* treeView2 = nullptr;
    QTreeWidget* treeList = nullptr;
    QLabel* staticText3 = nullptr;
    QLabel* staticText4 = nullptr;
    QToolButton* speedButton1 = nullptr; // play / stop
    QToolButton* speedButton2 = nullptr; // sample save
    QToolButton* speedButton3 = nullptr; // auditioning switch
    QToolButton* speedButton4 = nullptr; // bank save
    QToolButton* speedPl = nullptr;      // sample list filter
    QSlider* trackBar1 = nullptr;        // volume
    QWidget* lampkaIn = nullptr;         // MIDI input lamp

    // Menu items.
    QAction* refresh = nullptr;
    QAction* menuSf2 = nullptr;
    QAction* menuGig = nullptr;
    QAction* menuSfz = nullptr;
    QAction* menuWave = nullptr;
    QAction* menuAiff = nullptr;
    QAction* menuAllAudioFiles = nullptr;
    std::array<QAction*, kAkaiMenuDrives> scsiDrives{};
    QAction* akaiImage = nullptr;
    QAction* menuHiddenDirs = nullptr;
    QAction* sortPreset = nullptr;
    QAction* sortWaveforms = nullptr;
    QAction* menuAutoPlay = nullptr;
    QAction* menuLinkMono = nullptr;
    QAction* menuUnmapped = nullptr;
    QAction* menuShowCompressed = nullptr;
    QAction* outputUnavailable = nullptr; // why samples cannot be played
    QAction* waveMapper = nullptr;
    std::array<QAction*, audio::kMaxOutputDevices> outputs{};
    std::array<QAction*, 3> middleC{};         // C3, C4, C5
    QAction* auditioningUnavailable = nullptr; // why auditioning cannot be used
    std::array<QAction*, audio::kMaxSynthDevices> synths{};
    std::array<QAction*, audio::kMaxMidiInputs> midiInputs{};
};

// Finds the controls below `window` once its controls and menus are built; a control that is missing is a
// fault of the window's set-up and stops the program.
MainControls FindMainControls(const QObject& window);

} // namespace quorvane::ui
