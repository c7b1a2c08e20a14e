// The main window: where every control sits at two window sizes and in audio-file mode, the menu as the
// user sees it, and the settings kept between sessions.
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "model/NoteNames.h"
#include "ui/InfoPanel.h"
#include "ui/Unit1.h"

using namespace quorvane;
using namespace quorvane::ui;

namespace {

struct Expected {
    const char* name;
    QRect bounds; // width -1: only the position is fixed
    bool visible = true;
};

QWidget* Client(TForm1& form) {
    return form.centralWidget();
}

// Shows the window with a client area of exactly `client`.
void ShowWithClient(TForm1& form, QSize client) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const int extra = form.height() - Client(form)->height();
    form.resize(client.width(), client.height() + extra);
    QTRY_COMPARE(Client(form)->size(), client);
}

void CheckBounds(TForm1& form, const std::vector<Expected>& table) {
    for (const Expected& e : table) {
        auto* control = form.findChild<QWidget*>(e.name);
        QVERIFY2(control, e.name);
        QCOMPARE(control->isVisibleTo(&form), e.visible);
        if (!e.visible)
            continue;
        if (e.bounds.width() < 0)
            QCOMPARE(control->pos(), e.bounds.topLeft());
        else
            QCOMPARE(control->geometry(), e.bounds);
    }
}

// The names of a menu's items in order, "-" for a separator.
QStringList ItemNames(const QWidget* menu) {
    QStringList names;
    for (const QAction* item : menu->actions())
        names << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
    return names;
}

