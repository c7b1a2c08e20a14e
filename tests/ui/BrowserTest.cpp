// The file browser and the bank views on real files made in a temporary folder: folder listing and its path
// lines, expanding and collapsing, the hidden-folder rule, the level-by-level search (also through a
// symbolic link that loops back), a bank shown in both trees, the edit keys, preset saves checked on disk,
// audio-file mode and opening a path named on the command line.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <unistd.h>

#include "convert/BankLoader.h"
#include "convert/BankViews.h"
#include "ui/InfoPanel.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

using namespace quorvane;
using namespace quorvane::ui;

namespace {

constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// A 16-bit mono WAVE file of `frames` frames of silence.
void WriteWave(const QString& path, uint32_t frames) {
    QByteArray bytes;
    auto u32 = [&](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    bytes.append("RIFF");
    u32(36 + frames * 2);
    bytes.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(44100);
    u32(88200);
    u16(2);
    u16(16);
    bytes.append("data");
    u32(frames * 2);
    bytes.append(QByteArray(static_cast<int>(frames * 2), '\0'));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& text) {
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text)
            return node->child(i);
    return nullptr;
}

// Answers every message box as it opens and keeps its text.
class MessageCatcher {
  public:
    MessageCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->accept();
            }
        });
        timer_.start(5);
    }
    QStringList shown;

  private:
    QTimer timer_;
};

// Closes the conversion progress window once the run has finished with it, as the user's OK does.
void CloseProgressWhenDone(TForm1& form) {
    auto* timer = new QTimer(&form);
    QObject::connect(timer, &QTimer::timeout, &form, [&form, timer] {
        for (ProgressWindow* window : {static_cast<ProgressWindow*>(form.BankProgress()),
                                       static_cast<ProgressWindow*>(form.SampleProgress())}) {
            if (window->isVisible() && window->MayClose()) {
                window->close();
                timer->deleteLater();
                return;
            }
        }
    });
    timer->start(20);
}

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString root_;

    QString Path(const QString& name) const { return root_ + name; }
    void Copy(const QString& to) { QVERIFY(QFile::copy(kTimGM6mb, Path(to))); }

  private slots:
    void initTestCase();
    void FolderListingAndPathLines();
    void ExpandOnceCollapseForgetsAndTheHiddenFolderRule();
    void SearchGoesLevelByLevelAndEndsOnALoop();
    void BankFillsBothTrees();
    void EditKeysChangeThePresetAndRecordOneLine();
    void EditsOnScreenAreMarkedAndKeptBySavingTheBankAlone();
    void UnreadableBankSaysSoAndLeavesNothingOnScreen();
    void NonAkaiDiscImageKeepsTheFolders();
    void EditsAreUndoneAndRedoneAndDeleteAsks();
    void FolderOpensInTheListingOfItsFiles();
    void PresetSaveCombinedAndSeparate();
    void SampleSavesOneFileOrTheWholeList();
    void AudioFileModeListsTheFolder();
    void FindingThingsInTheWindow();
    void OpeningAPathFromOutside();
    void GigaSamplerAndAkaiBanksAndScreenshots();
};

void BrowserTest::initTestCase() {
    QVERIFY(QFile::exists(kTimGM6mb));
    root_ = QDir(dir_.path()).canonicalPath() + "/";
    // banks/ Beta.sf2 alpha.SF2 Ignored.gig notes.txt; banks/sub/Deep.sf2; banks/sub/deeper/Deepest.sf2;
    // banks/.hidden/Secret.sf2; banks/onlyhidden/.x/; banks/sub/loop -> banks
    for (const char* folder : {"banks/sub/deeper", "banks/.hidden", "banks/onlyhidden/.x", "audio"})
        QVERIFY(QDir().mkpath(Path(folder)));
    Copy("banks/Beta.sf2");
    Copy("banks/alpha.SF2");
    Copy("banks/sub/Deep.sf2");
    Copy("banks/sub/deeper/Deepest.sf2");
    Copy("banks/.hidden/Secret.sf2");
    QFile(Path("banks/Ignored.gig")).open(QIODevice::WriteOnly);
    QFile(Path("banks/notes.txt")).open(QIODevice::WriteOnly);
    QVERIFY(::symlink(Path("banks").toUtf8().constData(), Path("banks/sub/loop").toUtf8().constData()) == 0);
    WriteWave(Path("audio/b.wav"), 1000);
    WriteWave(Path("audio/A.WAV"), 2000);
}

