// Times the desktop program's saves as the Save button runs them (without the dialog): a bank to SoundFont,
// to GigaSampler, and every sample as WAVE, with the progress window up, and measures how long the window
// went without handling events (the longest gap between two ticks of a 10 ms timer). Run by
// bench/gui_save.sh under Xvfb with a release build. Prints "JOB_ms" and "JOB_gap_ms" lines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QTimer>

#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

namespace fs = std::filesystem;
using namespace quorvane::ui;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Watches one save: every tick measures the gap since the last one, and once the progress window says the
// work is over the finish time is taken and the window closed, as the user's OK would.
struct SaveWatch {
    TForm1& form;
    Clock::time_point start{}, last{}, finished{};
    Clock::duration longestGap{};
    bool done = false;

    void Tick() {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ProgressWindow* window =
            form.BankProgress()->isVisible()     ? static_cast<ProgressWindow*>(form.BankProgress())
            : form.SampleProgress()->isVisible() ? static_cast<ProgressWindow*>(form.SampleProgress())
                                                 : nullptr;
        if (!done && window != nullptr && window->MayClose()) {
            finished = now;
            done = true;
            window->hide();
        }
    }
};

template <typename Save> void Measure(TForm1& form, const char* job, Save save) {
    SaveWatch watch{form};
    QTimer ticks;
    ticks.setInterval(10);
    QObject::connect(&ticks, &QTimer::timeout, [&watch] { watch.Tick(); });
    watch.start = watch.last = Clock::now();
    ticks.start();
    save();
    ticks.stop();
    if (!watch.done)
        watch.finished = Clock::now();
    std::printf("%s_ms %.1f\n%s_gap_ms %.1f\n", job, Milliseconds(watch.finished - watch.start), job,
                Milliseconds(watch.longestGap));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: quorvane_gui_save_bench BANK_FOLDER OUTPUT_FOLDER sf2|gig|wav...\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    TForm1 form(output + "/bench.ini", NoDeviceLists());
    form.resize(1200, 760);
    form.show();
    QApplication::processEvents();
    if (!form.SelectFolder(folder))
        return 2;
    form.LoadEntry(0);
    QApplication::processEvents();
    const std::string name = fs::path(form.Session().loader.currentFileName).stem().string();
    for (int i = 3; i < argc; ++i) {
        const std::string job = argv[i];
        const QString target = output + "/" + QString::fromStdString(job) + "/";
        fs::create_directories(target.toStdString());
        if (job == "sf2" || job == "gig")
            Measure(form, job.c_str(), [&] {
                form.RunBankSave(target + QString::fromStdString(name) + "." + QString::fromStdString(job),
                                 job == "gig" ? quorvane::OutputType::Giga : quorvane::OutputType::SoundFont);
            });
        else if (job == "wav")
            Measure(form, "wav",
                    [&] { form.RunSampleSave(0, target + "x.wav", quorvane::SampleFileType::Wave, true); });
        form.LoadEntry(0);
        QApplication::processEvents();
    }
    return 0;
}
