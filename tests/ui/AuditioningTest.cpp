// Auditioning in the main window with a recording synthesizer and MIDI inputs: start-up, the menus, the
// switch and PopupMenu4, opening the ports and the messages that follow, what a selection in the preset
// tree loads, MIDI input on channel 1 with the held keys and the lamp, the slider's MIDI volume, the zone
// map played with the mouse, and shut-down.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "AuditionDoubles.h"
#include "support/SmallModels.h"
#include "ui/Colours.h"
#include "ui/InfoPanel.h"
#include "ui/Unit1.h"

using namespace quorvane;
using namespace quorvane::ui;
using quorvane::test::QueuedInputs;
using quorvane::test::RecordingSynth;

namespace {

using Messages = std::vector<uint32_t>;

constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// Bank 120, bank LSB 0, program 0, volume, no reverb, no chorus.
Messages OpeningMessages(uint32_t volume) {
    return {0x7800B0, 0x0020B0, 0x0000C0, volume << 16 | 0x07B0, 0x005BB0, 0x005DB0};
}

struct ShownMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    bool hourglass; // the busy cursor was showing over the message
};

// Answers every message box as it opens and keeps what it said.
class MessageCatcher : public QObject {
  public:
    MessageCatcher() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.push_back({box->windowTitle(), box->text(), box->icon(),
                                 QApplication::overrideCursor() != nullptr});
                box->accept();
            }
        });
        timer_.start(5);
    }
    std::vector<ShownMessage> shown;

  private:
    QTimer timer_;
};

QColor LampColour(TForm1& form) {
    return form.findChild<QWidget*>("LampkaIn")->palette().color(QPalette::Window);
}

bool Contains(const std::vector<std::string>& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

} // namespace

class AuditioningTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<RecordingSynth> synth_;
    std::unique_ptr<QueuedInputs> inputs_;
    std::unique_ptr<TForm1> form_;
    // What the bank writer was asked for, and what it answers.
    std::vector<std::pair<uint32_t, int>> writes_;
    AuditionBank::Status writeStatus_ = AuditionBank::Written;
    uint64_t writeSize_ = 1000;

    void Make(std::vector<std::string> synths, std::vector<std::string> inputs) {
        synth_ = std::make_unique<RecordingSynth>(std::move(synths));
        inputs_ = std::make_unique<QueuedInputs>(std::move(inputs));
        DeviceLists devices = NoDeviceLists();
        devices.synthesizers = synth_.get();
        devices.midiInputs = inputs_.get();
        form_ = std::make_unique<TForm1>(dir_.filePath("settings.ini"), devices);
        form_->Auditioning().SetBankWriter([this](Workspace&, uint32_t slot, int layer) {
            writes_.push_back({slot, layer});
            AuditionBank bank;
            bank.status = writeStatus_;
            if (writeStatus_ != AuditionBank::Written)
                return bank;
            bank.path = dir_.filePath(QString("audition%1.sf2").arg(writes_.size())).toStdString();
            std::ofstream(bank.path) << "RIFF";
            bank.size = writeSize_;
            return bank;
        });
    }
    // Two presets of one layer and one zone each, shown in the preset tree.
    void ShowBank() {
        form_->Session().bank = quorvane::test::SmallModel({{}, {}});
        form_->FillPresetTree();
    }
    QTreeWidget* Tree() { return form_->findChild<QTreeWidget*>("TreeView2"); }
    QTreeWidgetItem* Preset(int row) { return Tree()->topLevelItem(row); }
    void Select(QTreeWidgetItem* node) { Tree()->setCurrentItem(node); }
    QAction* Item(const char* name) { return form_->findChild<QAction*>(name); }
    QToolButton* Switch() { return form_->findChild<QToolButton*>("SpeedButton3"); }
    void Receive(Messages messages) {
        inputs_->queue.insert(inputs_->queue.end(), messages.begin(), messages.end());
        form_->MidiTimerTick();
    }

  private slots:
    void init() {
        writes_.clear();
        writeStatus_ = AuditionBank::Written;
        writeSize_ = 1000;
    }
    void cleanup() { form_.reset(); }

    void StartUpMenusSwitchAndPopup();
    void WithoutDevicesAuditioningStaysOff();
    void PortFailuresAreToldAndAnInputCanBeDropped();
    void SelectionLoadsPresetsAndLayersButNeverZones();
    void LoadAndWriteFailures();
    void MidiInputPlaysOnChannelOneAndLightsTheLamp();
    void SliderIsTheMidiVolumeOfAPreset();
    void ZoneMapPlaysWithTheMouse();
    void ShutDownClearsTheBankAndClosesEverything();
    void RealBankIsWrittenLoadedAndRemoved();
};