// Drags the column border handle `name` by `dx` pixels, as the mouse does.
void DragHandle(TForm1& form, const char* name, int dx) {
    auto* handle = form.findChild<QWidget*>(name);
    QVERIFY2(handle && handle->isVisible(), name);
    const QPointF at(2, 20);
    QMouseEvent press(QEvent::MouseButtonPress, at, handle->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(handle, &press);
    const QPointF to(at.x() + dx, at.y());
    QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(handle, &release);
}

// Pixels of text in the column just inside the right edge of the information block: a text cut by the
// panel's edge runs through it. -1 when no block is drawn.
int TextAtBlockEdge(TForm1& form) {
    const QColor green(200, 255, 200);
    const QImage image = form.Panel()->Compose();
    if (image.pixelColor(1, kInfoBlockTop + 1) != green)
        return -1;
    int pixels = 0;
    for (int y = kInfoBlockTop + 1; y < kInfoBlockBottom; ++y)
        pixels += image.pixelColor(image.width() - 3, y) != green;
    return pixels;
}

QString Screenshots() {
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    return QUORVANE_SCREENSHOT_DIR;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString SettingsFile(const char* name) const { return dir_.filePath(name); }

  private slots:
    void ColumnsFollowTheClientSize();
    void AudioFileModeGivesTheSampleListThePresetColumn();
    void MenuHasItsCaptionsOrderAndInitialMarks();
    void SettingsAreReadAndWrittenBack_data();
    void SettingsAreReadAndWrittenBack();
    void UnusableSettingsFileLeavesTheDefaults();
    void OpensWithNoPanelTextCutAndKeepsDraggedColumns();
    void WritesScreenshot();
};

void MainWindowTest::ColumnsFollowTheClientSize() {
    TForm1 form(SettingsFile("columns.ini"), NoDeviceLists());
    // 800 x 600: H = 578, the preset tree takes 578 * 8 / 20 = 231.
    ShowWithClient(form, {800, 600});
    CheckBounds(form, {{"StaticText1", {2, 4, 149, 17}},
                       {"TreeView1", {2, 20, 149, 578}},
                       {"Panel2", {154, 4, 128, 17}},
                       {"ListBox1", {154, 20, 128, 559}},
                       {"Panel5", {154, 580, 129, 19}},
                       {"StaticText3", {285, 4, 127, 17}},
                       {"Panel6", {412, 4, 17, 21}},
                       {"TreeView2", {285, 20, 148, 231}},
                       {"Panel4", {285, 253, 149, 17}},
                       {"TreeList", {285, 269, 148, 329}},
                       {"Panel1", {437, 4, 347, 594}},
                       {"Image1", {788, 4, -1, -1}},
                       {"Image2", {785, 485, -1, -1}},
                       {"TrackBar1", {784, 498, -1, -1}},
                       {"Label2", {786, 446, -1, -1}},
                       {"LampkaIn", {787, 458, -1, -1}},
                       {"PaintBox1", {0, 13, 347, 581}},
                       {"SpeedButton1", {}, false},
                       {"SpeedButton2", {}, false}});
    // 1000 x 700: H = 678, 678 * 8 / 20 = 271.
    ShowWithClient(form, {1000, 700});
    CheckBounds(form, {{"TreeView1", {2, 20, 149, 678}},
                       {"ListBox1", {154, 20, 128, 659}},
                       {"Panel5", {154, 680, 129, 19}},
                       {"TreeView2", {285, 20, 148, 271}},
                       {"Panel4", {285, 293, 149, 17}},
                       {"TreeList", {285, 309, 148, 389}},
                       {"Panel1", {437, 4, 547, 694}},
                       {"Image1", {988, 4, -1, -1}},
                       {"Image2", {985, 585, -1, -1}},
                       {"TrackBar1", {984, 598, -1, -1}},
                       {"Label2", {986, 546, -1, -1}},
                       {"LampkaIn", {987, 558, -1, -1}},
                       {"PaintBox1", {0, 13, 547, 681}}});
    // The window cannot be made smaller than 600 x 300.
    form.resize(200, 100);
    QTRY_VERIFY(form.width() >= 600 && form.height() >= 300);
}

void MainWindowTest::AudioFileModeGivesTheSampleListThePresetColumn() {
    TForm1 form(SettingsFile("audio.ini"), NoDeviceLists());
    ShowWithClient(form, {800, 600});
    form.findChild<QAction*>("Menu_WAVE")->trigger();
    QCOMPARE(form.ChosenSourceFormat(), SourceFormat::AudioFile);
    CheckBounds(form, {{"TreeView1", {2, 20, 149, 578}},
                       {"Panel2", {154, 4, 192, 17}},
                       {"TreeList", {154, 20, 192, 578}},
                       {"Panel1", {350, 4, 434, 594}},
                       {"ListBox1", {}, false},
                       {"StaticText3", {}, false},
                       {"TreeView2", {}, false},
                       {"Panel4", {}, false},
                       {"Panel5", {}, false},
                       {"Panel6", {}, false}});
    QVERIFY(form.findChild<QAction*>("Menu_ShowCompressed")->isVisible());

    // Back to GigaSampler: the usual columns, and the GigaSampler options appear.
    form.findChild<QAction*>("Menu_GIG")->trigger();
    CheckBounds(form, {{"Panel2", {154, 4, 128, 17}},
                       {"ListBox1", {154, 20, 128, 559}},
                       {"TreeList", {285, 269, 148, 329}},
                       {"Panel1", {437, 4, 347, 594}},
                       {"Panel6", {412, 4, 17, 21}}});
    QVERIFY(form.findChild<QAction*>("Menu_Unmapped")->isVisible());
    QVERIFY(form.findChild<QAction*>("Menu_LinkMono")->isVisible());
    QVERIFY(!form.findChild<QAction*>("Menu_ShowCompressed")->isVisible());
    QVERIFY(form.findChild<QAction*>("Menu_GIG")->isChecked());
    QVERIFY(!form.findChild<QAction*>("Menu_WAVE")->isChecked());
}

void MainWindowTest::MenuHasItsCaptionsOrderAndInitialMarks() {
    TForm1 form(SettingsFile("menu.ini"), NoDeviceLists());

    QCOMPARE(ItemNames(form.menuBar()),
             QStringList({"Refresh1", "SoundFormat1", "Edit1", "Options1", "Help1"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("Edit1")),
             QStringList({"Menu_Undo", "Menu_Redo", "-", "Menu_ProgramUp", "Menu_ProgramDown", "Menu_Drum",
                          "Menu_MoveUp", "Menu_MoveDown", "Menu_Delete", "-", "Menu_SavePresets"}));
    QCOMPARE(form.findChild<QAction*>("Menu_Undo")->shortcut(), QKeySequence("Ctrl+Z"));
    QCOMPARE(form.findChild<QAction*>("Menu_Redo")->shortcut(), QKeySequence("Ctrl+Shift+Z"));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("SoundFormat1")),
             QStringList({"Menu_SF2", "Menu_GIG", "Menu_SFZ", "-", "Menu_AKAI", "-", "Menu_WAVE", "Menu_AIFF",
                          "-", "Menu_AllAudioFiles", "-", "Menu_CompareBank", "-", "Menu_Quit"}));
    QCOMPARE(form.findChild<QAction*>("Menu_Quit")->shortcut(), QKeySequence("Ctrl+Q"));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("Options1")),
             QStringList({"MenuHiddenDirs", "SortPreset", "SortWaveforms", "Menu_AutoPlay", "AudioOutput1",
                          "MiddleC_Is", "Auditioning1", "Menu_AuditioningLayers", "-", "Menu_LinkMono",
                          "Menu_Unmapped", "Menu_ShowCompressed"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("MiddleC_Is")), QStringList({"Menu_C3", "Menu_C4", "Menu_C5"}));
    QCOMPARE(ItemNames(form.findChild<QMenu*>("Help1")),
             QStringList({"Info1", "HelpF11", "Help2", "-", "Menu_WWW", "-", "About2"}));

    struct Item {
        const char* name;
        const char* caption;
        bool checked;
        bool visible;
    };
    const Item items[] = {
        {"Refresh1", "&RefreshDrives", false, true},
        {"SoundFormat1", "&SoundFormat", false, true},
        {"Edit1", "&Edit", false, true},
        {"Options1", "&Options", false, true},
        {"Help1", "&Help", false, true},
        {"Menu_SF2", "&SoundFont    (*.sf2)", true, true},
        {"Menu_GIG", "&GigaSampler    (*.gig)", false, true},
        {"Menu_AKAI", "&Akai S1000/S3000", false, true},
        {"MenuSCSI0", "0", false, false}, // no drive: the drive items stay hidden
        {"MenuSCSI7", "7", false, false},
        {"Menu_WAVE", "&WAVE files (*.wav)", false, true},
        {"Menu_AIFF", "AI&FF files (*.aif, *.aiff)", false, true},
        {"Menu_AllAudioFiles", "All Audio Files", false, true},
        {"MenuHiddenDirs", "Show &Hidden Dirs", false, true},
        {"SortPreset", "Sort &Presets Alphabetically", true, true},
        {"SortWaveforms", "Sort &Samples", false, true},
        {"Menu_AutoPlay", "AutoPlay Sample", true, true},
        {"AudioOutput1", "Audio Output", false, true},
        {"menu_wavemapper", "Default (Wave Mapper)", true, true},
        {"menu_output0", "", false, false},
        {"MiddleC_Is", "&Middle C is", false, true},
        {"Menu_C3", "C&3", false, true},
        {"Menu_C4", "C&4", true, true},
        {"Menu_C5", "C&5", false, true},
        {"Auditioning1", "&Auditioning", false, true},
        {"synth1", "", false, false},
        {"Menu_midi0", "No Midi Inputs Available", false, true},
        {"Menu_midi1", "", false, false},
        {"Menu_AuditioningLayers", "&Auditioning Layers", false, true},
        {"Menu_LinkMono", "Link Mono Samples", true, false},
        {"Menu_Unmapped", "Read &Unmapped Regions", true, false},
        {"Menu_ShowCompressed", "Show (Compressed)", false, false},
        {"Info1", "&Quick Info", false, true},
        {"HelpF11", "&Tips && Shortcuts", false, true},
        {"Help2", "&Help", false, true},
        {"Menu_WWW", "Quorvane on WWW", false, true},
        {"About2", "&About Quorvane ...", false, true},
    };
    for (const Item& item : items) {
        const QAction* action = form.findChild<QAction*>(item.name);
        QVERIFY2(action, item.name);
        QCOMPARE(action->text(), QString(item.caption));
        QVERIFY2(action->isChecked() == item.checked, item.name);
        QVERIFY2(action->isVisible() == item.visible, item.name);
    }
    QVERIFY(!form.findChild<QAction*>("Menu_midi0")->isEnabled());
    // Without a drive the Akai menu still opens disc images.
    QVERIFY(form.findChild<QAction*>("Menu_AKAI")->isEnabled());
    QVERIFY(form.findChild<QAction*>("MenuAkaiImage")->isVisible());

    // Middle C: one check mark, and note names follow it.
    form.findChild<QAction*>("Menu_C3")->trigger();
    QVERIFY(form.findChild<QAction*>("Menu_C3")->isChecked());
    QVERIFY(!form.findChild<QAction*>("Menu_C4")->isChecked());
    QCOMPARE(NoteName(60, form.Session().settings.MiddleCOffset), std::string("C3"));
}