void BrowserTest::FolderListingAndPathLines() {
    TForm1 form(dir_.filePath("listing.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    QCOMPARE(form.CurrentFolder(), Path("banks/"));
    auto* list = form.findChild<QListWidget*>("ListBox1");
    // Extensions in any case, names without regard to case; nothing of another kind.
    QCOMPARE(Texts(list), QStringList({"alpha", "Beta"}));
    const Workspace& w = form.Session();
    for (uint32_t p = 0; p < 2; ++p)
        QCOMPARE(QString::fromStdString(EntryPath(w, p)),
                 Path(p == 0 ? "banks/alpha.SF2" : "banks/Beta.sf2"));
    QVERIFY(form.findChild<QWidget*>("SpeedButton4")->isVisibleTo(&form));

    // GigaSampler lists the .gig file instead.
    form.findChild<QAction*>("Menu_GIG")->trigger();
    QCOMPARE(Texts(list), QStringList({"Ignored"}));
}

void BrowserTest::ExpandOnceCollapseForgetsAndTheHiddenFolderRule() {
    TForm1 form(dir_.filePath("expand.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    QTreeWidgetItem* banks = tree->currentItem();
    banks->setExpanded(true);
    QVERIFY(Child(banks, "sub"));
    QVERIFY(!Child(banks, ".hidden"));
    // A folder whose only subfolder is hidden has an expand button, and expanding it shows nothing.
    QTreeWidgetItem* onlyHidden = Child(banks, "onlyhidden");
    QVERIFY(onlyHidden);
    QCOMPARE(onlyHidden->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    onlyHidden->setExpanded(true);
    QCOMPARE(onlyHidden->childCount(), 0);
    QCOMPARE(Child(banks, "sub")->child(0) == nullptr, true);

    // Expanding again reads nothing; after a collapse the disk is read again.
    QVERIFY(QDir().mkpath(Path("banks/later")));
    banks->setExpanded(false);
    QCOMPARE(banks->childCount(), 0);
    banks->setExpanded(true);
    QVERIFY(Child(banks, "later"));
    QVERIFY(QDir().mkpath(Path("banks/later2")));
    banks->setExpanded(true);
    QVERIFY(!Child(banks, "later2"));
    QDir(Path("banks/later")).removeRecursively();
    QDir(Path("banks/later2")).removeRecursively();
}

void BrowserTest::SearchGoesLevelByLevelAndEndsOnALoop() {
    TForm1 form(dir_.filePath("search.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.SearchFolder(FolderSearch::Banks);
    auto* list = form.findChild<QListWidget*>("ListBox1");
    // Sorted by name; the loop back to banks/ is walked once; hidden folders stay out.
    QCOMPARE(Texts(list), QStringList({"alpha", "Beta", "Deep", "Deepest"}));
    const Workspace& w = form.Session();
    const QStringList paths = {"banks/alpha.SF2", "banks/Beta.sf2", "banks/sub/Deep.sf2",
                               "banks/sub/deeper/Deepest.sf2"};
    for (int p = 0; p < paths.size(); ++p)
        QCOMPARE(QString::fromStdString(EntryPath(w, static_cast<uint32_t>(p))), Path(paths[p]));
    QCOMPARE(w.loader.listingKind, ListingKind::Search);
}

void BrowserTest::BankFillsBothTrees() {
    TForm1 form(dir_.filePath("trees.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(1);
    const Workspace& w = form.Session();
    QVERIFY(w.bank.PresetCount > 100);
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    QCOMPARE(presets->topLevelItemCount(), static_cast<int>(w.bank.PresetCount));
    // Sorted by name by default, the first node selected and shown.
    QVERIFY(presets->topLevelItem(0)->text(0).compare(presets->topLevelItem(1)->text(0), Qt::CaseSensitive) <=
            0);
    QCOMPARE(w.selection.currentPreset,
             static_cast<uint32_t>(presets->topLevelItem(0)->data(0, Qt::UserRole).toInt()));
    QCOMPARE(w.selection.DisplayMode, PanelContent::Preset);

    // In bank order when sorting is off: drum presets after every melodic one.
    form.findChild<QAction*>("SortPreset")->trigger();
    const std::vector<uint32_t> order = PresetTreeOrder(w.bank);
    for (int i = 0; i < presets->topLevelItemCount(); ++i)
        QCOMPARE(presets->topLevelItem(i)->data(0, Qt::UserRole).toUInt(), order[static_cast<size_t>(i)]);

    // Children: layers of a preset, zones of a layer, with their sample names.
    QTreeWidgetItem* first = presets->topLevelItem(0);
    form.BuildChildren(first);
    const uint32_t slot = first->data(0, Qt::UserRole).toUInt();
    QCOMPARE(static_cast<size_t>(first->childCount()), w.bank.PresetTable[slot].layerList.Count());
    form.BuildChildren(first->child(0));
    QVERIFY(first->child(0)->childCount() > 0);

    // The sample list holds every sample but right halves; the filter shows the current preset's.
    auto* samples = form.findChild<QTreeWidget*>("TreeList");
    int expected = 0;
    for (uint32_t s = 0; s < w.bank.SampleCount; ++s)
        expected += w.bank.SampleTable[s].sampleType != 2;
    QCOMPARE(samples->topLevelItemCount(), expected);
    presets->setCurrentItem(first);
    form.SpeedPlClick();
    QVERIFY(samples->topLevelItemCount() > 0);
    QVERIFY(samples->topLevelItemCount() < expected);
    form.SpeedPlClick();
    QCOMPARE(samples->topLevelItemCount(), expected);
}

void BrowserTest::EditKeysChangeThePresetAndRecordOneLine() {
    TForm1 form(dir_.filePath("keys.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(0);
    Workspace& w = form.Session();
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    presets->setFocus();
    QTreeWidgetItem* node = presets->topLevelItem(0);
    presets->setCurrentItem(node);
    const uint32_t slot = node->data(0, Qt::UserRole).toUInt();
    PresetRecord& preset = w.bank.PresetTable[slot];

    preset.program = 127;
    QTest::keyClick(presets, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(preset.program, 127);
    QTest::keyClick(presets, Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(preset.program, 126);
    for (const char* digit : {"1", "2", "8"})
        QTest::keyClicks(presets, digit);
    QCOMPARE(preset.bank, 8);
    const uint8_t drum = preset.isDrum;
    QTest::keyClicks(presets, "D");
    QTest::keyClicks(presets, "d");
    QCOMPARE(preset.isDrum, drum);
    const std::string& lines = w.attributes.EditAttributes;
    const std::string drumKey = QString::asprintf("PRES %04x DRUM", slot).toStdString();
    QCOMPARE(lines.find(drumKey) != std::string::npos, true);
    QCOMPARE(lines.find(drumKey, lines.find(drumKey) + 1), std::string::npos);
}

void BrowserTest::EditsOnScreenAreMarkedAndKeptBySavingTheBankAlone() {
    TForm1 form(dir_.filePath("kept.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(0);
    Workspace& w = form.Session();
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    presets->setFocus();
    presets->setCurrentItem(presets->topLevelItem(0));
    const uint32_t slot = presets->currentItem()->data(0, Qt::UserRole).toUInt();
    const PresetRecord before = w.bank.PresetTable[slot];
    QVERIFY(before.program < 127);
    QVERIFY(!presets->currentItem()->font(0).italic());
    QTest::keyClick(presets, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClicks(presets, "d");
    QVERIFY(presets->currentItem()->font(0).italic());
    QVERIFY(!presets->topLevelItem(1)->font(0).italic());
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    form.resize(900, 600);
    QVERIFY(form.grab().save(QUORVANE_SCREENSHOT_DIR "/browser-edited-preset.png"));

    form.findChild<QListWidget*>("ListBox1")->item(0)->setSelected(true);
    QVERIFY(QDir().mkpath(Path("kept")));
    CloseProgressWhenDone(form);
    const int shownPresets = presets->topLevelItemCount();
    form.RunBankSave(Path("kept/Edited.sf2"), OutputType::SoundFont);
    // The bank and its edits stay on screen.
    QCOMPARE(presets->topLevelItemCount(), shownPresets);
    QVERIFY(presets->topLevelItem(0)->font(0).italic());
    QCOMPARE(w.bank.PresetTable[slot].program, static_cast<uint16_t>(before.program + 1));
    TForm1 reader(dir_.filePath("kept-reader.ini"), NoDeviceLists());
    QVERIFY(reader.SelectFolder(Path("kept")));
    reader.LoadEntry(0);
    const BankModel& saved = reader.Session().bank;
    bool found = false;
    for (uint32_t s = 1; s <= saved.PresetCount; ++s) {
        const PresetRecord& preset = saved.PresetTable[s];
        if (preset.name != before.name)
            continue;
        found = true;
        QCOMPARE(preset.program, static_cast<uint16_t>(before.program + 1));
        QCOMPARE(preset.isDrum, static_cast<uint8_t>(!before.isDrum));
    }
    QVERIFY(found);
}

// A bank that cannot be read after a good one: a message that names it, empty views and title, no Save.
void BrowserTest::UnreadableBankSaysSoAndLeavesNothingOnScreen() {
    QVERIFY(QDir().mkpath(Path("damaged")));
    Copy("damaged/Good.sf2");
    QFile good(kTimGM6mb);
    QVERIFY(good.open(QIODevice::ReadOnly));
    QFile cut(Path("damaged/Cut.sf2"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(good.read(3000));
    cut.close();
    QFile empty(Path("damaged/Empty.sf2"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();

    TForm1 form(dir_.filePath("damaged.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("damaged")));
    QCOMPARE(Texts(form.findChild<QListWidget*>("ListBox1")), QStringList({"Cut", "Empty", "Good"}));
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    auto* samples = form.findChild<QTreeWidget*>("TreeList");
    auto* title = form.findChild<QLabel*>("Panel3");
    auto* shownName = form.findChild<QLabel*>("Label4");
    auto* save = form.findChild<QWidget*>("SpeedButton4");
    for (int bad : {0, 1}) {
        form.LoadEntry(2);
        QVERIFY(presets->topLevelItemCount() > 0);
        MessageCatcher catcher;
        form.LoadEntry(bad);
        const QStringList& shown = catcher.shown;
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(bad == 0 ? "Cut.sf2" : "Empty.sf2"), qPrintable(shown[0]));
        QCOMPARE(presets->topLevelItemCount(), 0);
        QCOMPARE(samples->topLevelItemCount(), 0);
        QCOMPARE(title->text(), QString(bad == 0 ? "DAMAGED BANK" : ""));
        QVERIFY(!shownName->isVisibleTo(&form));
        QVERIFY(!save->isEnabled());
    }
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    form.resize(900, 600);
    QVERIFY(form.grab().save(QUORVANE_SCREENSHOT_DIR "/browser-unreadable-bank.png"));
    form.LoadEntry(2);
    QVERIFY(save->isEnabled());
    // Handed over from outside, as a file manager does: said once, and nothing to save.
    MessageCatcher catcher;
    form.OpenPath(Path("damaged/Cut.sf2"));
    QCOMPARE(catcher.shown.size(), 1);
    QCOMPARE(presets->topLevelItemCount(), 0);
    QVERIFY(!save->isEnabled());
}

// A disc image without an Akai partition: the title says so, and the folders and banks stay listed.
void BrowserTest::NonAkaiDiscImageKeepsTheFolders() {
    QFile image(Path("plain.iso"));
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write(QByteArray(1 << 20, '\0'));
    image.close();
    TForm1 form(dir_.filePath("plain.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    MessageCatcher catcher;
    QVERIFY(!form.OpenDiscImage(Path("plain.iso")));
    QCOMPARE(catcher.shown.size(), 1);
    QVERIFY(catcher.shown[0].contains("No Akai"));
    QCOMPARE(form.ChosenSourceFormat(), SourceFormat::SoundFont);
    QCOMPARE(form.CurrentFolder(), Path("banks/"));
    QCOMPARE(Texts(form.findChild<QListWidget*>("ListBox1")), QStringList({"alpha", "Beta"}));
    QCOMPARE(form.findChild<QLabel*>("Panel3")->text(), QString("NOT AKAI CDROM"));
    QVERIFY(form.findChild<QAction*>("Menu_SF2")->isChecked());
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    form.resize(900, 600);
    QVERIFY(form.grab().save(QUORVANE_SCREENSHOT_DIR "/browser-not-akai.png"));
}

// Undo and redo over the edit keys, and a delete that asks first and can be undone.
void BrowserTest::EditsAreUndoneAndRedoneAndDeleteAsks() {
    TForm1 form(dir_.filePath("undo.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(0);
    Workspace& w = form.Session();
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    auto* undo = form.findChild<QAction*>("Menu_Undo");
    auto* redo = form.findChild<QAction*>("Menu_Redo");
    presets->setFocus();
    presets->setCurrentItem(presets->topLevelItem(0));
    const uint32_t slot = presets->currentItem()->data(0, Qt::UserRole).toUInt();
    const PresetRecord before = w.bank.PresetTable[slot];
    QVERIFY(!undo->isEnabled());

    QTest::keyClick(presets, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClicks(presets, "d");
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(w.bank.PresetTable[slot].isDrum, before.isDrum);
    QCOMPARE(w.bank.PresetTable[slot].program, static_cast<uint16_t>(before.program + 1));
    undo->trigger();
    QCOMPARE(w.bank.PresetTable[slot].program, before.program);
    QCOMPARE(w.attributes.EditAttributes, std::string());
    QVERIFY(!undo->isEnabled());
    // The node shows the preset as it is again.
    QCOMPARE(presets->currentItem()->data(0, Qt::UserRole).toUInt(), slot);
    QVERIFY(!presets->currentItem()->font(0).italic());
    QVERIFY(redo->isEnabled());
    redo->trigger();
    QCOMPARE(w.bank.PresetTable[slot].program, static_cast<uint16_t>(before.program + 1));

    // Delete asks; No keeps the preset, Yes removes it, and undo brings it back.
    const int count = presets->topLevelItemCount();
    auto answer = [](QMessageBox::StandardButton button) {
        QTimer::singleShot(20, [button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(button)->click();
        });
    };
    answer(QMessageBox::No);
    QTest::keyClick(presets, Qt::Key_Delete);
    QCOMPARE(presets->topLevelItemCount(), count);
    answer(QMessageBox::Yes);
    QTest::keyClick(presets, Qt::Key_Delete);
    QCOMPARE(presets->topLevelItemCount(), count - 1);
    undo->trigger();
    QCOMPARE(presets->topLevelItemCount(), count);
    bool back = false;
    for (int i = 0; i < count; ++i)
        back = back || presets->topLevelItem(i)->data(0, Qt::UserRole).toUInt() == slot;
    QVERIFY(back);
}

// A folder named on the command line opens in the listing that shows its files, and back.
void BrowserTest::FolderOpensInTheListingOfItsFiles() {
    TForm1 form(dir_.filePath("bycontent.ini"), NoDeviceLists());
    form.OpenPath(Path("audio"));
    QCOMPARE(form.ChosenSourceFormat(), SourceFormat::AudioFile);
    QCOMPARE(form.findChild<QTreeWidget*>("TreeList")->topLevelItemCount(), 2);
    form.OpenPath(Path("banks"));
    QCOMPARE(form.ChosenSourceFormat(), SourceFormat::SoundFont);
    auto* list = form.findChild<QListWidget*>("ListBox1");
    QCOMPARE(Texts(list), QStringList({"alpha", "Beta"}));
    QCOMPARE(list->item(1)->toolTip(), Path("banks/Beta.sf2"));
}

void BrowserTest::PresetSaveCombinedAndSeparate() {
    TForm1 form(dir_.filePath("save.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(0);
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    presets->setCurrentItem(presets->topLevelItem(0));
    for (int i = 0; i < 3; ++i)
        presets->topLevelItem(i)->setSelected(true);
    QVERIFY(QDir().mkpath(Path("out")));

    CloseProgressWhenDone(form);
    form.RunPresetSave(Path("out/Three.sf2"), OutputType::SoundFont, true);
    TForm1 reader(dir_.filePath("reader.ini"), NoDeviceLists());
    QVERIFY(reader.SelectFolder(Path("out")));
    QCOMPARE(Texts(reader.findChild<QListWidget*>("ListBox1")), QStringList({"Three"}));
    reader.LoadEntry(0);
    QCOMPARE(reader.Session().bank.PresetCount, 3);

    for (int i = 0; i < 3; ++i)
        presets->topLevelItem(i)->setSelected(true);
    CloseProgressWhenDone(form);
    form.RunPresetSave(Path("out/ignored.sf2"), OutputType::SoundFont, false);
    QCOMPARE(QDir(Path("out")).entryList(QDir::Files).size(), 4);
}

void BrowserTest::SampleSavesOneFileOrTheWholeList() {
    TForm1 form(dir_.filePath("samples.ini"), NoDeviceLists());
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(0);
    QVERIFY(QDir().mkpath(Path("one")));
    QVERIFY(QDir().mkpath(Path("all")));
    // A typed extension of the other type is replaced by the chosen type's.
    form.RunSampleSave(0, Path("one/First.wav"), SampleFileType::Aiff, false);
    QCOMPARE(QDir(Path("one")).entryList(QDir::Files), QStringList({"First.aif"}));

    CloseProgressWhenDone(form);
    form.RunSampleSave(0, Path("all/ignored.wav"), SampleFileType::Wave, true);
    const int listed = form.findChild<QTreeWidget*>("TreeList")->topLevelItemCount();
    QVERIFY(listed > 0);
    QCOMPARE(QDir(Path("all")).entryList(QDir::Files).size(), listed);
    QCOMPARE(form.Session().settings.LastDir, Path("all/").toStdString());
}

void BrowserTest::AudioFileModeListsTheFolder() {
    TForm1 form(dir_.filePath("audio.ini"), NoDeviceLists());
    form.findChild<QAction*>("Menu_AllAudioFiles")->trigger();
    QVERIFY(form.SelectFolder(Path("audio")));
    auto* samples = form.findChild<QTreeWidget*>("TreeList");
    QCOMPARE(samples->topLevelItemCount(), 2);
    QCOMPARE(samples->topLevelItem(0)->text(0), QString("A.WAV"));
    samples->setCurrentItem(samples->topLevelItem(1));
    QCOMPARE(form.Session().selection.selectedSample, 1u);
    QCOMPARE(form.Session().samples.PlayLeft.FrameCount(), 1000u);
    QVERIFY(form.findChild<QAction*>("Menu_AllAudioFiles")->isChecked());
    QVERIFY(form.findChild<QAction*>("Menu_WAVE")->isChecked());
}

// What helps a user find things: presets that show they open, a key range that follows Move Zones, the
// audio file's format in the title, search results that say where each file is, and a frame round the
// list that takes the keys.
void BrowserTest::FindingThingsInTheWindow() {
    // Two audio files of one name in two folders, for the search (made before the Explorer reads the
    // folders).
    for (const char* folder : {"found/one", "found/two"})
        QVERIFY(QDir().mkpath(Path(folder)));
    WriteWave(Path("found/one/Same.wav"), 100);
    WriteWave(Path("found/two/Same.wav"), 100);
    TForm1 form(dir_.filePath("finding.ini"), NoDeviceLists());
    form.resize(1000, 640);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.SelectFolder(Path("banks")));
    form.LoadEntry(1);
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    QVERIFY(presets->rootIsDecorated());
    QTreeWidgetItem* first = presets->topLevelItem(0);
    QCOMPARE(first->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    // Move Zones: the shown key range is the one the moved preset shows when selected afresh.
    auto keyRange = [&form] {
        for (const PanelText& text : form.Panel()->Block().texts)
            if (text.text.rfind("Key Range:", 0) == 0)
                return QString::fromStdString(text.text);
        return QString();
    };
    presets->setCurrentItem(first);
    form.Panel()->Compose();
    const QString before = keyRange();
    QVERIFY(!before.isEmpty());
    QMetaObject::invokeMethod(form.findChild<QMenu*>("Edit1"), "aboutToShow");
    form.findChild<QAction*>("Menu_MoveUp")->trigger();
    form.Panel()->Compose();
    const QString moved = keyRange();
    QVERIFY2(moved != before, qPrintable(moved));
    presets->setCurrentItem(presets->topLevelItem(1));
    presets->setCurrentItem(presets->topLevelItem(0));
    form.Panel()->Compose();
    QCOMPARE(keyRange(), moved);

    // The list that takes the keys wears the dark blue frame, the others a grey one.
    auto frameColour = [](QWidget* view) { return view->grab().toImage().pixelColor(0, view->height() / 2); };
    auto* explorer = form.findChild<QTreeWidget*>("TreeView1");
    presets->setFocus();
    QTRY_VERIFY(presets->hasFocus());
    QCOMPARE(frameColour(presets), QColor(0, 31, 159));
    QCOMPARE(frameColour(explorer), QColor(160, 160, 160));
    explorer->setFocus();
    QTRY_VERIFY(explorer->hasFocus());
    QCOMPARE(frameColour(explorer), QColor(0, 31, 159));
    QCOMPARE(frameColour(presets), QColor(160, 160, 160));

    // Audio files: the title bar names the format and bit depth; a search says where each file is.
    form.findChild<QAction*>("Menu_AllAudioFiles")->trigger();
    QVERIFY(form.SelectFolder(Path("audio")));
    auto* samples = form.findChild<QTreeWidget*>("TreeList");
    samples->setCurrentItem(samples->topLevelItem(0));
    form.Panel()->Compose();
    auto* label1 = form.findChild<QLabel*>("Label1");
    QCOMPARE(label1->text(), QString("Wave 16 bit"));
    QVERIFY(label1->isVisibleTo(&form));
    QVERIFY(form.SelectFolder(Path("found")));
    form.SearchFolder(FolderSearch::AudioFiles);
    QStringList tips;
    for (int i = 0; i < samples->topLevelItemCount(); ++i)
        tips << samples->topLevelItem(i)->toolTip(0);
    tips.sort();
    QCOMPARE(tips, QStringList({Path("found/one/Same.wav"), Path("found/two/Same.wav")}));
}

void BrowserTest::OpeningAPathFromOutside() {
    TForm1 form(dir_.filePath("open.ini"), NoDeviceLists());
    form.OpenPath(Path("banks/sub/Deep.sf2"));
    QCOMPARE(form.CurrentFolder(), Path("banks/sub/"));
    QCOMPARE(form.findChild<QListWidget*>("ListBox1")->currentRow(), 0);
    QVERIFY(form.Session().bank.PresetCount > 0);
    QVERIFY(form.Session().selection.currentPreset > 0);

    form.OpenPath(Path("audio/b.wav"));
    QCOMPARE(form.ChosenSourceFormat(), SourceFormat::AudioFile);
    QCOMPARE(form.Session().selection.selectedSample, 1u);
}

// A GigaSampler bank and an Akai disc (both made by the test-only programs) open in their modes and fill
// the trees; the main window in each mode is saved as a picture for people to look at.
void BrowserTest::GigaSamplerAndAkaiBanksAndScreenshots() {
    QVERIFY(QDir().mkpath(Path("gig")));
    QCOMPARE(QProcess::execute(QUORVANE_GIG_FIXTURES_PATH, {Path("gig")}), 0);
    QCOMPARE(QProcess::execute(QUORVANE_AKAI_IMAGE_PATH, {"sines", Path("sines.iso")}), 0);
    const QString shots = QUORVANE_SCREENSHOT_DIR;
    QDir().mkpath(shots);

    TForm1 form(dir_.filePath("modes.ini"), NoDeviceLists());
    form.resize(1000, 640);
    form.show();
    auto* list = form.findChild<QListWidget*>("ListBox1");
    auto* presets = form.findChild<QTreeWidget*>("TreeView2");
    auto* samples = form.findChild<QTreeWidget*>("TreeList");

    form.OpenPath(Path("banks/Beta.sf2"));
    QVERIFY(presets->topLevelItemCount() > 0);
    QVERIFY(form.grab().save(shots + "/browser-soundfont.png"));

    // GigaSampler mode lists .gig and .dls files; a bank fills the trees, samples under their groups.
    form.findChild<QAction*>("Menu_GIG")->trigger();
    QVERIFY(form.SelectFolder(Path("gig")));
    QCOMPARE(Texts(list), QStringList({"gs3", "peer (DLS)", "peer", "sine"}));
    form.LoadEntry(0);
    QVERIFY(presets->topLevelItemCount() > 0);
    QVERIFY(samples->topLevelItemCount() > 0);
    QVERIFY(form.grab().save(shots + "/browser-gigasampler.png"));

    // An Akai disc image: partitions in the Explorer tree, volumes in the file list, programs in the tree.
    QVERIFY(form.OpenDiscImage(Path("sines.iso")));
    QCOMPARE(form.ChosenSourceFormat(), SourceFormat::Akai);
    auto* tree = form.findChild<QTreeWidget*>("TreeView1");
    QVERIFY(tree->topLevelItemCount() >= 1);
    QVERIFY(tree->topLevelItem(0)->text(0).startsWith("Partition A"));
    QVERIFY(list->count() >= 1);
    form.LoadEntry(0);
    QVERIFY(presets->topLevelItemCount() > 0);
    // The program shown was read from the disc: its keygroups are there as layers with zones.
    form.BuildChildren(presets->topLevelItem(0));
    QVERIFY(presets->topLevelItem(0)->childCount() > 0);
    form.BuildChildren(presets->topLevelItem(0)->child(0));
    QVERIFY(presets->topLevelItem(0)->child(0)->childCount() > 0);
    QVERIFY(form.grab().save(shots + "/browser-akai.png"));

    // Leaving Akai mode brings the folders back.
    form.findChild<QAction*>("Menu_AllAudioFiles")->trigger();
    QVERIFY(form.SelectFolder(Path("audio")));
    QCOMPARE(samples->topLevelItemCount(), 2);
    QVERIFY(form.grab().save(shots + "/browser-audio-files.png"));
}

QTEST_MAIN(BrowserTest)
#include "BrowserTest.moc"
