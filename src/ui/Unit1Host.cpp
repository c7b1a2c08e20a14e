// TForm1 as the core's Host: what the core tells the user lands in the main window's title bar, in message
// boxes and in the progress windows.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>

#include "ui/EventPump.h"
#include "ui/PercentBar.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit4.h"

namespace quorvane::ui {

namespace {

// The core writes line breaks as "\r\n".
QString ToText(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}

QMessageBox::Icon ToIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void TForm1::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    QMessageBox box(ToIcon(icon), QString::fromStdString(caption), ToText(text), QMessageBox::Ok, this);
    // A message in the middle of work (loading, auditioning) waits for the user under the ordinary cursor;
    // the hourglass comes back when it is answered.
    int busy = 0;
    for (; QApplication::overrideCursor() != nullptr; ++busy)
        QApplication::restoreOverrideCursor();
    box.exec();
    for (; busy > 0; --busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TForm1::SetTitle(const std::string& text) {
    panel3_->setText(QString::fromStdString(text));
}

void TForm1::SetFormatLabel(const std::string& text) {
    label1_->setText(QString::fromStdString(text));
}

void TForm1::SetFormatLabelsVisible(bool visible) {
    label1_->setVisible(visible);
    label4_->setVisible(visible);
}

void TForm1::AddStatusLine(const std::string& line) {
    form4_->AddStatusLine(QString::fromStdString(line));
}

void TForm1::ReplaceLastStatusLine(const std::string& line) {
    form4_->ReplaceLastStatusLine(QString::fromStdString(line));
}

size_t TForm1::StatusLineCount() const {
    return static_cast<size_t>(form4_->StatusLineCount());
}

void TForm1::ClearStatusLines() {
    form4_->ClearStatusLines();
}

// The bank window's second bar follows the file being written; the sample window has only that bar.
void TForm1::SetFileProgress(int perMille) {
    if (form4_->isVisible())
        form4_->FileBar()->SetValue(perMille);
    else
        form2_->Bar()->SetValue(perMille);
}

void TForm1::SetOverallProgress(int perMille) {
    form4_->OverallBar()->SetValue(perMille);
}

void TForm1::SetProgressSampleName(const std::string& name) {
    if (form4_->isVisible())
        form4_->SetSampleName(QString::fromStdString(name));
    else
        form2_->SetSampleName(QString::fromStdString(name));
}

void TForm1::SetProgressFileName(const std::string& name) {
    ProgressWindow* window = form4_->isVisible() ? static_cast<ProgressWindow*>(form4_) : form2_;
    window->SetFileText(QString::fromStdString(name));
}

bool TForm1::IsProgressWindowShowing() const {
    return form4_->isVisible();
}

bool TForm1::CancelRequested() {
    ProgressWindow* window = ShowingProgressWindow();
    return window && window->CancelRequested();
}

void TForm1::PumpEvents() {
    pumpPacer_.Pump(ShowingProgressWindow());
}

void TForm1::BankChanged() {
    RelayoutPanel1();
    views_->ShowReadBank();
}

void TForm1::OpenProgressWindow(const std::string& caption, const std::string& itemCaption) {
    form4_->setWindowTitle(QString::fromStdString(caption));
    form4_->Begin();
    form4_->SetItemCaption(QString::fromStdString(itemCaption));
    form4_->SetItemName({});
    form4_->SetSampleName({});
    form4_->ClearStatusLines();
    form4_->show();
    form4_->raise();
}

void TForm1::SetProgressItemName(const std::string& name) {
    form4_->SetItemName(QString::fromStdString(name));
}

void TForm1::SetOutputPath(const std::string& path) {
    form4_->SetFileText(QString::fromStdString(path));
}

void TForm1::FinishProgressWindow() {
    form4_->Finish();
    form4_->activateWindow();
}

ProgressWindow* TForm1::ShowingProgressWindow() const {
    return ui::ShowingProgressWindow(form4_, form2_);
}

} // namespace quorvane::ui
