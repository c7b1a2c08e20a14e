// TForm1's side of auditioning: it hands the auditioning controller its widgets and devices.
#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::ConnectAuditioning(const DeviceLists& devices) {
    AuditioningController::Widgets widgets;
    widgets.window = this;
    widgets.switchButton = controls_.speedButton3;
    widgets.lamp = controls_.lampkaIn;
    widgets.presetTree = controls_.treeView2;
    widgets.panel = infoPanel_;
    widgets.unavailable = controls_.auditioningUnavailable;
    widgets.synths = controls_.synths;
    widgets.midiInputs = controls_.midiInputs;
    auditioning_ = std::make_unique<AuditioningController>(workspace_, *this, devices.synthesizers,
                                                           devices.midiInputs, widgets, nullptr);
}

} // namespace quorvane::ui
