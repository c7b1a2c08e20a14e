#include "ui/Unit6.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace quorvane::ui {

namespace {

// A value the user has set is shown in blue; a value read from the bank or presets in black.
const QColor kSetByUser{0, 0, 255};

constexpr int kRowHeight = 22;
constexpr int kNameX = 8;
constexpr int kBarX = 58;
constexpr int kBarWidth = 132;
constexpr int kValueX = 196;

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QScrollBar* MakeScrollBar(const char* name, int maximum, QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(0, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(50);
    return bar;
}

QToolButton* MakeButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QString SendText(int value) {
    return QString::asprintf("%.1f%%", value * 0.1);
}

} // namespace

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm6");
    // A small fixed tool window that stays above the main window while the user works beside it.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DefaultFont());
    setFixedSize(300, 129);

    const QFont names = TahomaFont(11, true);
    QLabel* rowNames[] = {MakeLabel("Label1", "Reverb:", this), MakeLabel("Label2", "Chorus:", this),
                          label3_ = MakeLabel("Label3", "Filter:", this)};
    scrollBar1_ = MakeScrollBar("ScrollBar1", kMaxSend, this);
    scrollBar2_ = MakeScrollBar("ScrollBar2", kMaxSend, this);
    scrollBar3_ = MakeScrollBar("ScrollBar3", kHighestCutoff, this);
    scrollBar3_->setValue(kLowestCutoff);
    QScrollBar* bars[] = {scrollBar1_, scrollBar2_, scrollBar3_};
    label4_ = MakeLabel("Label4", {}, this);
    label5_ = MakeLabel("Label5", {}, this);
    label6_ = MakeLabel("Label6", {}, this);
    QLabel* values[] = {label4_, label5_, label6_};
    for (int row = 0; row < 3; ++row) {
        const int y = 8 + row * kRowHeight;
        rowNames[row]->setFont(names);
        rowNames[row]->setGeometry(kNameX, y, kBarX - kNameX - 2, 17);
        bars[row]->setGeometry(kBarX, y, kBarWidth, 17);
        values[row]->setGeometry(kValueX, y, width() - kValueX - 4, 17);
    }

    checkBox1_ = new QCheckBox("Filter CutOff", this);
    checkBox1_->setObjectName("CheckBox1");
    checkBox1_->setChecked(true);
    checkBox1_->setGeometry(kBarX, 8 + 3 * kRowHeight, kBarWidth, 17);

    speedButton1_ = MakeButton("SpeedButton1", "OK", this);
    speedButton1_->setGeometry(kBarX, 98, 64, 23);
    speedButton2_ = MakeButton("SpeedButton2", "Reset All", this);
    speedButton2_->setGeometry(kValueX, 98, 64, 23);

    connect(scrollBar1_, &QScrollBar::valueChanged, this,
            [this](int position) { SendChange(position, true); });
    connect(scrollBar2_, &QScrollBar::valueChanged, this,
            [this](int position) { SendChange(position, false); });
    connect(scrollBar3_, &QScrollBar::valueChanged, this, &TForm6::ScrollBar3Change);
    // Only the user's clicks: the program checks the box itself when the cutoff moves.
    connect(checkBox1_, &QCheckBox::clicked, this, &TForm6::CheckBox1Click);
    connect(speedButton1_, &QToolButton::clicked, this, &TForm6::SpeedButton1Click);
    connect(speedButton2_, &QToolButton::clicked, this, &TForm6::SpeedButton2Click);
}

bool TForm6::RunBankDialog(QWidget* parent, AttributeList& attributes, SourceFormat sourceFormat,
                           const std::vector<uint32_t>& entries) {
    TForm6 form(parent);
    form.LoadBankDialog(attributes, sourceFormat, entries);
    form.exec();
    if (form.ResetAllWasRequested())
        ResetAllBankParameters(attributes);
    if (form.ApplyWasRequested())
        RecordBankParameters(attributes, entries, form.Values());
    return !attributes.BankEditAttributes.empty();
}

