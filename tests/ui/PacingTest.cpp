// Long work runs on the user-interface thread: the windows stay alive only through the pumps the work asks
// for. These cases run real saves and searches and watch them from timers, as the event loop sees them: the
// longest wait between two ticks of a 10 ms timer, and how soon a Cancel clicked in the middle is answered.
#include <algorithm>
#include <chrono>
#include <filesystem>

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "model/Generators.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

using namespace quorvane;
using namespace quorvane::ui;
using Clock = std::chrono::steady_clock;

namespace {

// The most the windows may be left without handling their events.
constexpr auto kLongestWait = std::chrono::milliseconds(100);

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Many presets of one instrument each, the instrument's samples side by side on the keyboard: saving the
// bank writes every sample, a unit at a time.
test::Bytes ManySamplesBank(int presets, uint32_t frames) {
    constexpr int kPerInstrument = 16;
    test::SoundFontBuilder sf;
    for (int p = 0; p < presets; ++p) {
        test::Instrument instrument{.name = "I" + std::to_string(p)};
        for (int k = 0; k < kPerInstrument; ++k) {
            const uint16_t index = sf.AddSample("S" + std::to_string(p) + "_" + std::to_string(k), frames);
            const auto low = static_cast<uint8_t>(k * 8);
            instrument.bags.push_back(test::Gens(
                {{gen::keyRange, test::Range(low, static_cast<uint8_t>(low + 7))}, {gen::sampleID, index}}));
        }
        sf.instruments.push_back(instrument);
        sf.presets.push_back({.name = "P" + std::to_string(p),
                              .program = static_cast<uint16_t>(p % 128),
                              .bank = static_cast<uint16_t>(p / 128),
                              .bags = {test::Gens({{gen::instrument, static_cast<uint16_t>(p)}})}});
    }
    return sf.Build();
}

// Ticks every 10 ms and keeps the longest gap between two ticks, and runs `each` on every tick.
class TickWatch {
  public:
    template <typename Each> explicit TickWatch(Each each) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this, each] {
            const Clock::time_point now = Clock::now();
            if (counting_)
                longest_ = std::max(longest_, now - last_);
            last_ = now;
            each();
        });
    }
    void Start() {
        last_ = Clock::now();
        timer_.start();
    }
    // Later gaps (the wait for the user's OK) are not the work's.
    void StopCounting() { counting_ = false; }
    Clock::duration Longest() const { return longest_; }

  private:
    QTimer timer_;
    Clock::time_point last_{};
    Clock::duration longest_{};
    bool counting_ = true;
};

} // namespace

class PacingTest : public QObject {
    Q_OBJECT
    test::TempDir in_;
    QTemporaryDir dir_;

  private slots:
    void initTestCase();
    void SaveLeavesNoEventWaiting();
    void CancelIsAnsweredAtOnceAndTheCutFileRemoved();
    void FolderSearchLeavesNoEventWaiting();
};

void PacingTest::initTestCase() {
    // About 32 MB of samples: a few hundred milliseconds of work in a checked build.
    in_.Write("Many.sf2", ManySamplesBank(125, 8192));
}

// The bank saved whole as the Save button saves it, with a 10 ms timer ticking meanwhile: no tick waits
// more than 100 ms, the status list shows the files as they are written, and the bank is written whole.
void PacingTest::SaveLeavesNoEventWaiting() {
    for (const OutputType type : {OutputType::SoundFont, OutputType::Giga}) {
        const QString out = dir_.filePath(type == OutputType::Giga ? "gig" : "sf2");
        QVERIFY(QDir().mkpath(out));
        TForm1 form(dir_.filePath("save.ini"), NoDeviceLists());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.SelectFolder(QString::fromStdString(in_.Folder())));
        TForm4* bank = form.BankProgress();
        int ticksWhileSaving = 0;
        Clock::time_point finished{};
        TickWatch watch([&] {
            if (!bank->isVisible())
                return;
            if (!bank->MayClose()) {
                ++ticksWhileSaving;
            } else if (finished == Clock::time_point{}) {
                finished = Clock::now();
                bank->hide();
            }
        });
        const Clock::time_point start = Clock::now();
        watch.Start();
        form.RunBankSave(out + (type == OutputType::Giga ? "/Many.gig" : "/Many.sf2"), type);
        watch.StopCounting();
        qInfo("%s: saved in %.0f ms, %d ticks, longest wait %.0f ms",
              type == OutputType::Giga ? "GigaSampler" : "SoundFont", Ms(finished - start), ticksWhileSaving,
              Ms(watch.Longest()));
        QVERIFY(finished != Clock::time_point{});
        QVERIFY2(watch.Longest() <= kLongestWait, qPrintable(QString::number(Ms(watch.Longest()))));
        // The timer ticked all through the save, not only once it was over.
        QVERIFY(ticksWhileSaving >= 2);
        const QStringList written = QDir(out).entryList(QDir::Files);
        QCOMPARE(written.size(), 1);
        QVERIFY(QFileInfo(out + "/" + written.front()).size() > 2000 * 8192 * 2);
    }
}

