#include "ui/EventPump.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quorvane::ui {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

class InputGate : public QObject {
  public:
    explicit InputGate(QWidget* open) : open_(open) {}

    bool eventFilter(QObject* target, QEvent* event) override {
        if (!IsUserInput(event->type()))
            return false;
        auto* widget = qobject_cast<QWidget*>(target);
        if (!widget)
            return false;
        const bool toOpenWindow = open_ && widget->window() == open_.data();
        return !toOpenWindow;
    }

  private:
    QPointer<QWidget> open_;
};

} // namespace

void ProcessPendingEvents(QWidget* activeWindow) {
    InputGate gate(activeWindow);
    qApp->installEventFilter(&gate);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&gate);
}

void PumpPacer::Pump(QWidget* activeWindow) {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kPumpInterval)
        return;
    ProcessPendingEvents(activeWindow);
    last_ = std::chrono::steady_clock::now();
}

void PumpEvents(int milliseconds, QWidget* activeWindow) {
    InputGate gate(activeWindow);
    qApp->installEventFilter(&gate);
    // A timed loop sleeps between events instead of spinning, so a long pump costs no processor time.
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), &loop, &QEventLoop::quit);
    loop.exec();
    qApp->removeEventFilter(&gate);
}

} // namespace quorvane::ui
