#include "ui/Unit1.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

#include "ui/Artwork.h"
#include "ui/BuildInfo.h"
#include "ui/Colours.h"
#include "ui/ColumnHandle.h"
#include "ui/Fonts.h"
#include "ui/InfoPanel.h"
#include "ui/Palette.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit6.h"

namespace quorvane::ui {

namespace {

// A column header: yellow bold text on light blue.
QLabel* MakeHeader(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(TahomaFont(11, true));
    label->setIndent(2);
    SetBackground(label, kHeaderBlue);
    SetTextColour(label, kHeaderText);
    return label;
}

QFrame* MakePanel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    return panel;
}

template <typename View> View* MakeView(const char* name, QWidget* parent) {
    auto* view = new View(parent);
    view->setObjectName(name);
    if constexpr (std::is_base_of_v<QTreeWidget, View>)
        view->setHeaderHidden(true);
    return view;
}

QToolButton* MakeButton(const char* name, const QString& glyph, QSize glyphSize, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(Artwork(glyph, glyphSize));
    button->setIconSize(glyphSize);
    button->setAutoRaise(true);
    return button;
}

QLabel* MakePicture(const char* name, const QString& artwork, QSize size, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setPixmap(Artwork(artwork, size));
    picture->resize(size);
    return picture;
}

} // namespace

TForm1::TForm1(const QString& settingsFile, const DeviceLists& devices, QWidget* parent)
    : QMainWindow(parent), workspace_(*this), settingsFile_(settingsFile) {
    setObjectName("TForm1");
    setWindowTitle("Quorvane 1.1");
    setWindowIcon(ProgramIcon());
    setFont(DefaultFont());
    SetBackground(this, kWindowGrey);
    resize(704, 482);
    setMinimumSize(600, 300);

    BuildControls();
    if (devices.scanScsiBus)
        workspace_.scsi.ScanScsiBus();
    BuildMenu(devices);
    controls_ = FindMainControls(*this);
    ConnectPlayback(devices);
    ConnectAuditioning(devices);
    workspace_.settings.SortPresets = true;
    StoredSettings stored = CurrentSettings();
    ReadSettings(settingsFile_, stored);
    ApplySettings(stored);

    form2_ = new TForm2(this);
    form3_ = new TForm3(this);
    form4_ = new TForm4(this);
    form6_ = new TForm6(this);
    ConnectSaving();
    ConnectViews();
    ConnectBrowser();
    ConnectAkai();
    ConnectCompare();
    FormCreate();
}

TForm1::~TForm1() {
    // Stops the redraw and playback paths before the members they use go away.
    saving_->Shutdown();
    Auditioning().Shutdown();
    StopPlayback(false);
}

