#include "ui/Unit4.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/Colours.h"
#include "ui/Fonts.h"
#include "ui/PercentBar.h"
#include "ui/WhiteFrame.h"

namespace quorvane::ui {

namespace {

QLabel* MakeLabel(const char* name, const QString& text, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (bold)
        label->setFont(TahomaFont(11, true));
    return label;
}

PercentBar* MakeBar(const char* frameName, const char* barName, QWidget* parent, QLayout* layout) {
    auto* frame = new WhiteFrame(frameName, parent);
    frame->setFixedHeight(26);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(2, 2, 2, 2);
    auto* bar = new PercentBar(frame);
    bar->setObjectName(barName);
    inner->addWidget(bar);
    layout->addWidget(frame);
    return bar;
}

} // namespace

TForm4::TForm4(QWidget* parent) : ProgressWindow(parent) {
    setObjectName("TForm4");
    setWindowTitle("Saving Bank(s) ...");
    setMinimumSize(360, 280);
    setMaximumSize(900, 800);
    resize(420, 340);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 0);
    layout->setSpacing(6);

    auto* names = new QGridLayout;
    names->setColumnStretch(1, 1);
    itemCaption_ = MakeLabel("Label1", "Bank:", false, this);
    itemName_ = MakeLabel("Label2", QString(), true, this);
    sampleName_ = MakeLabel("Label4", QString(), true, this);
    names->addWidget(itemCaption_, 0, 0);
    names->addWidget(itemName_, 0, 1);
    names->addWidget(MakeLabel("Label3", "Sample:", false, this), 1, 0);
    names->addWidget(sampleName_, 1, 1);
    layout->addLayout(names);

    overall_ = MakeBar("Panel1", "PaintBox1", this, layout);
    file_ = MakeBar("Panel2", "PaintBox2", this, layout);

    auto* statusCaption = MakeLabel("StaticText1", "Status:", true, this);
    statusCaption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusCaption->setAutoFillBackground(true);
    QPalette palette = statusCaption->palette();
    palette.setColor(QPalette::Window, kStatusGreen);
    statusCaption->setPalette(palette);
    layout->addWidget(statusCaption);

    status_ = new QListWidget(this);
    status_->setObjectName("ListBoxStatus");
    // Every line is one line of text: laying out thousands of them one by one, as a save adds them, would
    // cost more than the save.
    status_->setUniformItemSizes(true);
    layout->addWidget(status_, 1);

    cancel_ = MakeCancelButton();
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    layout->addWidget(MakeStatusBar());
}

void TForm4::SetItemCaption(const QString& caption) {
    itemCaption_->setText(caption);
}
void TForm4::SetItemName(const QString& name) {
    itemName_->setText(name);
}
void TForm4::SetSampleName(const QString& name) {
    sampleName_->setText(name);
}

void TForm4::AddStatusLine(const QString& line) {
    status_->addItem(line);
    ScrollToLastLineSoon();
}

void TForm4::ReplaceLastStatusLine(const QString& line) {
    if (status_->count() == 0) {
        AddStatusLine(line);
        return;
    }
    status_->item(status_->count() - 1)->setText(line);
    ScrollToLastLineSoon();
}

void TForm4::ScrollToLastLineSoon() {
    if (scrollPending_)
        return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        status_->scrollToBottom();
    });
}

int TForm4::StatusLineCount() const {
    return status_->count();
}
void TForm4::ClearStatusLines() {
    status_->clear();
}

void TForm4::ResetBars() {
    overall_->SetValue(0);
    file_->SetValue(0);
}

void TForm4::OnCancelWhileWorking() {
    // The run finishes the unit it is on before it stops; "Wait" says so.
    cancel_->setText("Wait");
}

} // namespace quorvane::ui
