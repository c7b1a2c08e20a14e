#include "ui/Unit2.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "ui/Fonts.h"
#include "ui/PercentBar.h"
#include "ui/WhiteFrame.h"

namespace quorvane::ui {

TForm2::TForm2(QWidget* parent) : ProgressWindow(parent) {
    setObjectName("TForm2");
    setWindowTitle("Saving Sample(s) As ...");
    // A fixed border with only the close button: the window is sized for its contents.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(330, 126);

    auto* caption = new QLabel("Sample:", this);
    caption->setObjectName("Label1");
    caption->setGeometry(10, 10, 50, 16);

    sampleName_ = new QLabel(this);
    sampleName_->setObjectName("Label2");
    sampleName_->setFont(TahomaFont(11, true));
    sampleName_->setGeometry(62, 10, 258, 16);

    auto* frame = new WhiteFrame("Panel1", this);
    frame->setGeometry(10, 32, 310, 26);
    bar_ = new PercentBar(frame);
    bar_->setObjectName("PaintBox1");
    bar_->setGeometry(2, 2, 306, 22);

    MakeCancelButton()->setGeometry(125, 66, 80, 25);
    QStatusBar* status = MakeStatusBar();
    status->setGeometry(0, 100, 330, 26);
}

void TForm2::SetSampleName(const QString& name) {
    sampleName_->setText(name);
}

void TForm2::ResetBars() {
    bar_->SetValue(0);
}

} // namespace quorvane::ui
