// TForm1's side of the file browser: it hands the browser controller its widgets and the controllers it
// works with, and shows the columns of the source format the user chooses.
#include <QLabel>

#include "ui/Artwork.h"
#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::ConnectBrowser() {
    BrowserController::Widgets widgets;
    widgets.window = this;
    widgets.explorer = controls_.treeView1;
    widgets.fileList = controls_.listBox1;
    widgets.formatItems = formatGroup_;
    widgets.sf2 = controls_.menuSf2;
    widgets.gig = controls_.menuGig;
    widgets.sfz = controls_.menuSfz;
    widgets.wave = controls_.menuWave;
    widgets.aiff = controls_.menuAiff;
    widgets.allAudioFiles = controls_.menuAllAudioFiles;
    widgets.refresh = controls_.refresh;
    widgets.showCompressed = controls_.menuShowCompressed;
    browser_ = std::make_unique<BrowserController>(
        workspace_, *this, *views_, *auditioning_, *saving_, [this] { return sourceFormat_; }, widgets,
        nullptr);
    connect(browser_.get(), &BrowserController::FormatChosen, this,
            [this](quorvane::SourceFormat format, bool aiffOnly) {
                SetSourceFormat(format);
                image3_->setPixmap(Artwork(FormatIconName(format, aiffOnly), {16, 16}));
            });
}

} // namespace quorvane::ui