void TForm1::BuildControls() {
    client_ = new QWidget(this);
    client_->setObjectName("ClientArea");
    setCentralWidget(client_);
    client_->installEventFilter(this);
    // The list or tree that takes the keys wears a dark blue frame, so that keyboard users see where the
    // keys go.
    client_->setStyleSheet("QTreeWidget, QListWidget { border: 2px solid rgb(160, 160, 160); }"
                           "QTreeWidget:focus, QListWidget:focus { border: 2px solid rgb(0, 31, 159); }");

    auto* staticText1 = MakeHeader("StaticText1", "Explorer", client_);
    auto* treeView1 = MakeView<QTreeWidget>("TreeView1", client_);

    auto* panel2 = MakePanel("Panel2", client_);
    SetBackground(panel2, kHeaderBlue);
    image3_ = new QLabel(panel2);
    image3_->setObjectName("Image3");
    image3_->setGeometry(2, 1, 16, 16);
    staticText2_ = MakeHeader("StaticText2", "Bank", panel2);
    staticText2_->setIndent(0);
    // The format picture sits 19 pixels left of the caption.
    staticText2_->setGeometry(21, 0, 200, 17);

    auto* listBox1 = MakeView<QListWidget>("ListBox1", client_);

    auto* panel5 = MakePanel("Panel5", client_);
    auto* speedButton4 = MakeButton("SpeedButton4", "save_all", {16, 16}, panel5);
    speedButton4->setText("Save");
    speedButton4->setToolTip("Save the chosen banks");
    speedButton4->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    speedButton4->setGeometry(0, 0, 129, 19);

    auto* staticText3 = MakeHeader("StaticText3", "Preset/Layer", client_);
    auto* panel6 = MakePanel("Panel6", client_);
    auto* speedButton3 = MakeButton("SpeedButton3", "audition", {13, 17}, panel6);
    speedButton3->setCheckable(true);
    speedButton3->setToolTip("Auditioning");
    speedButton3->setGeometry(0, 0, 17, 21);

    auto* treeView2 = MakeView<QTreeWidget>("TreeView2", client_);

    auto* panel4 = MakePanel("Panel4", client_);
    SetBackground(panel4, kHeaderBlue);
    auto* staticText4 = MakeHeader("StaticText4", "Samples", panel4);
    staticText4->setGeometry(0, 0, 128, 17);
    auto* speedPl = MakeButton("Speed_PL", "preset_filter", {16, 12}, panel4);
    speedPl->setToolTip("Samples of the selected preset only");
    speedPl->setGeometry(130, 0, 19, 17);

    auto* treeList = MakeView<QTreeWidget>("TreeList", client_);

    BuildPanel1();

    auto* image1 = MakePicture("Image1", "volume_wedge", {8, 120}, client_);
    auto* image2 = MakePicture("Image2", "speaker", {14, 12}, client_);
    auto* trackBar1 = new QSlider(Qt::Vertical, client_);
    trackBar1->setObjectName("TrackBar1");
    trackBar1->setRange(0, 32);
    // Position 0, full volume, at the top, as the volume wedge beside it shows.
    trackBar1->setInvertedAppearance(true);
    trackBar1->setToolTip("Volume");
    trackBar1->setTickPosition(QSlider::NoTicks);
    trackBar1->resize(16, 80);
    auto* label2 = new QLabel("In", client_);
    label2->setObjectName("Label2");
    label2->setFont(SmallFont(9, true));
    label2->resize(13, 11);
    auto* lampkaIn = MakePanel("LampkaIn", client_);
    lampkaIn->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lampkaIn->setToolTip("MIDI input");
    SetBackground(lampkaIn, QColor(0, 64, 0));
    lampkaIn->resize(10, 10);

    mainControls_ = {staticText1, treeView1, panel2,  listBox1, panel5, staticText3, panel6, treeView2,
                     panel4,      treeList,  panel1_, image1,   image2, trackBar1,   label2, lampkaIn};

    const std::pair<const char*, ColumnBorder> borders[] = {{"Splitter1", ColumnBorder::FileList},
                                                            {"Splitter2", ColumnBorder::PresetColumn},
                                                            {"Splitter3", ColumnBorder::InfoPanel}};
    for (const auto& [name, border] : borders) {
        auto* handle = new ColumnHandle(name, client_);
        connect(handle, &ColumnHandle::Dragged, this,
                [this, border](int x) { ColumnBorderDragged(border, x); });
        columnHandles_[static_cast<size_t>(border)] = handle;
    }
}

void TForm1::ColumnBorderDragged(ColumnBorder border, int x) {
    const bool audio = sourceFormat_ == SourceFormat::AudioFile;
    columns_ = DragColumnBorder(columns_, border, x + kColumnHandleInset, client_->width(), audio);
    (audio ? audioColumns_ : bankColumns_) = columns_;
    Relayout();
}

