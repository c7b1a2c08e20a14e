// The progress windows: the percent bar on its pixels, the rule that a window stays open until the work is
// done, the host that drives them, and the About window.
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "AuditionDoubles.h"
#include "ui/PercentBar.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

using namespace quorvane;
using namespace quorvane::ui;

namespace {

const QColor kBlue(64, 128, 255);

QImage Grab(int value) {
    PercentBar bar;
    bar.resize(200, 20);
    bar.SetValue(value);
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool IsColour(const QImage& image, int x, int y, const QColor& colour) {
    return image.pixelColor(x, y) == colour;
}

// Whether some pixel of the columns [from, to) in the text rows has the given property.
template <typename Test> bool AnyTextPixel(const QImage& image, int from, int to, Test test) {
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = from; x < to; ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

bool Dark(const QColor& c) {
    return c.lightness() < 100;
}

QString Screenshots() {
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    return QUORVANE_SCREENSHOT_DIR;
}

} // namespace

class ProgressWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void PercentBarDrawsFromOneStripToFull();
    void WindowStaysOpenUntilTheWorkIsDone();
    void HostDrivesTheShowingWindow();
    void PumpPassesInputOnlyToTheProgressWindow();
    void CancelledSaveKeepsTheEarlierFileAndSaysNotSaved();
    void WritesScreenshots();
};

void ProgressWindowTest::PercentBarDrawsFromOneStripToFull() {
    // 0: a one-pixel blue strip inside the black frame, the rest white.
    const QImage zero = Grab(0);
    QVERIFY(IsColour(zero, 0, 1, Qt::black));
    QVERIFY(IsColour(zero, 1, 1, kBlue));
    QVERIFY(IsColour(zero, 2, 1, Qt::white));
    QVERIFY(IsColour(zero, 198, 1, Qt::white));

    // 1000: blue from frame to frame, the figure in white only.
    const QImage full = Grab(1000);
    for (int x = 1; x <= 198; ++x)
        QVERIFY2(IsColour(full, x, 1, kBlue), qPrintable(QString::number(x)));
    QVERIFY(IsColour(full, 199, 1, Qt::black));
    QVERIFY(IsColour(full, 100, 19, Qt::black));
    QVERIFY(AnyTextPixel(full, 1, 199, [](const QColor& c) { return c == Qt::white; }));
    QVERIFY(!AnyTextPixel(full, 1, 199, Dark));

    // 500: the bar ends at (199 * 500) / 1000 = 99, and the centred "50%" is white over the bar and black
    // beyond it.
    const QImage half = Grab(500);
    QVERIFY(IsColour(half, 99, 1, kBlue));
    QVERIFY(IsColour(half, 100, 1, Qt::white));
    QVERIFY(AnyTextPixel(half, 80, 100, [](const QColor& c) { return c == Qt::white; }));
    QVERIFY(!AnyTextPixel(half, 80, 100, Dark));
    QVERIFY(AnyTextPixel(half, 100, 130, Dark));
}

void ProgressWindowTest::WindowStaysOpenUntilTheWorkIsDone() {
    TForm4 form4;
    form4.Begin();
    form4.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form4));
    auto* button = form4.findChild<QPushButton*>("Button1");
    auto* status = form4.findChild<QListWidget*>("ListBoxStatus");

    // While working: the title-bar close, Escape and Enter leave it open; close and Cancel ask to stop.
    QVERIFY(!form4.close());
    QVERIFY(form4.isVisible());
    QVERIFY(form4.CancelRequested());
    QTest::keyClick(status, Qt::Key_Escape);
    QTest::keyClick(status, Qt::Key_Return);
    QVERIFY(form4.isVisible());
    form4.Begin();
    QVERIFY(!form4.CancelRequested());
    button->click();
    QVERIFY(form4.CancelRequested());
    QCOMPARE(button->text(), QString("Wait"));
    QVERIFY(form4.isVisible());

    // Done: "OK", and Enter in the status list closes it.
    form4.Finish();
    QCOMPARE(button->text(), QString("OK"));
    QTest::keyClick(status, Qt::Key_Return);
    QVERIFY(!form4.isVisible());

    // The sample window: refused while working, closed by OK afterwards.
    TForm2 form2;
    form2.Begin();
    form2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form2));
    QVERIFY(!form2.close());
    QVERIFY(form2.isVisible());
    form2.Finish();
    form2.findChild<QPushButton*>("Button1")->click();
    QVERIFY(!form2.isVisible());
}

