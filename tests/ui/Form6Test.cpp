// The conversion-parameters dialog: what its controls show and report, the modal bank dialog's outcomes
// on the bank lines, and the preset dialog's button.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "support/SmallModels.h"
#include "ui/Unit6.h"

using namespace quorvane;
using namespace quorvane::ui;

namespace {

const QColor kBlue(0, 0, 255);

template <typename Widget> Widget* Child(const QWidget* form, const char* name) {
    auto* widget = form->findChild<Widget*>(name);
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

QString Text(const QWidget* form, const char* label) {
    return Child<QLabel>(form, label)->text();
}

QColor TextColour(const QWidget* form, const char* label) {
    return Child<QLabel>(form, label)->palette().color(QPalette::WindowText);
}

// Reverb lines of 20.0% and 35.0% for entries 0 and 1, and a chorus line of entry 5.
std::string TwoReverbLines() {
    return EditLine("BANK", 0, "REVB", 200) + EditLine("BANK", 1, "REVB", 350) +
           EditLine("BANK", 5, "CHOR", 16);
}

// Runs the modal bank dialog for entries 0 and 1, doing what act does once the dialog is up.
bool RunBankDialog(AttributeList& attributes, const std::function<void(TForm6*)>& act) {
    QWidget parent;
    QTimer::singleShot(0, &parent, [&] {
        auto* form = parent.findChild<TForm6*>();
        QVERIFY(form && form->isVisible());
        act(form);
        if (form->isVisible()) {
            form->reject();
            QFAIL("the dialog stayed open");
        }
    });
    return TForm6::RunBankDialog(&parent, attributes, SourceFormat::SoundFont, {0, 1});
}

// What the user does in the bank dialog.
enum BankAction { MoveReverbApply, CutoffOffApply, MoveEscape, MoveClose, ResetAll };

QString Screenshots() {
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    return QUORVANE_SCREENSHOT_DIR;
}

} // namespace

class Form6Test : public QObject {
    Q_OBJECT
  private slots:
    void BankDialogShowsLinesAndTracksTheControls();
    void BankDialogOutcomes_data();
    void BankDialogOutcomes();
    void PresetDialogEmitsOnlyChangedValues();
    void WritesScreenshots();
};

void Form6Test::BankDialogShowsLinesAndTracksTheControls() {
    AttributeList attributes;
    attributes.BankEditAttributes = TwoReverbLines();
    TForm6 form;
    form.LoadBankDialog(attributes, SourceFormat::SoundFont, {0, 1});
    QCOMPARE(form.size(), QSize(300, 129));
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form.windowTitle(), QString("2 Bank(s) Conversion Parameters:"));
    QCOMPARE(Text(&form, "Label4"), QString("20.0 - 35.0%"));
    QCOMPARE(Text(&form, "Label5"), QString());
    QCOMPARE(Text(&form, "Label6"), QString());
    QCOMPARE(Child<QScrollBar>(&form, "ScrollBar1")->value(), 200);
    auto* cutoff = Child<QScrollBar>(&form, "ScrollBar3");
    auto* filter = Child<QCheckBox>(&form, "CheckBox1");
    auto* apply = Child<QToolButton>(&form, "SpeedButton1");
    QCOMPARE(cutoff->value(), 0);
    QVERIFY(!filter->isChecked());
    QCOMPARE(apply->text(), QString("Apply"));
    QVERIFY(!apply->isEnabled());
    QVERIFY(!Child<QToolButton>(&form, "SpeedButton2")->isHidden());
    QVERIFY(!form.Values().AnyChanged());

    // Below the lowest cutoff: back to 20, the box checked, the filter on.
    cutoff->setValue(5);
    QCOMPARE(cutoff->value(), 20);
    QCOMPARE(Text(&form, "Label6"), QString("20"));
    QCOMPARE(TextColour(&form, "Label6"), kBlue);
    QVERIFY(filter->isChecked());
    QVERIFY(apply->isEnabled());
    QVERIFY(form.Values().filterChanged && form.Values().filterOn);
    QCOMPARE(form.Values().cutoff, uint16_t{20});
    cutoff->setValue(1500);
    QCOMPARE(Text(&form, "Label6"), QString("1500"));
    QVERIFY(!form.Values().reverbChanged && !form.Values().chorusChanged);

    // Clearing the box turns the filter off and greys the cutoff.
    filter->click();
    QVERIFY(!form.Values().filterOn);
    QVERIFY(!cutoff->isEnabled());
    QVERIFY(!Child<QLabel>(&form, "Label3")->isEnabled());
    QCOMPARE(form.Values().cutoff, uint16_t{1500});

    Child<QScrollBar>(&form, "ScrollBar2")->setValue(125);
    QCOMPARE(Text(&form, "Label5"), QString("12.5%"));
    QCOMPARE(TextColour(&form, "Label5"), kBlue);
    QVERIFY(form.Values().chorusChanged);
    QCOMPARE(form.Values().chorus, uint16_t{125});
    QVERIFY(!form.Values().reverbChanged);

    // Ticking the box of banks without a cutoff shows the cutoff it will record.
    AttributeList none;
    form.LoadBankDialog(none, SourceFormat::Akai, {3});
    QCOMPARE(form.windowTitle(), QString("1 Volume(s) Conversion Parameters:"));
    QVERIFY(Child<QToolButton>(&form, "SpeedButton2")->isHidden());
    QVERIFY(!form.Values().AnyChanged());
    QVERIFY(!apply->isEnabled());
    filter->click();
    QVERIFY(form.Values().filterOn && form.Values().filterChanged);
    QCOMPARE(Text(&form, "Label6"), QString("20"));
    QCOMPARE(TextColour(&form, "Label6"), kBlue);
}