void TForm6::LoadBankDialog(const AttributeList& attributes, SourceFormat sourceFormat,
                            const std::vector<uint32_t>& entries) {
    presetMode_ = false;
    Load(OpenBankParameterDialog(attributes, sourceFormat, entries));
}

void TForm6::ShowPresetDialog(const BankModel& bank, const std::vector<uint32_t>& presets, bool auditioning) {
    presetMode_ = true;
    Load(OpenPresetParameterDialog(bank, presets, auditioning));
    show();
    raise();
    activateWindow();
}

void TForm6::Refresh(const BankModel& bank, const std::vector<uint32_t>& presets, bool auditioning) {
    if (presetMode_ && isVisible())
        Load(OpenPresetParameterDialog(bank, presets, auditioning));
}

void TForm6::reject() {
    applyRequested_ = false;
    QDialog::reject();
}

void TForm6::Load(const ParameterDialogState& state) {
    updating_ = true;
    state_ = state;
    applyRequested_ = false;
    resetAllRequested_ = false;
    setWindowTitle(QString::fromStdString(state.caption));

    const std::pair<QLabel*, const std::string*> values[] = {
        {label4_, &state.reverbLabel}, {label5_, &state.chorusLabel}, {label6_, &state.cutoffLabel}};
    for (const auto& [label, text] : values) {
        label->setText(QString::fromStdString(*text));
        SetTextColour(label, palette().color(QPalette::WindowText));
    }
    scrollBar1_->setValue(state.reverbPosition);
    scrollBar2_->setValue(state.chorusPosition);
    scrollBar3_->setValue(state.cutoffPosition);
    checkBox1_->setChecked(state.filterChecked);
    // The cutoff stays movable while the box is clear: moving it turns the filter on.
    EnableFilterControls(true);

    speedButton1_->setText(QString::fromStdString(state.applyCaption));
    speedButton1_->setEnabled(false);
    speedButton2_->setVisible(!presetMode_ && state.resetAllVisible);
    updating_ = false;
}

void TForm6::SendChange(int position, bool reverb) {
    if (updating_)
        return;
    speedButton1_->setEnabled(true);
    QLabel* label = reverb ? label4_ : label5_;
    SetTextColour(label, kSetByUser);
    label->setText(SendText(position));
    if (reverb) {
        state_.values.reverb = static_cast<uint16_t>(position);
        state_.values.reverbChanged = true;
    } else {
        state_.values.chorus = static_cast<uint16_t>(position);
        state_.values.chorusChanged = true;
    }
}

void TForm6::ScrollBar3Change(int position) {
    if (updating_)
        return;
    speedButton1_->setEnabled(true);
    const int value = MoveCutoff(state_, position);
    SetTextColour(label6_, kSetByUser);
    label6_->setText(QString::number(value));
    updating_ = true;
    scrollBar3_->setValue(value);
    checkBox1_->setChecked(true);
    updating_ = false;
    EnableFilterControls(true);
}

void TForm6::CheckBox1Click(bool checked) {
    if (updating_)
        return;
    speedButton1_->setEnabled(true);
    // The box shows the filter's state, so the value follows it rather than flipping on its own.
    state_.values.filterChanged = true;
    state_.values.filterOn = checked;
    state_.filterChecked = checked;
    EnableFilterControls(checked);
    if (label6_->text().isEmpty()) {
        SetTextColour(label6_, kSetByUser);
        label6_->setText(QString::number(std::max<int>(state_.values.cutoff, kLowestCutoff)));
    }
}

void TForm6::SpeedButton1Click() {
    speedButton1_->setEnabled(false);
    applyRequested_ = true;
    if (presetMode_)
        emit applyRequested(state_.values);
    else
        accept();
}

void TForm6::SpeedButton2Click() {
    resetAllRequested_ = true;
    reject();
}

void TForm6::EnableFilterControls(bool on) {
    label3_->setEnabled(on);
    scrollBar3_->setEnabled(on);
    label6_->setEnabled(on);
}

} // namespace quorvane::ui
