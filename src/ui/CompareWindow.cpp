#include "ui/CompareWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

#include "ui/Artwork.h"

namespace quorvane::ui {

namespace {

// The report's columns line up as they do on a terminal.
QFont ReportFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

CompareWindow::CompareWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("CompareWindow");
    setWindowTitle("Compare");
    setWindowIcon(ProgramIcon());
    // Wide enough for the report's lines with their tolerances.
    resize(1180, 620);

    files_ = new QLabel(this);
    files_->setObjectName("CompareFiles");
    files_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    files_->setWordWrap(true);
    message_ = new QLabel(this);
    message_->setObjectName("CompareMessage");
    message_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("CompareProgress");
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("CompareCancel");
    connect(cancel_, &QPushButton::clicked, this, &CompareWindow::cancelClicked);

    list_ = new QListWidget(this);
    list_->setObjectName("CompareList");
    list_->setFont(ReportFont());
    connect(list_, &QListWidget::currentRowChanged, this, [this] {
        ShowChosen();
        emit presetChosen(ChosenSlot());
    });
    details_ = new QPlainTextEdit(this);
    details_->setObjectName("CompareDetails");
    details_->setReadOnly(true);
    details_->setFont(ReportFont());
    details_->setLineWrapMode(QPlainTextEdit::NoWrap);

    sideButton_ = new QPushButton(this);
    sideButton_->setObjectName("CompareSide");
    sideButton_->setCheckable(true);
    // The button toggles itself on a click; the controller decides and shows the side.
    connect(sideButton_, &QPushButton::clicked, this, [this] { emit sideToggled(); });
    sideHint_ = new QLabel(this);
    sideHint_->setObjectName("CompareSideHint");
    auto* sideKey = new QShortcut(QKeySequence(Qt::Key_B), this);
    connect(sideKey, &QShortcut::activated, this, [this] {
        if (sideButton_->isEnabled())
            emit sideToggled();
    });

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(list_);
    splitter->addWidget(details_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);

    auto* running = new QHBoxLayout;
    running->addWidget(progress_, 1);
    running->addWidget(cancel_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(sideButton_);
    bottom->addWidget(sideHint_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files_);
    layout->addLayout(running);
    layout->addWidget(message_);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    ShowSide(false, false, QString());
}

uint32_t CompareWindow::ChosenSlot() const {
    QListWidgetItem* item = list_->currentItem();
    return item == nullptr ? 0 : item->data(Qt::UserRole).toUInt();
}

void CompareWindow::ShowRunning(const QString& source, const QStringList& outputs) {
    report_ = nullptr;
    {
        const QSignalBlocker quiet(list_);
        list_->clear();
    }
    details_->clear();
    QString files = "Source: " + source;
    for (const QString& output : outputs)
        files += "\nOutput: " + output;
    files_->setText(files);
    message_->setStyleSheet(QString());
    message_->setText("Comparing ...");
    progress_->setValue(0);
    progress_->setVisible(true);
    cancel_->setVisible(true);
    cancel_->setEnabled(true);
}

void CompareWindow::ShowProgress(int perMille) {
    progress_->setValue(perMille);
}

void CompareWindow::ShowFailure(const QString& text) {
    progress_->setVisible(false);
    cancel_->setVisible(false);
    message_->setStyleSheet("color: rgb(192, 0, 0);");
    message_->setText(text);
}

void CompareWindow::ShowReport(const CheckReport& report, uint32_t chosen) {
    report_ = &report;
    progress_->setVisible(false);
    cancel_->setVisible(false);
    files_->setText(Text(ReportFilesText(report)).trimmed());
    message_->setStyleSheet(QString());
    // The first line of the summary: how many presets came out how.
    const std::string summary = ReportSummaryText(report);
    message_->setText(Text(summary.substr(0, summary.find('\n'))));
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const PresetCheck& preset : report.presets) {
        auto* item = new QListWidgetItem(Text(PresetSummaryLine(report, preset)), list_);
        item->setData(Qt::UserRole, preset.sourceSlot);
        if (preset.sourceSlot == chosen)
            list_->setCurrentItem(item);
    }
    ShowChosen();
}

void CompareWindow::ShowChosen() {
    if (report_ == nullptr)
        return;
    const PresetCheck* preset = PresetCheckOf(*report_, ChosenSlot());
    // Without a chosen preset: the bank's totals.
    details_->setPlainText(
        Text(preset != nullptr ? PresetReportText(*report_, *preset) : ReportSummaryText(*report_)));
}

void CompareWindow::ShowSide(bool usable, bool output, const QString& why) {
    sideButton_->setEnabled(usable);
    sideButton_->setChecked(output);
    sideButton_->setText(output ? "B: the output plays (B switches)" : "A: the source plays (B switches)");
    sideButton_->setToolTip(usable ? "Switch the keys between the source's preset and the output's (key B)"
                                   : why);
    // A disabled button shows no tooltip in every style: the reason stands beside it.
    sideHint_->setText(usable ? QString() : why);
}

} // namespace quorvane::ui
