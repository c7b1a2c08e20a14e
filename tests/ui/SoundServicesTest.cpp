// A machine without a sound server, an ALSA card or a JACK server (this one and CI): the services are asked
// without a line of the sound libraries' own on the terminal, each missing one gets one line of ours, and
// the window says in its menus, its tooltips and on Play that playback and auditioning are unavailable.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include <QAction>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "audio/FluidSynthDevices.h"
#include "audio/RtAudioOutput.h"
#include "audio/SoundServices.h"
#include "ui/OutputDevices.h"
#include "ui/Unit1.h"

using namespace quorvane;
using namespace quorvane::ui;
using audio::SoundServices;

Q_DECLARE_METATYPE(quorvane::audio::SoundServices)

namespace {

// Everything written to file descriptor 2 while it lives, where the libraries print.
class StderrCapture {
  public:
    explicit StderrCapture(const QString& file) : path_(file.toStdString()) {
        std::fflush(stderr);
        saved_ = ::dup(2);
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    QString Stop() {
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        QFile file(QString::fromStdString(path_));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("unreadable");
    }

  private:
    std::string path_;
    int saved_ = -1;
};

bool AnyAlsaCard() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", ignored))
        if (entry.path().filename().string().rfind("controlC", 0) == 0)
            return true;
    return false;
}

SoundServices None() {
    return {};
}

} // namespace

class SoundServicesTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void initTestCase();
    void ProbeIsQuietAndFindsWhatAnswers();
    void MissingServicesGiveOneLineEach_data();
    void MissingServicesGiveOneLineEach();
    void WindowSaysWhyNothingPlays();
};

void SoundServicesTest::initTestCase() {
    // No sound server: an empty runtime folder, no server named; a JACK server name nobody runs.
    QVERIFY(dir_.isValid());
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
    qunsetenv("PULSE_SERVER");
    qunsetenv("PULSE_RUNTIME_PATH");
    qputenv("JACK_DEFAULT_SERVER", "quorvane-test-no-such-server");
}

void SoundServicesTest::ProbeIsQuietAndFindsWhatAnswers() {
    StderrCapture capture(dir_.filePath("probe.txt"));
    const SoundServices services = audio::ProbeSoundServices();
    const QString printed = capture.Stop();
    QVERIFY2(printed.isEmpty(), qPrintable(printed));
    QVERIFY(!services.soundServer);
    QVERIFY(!services.jackServer);
    QCOMPARE(services.alsaCard, AnyAlsaCard());

    // A socket left behind by a server that is gone is no server.
    const QString pulse = dir_.filePath("pulse");
    QVERIFY(QDir().mkpath(pulse));
    QFile stale(pulse + "/native");
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    QVERIFY(!audio::ProbeSoundServices().soundServer);
    qputenv("PULSE_SERVER", "unix:/nowhere");
    QVERIFY(audio::ProbeSoundServices().soundServer);
    qunsetenv("PULSE_SERVER");
}

void SoundServicesTest::MissingServicesGiveOneLineEach_data() {
    QTest::addColumn<SoundServices>("services");
    QTest::addColumn<QStringList>("lines");
    const QString server = "no sound server (PulseAudio or PipeWire) is running";
    const QString card = "no ALSA sound card was found";
    const QString sequencer = "no ALSA sequencer (/dev/snd/seq) was found";
    const QString jack = "no JACK server is running";
    QTest::newRow("nothing") << None() << QStringList{server, card, sequencer, jack};
    QTest::newRow("everything") << SoundServices{true, true, true, true} << QStringList{};
    // A desktop with PulseAudio or PipeWire over its card misses nothing it uses.
    QTest::newRow("desktop") << SoundServices{true, true, true, false} << QStringList{};
    QTest::newRow("bare ALSA") << SoundServices{false, true, true, false} << QStringList{server};
    QTest::newRow("JACK only") << SoundServices{false, false, false, true} << QStringList{server};
    QTest::newRow("server without MIDI")
        << SoundServices{true, false, false, false} << QStringList{sequencer, jack};
}

void SoundServicesTest::MissingServicesGiveOneLineEach() {
    QFETCH(SoundServices, services);
    QFETCH(QStringList, lines);
    QStringList got;
    for (const std::string& line : audio::MissingServiceLines(services))
        got << QString::fromStdString(line);
    QCOMPARE(got, lines);
}

void SoundServicesTest::WindowSaysWhyNothingPlays() {
    StderrCapture capture(dir_.filePath("window.txt"));
    audio::RtAudioOutput output(None());
    const OutputDevices outputs(output);
    audio::FluidSynthDevices synthesizers(audio::FluidSynthDevices::Output::AudioDriver, None());
    DeviceLists devices = NoDeviceLists();
    devices.audioOutputs = &outputs;
    devices.waveOutput = &output;
    devices.synthesizers = &synthesizers;
    auto form = std::make_unique<TForm1>(dir_.filePath("settings.ini"), devices);
    const QString printed = capture.Stop();
    QVERIFY2(printed.isEmpty(), qPrintable(printed));

    const QString why = "no sound server (PulseAudio or PipeWire), ALSA sound card or JACK server was found";
    // Audio Output: a greyed line with the reason first, nothing to choose.
    const auto* output0 = form->findChild<QAction*>("menu_unavailable");
    QVERIFY(output0->isVisible());
    QVERIFY(!output0->isEnabled());
    QCOMPARE(output0->text(), "Playback unavailable: " + why);
    QVERIFY(!form->findChild<QAction*>("menu_wavemapper")->isEnabled());
    QCOMPARE(form->findChild<QToolButton*>("SpeedButton1")->toolTip(), "Playback unavailable: " + why);

    // Auditioning: the same, the switch off and greyed; FluidSynth stays there to try again.
    const auto* auditioning0 = form->findChild<QAction*>("Menu_AuditioningUnavailable");
    QVERIFY(auditioning0->isVisible());
    QVERIFY(!auditioning0->isEnabled());
    QCOMPARE(auditioning0->text(), "Auditioning unavailable: " + why);
    const auto* speedButton3 = form->findChild<QToolButton*>("SpeedButton3");
    QVERIFY(!speedButton3->isEnabled());
    QVERIFY(!speedButton3->isChecked());
    QCOMPARE(speedButton3->toolTip(), "Auditioning unavailable: " + why);
    QVERIFY(form->findChild<QAction*>("synth1")->isVisible());
    QVERIFY(!form->findChild<QAction*>("synth1")->isChecked());

    // Play on a sample says why nothing plays.
    BankModel& bank = form->Session().bank;
    SampleRecord sample;
    sample.name = sample.fullName = "tone";
    sample.sampleRate = 44100;
    sample.dataLength = 2000;
    bank.SampleTable.push_back(sample);
    bank.SampleCount = 1;
    form->Session().selection.selectedSample = 0;
    QString told;
    QTimer::singleShot(20, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    form->SpeedButton1Click();
    QCOMPARE(told, "Samples cannot be played: " + why + ".");
    QVERIFY(!form->Player().Playing());

    // Trying the synthesizer again from its menu item says why it cannot open.
    told.clear();
    QTimer::singleShot(20, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    form->ChooseSynthesizerClick(0);
    QCOMPARE(told, "Couldn't open the synthesizer FluidSynth:\n" + why + ".");
    QVERIFY(!speedButton3->isEnabled());
    QVERIFY(!form->findChild<QAction*>("synth1")->isChecked());
}

QTEST_MAIN(SoundServicesTest)
#include "SoundServicesTest.moc"