void Form6Test::BankDialogOutcomes_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<bool>("anyLine");
    const std::string start = TwoReverbLines();
    const std::string moved =
        EditLine("BANK", 0, "REVB", 500) + EditLine("BANK", 1, "REVB", 500) + EditLine("BANK", 5, "CHOR", 16);
    QTest::newRow("apply replaces only the moved parameter's lines")
        << int(MoveReverbApply) << QString::fromStdString(moved) << true;
    QTest::newRow("apply with the filter cleared records it off")
        << int(CutoffOffApply)
        << QString::fromStdString(start + EditLine("BANK", 0, "FILT", kFilterOff) +
                                  EditLine("BANK", 1, "FILT", kFilterOff))
        << true;
    QTest::newRow("escape records nothing") << int(MoveEscape) << QString::fromStdString(start) << true;
    QTest::newRow("closing the window records nothing")
        << int(MoveClose) << QString::fromStdString(start) << true;
    QTest::newRow("reset all drops every bank's lines") << int(ResetAll) << QString() << false;
}

void Form6Test::BankDialogOutcomes() {
    QFETCH(int, action);
    QFETCH(QString, lines);
    QFETCH(bool, anyLine);
    AttributeList attributes;
    attributes.BankEditAttributes = TwoReverbLines();
    const bool result = RunBankDialog(attributes, [action](TForm6* form) {
        auto* reverb = Child<QScrollBar>(form, "ScrollBar1");
        switch (action) {
        case MoveReverbApply:
            reverb->setValue(500);
            Child<QToolButton>(form, "SpeedButton1")->click();
            break;
        case CutoffOffApply:
            Child<QScrollBar>(form, "ScrollBar3")->setValue(800);
            Child<QCheckBox>(form, "CheckBox1")->click();
            Child<QToolButton>(form, "SpeedButton1")->click();
            break;
        case MoveEscape:
            reverb->setValue(500);
            QTest::keyClick(reverb, Qt::Key_Escape);
            break;
        case MoveClose:
            reverb->setValue(500);
            form->close();
            break;
        case ResetAll:
            Child<QToolButton>(form, "SpeedButton2")->click();
            break;
        }
    });
    QCOMPARE(QString::fromStdString(attributes.BankEditAttributes), lines);
    QCOMPARE(result, anyLine);
}

void Form6Test::PresetDialogEmitsOnlyChangedValues() {
    BankModel bank = test::SmallModel({{}, {}});
    bank.ZoneTable[0].Set(gen::reverbEffectsSend, 100);
    AttributeList attributes;
    TForm6 form;
    int presses = 0;
    // Wired as the main window wires it: each press applies to the chosen presets at once.
    QObject::connect(&form, &TForm6::applyRequested, [&](const ParameterValues& values) {
        ++presses;
        ApplyPresetParameters(bank, attributes, {1}, values);
    });
    form.ShowPresetDialog(bank, {1}, false);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QString("1 Preset(s) in Simple Edition:"));
    QCOMPARE(Text(&form, "Label4"), QString("10.0%"));
    auto* ok = Child<QToolButton>(&form, "SpeedButton1");
    QCOMPARE(ok->text(), QString("CHANGE"));
    QVERIFY(Child<QToolButton>(&form, "SpeedButton2")->isHidden());

    Child<QScrollBar>(&form, "ScrollBar2")->setValue(150);
    ok->click();
    QCOMPARE(presses, 1);
    QVERIFY(form.isVisible());
    QVERIFY(!ok->isEnabled());
    QCOMPARE(QString::fromStdString(attributes.EditAttributes),
             QString::fromStdString(EditLine("PRES", 1, "CHOR", 150)));
    QCOMPARE(bank.ZoneTable[0].generators[gen::reverbEffectsSend], 100);

    // A new selection while open: its values, the auditioning caption, no moves carried over.
    form.Refresh(bank, {1, 2}, true);
    QCOMPARE(form.windowTitle(), QString("2 Preset(s) in Simple Edition:"));
    QCOMPARE(ok->text(), QString("UPDATE"));
    QCOMPARE(Text(&form, "Label5"), QString("15.0%"));
    QVERIFY(!form.Values().AnyChanged());

    Child<QScrollBar>(&form, "ScrollBar1")->setValue(400);
    QTest::keyClick(Child<QScrollBar>(&form, "ScrollBar1"), Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(presses, 1);
    form.Refresh(bank, {2}, false);
    QCOMPARE(form.windowTitle(), QString("2 Preset(s) in Simple Edition:"));
}

void Form6Test::WritesScreenshots() {
    AttributeList attributes;
    attributes.BankEditAttributes = TwoReverbLines() + EditLine("BANK", 0, "FILT", 1000) +
                                    EditLine("BANK", 1, "FILT", kFilterOff) +
                                    EditLine("BANK", 1, "FILT", 800);
    TForm6 form;
    form.LoadBankDialog(attributes, SourceFormat::SoundFont, {0, 1});
    Child<QScrollBar>(&form, "ScrollBar2")->setValue(250);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.grab().save(Screenshots() + "/conversion-parameters-banks.png"));

    BankModel bank = test::SmallModel({{}});
    bank.ZoneTable[0].Set(gen::reverbEffectsSend, 120);
    bank.ZoneTable[0].Set(gen::initialFilterFc, CutoffToAbsoluteCents(4000));
    form.ShowPresetDialog(bank, {1}, true);
    Child<QScrollBar>(&form, "ScrollBar1")->setValue(300);
    QVERIFY(form.grab().save(Screenshots() + "/conversion-parameters-presets.png"));
    form.close();
}

QTEST_MAIN(Form6Test)
#include "Form6Test.moc"
