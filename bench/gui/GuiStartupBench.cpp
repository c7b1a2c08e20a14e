// Start-up and relayout of the main window, measured in-process:
//   startup_ms  from the start of main() to the end of the main window's first paint
//   relayout_us mean time of one client-area resize with every control placed again
// It builds the window exactly as the program does, shows it, and quits after the measurements.
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTemporaryDir>

#include "ui/Unit1.h"

namespace {

// Notes the end of the first paint of the watched widget's window.
class FirstPaint : public QObject {
  public:
    FirstPaint(const QElapsedTimer& clock, QEventLoop& loop) : clock_(clock), loop_(loop) {}
    qint64 nanoseconds = -1;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && nanoseconds < 0) {
            // The whole window paints during this event; its end is the first picture.
            const bool handled = watched->event(event);
            nanoseconds = clock_.nsecsElapsed();
            // A local loop, not QApplication::quit(), which would close the window too.
            loop_.quit();
            return handled;
        }
        return false;
    }

  private:
    const QElapsedTimer& clock_;
    QEventLoop& loop_;
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QTemporaryDir settings;

    quorvane::ui::TForm1 form(settings.filePath("quorvane.ini"), quorvane::ui::NoDeviceLists());
    QEventLoop loop;
    FirstPaint firstPaint(clock, loop);
    form.installEventFilter(&firstPaint);
    form.showMaximized();
    loop.exec();
    form.removeEventFilter(&firstPaint);

    QWidget* client = form.centralWidget();
    const QSize sizes[] = {{1000, 700}, {1200, 760}};
    constexpr int kRounds = 2000;
    QElapsedTimer relayout;
    relayout.start();
    for (int i = 0; i < kRounds; ++i)
        client->resize(sizes[i % 2]);
    const double relayoutUs = relayout.nsecsElapsed() / 1000.0 / kRounds;
    if (!client->isVisible() || client->size() != sizes[(kRounds - 1) % 2])
        return 1; // the resizes did not reach a shown window: no figure to report

    std::printf("startup_ms %.2f\nrelayout_us %.2f\n", firstPaint.nanoseconds / 1e6, relayoutUs);
    return firstPaint.nanoseconds < 0 ? 1 : 0;
}
