// TForm1's side of saving: it hands the saving controller its widgets, the progress windows and playback.
#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::ConnectSaving() {
    SavingController::Widgets widgets;
    widgets.window = this;
    widgets.fileList = controls_.listBox1;
    widgets.presetTree = controls_.treeView2;
    widgets.bankSaveButton = controls_.speedButton4;
    widgets.sampleProgress = form2_;
    widgets.bankProgress = form4_;
    saving_ = std::make_unique<SavingController>(workspace_, edits_, *playback_, widgets, nullptr);
}

} // namespace quorvane::ui
