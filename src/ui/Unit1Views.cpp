// TForm1's side of the bank views: it hands the bank-views controller its widgets and the controllers it
// works with, and places the information panel's buttons again when what it shows changes.
#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::ConnectViews() {
    BankViewsController::Widgets widgets;
    widgets.window = this;
    widgets.presetTree = controls_.treeView2;
    widgets.sampleList = controls_.treeList;
    widgets.filterButton = controls_.speedPl;
    widgets.volume = controls_.trackBar1;
    widgets.panelFrame = panel1_;
    widgets.panel = infoPanel_;
    widgets.presetDialog = form6_;
    widgets.sortPresets = controls_.sortPreset;
    widgets.sortSamples = controls_.sortWaveforms;
    widgets.linkMono = controls_.menuLinkMono;
    views_ = std::make_unique<BankViewsController>(
        workspace_, *this, edits_, *playback_, *auditioning_, *saving_, [this] { return sourceFormat_; },
        widgets, nullptr);
    connect(views_.get(), &BankViewsController::EditsChanged, this, &TForm1::ShowEditActions);
    connect(views_.get(), &BankViewsController::PanelContentChanged, this, &TForm1::RelayoutPanel1);
}

} // namespace quorvane::ui