// Cancel clicked as a user clicks it, from a timer, while the samples are being written: the save stops
// within 100 ms (the window says OK), and the file it was writing is gone, nothing else left in its folder.
void PacingTest::CancelIsAnsweredAtOnceAndTheCutFileRemoved() {
    const QString out = dir_.filePath("cancel");
    QVERIFY(QDir().mkpath(out));
    TForm1 form(dir_.filePath("cancel.ini"), NoDeviceLists());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.SelectFolder(QString::fromStdString(in_.Folder())));
    TForm4* bank = form.BankProgress();
    auto* cancel = bank->findChild<QPushButton*>("Button1");
    auto* status = bank->findChild<QListWidget*>("ListBoxStatus");
    Clock::time_point clicked{}, answered{};
    TickWatch watch([&] {
        if (!bank->isVisible())
            return;
        // Well into the samples: the tenth "Copying sample" line.
        if (clicked == Clock::time_point{} && !bank->MayClose() && status->count() > 0 &&
            status->item(status->count() - 1)->text().startsWith("Copying sample") && status->count() > 10) {
            clicked = Clock::now();
            QTest::mouseClick(cancel, Qt::LeftButton);
        } else if (bank->MayClose() && answered == Clock::time_point{}) {
            answered = Clock::now();
            bank->hide();
        }
    });
    watch.Start();
    form.RunBankSave(out + "/Many.sf2", OutputType::SoundFont);
    QVERIFY2(clicked != Clock::time_point{}, "the save ended before Cancel could be clicked");
    QVERIFY(answered != Clock::time_point{});
    qInfo("Cancel answered in %.0f ms", Ms(answered - clicked));
    QVERIFY2(answered - clicked <= kLongestWait, qPrintable(QString::number(Ms(answered - clicked))));
    QStringList lines;
    for (int i = 0; i < status->count(); ++i)
        lines << status->item(i)->text();
    QVERIFY2(!lines.filter("Cancelled: ").isEmpty(), qPrintable(lines.join('\n')));
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// A search through a tree of many folders, as the folder menu's Search starts it: the main window keeps
// repainting, no tick waits more than 100 ms, and every bank of the tree is found.
void PacingTest::FolderSearchLeavesNoEventWaiting() {
    const std::filesystem::path root = std::filesystem::path(dir_.path().toStdString()) / "tree";
    for (int i = 0; i < 100; ++i)
        for (int k = 0; k < 60; ++k)
            std::filesystem::create_directories(root / std::to_string(i) / std::to_string(k));
    for (int i = 0; i < 100; i += 10)
        std::filesystem::copy_file(in_.Path() / "Many.sf2", root / std::to_string(i) / "7" / "Found.sf2");
    TForm1 form(dir_.filePath("search.ini"), NoDeviceLists());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.SelectFolder(QString::fromStdString(root.string())));
    int ticks = 0;
    TickWatch watch([&] { ++ticks; });
    const Clock::time_point start = Clock::now();
    watch.Start();
    form.SearchFolder(FolderSearch::Banks);
    const Clock::duration took = Clock::now() - start;
    QApplication::processEvents();
    qInfo("search: %.0f ms, %d ticks, longest wait %.0f ms", Ms(took), ticks, Ms(watch.Longest()));
    QCOMPARE(form.findChild<QListWidget*>("ListBox1")->count(), 10);
    QVERIFY2(watch.Longest() <= kLongestWait, qPrintable(QString::number(Ms(watch.Longest()))));
}

QTEST_MAIN(PacingTest)
#include "PacingTest.moc"
