// TForm1's side of comparisons: it hands the comparison controller its window and the auditioning, and
// the views' "Compare with ..." items to it.
#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::ConnectCompare() {
    CompareController::Widgets widgets;
    widgets.window = this;
    compare_ = std::make_unique<CompareController>(workspace_, *this, Auditioning(), widgets, nullptr);
    connect(browser_.get(), &BrowserController::CompareRequested, compare_.get(),
            &CompareController::CompareBankClick);
    connect(views_.get(), &BankViewsController::CompareRequested, compare_.get(),
            &CompareController::ComparePresetClick);
}

} // namespace quorvane::ui
