#include "ui/MainControls.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

namespace quorvane::ui {

namespace {

template <typename Control> Control* Find(const QObject& window, const QString& name) {
    auto* control = window.findChild<Control*>(name);
    if (control == nullptr)
        qFatal("The main window has no control named %s", qPrintable(name));
    return control;
}

template <typename Control, size_t N>
void FindNumbered(const QObject& window, const char* pattern, int first, std::array<Control*, N>& into) {
    for (size_t i = 0; i < N; ++i)
        into[i] = Find<Control>(window, QString::fromLatin1(pattern).arg(static_cast<int>(i) + first));
}

} // namespace

MainControls FindMainControls(const QObject& window) {
    MainControls c;
    c.treeView1 = Find<QTreeWidget>(window, "TreeView1");
    c.listBox1 = Find<QListWidget>(window, "ListBox1");
    c.treeView2 = Find<QTreeWidget>(window, "TreeView2");
    c.treeList = Find<QTreeWidget>(window, "TreeList");
    c.staticText3 = Find<QLabel>(window, "StaticText3");
    c.staticText4 = Find<QLabel>(window, "StaticText4");
    c.speedButton1 = Find<QToolButton>(window, "SpeedButton1");
    c.speedButton2 = Find<QToolButton>(window, "SpeedButton2");
    c.speedButton3 = Find<QToolButton>(window, "SpeedButton3");
    c.speedButton4 = Find<QToolButton>(window, "SpeedButton4");
    c.speedPl = Find<QToolButton>(window, "Speed_PL");
    c.trackBar1 = Find<QSlider>(window, "TrackBar1");
    c.lampkaIn = Find<QWidget>(window, "LampkaIn");

    c.refresh = Find<QAction>(window, "Refresh1");
    c.menuSf2 = Find<QAction>(window, "Menu_SF2");
    c.menuGig = Find<QAction>(window, "Menu_GIG");
    c.menuSfz = Find<QAction>(window, "Menu_SFZ");
    c.menuWave = Find<QAction>(window, "Menu_WAVE");
    c.menuAiff = Find<QAction>(window, "Menu_AIFF");
    c.menuAllAudioFiles = Find<QAction>(window, "Menu_AllAudioFiles");
    FindNumbered(window, "MenuSCSI%1", 0, c.scsiDrives);
    c.akaiImage = Find<QAction>(window, "MenuAkaiImage");
    c.menuHiddenDirs = Find<QAction>(window, "MenuHiddenDirs");
    c.sortPreset = Find<QAction>(window, "SortPreset");
    c.sortWaveforms = Find<QAction>(window, "SortWaveforms");
    c.menuAutoPlay = Find<QAction>(window, "Menu_AutoPlay");
    c.menuLinkMono = Find<QAction>(window, "Menu_LinkMono");
    c.menuUnmapped = Find<QAction>(window, "Menu_Unmapped");
    c.menuShowCompressed = Find<QAction>(window, "Menu_ShowCompressed");
    c.outputUnavailable = Find<QAction>(window, "menu_unavailable");
    c.waveMapper = Find<QAction>(window, "menu_wavemapper");
    FindNumbered(window, "menu_output%1", 0, c.outputs);
    c.middleC = {Find<QAction>(window, "Menu_C3"), Find<QAction>(window, "Menu_C4"),
                 Find<QAction>(window, "Menu_C5")};
    c.auditioningUnavailable = Find<QAction>(window, "Menu_AuditioningUnavailable");
    FindNumbered(window, "synth%1", 1, c.synths);
    FindNumbered(window, "Menu_midi%1", 0, c.midiInputs);
    return c;
}

} // namespace quorvane::ui
