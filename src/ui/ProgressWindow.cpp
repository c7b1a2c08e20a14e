#include "ui/ProgressWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "ui/Fonts.h"

namespace quorvane::ui {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setFont(DefaultFont());
    setModal(false);
}

QPushButton* ProgressWindow::MakeCancelButton() {
    button_ = new QPushButton("Cancel", this);
    button_->setObjectName("Button1");
    // Enter must not press Cancel by accident: it closes the finished window instead.
    button_->setAutoDefault(false);
    button_->setDefault(false);
    connect(button_, &QPushButton::clicked, this, &ProgressWindow::Button1Click);
    return button_;
}

QStatusBar* ProgressWindow::MakeStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    filePanel_ = new QLabel("File:", bar);
    filePanel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(filePanel_, 1);
    return bar;
}

void ProgressWindow::SetFileText(const QString& text) {
    filePanel_->setText(text);
}

void ProgressWindow::Begin() {
    mayClose_ = false;
    cancelRequested_ = false;
    button_->setText("Cancel");
    ResetBars();
    // The button leaves the tab order, so a stray Space or Enter during the work does not cancel it; it is
    // still a click away.
    button_->setFocusPolicy(Qt::ClickFocus);
    button_->clearFocus();
}

void ProgressWindow::Finish() {
    button_->setText("OK");
    mayClose_ = true;
}

void ProgressWindow::Button1Click() {
    cancelRequested_ = true;
    if (mayClose_) {
        close();
        return;
    }
    OnCancelWhileWorking();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    cancelRequested_ = true;
    if (mayClose_)
        event->accept();
    else
        event->ignore();
}

void ProgressWindow::reject() {
    // Escape and the window manager's close go through the same rule as the title-bar button.
    if (mayClose_)
        close();
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (mayClose_)
            close();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

ProgressWindow* ShowingProgressWindow(ProgressWindow* bankWindow, ProgressWindow* sampleWindow) {
    if (bankWindow->isVisible())
        return bankWindow;
    if (sampleWindow->isVisible())
        return sampleWindow;
    return nullptr;
}

} // namespace quorvane::ui
