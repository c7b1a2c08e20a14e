// The main menu of TForm1 and the handlers of the items this window answers itself.
#include <QActionGroup>
#include <QMenuBar>

#include "audio/MidiInputs.h"
#include "ui/Help.h"
#include "ui/InfoPanel.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"

namespace quorvane::ui {

namespace {

// Fills the numbered items of a device menu: one shown item per device, the rest hidden.
void ListDevices(const std::vector<QAction*>& items, const DeviceList& devices) {
    const std::vector<std::string> names = devices.Names();
    for (size_t i = 0; i < items.size(); ++i) {
        const bool present = i < names.size();
        items[i]->setVisible(present);
        if (present)
            items[i]->setText(QString::fromStdString(names[i]));
    }
}

} // namespace

QAction* TForm1::MakeItem(QMenu* menu, const char* name, const QString& caption, bool checkable) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(checkable);
    return item;
}

void TForm1::BuildMenu(const DeviceLists& devices) {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QAction* refresh = bar->addAction("&RefreshDrives");
    refresh->setObjectName("Refresh1");

    QMenu* format = bar->addMenu("&SoundFormat");
    format->setObjectName("SoundFormat1");
    format->menuAction()->setObjectName("SoundFormat1");
    formatGroup_ = new QActionGroup(this);
    // "All Audio Files" checks the three audio items together: the handler keeps the marks itself.
    formatGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    auto formatItem = [&](const char* name, const QString& caption) {
        QAction* item = MakeItem(format, name, caption, true);
        formatGroup_->addAction(item);
        return item;
    };
    formatItem("Menu_SF2", "&SoundFont    (*.sf2)")->setChecked(true);
    formatItem("Menu_GIG", "&GigaSampler    (*.gig)");
    formatItem("Menu_SFZ", "S&FZ    (*.sfz)");
    format->addSeparator();
    QMenu* akai = format->addMenu("&Akai S1000/S3000");
    akai->setObjectName("Menu_AKAI");
    akai->menuAction()->setObjectName("Menu_AKAI");
    std::vector<QAction*> drives;
    drives.reserve(kAkaiMenuDrives);
    for (int target = 0; target < kAkaiMenuDrives; ++target)
        drives.push_back(
            MakeItem(akai, qPrintable(QStringLiteral("MenuSCSI%1").arg(target)), QString::number(target)));
    // Drives the window probed itself follow those it was given.
    std::vector<std::string> driveNames = devices.akaiDrives->Names();
    for (const ScsiDrive& drive : workspace_.scsi.ScsiDevices)
        driveNames.push_back(drive.name);
    for (size_t i = 0; i < drives.size(); ++i) {
        drives[i]->setVisible(i < driveNames.size());
        if (i < driveNames.size())
            drives[i]->setText(QString::fromStdString(driveNames[i]));
    }
    akai->addSeparator();
    // Disc images are how most of these discs are kept today: they open as one more drive, so the menu
    // is there even on a machine without a CD-ROM drive.
    MakeItem(akai, "MenuAkaiImage", "Open Disc &Image ...");
    format->addSeparator();
    formatItem("Menu_WAVE", "&WAVE files (*.wav)");
    formatItem("Menu_AIFF", "AI&FF files (*.aif, *.aiff)");
    format->addSeparator();
    formatItem("Menu_AllAudioFiles", "All Audio Files");
    format->addSeparator();
    connect(MakeItem(format, "Menu_CompareBank", "&Compare Bank with ..."), &QAction::triggered, this,
            [this] { compare_->CompareBankClick(); });
    format->addSeparator();
    QAction* quit = MakeItem(format, "Menu_Quit", "&Quit");
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    BuildEditMenu(bar);

    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("Options1");
    options->menuAction()->setObjectName("Options1");
    auto toggle = [&](const char* name, const QString& caption, bool& flag) {
        QAction* item = MakeItem(options, name, caption, true);
        connect(item, &QAction::toggled, this, [&flag](bool on) { flag = on; });
        return item;
    };
    toggle("MenuHiddenDirs", "Show &Hidden Dirs", workspace_.settings.ShowHiddenDirs);
    toggle("SortPreset", "Sort &Presets Alphabetically", workspace_.settings.SortPresets);
    toggle("SortWaveforms", "Sort &Samples", workspace_.settings.SortSamples);
    toggle("Menu_AutoPlay", "AutoPlay Sample", workspace_.settings.AutoPlaySample);

    QMenu* output = options->addMenu("Audio Output");
    output->setObjectName("AudioOutput1");
    output->menuAction()->setObjectName("AudioOutput1");
    // Shown, greyed, when samples cannot be played, with the reason.
    MakeItem(output, "menu_unavailable", QString())->setVisible(false);
    auto* outputGroup = new QActionGroup(this);
    outputGroup->addAction(MakeItem(output, "menu_wavemapper", "Default (Wave Mapper)", true))
        ->setChecked(true);
    std::vector<QAction*> outputs;
    outputs.reserve(audio::kMaxOutputDevices);
    for (int i = 0; i < static_cast<int>(audio::kMaxOutputDevices); ++i)
        outputs.push_back(outputGroup->addAction(
            MakeItem(output, qPrintable(QStringLiteral("menu_output%1").arg(i)), QString(), true)));
    ListDevices(outputs, *devices.audioOutputs);

    QMenu* middleC = options->addMenu("&Middle C is");
    middleC->setObjectName("MiddleC_Is");
    middleC->menuAction()->setObjectName("MiddleC_Is");
    for (const auto& [name, caption] :
         {std::pair{"Menu_C3", "C&3"}, {"Menu_C4", "C&4"}, {"Menu_C5", "C&5"}}) {
        QAction* item = MakeItem(middleC, name, caption, true);
        connect(item, &QAction::triggered, this, [this, item] { MiddleCClick(item); });
    }

    // Auditioning: one item per synthesizer and per MIDI input, named when the devices are listed.
    QMenu* auditioning = options->addMenu("&Auditioning");
    auditioning->setObjectName("Auditioning1");
    auditioning->menuAction()->setObjectName("Auditioning1");
    // Shown, greyed, when auditioning cannot be used, with the reason.
    MakeItem(auditioning, "Menu_AuditioningUnavailable", QString())->setVisible(false);
    for (int i = 1; i <= audio::kMaxSynthDevices; ++i)
        MakeItem(auditioning, qPrintable(QStringLiteral("synth%1").arg(i)), QString(), true)
            ->setVisible(false);
    auditioning->addSeparator();
    for (int i = 0; i < audio::kMaxMidiInputs; ++i)
        MakeItem(auditioning, qPrintable(QStringLiteral("Menu_midi%1").arg(i)), QString(), true)
            ->setVisible(false);

    toggle("Menu_AuditioningLayers", "&Auditioning Layers", workspace_.settings.AuditionLayers);
    options->addSeparator();
    auto workspaceToggle = [&](const char* name, const QString& caption, bool& flag) {
        QAction* item = MakeItem(options, name, caption, true);
        item->setChecked(flag);
        item->setVisible(false);
        connect(item, &QAction::toggled, this, [&flag](bool on) { flag = on; });
    };
    workspaceToggle("Menu_LinkMono", "Link Mono Samples", workspace_.settings.LinkMonoSamples);
    workspaceToggle("Menu_Unmapped", "Read &Unmapped Regions", workspace_.settings.ReadUnmappedRegions);
    workspaceToggle("Menu_ShowCompressed", "Show (Compressed)", workspace_.settings.Menu_ShowCompressed);

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("Help1");
    help->menuAction()->setObjectName("Help1");
    for (const auto& [name, caption] :
         {std::pair{"Info1", "&Quick Info"}, {"HelpF11", "&Tips && Shortcuts"}, {"Help2", "&Help"}}) {
        QAction* item = MakeItem(help, name, caption);
        connect(item, &QAction::triggered, this, [this, item] { HelpClick(item); });
    }
    help->addSeparator();
    connect(MakeItem(help, "Menu_WWW", "Quorvane on WWW"), &QAction::triggered, this,
            [] { OpenProjectPage(); });
    help->addSeparator();
    connect(MakeItem(help, "About2", "&About Quorvane ..."), &QAction::triggered, this, &TForm1::About2Click);
}

void TForm1::MiddleCClick(QAction* item) {
    // C3, C4 and C5 in the menu's order, as offsets of the note numbers' octaves.
    static constexpr std::array<int, 3> kOffsets = {0, 12, 24};
    for (size_t i = 0; i < kOffsets.size(); ++i) {
        QAction* choice = controls_.middleC[i];
        choice->setChecked(choice == item);
        if (choice == item)
            workspace_.settings.MiddleCOffset = kOffsets[i];
    }
    // Every note name on screen is drawn by the information panel.
    if (infoPanel_ != nullptr)
        infoPanel_->Redraw();
}

void TForm1::HelpClick(QAction* item) {
    const QString name = item->objectName();
    OpenHelpPage(name == "Info1" ? kQuickInfoPage : name == "HelpF11" ? kTipsPage : kHelpPage);
}

void TForm1::About2Click() {
    form3_->SetBuildLabel(buildLabel_);
    form3_->show();
    form3_->raise();
}

} // namespace quorvane::ui