void ProgressWindowTest::HostDrivesTheShowingWindow() {
    TForm1 form(dir_.filePath("host.ini"), NoDeviceLists());
    Host& host = form;
    TForm4* bank = form.BankProgress();
    TForm2* sample = form.SampleProgress();

    // No bank window: file progress and names go to the sample window.
    sample->Begin();
    sample->show();
    QVERIFY(!host.IsProgressWindowShowing());
    host.SetFileProgress(250);
    QCOMPARE(sample->Bar()->Value(), 250);
    host.SetProgressSampleName("Flute C4");
    QCOMPARE(sample->findChild<QLabel*>("Label2")->text(), QString("Flute C4"));
    sample->Finish();
    sample->close();

    bank->Begin();
    bank->show();
    QVERIFY(host.IsProgressWindowShowing());
    host.SetOverallProgress(400);
    host.SetFileProgress(900);
    QCOMPARE(bank->OverallBar()->Value(), 400);
    QCOMPARE(bank->FileBar()->Value(), 900);
    host.AddStatusLine("Saving piano.sf2");
    host.AddStatusLine("Sample 1 of 3");
    host.ReplaceLastStatusLine("Sample 2 of 3");
    QCOMPARE(host.StatusLineCount(), size_t{2});
    QCOMPARE(bank->findChild<QListWidget*>("ListBoxStatus")->item(1)->text(), QString("Sample 2 of 3"));
    host.SetProgressFileName("File: /tmp/piano.sf2");
    QCOMPARE(bank->findChild<QStatusBar*>("StatusBar1")->findChild<QLabel*>()->text(),
             QString("File: /tmp/piano.sf2"));
    QVERIFY(!host.CancelRequested());
    bank->close();
    QVERIFY(host.CancelRequested());

    host.SetTitle("UNABLE TO OPEN FILE!");
    QCOMPARE(form.findChild<QLabel*>("Panel3")->text(), QString("UNABLE TO OPEN FILE!"));
    bank->Finish();
}