void AuditioningTest::StartUpMenusSwitchAndPopup() {
    Make({"FluidSynth", "Second"}, {"Keys A", "Keys B"});
    QCOMPARE(Item("synth1")->text(), QString("FluidSynth"));
    QVERIFY(Item("synth1")->isVisible() && Item("synth1")->isChecked());
    QVERIFY(Item("synth2")->isVisible() && !Item("synth2")->isChecked());
    QVERIFY(!Item("synth3")->isVisible());
    QVERIFY(Switch()->isEnabled() && Switch()->isChecked());
    QCOMPARE(synth_->log, (std::vector<std::string>{"open 0"}));
    // The first input is tried once and closed again; the ports open when something is auditioned.
    QCOMPARE(inputs_->log, (std::vector<std::string>{"open 0", "close"}));
    QVERIFY(Item("Menu_midi0")->isChecked());
    QCOMPARE(Item("Menu_midi1")->text(), QString("Keys B"));
    QVERIFY(!Item("Menu_midi2")->isVisible());
    QCOMPARE(LampColour(*form_), kWindowGrey);

    form_->ShowPopupMenu4({2, 2});
    auto* popup = form_->findChild<QMenu*>("PopupMenu4");
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->actions().first()->text(), QString("&Auditioning Settings:"));
    QVERIFY(popup->actions().first()->font().bold());
    auto copy = [popup](const char* name) { return popup->findChild<QAction*>(name); };
    QCOMPARE(copy("Menu_synth1")->text(), QString("FluidSynth"));
    QVERIFY(copy("Menu_synth1")->isChecked() && !copy("Menu_synth3")->isVisible());
    QVERIFY(copy("Menu_aud5")->isVisible() && !copy("Menu_aud5")->isChecked());
    popup->hide();

    // The second synthesizer from the popup: the first is closed, the ports open on the second.
    synth_->log.clear();
    copy("Menu_synth2")->trigger();
    QCOMPARE(std::vector<std::string>(synth_->log.begin(), synth_->log.begin() + 3),
             (std::vector<std::string>{"close 0", "open 1", "output 1"}));
    QCOMPARE(synth_->sent, OpeningMessages(127));
    QVERIFY(Item("synth2")->isChecked() && !Item("synth1")->isChecked());
    QCOMPARE(LampColour(*form_), QColor(0, 119, 6));

    // Off closes the ports and the synthesizer; on opens them again.
    synth_->log.clear();
    synth_->sent.clear();
    QTest::mouseClick(Switch(), Qt::LeftButton);
    QVERIFY(!Switch()->isChecked() && !form_->Auditioning().On());
    QCOMPARE(synth_->log, (std::vector<std::string>{"output closed", "close 1"}));
    QCOMPARE(LampColour(*form_), kWindowGrey);
    QVERIFY(Item("synth2")->isChecked());
    QTest::mouseClick(Switch(), Qt::LeftButton);
    QVERIFY(Switch()->isChecked());
    QCOMPARE(synth_->sent, OpeningMessages(127));
    QVERIFY(Contains(synth_->log, "open 1"));
}

void AuditioningTest::WithoutDevicesAuditioningStaysOff() {
    Make({}, {});
    QVERIFY(!Switch()->isEnabled() && !Switch()->isChecked());
    QVERIFY(!Item("synth1")->isVisible());
    QAction* none = Item("Menu_midi0");
    QCOMPARE(none->text(), QString("No Midi Inputs Available"));
    QVERIFY(none->isVisible() && !none->isEnabled() && !none->isChecked());
    ShowBank();
    Select(Preset(0));
    QVERIFY(writes_.empty());
}