void TForm1::BuildPanel1() {
    panel1_ = MakePanel("Panel1", client_);
    SetBackground(panel1_, Qt::black);
    panel1_->installEventFilter(this);

    panel3_ = new QLabel(panel1_);
    panel3_->setObjectName("Panel3");
    panel3_->setAlignment(Qt::AlignCenter);
    panel3_->setFont(TahomaFont(11, true));
    SetBackground(panel3_, kTitleBarBlue);
    SetTextColour(panel3_, Qt::white);

    label1_ = new QLabel(panel3_);
    label1_->setObjectName("Label1");
    label1_->setFont(TahomaFont(11, false));
    label1_->setIndent(2);
    SetBackground(label1_, kFormatLabelGreen);
    SetTextColour(label1_, Qt::white);
    label1_->setGeometry(0, 0, 103, kTitleBarHeight);
    label1_->hide();

    label4_ = new QLabel(panel3_);
    label4_->setObjectName("Label4");
    label4_->setFont(TahomaFont(11, true));
    label4_->setIndent(4);
    SetTextColour(label4_, Qt::white);
    label4_->hide();

    infoPanel_ = new InfoPanel(workspace_, panel1_);
    auto* paintBox1 = infoPanel_;
    connect(infoPanel_, &InfoPanel::BlockShown, this, &TForm1::ShowBlockTitle);
    auto* shape1 = MakePanel("Shape1", panel1_);
    shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* speedButton1 = MakeButton("SpeedButton1", "play", {16, 16}, panel1_);
    speedButton1->setText("Play");
    speedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    speedButton1->setAutoRaise(false);
    auto* speedButton2 = MakeButton("SpeedButton2", "save", {16, 16}, panel1_);
    speedButton2->setText("Save");
    speedButton2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    speedButton2->setAutoRaise(false);
    panel1Controls_ = {paintBox1, shape1, speedButton1, speedButton2};
    // The title bar stays above the drawing surface.
    panel3_->raise();
}

void TForm1::FormCreate() {
    // Start-up steps that need the finished window: format, panel colours, the title labels' state, and
    // the build label. The device menus were filled when the menu was built; the Explorer tree is filled by
    // the file browser.
    SetSourceFormat(SourceFormat::SoundFont);
    SetBackground(panel1_, Qt::black);
    FillDriveTree();
    auditioning_->StartAuditioning();
    workspace_.settings.LinkMonoSamples = true;
    workspace_.settings.ReadUnmappedRegions = true;
    const QString version = kProgramVersion;
    buildLabel_ = version.size() >= 4 ? "build: " + version : QString();
}

QSize TForm1::OpeningSize(QSize available) const {
    // The client area is as wide as the window; the volume strip takes the last 16 pixels.
    const int infoLeft = std::max(bankColumns_.InfoColumnLeft, audioColumns_.InfoColumnLeft);
    const int needed = infoLeft + InfoPanelTextWidth() + 16;
    const QSize start = minimumSize().expandedTo({704, 482});
    const int width = std::max({start.width(), needed, available.width() * 9 / 10});
    const int height = std::max(start.height(), available.height() * 9 / 10);
    return QSize(width, height).boundedTo(available).expandedTo(minimumSize());
}

void TForm1::ShowAtStart() {
    if (const QScreen* screen = this->screen())
        resize(OpeningSize(screen->availableGeometry().size()));
    showMaximized();
}

void TForm1::Relayout() {
    const MainLayout layout =
        ComputeMainLayout(client_->size(), columns_, sourceFormat_ == SourceFormat::AudioFile);
    for (size_t i = 0; i < layout.size(); ++i) {
        QWidget* control = mainControls_[i];
        const QRect& r = layout[i].bounds;
        if (r.width() < 0)
            control->move(r.topLeft());
        else
            control->setGeometry(r);
        control->setVisible(layout[i].visible);
    }
    const bool audio = sourceFormat_ == SourceFormat::AudioFile;
    for (size_t i = 0; i < columnHandles_.size() && columnHandles_[i] != nullptr; ++i) {
        const QRect bounds =
            ColumnHandleBounds(client_->size(), columns_, audio, static_cast<ColumnBorder>(i));
        columnHandles_[i]->setVisible(bounds.x() >= 0);
        if (bounds.x() >= 0) {
            columnHandles_[i]->setGeometry(bounds);
            columnHandles_[i]->raise();
        }
    }
}