void ProgressWindowTest::PumpPassesInputOnlyToTheProgressWindow() {
    // A synthesizer, so that the auditioning switch takes clicks; it starts switched on.
    quorvane::test::RecordingSynth synth({"Synth"});
    DeviceLists devices = NoDeviceLists();
    devices.synthesizers = &synth;
    TForm1 form(dir_.filePath("pump.ini"), devices);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TForm4* bank = form.BankProgress();
    bank->Begin();
    bank->show();
    QVERIFY(QTest::qWaitForWindowExposed(bank));

    auto* audition = form.findChild<QToolButton*>("SpeedButton3");
    auto* cancel = bank->findChild<QPushButton*>("Button1");
    // Clicks arrive while the work pumps events: the main window's is dropped, the Cancel button's is not.
    QTimer::singleShot(10, audition, [audition] { QTest::mouseClick(audition, Qt::LeftButton); });
    QTimer::singleShot(20, cancel, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
    // The work pumps between its units for a tenth of a second.
    for (QElapsedTimer work; !work.isValid() || work.elapsed() < 100;) {
        if (!work.isValid())
            work.start();
        static_cast<Host&>(form).PumpEvents();
        QTest::qSleep(2);
    }
    QVERIFY(audition->isChecked());
    QVERIFY(static_cast<Host&>(form).CancelRequested());

    // Once the work is over the main window takes input again.
    QTest::mouseClick(audition, Qt::LeftButton);
    QVERIFY(!audition->isChecked());
    bank->Finish();
}

// Cancel pressed as soon as the bank save is under way: the file being written is abandoned, so the file
// of that name from before keeps its bytes; the status list never says it was saved, and the bars stay where
// they stopped. The window took the click while the work ran: the save pumps its events as it goes.
void ProgressWindowTest::CancelledSaveKeepsTheEarlierFileAndSaysNotSaved() {
    const QString bankFolder = dir_.filePath("cancel-in");
    const QString outFolder = dir_.filePath("cancel-out");
    QVERIFY(QDir().mkpath(bankFolder) && QDir().mkpath(outFolder));
    QVERIFY(QFile::copy("/usr/share/sounds/sf2/TimGM6mb.sf2", bankFolder + "/TimGM6mb.sf2"));
    const QString target = outFolder + "/TimGM6mb.sf2";
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier file of this name");
    }
    TForm1 form(dir_.filePath("cancel.ini"), NoDeviceLists());
    form.show();
    QVERIFY(form.SelectFolder(bankFolder));
    TForm4* bank = form.BankProgress();
    auto* cancel = bank->findChild<QPushButton*>("Button1");
    auto* status = bank->findChild<QListWidget*>("ListBoxStatus");
    bool clicked = false;
    QTimer clicker;
    clicker.setInterval(1);
    connect(&clicker, &QTimer::timeout, [&] {
        // The first sample line shows the write is under way; then Cancel, once; then OK at the end.
        if (!clicked && bank->isVisible() && status->count() > 0 &&
            status->item(status->count() - 1)->text().startsWith("Copying sample")) {
            clicked = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
        } else if (clicked && bank->isVisible() && bank->MayClose()) {
            bank->hide();
        }
    });
    clicker.start();
    form.RunBankSave(target, OutputType::SoundFont);
    clicker.stop();
    QVERIFY(clicked);

    QFile kept(target);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("an earlier file of this name"));
    QStringList lines;
    for (int i = 0; i < status->count(); ++i)
        lines << status->item(i)->text();
    QVERIFY2(lines.filter("Saved file").isEmpty(), qPrintable(lines.join('\n')));
    QVERIFY2(!lines.filter("Cancelled: ").isEmpty(), qPrintable(lines.join('\n')));
    QVERIFY(bank->OverallBar()->Value() < 1000);
    QCOMPARE(QDir(outFolder).entryList(QDir::Files), QStringList{"TimGM6mb.sf2"});
}

void ProgressWindowTest::WritesScreenshots() {
    TForm1 form(dir_.filePath("shots.ini"), NoDeviceLists());
    TForm2* sample = form.SampleProgress();
    sample->Begin();
    sample->SetSampleName("Grand Piano C4 (L)");
    sample->SetFileText("File: /home/user/samples/Grand Piano C4 (L).wav");
    sample->Bar()->SetValue(500);
    sample->show();
    QVERIFY(QTest::qWaitForWindowExposed(sample));
    QVERIFY(sample->grab().save(Screenshots() + "/progress-samples.png"));

    TForm4* bank = form.BankProgress();
    bank->Begin();
    bank->SetItemName("Orchestra.sf2");
    bank->SetSampleName("Violin A3");
    bank->OverallBar()->SetValue(333);
    bank->FileBar()->SetValue(875);
    bank->AddStatusLine("Saving file: /home/user/banks/Orchestra.gig");
    bank->AddStatusLine("Instrument 3: Violins");
    bank->show();
    QVERIFY(QTest::qWaitForWindowExposed(bank));
    QVERIFY(bank->grab().save(Screenshots() + "/progress-banks.png"));

    form.findChild<QAction*>("About2")->trigger();
    TForm3* about = form.About();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QCOMPARE(about->findChild<QLabel*>("Label2")->text(), form.BuildLabel());
    QVERIFY(form.BuildLabel().startsWith("build: "));
    QVERIFY(about->grab().save(Screenshots() + "/about.png"));
    QTest::keyClick(about, Qt::Key_Space);
    QVERIFY(!about->isVisible());

    sample->Finish();
    bank->Finish();
}

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