void AuditioningTest::PortFailuresAreToldAndAnInputCanBeDropped() {
    Make({"FluidSynth"}, {"Keys A"});
    MessageCatcher catcher;
    inputs_->openResult = audio::PortResult::InUse;
    synth_->outputResult = audio::PortResult::Failed;
    form_->ChooseSynthesizerClick(0);
    QCOMPARE(catcher.shown.size(), size_t(2));
    QCOMPARE(catcher.shown[0].caption, QString("Quorvane v1.1"));
    QCOMPARE(catcher.shown[0].text, QString("MIDI Input Device is using by another program."));
    QCOMPARE(catcher.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(catcher.shown[1].text, QString("Couldn't open the MIDI Output Device."));
    QVERIFY(!Item("Menu_midi0")->isChecked());
    QVERIFY(synth_->sent.empty());

    inputs_->openResult = audio::PortResult::Failed;
    synth_->outputResult = audio::PortResult::InUse;
    form_->ChooseInputClick(0);
    QCOMPARE(catcher.shown.size(), size_t(4));
    QCOMPARE(catcher.shown[2].text, QString("Couldn't open the MIDI Input Device."));
    QCOMPARE(catcher.shown[3].text, QString("MIDI Output Device is using by another program."));

    // Both open: the input is checked and the output hears the opening messages.
    inputs_->openResult = audio::PortResult::Opened;
    synth_->outputResult = audio::PortResult::Opened;
    Item("Menu_midi0")->trigger();
    QVERIFY(Item("Menu_midi0")->isChecked());
    QCOMPARE(synth_->sent, OpeningMessages(127));
    QCOMPARE(catcher.shown.size(), size_t(4));
    // The checked input clicked again is dropped.
    Item("Menu_midi0")->trigger();
    QVERIFY(!Item("Menu_midi0")->isChecked());
    QCOMPARE(inputs_->log.back(), std::string("close"));
    QCOMPARE(form_->Auditioning().CurrentInput(), -1);
    QCOMPARE(LampColour(*form_), kWindowGrey);
}

void AuditioningTest::SelectionLoadsPresetsAndLayersButNeverZones() {
    Make({"FluidSynth"}, {"Keys A"});
    ShowBank();
    Select(Preset(0));
    QCOMPARE(writes_, (std::vector<std::pair<uint32_t, int>>{{1, -1}}));
    QCOMPARE(synth_->log.back(), std::string("send 005db0"));
    QVERIFY(Contains(synth_->log, "load 0 120"));
    QVERIFY(!Contains(synth_->log, "clear 0 120"));
    // The temporary bank is gone once it is loaded.
    QVERIFY(!std::filesystem::exists(synth_->loadedPaths.at(0)));

    // The next preset: every note stops, the last bank goes, the new one comes; the open output hears
    // no opening messages again.
    synth_->log.clear();
    Select(Preset(1));
    QCOMPARE(synth_->log, (std::vector<std::string>{"send 0078b0", "clear 0 120", "load 0 120"}));

    // A layer only with "Auditioning Layers"; a zone never.
    form_->BuildChildren(Preset(1));
    QTreeWidgetItem* layer = Preset(1)->child(0);
    Select(layer);
    QCOMPARE(writes_.size(), size_t(2));
    Item("Menu_AuditioningLayers")->trigger();
    QVERIFY(form_->Session().settings.AuditionLayers);
    Select(Preset(0));
    Select(layer);
    QCOMPARE(writes_.back(), (std::pair<uint32_t, int>{2, 0}));
    form_->BuildChildren(layer);
    const size_t before = writes_.size();
    Select(layer->child(0));
    QCOMPARE(writes_.size(), before);

    // Switched off, nothing loads.
    QTest::mouseClick(Switch(), Qt::LeftButton);
    Select(Preset(1));
    QCOMPARE(writes_.size(), before);

    // Switched on again, the preset on screen is loaded into the reopened synthesizer at once, so the
    // keys play without another click; the closed device had no bank left to clear.
    synth_->log.clear();
    QTest::mouseClick(Switch(), Qt::LeftButton);
    QCOMPARE(writes_.size(), before + 1);
    QVERIFY(Contains(synth_->log, "load 0 120"));
    QVERIFY(!Contains(synth_->log, "clear 0 120"));
    QVERIFY(form_->Auditioning().Playable());
}

void AuditioningTest::LoadAndWriteFailures() {
    Make({"FluidSynth"}, {});
    ShowBank();
    MessageCatcher catcher;
    synth_->loadResult = 3;
    writeSize_ = 1572864;
    Select(Preset(0));
    QCOMPARE(catcher.shown.size(), size_t(1));
    QCOMPARE(catcher.shown[0].text,
             QString("Unable to load soundfont 1.5Mb\nNot enough DRAM memory on Audio Card.\n\nFluidSynth"));
    QCOMPARE(catcher.shown[0].icon, QMessageBox::Critical);
    // The hourglass of the load gives way to the ordinary cursor while the message waits, and is gone after.
    QVERIFY(!catcher.shown[0].hourglass);
    QVERIFY(QApplication::overrideCursor() == nullptr);

    // A bank that cannot be written loads nothing; the writer has told the user, the window adds nothing.
    synth_->loadResult = 0;
    synth_->log.clear();
    writeStatus_ = AuditionBank::WriteFailed;
    Select(Preset(1));
    QCOMPARE(catcher.shown.size(), size_t(1));
    QVERIFY(synth_->log.empty());
    // A preset without samples: nothing to load, nothing to say.
    writeStatus_ = AuditionBank::NothingSelected;
    Select(Preset(1));
    QCOMPARE(catcher.shown.size(), size_t(1));
    QVERIFY(synth_->log.empty());
    // Auditioning goes on as soon as a bank can be written again.
    writeStatus_ = AuditionBank::Written;
    Select(Preset(0));
    QVERIFY(Contains(synth_->log, "load 0 120"));
}

void AuditioningTest::MidiInputPlaysOnChannelOneAndLightsTheLamp() {
    Make({"FluidSynth"}, {"Keys A"});
    ShowBank();
    Select(Preset(0));
    QVERIFY(form_->Auditioning().InputOpen());
    QCOMPARE(LampColour(*form_), QColor(0, 119, 6));
    synth_->sent.clear();

    Receive({0x643C94}); // note-on on channel 5
    QCOMPARE(synth_->sent, Messages{0x643C90});
    QCOMPARE(form_->Auditioning().HeldVelocity(60), uint8_t(100));
    QCOMPARE(LampColour(*form_), QColor(255, 0, 0));
    // A note-on of velocity 0 ends key 60; key 62 still sounds.
    Receive({0x5A3E90, 0x003C90});
    QCOMPARE(form_->Auditioning().HeldVelocity(60), uint8_t(0));
    QCOMPARE(LampColour(*form_), QColor(255, 0, 0));
    // The last key let go: green.
    Receive({0x403E83});
    QCOMPARE(synth_->sent.back(), uint32_t(0x403E80));
    QCOMPARE(LampColour(*form_), QColor(0, 119, 6));
    // SysEx, stray data bytes, clock and end of SysEx play nothing; a controller on channel 16 plays on 1.
    synth_->sent.clear();
    Receive({0x7E00F0, 0x00007F, 0x0000F8, 0x0000F7, 0xFFFFFFFF, 0x4007BF});
    QCOMPARE(synth_->sent, Messages{0x4007B0});
    QCOMPARE(LampColour(*form_), QColor(0, 119, 6));

    // With the preset tree empty nothing plays.
    synth_->sent.clear();
    Tree()->clear();
    Receive({0x643C90});
    QVERIFY(synth_->sent.empty());
}

void AuditioningTest::SliderIsTheMidiVolumeOfAPreset() {
    Make({"FluidSynth"}, {});
    ShowBank();
    Select(Preset(0));
    auto* slider = form_->findChild<QSlider*>("TrackBar1");
    QCOMPARE(slider->toolTip(), QString("MIDI Volume"));
    synth_->sent.clear();
    slider->setValue(16);
    QCOMPARE(form_->Auditioning().MidiVolume(), 63);
    QCOMPARE(synth_->sent, Messages{0x3F07B0});
    slider->setValue(32);
    QCOMPARE(form_->Auditioning().MidiVolume(), 0);
    // The next preset finds the slider where the last one left it.
    slider->setValue(8);
    Select(Preset(1));
    QCOMPARE(slider->value(), 8);
    QCOMPARE(form_->Auditioning().MidiVolume(), 95);
}

void AuditioningTest::ZoneMapPlaysWithTheMouse() {
    Make({"FluidSynth"}, {});
    form_->resize(1000, 640);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    ShowBank();
    Select(Preset(0));
    InfoPanel* panel = form_->Panel();
    panel->Compose();
    const ZoneMapPlayArea area = panel->PlayArea();
    QVERIFY(area.bottom - area.top > 100);
    const QPoint press(area.width / 2, (area.top + area.bottom) / 2);
    const QPoint drag(area.width / 2, area.top + 2);
    auto send = [panel](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, panel->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(panel, &event);
    };

    send(QEvent::MouseMove, press, Qt::NoButton);
    QCOMPARE(panel->cursor().shape(), Qt::PointingHandCursor);
    send(QEvent::MouseMove, {10, press.y()}, Qt::NoButton);
    QCOMPARE(panel->cursor().shape(), Qt::ArrowCursor);

    synth_->sent.clear();
    const int key = KeyAt(area, press.y());
    const int velocity = PressVelocity(area, press.x());
    send(QEvent::MouseButtonPress, press, Qt::LeftButton);
    QCOMPARE(synth_->sent, Messages{NoteOn(key, velocity)});
    const int high = KeyAt(area, drag.y());
    QVERIFY(high > key);
    send(QEvent::MouseMove, drag, Qt::LeftButton);
    QCOMPARE(synth_->sent,
             (Messages{NoteOn(key, velocity), NoteOn(key, 0), NoteOn(high, DragVelocity(area, drag.x()))}));
    send(QEvent::MouseButtonRelease, drag, Qt::NoButton);
    QCOMPARE(synth_->sent.back(), NoteOn(high, 0));

    // Switched off, the map plays nothing and keeps the usual cursor.
    QTest::mouseClick(Switch(), Qt::LeftButton);
    synth_->sent.clear();
    send(QEvent::MouseMove, press, Qt::NoButton);
    QCOMPARE(panel->cursor().shape(), Qt::ArrowCursor);
    send(QEvent::MouseButtonPress, press, Qt::LeftButton);
    QVERIFY(synth_->sent.empty());
}

void AuditioningTest::ShutDownClearsTheBankAndClosesEverything() {
    Make({"FluidSynth", "Second"}, {"Keys A"});
    ShowBank();
    Select(Preset(0));
    synth_->log.clear();
    form_.reset();
    QCOMPARE(synth_->log,
             (std::vector<std::string>{"output closed", "clear 0 120", "clear 1 120", "close 0"}));
    QCOMPARE(inputs_->log.back(), std::string("close"));
}

void AuditioningTest::RealBankIsWrittenLoadedAndRemoved() {
    QVERIFY(QFile::exists(kTimGM6mb));
    Make({"FluidSynth"}, {});
    form_->Auditioning().SetBankWriter(WriteAuditionBank);
    // Opening a bank shows its first preset, which is auditioned.
    form_->OpenPath(kTimGM6mb);
    QCOMPARE(synth_->loadedPaths.size(), size_t(1));
    QVERIFY(Contains(synth_->log, "load 0 120"));
    QVERIFY(!std::filesystem::exists(synth_->loadedPaths[0]));

    // No temporary folder: the writer says so once for each preset tried, and auditioning goes on.
    MessageCatcher catcher;
    const QByteArray was = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir_.filePath("missing/folder").toUtf8());
    Select(Preset(1));
    qputenv("TMPDIR", was);
    QCOMPARE(catcher.shown.size(), size_t(1));
    QVERIFY(catcher.shown[0].text.startsWith("Couldn't create a temporary file for auditioning in "));
    QCOMPARE(synth_->loadedPaths.size(), size_t(1));
    Select(Preset(2));
    QCOMPARE(synth_->loadedPaths.size(), size_t(2));
    QCOMPARE(catcher.shown.size(), size_t(1));
}

QTEST_MAIN(AuditioningTest)
#include "AuditioningTest.moc"
