// Comparing the bank on screen with its conversion: the comparison window with a damaged copy (the
// changed parameter shown in the check's own texts), one preset alone, an output that cannot be read, and
// the A/B switch that plays the chosen preset on the source or on the output through a recording
// synthesizer.
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>

#include "AuditionDoubles.h"
#include "support/CheckBanks.h"
#include "ui/CompareWindow.h"
#include "ui/Unit1.h"

using namespace quorvane;
using namespace quorvane::ui;
using quorvane::test::QueuedInputs;
using quorvane::test::RecordingSynth;

namespace {

// Bank select (MSB to `bank`, LSB 0) and program 0 on channel 1.
std::vector<uint32_t> BankSelect(uint32_t bank) {
    return {bank << 16 | 0x00B0, 0x0020B0, 0x0000C0};
}

bool EndsWith(const std::vector<uint32_t>& sent, const std::vector<uint32_t>& tail) {
    return sent.size() >= tail.size() && std::equal(tail.begin(), tail.end(), sent.end() - tail.size());
}

} // namespace

class CompareTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<RecordingSynth> synth_;
    std::unique_ptr<QueuedInputs> inputs_;
    std::unique_ptr<TForm1> form_;
    std::string source_;
    std::string copy_;
    // What the auditioning bank writer was asked for: "source N" or "output N".
    std::vector<std::string> writes_;

    std::string Write(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir_.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    void Make(std::vector<std::string> synths) {
        synth_ = std::make_unique<RecordingSynth>(std::move(synths));
        inputs_ = std::make_unique<QueuedInputs>(std::vector<std::string>{});
        DeviceLists devices = NoDeviceLists();
        devices.synthesizers = synth_.get();
        devices.midiInputs = inputs_.get();
        form_ = std::make_unique<TForm1>(dir_.filePath("settings.ini"), devices);
        form_->Auditioning().SetBankWriter([this](Workspace& workspace, uint32_t slot, int) {
            ComparisonRun* run = form_->Comparer().Run();
            const char* side = &workspace == &form_->Session()                      ? "shown "
                               : run != nullptr && &workspace == &run->SourceBank() ? "source "
                                                                                    : "output ";
            writes_.push_back(side + std::to_string(slot));
            AuditionBank bank;
            bank.status = AuditionBank::Written;
            bank.path = dir_.filePath(QString("audition%1.sf2").arg(writes_.size())).toStdString();
            std::ofstream(bank.path) << "RIFF";
            return bank;
        });
        form_->OpenPath(QString::fromStdString(source_));
        QCOMPARE(form_->Session().bank.PresetCount, 2u);
    }
    CompareWindow* Window() { return form_->Comparer().Window(); }
    // Runs a comparison to its end.
    void Compare(const std::string& output, uint32_t slot) {
        QVERIFY(form_->Comparer().RunComparison({QString::fromStdString(output)}, slot));
        QVERIFY(Window()->isVisible());
        QTRY_VERIFY(Window()->Message()->text() != "Comparing ...");
    }
    QStringList Lines() {
        QStringList lines;
        for (int row = 0; row < Window()->PresetList()->count(); ++row)
            lines << Window()->PresetList()->item(row)->text();
        return lines;
    }

  private slots:
    void init() {
        test::SoundFontBuilder damaged = test::SmallCheckBank();
        damaged.samples[0].loopStart += 10; // Piano's soft layer
        source_ = Write("source.sf2", test::SmallCheckBank().Build());
        copy_ = Write("copy.sf2", damaged.Build());
        writes_.clear();
        QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    }
    void cleanup() { form_.reset(); }

    void ABankAgainstADamagedCopyShowsTheChangedParameter();
    void OnePresetAloneAndAnUnreadableOutput();
    void TheSwitchAlternatesWhichBankTheKeysPlay();
};