void MainWindowTest::SettingsAreReadAndWrittenBack_data() {
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QString>("middleCItem");
    QTest::addColumn<QString>("middleCName");
    QTest::addColumn<QVariantMap>("written");

    QTest::newRow("72 is C5") << QVariantMap{{"Middle C", 72}, {"AutoPlay Sample", 0}} << "Menu_C5"
                              << "C5"
                              << QVariantMap{{"Middle C", 72}, {"AutoPlay Sample", 0}, {"Sort Presets", 1}};
    QTest::newRow("48 is C3") << QVariantMap{{"Middle C", 48}} << "Menu_C3"
                              << "C3" << QVariantMap{{"Middle C", 48}};
    QTest::newRow("61 is C4") << QVariantMap{{"Middle C", 61}} << "Menu_C4"
                              << "C4" << QVariantMap{{"Middle C", 60}};
    QTest::newRow("below 48 wraps to C4") << QVariantMap{{"Middle C", 47}, {"Sort Presets", 0}} << "Menu_C4"
                                          << "C4" << QVariantMap{{"Middle C", 60}, {"Sort Presets", 0}};
    QTest::newRow("missing Middle C keeps the rest")
        << QVariantMap{{"Sort Samples", 1}, {"Show Hidden Dirs", 3}, {"LastDir", "/music/banks"}} << "Menu_C4"
        << "C4"
        << QVariantMap{
               {"Middle C", 60}, {"Sort Samples", 1}, {"Show Hidden Dirs", 1}, {"LastDir", "/music/banks"}};
    // Nothing stored: the defaults are written, and an empty LastDir is not.
    QTest::newRow("empty LastDir is not written")
        << QVariantMap{} << "Menu_C4"
        << "C4" << QVariantMap{{"Middle C", 60},    {"AutoPlay Sample", 1},  {"Sort Samples", 0},
                               {"Sort Presets", 1}, {"Show Hidden Dirs", 0}, {"LastDir", QVariant()}};
}