void TForm1::RelayoutPanel1() {
    const QSize panel = panel1_->size();
    panel3_->setGeometry(0, 0, panel.width(), kTitleBarHeight);
    label4_->setGeometry(103, 0, std::max(0, panel.width() - 103), kTitleBarHeight);
    const bool sampleSelected = workspace_.selection.selectedSample < workspace_.bank.SampleCount;
    const Panel1Layout layout = ComputePanel1Layout(panel, sampleSelected);
    for (size_t i = 0; i < layout.size(); ++i) {
        panel1Controls_[i]->setGeometry(layout[i].bounds);
        panel1Controls_[i]->setVisible(layout[i].visible);
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == client_)
            Relayout();
        else if (watched == panel1_)
            RelayoutPanel1();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::SetSourceFormat(quorvane::SourceFormat format) {
    const SourceFormatFacts& facts = FactsOf(format);
    sourceFormat_ = format;
    workspace_.bank.SourceFormat = format;
    columns_ = format == SourceFormat::AudioFile ? audioColumns_ : bankColumns_;
    const bool audio = format == SourceFormat::AudioFile;
    staticText2_->setText(facts.bankColumn);
    // Akai volumes have no file type of their own to picture.
    if (format == SourceFormat::Akai)
        image3_->clear();
    else
        image3_->setPixmap(Artwork(FormatIconName(format, false), {16, 16}));
    controls_.staticText3->setText(facts.presetColumn);
    controls_.staticText4->setText(facts.sampleColumn);
    // Options that only mean something for one kind of source.
    controls_.menuLinkMono->setVisible(facts.linksMonoSamples);
    controls_.menuUnmapped->setVisible(facts.readsUnmappedRegions);
    controls_.menuShowCompressed->setVisible(audio);
    Relayout();
}

StoredSettings TForm1::CurrentSettings() const {
    StoredSettings s;
    const Settings& kept = workspace_.settings;
    s.LastDir = QString::fromStdString(kept.LastDir);
    s.MiddleCOffset = workspace_.settings.MiddleCOffset;
    s.AutoPlaySample = kept.AutoPlaySample;
    s.SortSamples = kept.SortSamples;
    s.SortPresets = kept.SortPresets;
    s.ShowHiddenDirs = kept.ShowHiddenDirs;
    s.bankColumns = bankColumns_;
    s.audioColumns = audioColumns_;
    return s;
}

void TForm1::ApplySettings(const StoredSettings& s) {
    Settings& kept = workspace_.settings;
    kept.LastDir = s.LastDir.toStdString();
    kept.AutoPlaySample = s.AutoPlaySample;
    kept.SortSamples = s.SortSamples;
    kept.SortPresets = s.SortPresets;
    kept.ShowHiddenDirs = s.ShowHiddenDirs;
    bankColumns_ = s.bankColumns;
    audioColumns_ = s.audioColumns;
    controls_.menuAutoPlay->setChecked(kept.AutoPlaySample);
    controls_.sortWaveforms->setChecked(kept.SortSamples);
    controls_.sortPreset->setChecked(kept.SortPresets);
    controls_.menuHiddenDirs->setChecked(kept.ShowHiddenDirs);
    const size_t middleC = s.MiddleCOffset == 0 ? 0 : s.MiddleCOffset == 24 ? 2 : 1;
    MiddleCClick(controls_.middleC[middleC]);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A file that cannot be written keeps the settings of the last session that could.
    WriteSettings(settingsFile_, CurrentSettings());
    StopPlayback(true);
    form2_->close();
    form3_->close();
    form4_->close();
    event->accept();
}

} // namespace quorvane::ui