void CompareTest::ABankAgainstADamagedCopyShowsTheChangedParameter() {
    Make({});
    Compare(copy_, 0);
    const ComparisonRun* run = form_->Comparer().Run();
    QCOMPARE(run->State(), ComparisonState::Finished);
    QCOMPARE(Window()->Message()->text(),
             QString("2 presets checked: 1 identical, 1 changed, 0 lost, 0 missing"));
    QCOMPARE(Lines(), (QStringList{"changed    000:000  Piano", "identical  000:001  Strings"}));
    // Nothing chosen: the bank's totals, as the check prints its summary.
    QCOMPARE(Window()->Details()->toPlainText(), QString::fromStdString(ReportSummaryText(run->Report())));
    QVERIFY(Window()->Details()->toPlainText().contains("loop start"));

    Window()->PresetList()->setCurrentRow(0);
    const QString details = Window()->Details()->toPlainText();
    QCOMPARE(details, QString::fromStdString(PresetReportText(run->Report(), run->Report().presets[0])));
    QVERIFY2(details.startsWith("000:000 Piano (changed, 2 voices):\n  loop start"), qPrintable(details));
    QVERIFY2(details.contains("1 voice") && details.contains("+10") && details.contains("[tolerance exact]"),
             qPrintable(details));
    // Without auditioning the switch says why it cannot be used.
    QVERIFY(!Window()->SideButton()->isEnabled());
    QVERIFY(Window()->SideButton()->toolTip().contains("auditioning"));

    QVERIFY(Window()->grab().save(QUORVANE_SCREENSHOT_DIR "/compare-bank.png"));
}

void CompareTest::OnePresetAloneAndAnUnreadableOutput() {
    Make({});
    Compare(copy_, 2);
    QCOMPARE(Lines(), QStringList{"identical  000:001  Strings"});
    QCOMPARE(Window()->ChosenSlot(), 2u);
    QCOMPARE(Window()->Details()->toPlainText(), QString("000:001 Strings (identical, 1 voice):\n"));
    QCOMPARE(Window()->Message()->text(),
             QString("1 preset checked: 1 identical, 0 changed, 0 lost, 0 missing"));

    // Never an empty report that passes for an identical one.
    const std::string text = Write("text.sf2", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'a', 'n', 'k', '.', '.'});
    Compare(text, 0);
    QCOMPARE(Window()->Message()->text(),
             QString::fromStdString("Cannot compare: '" + text + "' is not a bank of a supported type."));
    QVERIFY(Lines().isEmpty());
    QVERIFY(Window()->Details()->toPlainText().isEmpty());
    QVERIFY(!Window()->SideButton()->isEnabled());
    QVERIFY(Window()->grab().save(QUORVANE_SCREENSHOT_DIR "/compare-unreadable.png"));
}

void CompareTest::TheSwitchAlternatesWhichBankTheKeysPlay() {
    Make({"FluidSynth"});
    QCOMPARE(writes_, std::vector<std::string>{"shown 1"});
    synth_->log.clear();
    Compare(copy_, 1);
    // The chosen preset goes in on both sides: the source's at bank 120, the output's at 121.
    QCOMPARE(writes_, (std::vector<std::string>{"shown 1", "source 1", "output 1"}));
    QVERIFY(std::find(synth_->log.begin(), synth_->log.end(), "load 0 120") != synth_->log.end());
    QVERIFY(std::find(synth_->log.begin(), synth_->log.end(), "load 0 121") != synth_->log.end());
    QPushButton* side = Window()->SideButton();
    QVERIFY(side->isEnabled() && !side->isChecked());
    QVERIFY(side->text().startsWith("A: the source"));

    QTest::mouseClick(side, Qt::LeftButton);
    QVERIFY(EndsWith(synth_->sent, BankSelect(121)));
    QCOMPARE(form_->Auditioning().Side(), ComparedSide::Output);
    QVERIFY(side->isChecked() && side->text().startsWith("B: the output"));
    // The key B switches back.
    Window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Window()));
    QTest::keyClick(Window(), Qt::Key_B);
    QVERIFY(EndsWith(synth_->sent, BankSelect(120)));
    QCOMPARE(form_->Auditioning().Side(), ComparedSide::Source);
    QTest::mouseClick(side, Qt::LeftButton);
    QVERIFY(EndsWith(synth_->sent, BankSelect(121)));

    // The preset tree's selection takes the keys back to the bank on screen, the output's bank out.
    synth_->log.clear();
    form_->SelectPresetSlot(2);
    QCOMPARE(writes_.back(), std::string("shown 2"));
    QVERIFY(std::find(synth_->log.begin(), synth_->log.end(), "clear 0 121") != synth_->log.end());
    QCOMPARE(form_->Auditioning().Side(), ComparedSide::Source);
    QVERIFY(EndsWith(synth_->sent, BankSelect(120)));
    // The switch puts the compared preset back in and plays the output.
    QTest::mouseClick(side, Qt::LeftButton);
    QCOMPARE(writes_.back(), std::string("output 1"));
    QVERIFY(EndsWith(synth_->sent, BankSelect(121)));
}

QTEST_MAIN(CompareTest)
#include "CompareTest.moc"