void MainWindowTest::SettingsAreReadAndWrittenBack() {
    QFETCH(QVariantMap, stored);
    QFETCH(QString, middleCItem);
    QFETCH(QString, middleCName);
    QFETCH(QVariantMap, written);

    const QString file = SettingsFile(QTest::currentDataTag());
    {
        QSettings ini(file, QSettings::IniFormat);
        ini.beginGroup("Software/Quorvane");
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            ini.setValue(it.key(), it.value());
    }
    {
        TForm1 form(file, NoDeviceLists());
        QVERIFY(form.findChild<QAction*>(middleCItem)->isChecked());
        for (const char* other : {"Menu_C3", "Menu_C4", "Menu_C5"})
            QVERIFY(form.findChild<QAction*>(other)->isChecked() == (middleCItem == other));
        QCOMPARE(QString::fromStdString(NoteName(60, form.Session().settings.MiddleCOffset)), middleCName);
        const auto flag = [&](const char* name, const char* item) {
            if (stored.contains(name))
                QCOMPARE(form.findChild<QAction*>(item)->isChecked(), (stored[name].toInt() & 1) != 0);
        };
        flag("AutoPlay Sample", "Menu_AutoPlay");
        flag("Sort Samples", "SortWaveforms");
        flag("Sort Presets", "SortPreset");
        flag("Show Hidden Dirs", "MenuHiddenDirs");
        form.close();
    }
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup("Software/Quorvane");
    for (auto it = written.cbegin(); it != written.cend(); ++it) {
        if (it.value().isValid())
            QCOMPARE(ini.value(it.key()).toString(), it.value().toString());
        else
            QVERIFY2(!ini.contains(it.key()), qPrintable(it.key()));
    }
}

void MainWindowTest::UnusableSettingsFileLeavesTheDefaults() {
    // A folder where the file should be can be neither read nor written.
    const QString folder = SettingsFile("folder.ini");
    QVERIFY(QDir().mkpath(folder));
    TForm1 form(folder, NoDeviceLists());
    QVERIFY(form.findChild<QAction*>("Menu_C4")->isChecked());
    QVERIFY(form.findChild<QAction*>("Menu_AutoPlay")->isChecked());
    QVERIFY(form.findChild<QAction*>("SortPreset")->isChecked());
    form.close();
    QVERIFY(QFileInfo(folder).isDir());
}

void MainWindowTest::OpensWithNoPanelTextCutAndKeepsDraggedColumns() {
    const QString file = SettingsFile("opening.ini");
    {
        TForm1 form(file, NoDeviceLists());
        // Nine tenths of a large screen; never more than the screen; never too narrow for the panel's texts.
        const QSize opening = form.OpeningSize({1280, 800});
        QCOMPARE(opening, QSize(1152, 720));
        QCOMPARE(form.OpeningSize({640, 400}), QSize(640, 400));
        QVERIFY(form.OpeningSize({1000, 700}).width() - 437 - 16 >= InfoPanelTextWidth());

        // The widest sample texts: cut at the old 704-pixel width, whole at the opening width.
        ShowWithClient(form, {704, 460});
        BankModel& bank = form.Session().bank;
        SampleRecord sample;
        sample.name = sample.fullName = "Grand Piano C4";
        sample.sampleRate = 192000;
        sample.dataLength = 0xFFFFFFFFu;
        sample.bitsPerSample = 16;
        sample.looped = 1;
        sample.loopStart = sample.loopEnd = 4294967295u;
        bank.SampleTable.push_back(sample);
        bank.SampleCount = 1;
        form.Session().selection.selectedSample = 0;
        form.Session().selection.DisplayMode = PanelContent::Sample;
        QVERIFY(TextAtBlockEdge(form) > 0);
        ShowWithClient(form, {opening.width(), 560});
        QCOMPARE(TextAtBlockEdge(form), 0);

        // Dragging the borders widens a column at its neighbour's cost, never below the narrowest widths.
        DragHandle(form, "Splitter1", 40);
        DragHandle(form, "Splitter3", 100);
        DragHandle(form, "Splitter2", 30);
        CheckBounds(form, {{"TreeView1", {2, 20, 189, 538}},
                           {"ListBox1", {194, 20, 118, 519}},
                           {"TreeView2", {315, 20, 218, 215}},
                           {"Panel1", {537, 4, opening.width() - 553, 554}}});
        DragHandle(form, "Splitter2", -500);
        QCOMPARE(form.findChild<QWidget*>("ListBox1")->width(), kMinListWidth);
        DragHandle(form, "Splitter3", 2000);
        QCOMPARE(form.findChild<QWidget*>("Panel1")->width(), kMinInfoPanelWidth);
        DragHandle(form, "Splitter3", -(opening.width() - 537 - 16 - kMinInfoPanelWidth));
        DragHandle(form, "Splitter2", 315 - 257);
        QCOMPARE(form.findChild<QWidget*>("ListBox1")->width(), 118);
        // Audio-file mode has its own edges, and one border fewer.
        form.findChild<QAction*>("Menu_AllAudioFiles")->trigger();
        QVERIFY(!form.findChild<QWidget*>("Splitter2")->isVisible());
        QCOMPARE(form.findChild<QWidget*>("TreeList")->geometry().left(), 154);
        DragHandle(form, "Splitter1", 20);
        QCOMPARE(form.findChild<QWidget*>("TreeList")->geometry().left(), 174);
        form.close();
    }
    // The next start opens with the columns where they were left, in both modes.
    TForm1 again(file, NoDeviceLists());
    ShowWithClient(again, {1000, 560});
    CheckBounds(again, {{"TreeView1", {2, 20, 189, 538}},
                        {"ListBox1", {194, 20, 118, 519}},
                        {"Panel1", {537, 4, 447, 554}}});
    again.findChild<QAction*>("Menu_AllAudioFiles")->trigger();
    QCOMPARE(again.findChild<QWidget*>("TreeList")->geometry().left(), 174);

    // Edges that would squeeze a column away are not taken from the file.
    {
        QSettings ini(file, QSettings::IniFormat);
        ini.setValue("Software/Quorvane/Column Edges", "154 150 437");
    }
    TForm1 squeezed(file, NoDeviceLists());
    ShowWithClient(squeezed, {1000, 560});
    QCOMPARE(squeezed.findChild<QWidget*>("ListBox1")->geometry(), QRect(154, 20, 128, 519));
}

void MainWindowTest::WritesScreenshot() {
    TForm1 form(SettingsFile("shot.ini"), NoDeviceLists());
    ShowWithClient(form, {900, 560});
    form.SetTitle("Piano Bank");
    form.SetFormatLabel("SoundFont 2.1");
    form.SetFormatLabelsVisible(true);
    QVERIFY(form.grab().save(Screenshots() + "/main-window.png"));
    form.findChild<QAction*>("Menu_AllAudioFiles")->trigger();
    QVERIFY(form.grab().save(Screenshots() + "/main-window-audio-files.png"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
