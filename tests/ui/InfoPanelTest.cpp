// The information panel: the block texts, the zone map's key range and rectangles checked on the pixels of
// the composed picture, the waveform scan against a brute-force one, loop shading, samples that cannot
// be shown as they stand, and screenshots of each view with the play cursor running.
#include <QDir>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

#include "audio/WaveOutput.h"
#include "ui/InfoPanel.h"
#include "ui/OutputDevices.h"
#include "ui/SampleView.h"
#include "ui/Unit1.h"
#include "ui/ZoneMap.h"

using namespace quorvane;
using namespace quorvane::ui;

namespace {

// An output that takes every stream and plays only when the test says so.
class ScriptedOutput : public audio::WaveOutput {
  public:
    std::vector<std::string> DeviceNames() override { return {"Scripted"}; }
    std::string DeviceName(int) override { return "Scripted"; }
    int Open(int, uint32_t, int channelCount, audio::BlockQueue& queue, std::string&) override {
        queue_ = &queue;
        channels_ = channelCount;
        return 0;
    }
    void Close() override { queue_ = nullptr; }
    void Finish() override { queue_ = nullptr; }
    bool IsOpen() const override { return queue_ != nullptr; }
    void Play(size_t frames) {
        std::vector<int16_t> out(frames * static_cast<size_t>(channels_));
        if (queue_)
            queue_->Render(out.data(), frames);
    }

  private:
    audio::BlockQueue* queue_ = nullptr;
    int channels_ = 1;
};

QString Screenshots() {
    QDir().mkpath(QUORVANE_SCREENSHOT_DIR);
    return QUORVANE_SCREENSHOT_DIR;
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

QColor Rgb(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

uint16_t Range(int low, int high) {
    return static_cast<uint16_t>(high << 8 | low);
}

// A preset of one layer (keys 0..90) with three zones: a mapped one on keys 60..64 at velocities 0..63, an
// unmapped one on 65..70 at 64..127, and one on 100..110 that lies outside the layer's keys.
void SmallPreset(BankModel& bank, SourceFormat source = SourceFormat::SoundFont) {
    bank = {};
    bank.SourceFormat = source;
    bank.PresetTable.resize(2);
    bank.PresetTable[1].name = "Piano";
    bank.PresetTable[1].program = 4;
    bank.PresetTable[1].layerList.Append(0);
    LayerRecord layer;
    layer.Reset();
    layer.isGlobal = 0;
    layer.name = "Piano layer";
    layer.Set(gen::keyRange, static_cast<int16_t>(Range(0, 90)));
    for (uint16_t z = 0; z < 3; ++z)
        layer.zoneList.Append(z);
    bank.LayerTable.push_back(layer);
    const struct {
        int keyLow, keyHigh, velLow, velHigh;
        uint16_t sample;
    } zones[] = {{60, 64, 0, 63, 0}, {65, 70, 64, 127, kNoSample}, {100, 110, 0, 127, 0}};
    for (const auto& z : zones) {
        ZoneRecord zone;
        zone.Reset();
        zone.isGlobal = 0;
        zone.sampleIndex = z.sample;
        zone.Set(gen::keyRange, static_cast<int16_t>(Range(z.keyLow, z.keyHigh)));
        zone.Set(gen::velRange, static_cast<int16_t>(Range(z.velLow, z.velHigh)));
        zone.Set(gen::overridingRootKey, 60);
        bank.ZoneTable.push_back(zone);
    }
    SampleRecord sample;
    sample.name = sample.fullName = "Piano C4";
    sample.sampleRate = 44100;
    sample.dataLength = 4000;
    bank.SampleTable.push_back(sample);
    bank.PresetCount = 1;
    bank.LayerCount = 1;
    bank.ZoneCount = 3;
    bank.SampleCount = 1;
}

FrameVector Shape(uint32_t frames, uint32_t period) {
    FrameVector values(frames);
    for (uint32_t i = 0; i < frames; ++i)
        values[i] = static_cast<int16_t>(
            std::lround(30000 * std::sin(2 * M_PI * i / period) * (1.0 - static_cast<double>(i) / frames)));
    return values;
}

} // namespace

class InfoPanelTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ScriptedOutput output_;
    OutputDevices outputs_{output_};
    std::unique_ptr<TForm1> form_;

    Workspace& Session() { return form_->Session(); }
    QImage Show(const char* screenshot = nullptr) {
        InfoPanel* panel = form_->Panel();
        panel->SetStatistics(ComputePresetStatistics(Session().bank, Session().selection.currentPreset,
                                                     Session().selection.currentLayer));
        panel->Redraw();
        const QImage image = panel->Compose();
        if (screenshot)
            image.save(Screenshots() + "/" + screenshot);
        return image;
    }
    void Select(uint32_t slot, int layer, int zone) {
        Selection& s = Session().selection;
        s.currentPreset = slot;
        s.currentLayer = layer;
        s.currentZone = zone;
        s.selectedSample = 0xFFFF;
        s.lastSampleNode = -1;
        s.DisplayMode = PanelContent::Preset;
    }

  private slots:
    void init() {
        DeviceLists devices = NoDeviceLists();
        devices.audioOutputs = &outputs_;
        devices.waveOutput = &output_;
        form_ = std::make_unique<TForm1>(dir_.filePath("settings.ini"), devices);
        form_->resize(1000, 640);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void BlockTexts_data();
    void BlockTexts();
    void DisplayKeyRangeWidensNarrowPresets_data();
    void DisplayKeyRangeWidensNarrowPresets();
    void ZoneMapDrawsZonesInTheirColoursAndSkipsThoseOutsideTheLayer();
    void WaveformScanMatchesEveryFrameItExamines();
    void LoopIsShadedOverItsColumns();
    void DamagedSamplesAreShownWithoutPlaying();
    void ScreenshotsOfEveryViewAndPlayback();
};

void InfoPanelTest::BlockTexts_data() {
    QTest::addColumn<int>("pan");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full left") << -500 << "Pan:  -50% (0)";
    QTest::newRow("full right") << 500 << "Pan:  50% (127)";
    QTest::newRow("centre") << 0 << "Pan:  0% (64)";
    QTest::newRow("tenths") << 25 << "Pan:  2.5% (67)";
}

void InfoPanelTest::BlockTexts() {
    QFETCH(int, pan);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(PanText(static_cast<int16_t>(pan), false)), expected);

    // The zone block with its pan, and the root key named with middle C as C5.
    SmallPreset(Session().bank);
    Session().bank.ZoneTable[0].Set(gen::pan, static_cast<int16_t>(pan));
    Session().settings.MiddleCOffset = 24;
    Select(1, 0, 0);
    Show();
    std::map<std::pair<int, int>, std::string> at;
    for (const PanelText& t : form_->Panel()->Block().texts)
        at[std::pair(t.x, t.y)] = t.text;
    QCOMPARE(QString::fromStdString(at[std::pair(120, 30)]), expected);
    QCOMPARE(at[std::pair(120, 15)], std::string("Root:  C5 (60)"));
    QCOMPARE(form_->Panel()->Block().title, std::string("Zone: Piano C4"));

    // A preset without sample data: its size in red.
    Session().bank.SampleTable[0].dataLength = 0;
    Select(1, -1, -1);
    Show();
    bool found = false;
    for (const PanelText& t : form_->Panel()->Block().texts) {
        if (t.text == "Size:  0 bytes") {
            found = true;
            QCOMPARE(t.rgb, kTextRed);
        }
    }
    QVERIFY(found);

    // An interleaved stereo file lasts its frames, not its values.
    SampleRecord stereo;
    stereo.channels = 2;
    stereo.sampleRate = 44100;
    stereo.dataLength = 44100 * 4;
    QCOMPARE(SampleSeconds(stereo), 1.0);
    stereo.sampleRate = 0;
    QCOMPARE(SampleSeconds(stereo), 44100.0);
    // One half of a linked pair holds its own channel only.
    stereo.sampleRate = 44100;
    stereo.linkIndex = 2;
    QCOMPARE(SampleSeconds(stereo), 2.0);
}

void InfoPanelTest::DisplayKeyRangeWidensNarrowPresets_data() {
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::newRow("every zone on key 60: an octave") << 60 << 60 << 60 << 72;
    QTest::newRow("upper halves: F to C, then 5 down") << 55 << 58 << 48 << 60;
    QTest::newRow("lower halves: C to F, then 7 up") << 61 << 62 << 60 << 72;
    QTest::newRow("an octave already: one key more") << 66 << 77 << 66 << 78;
    QTest::newRow("wide range only grows one at the top") << 20 << 100 << 20 << 101;
    QTest::newRow("top key stays inside 127") << 127 << 127 << 120 << 127;
    QTest::newRow("low above high: everything") << 90 << 30 << 0 << 127;
    QTest::newRow("no zones (128 masks to 0)") << 128 << 0 << 0 << 12;
}

void InfoPanelTest::DisplayKeyRangeWidensNarrowPresets() {
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, lo);
    QFETCH(int, hi);
    const KeyRange range = DisplayKeyRange(low, high);
    QCOMPARE(range.lo, lo);
    QCOMPARE(range.hi, hi);
}

void InfoPanelTest::ZoneMapDrawsZonesInTheirColoursAndSkipsThoseOutsideTheLayer() {
    SmallPreset(Session().bank);
    Select(1, -1, -1);
    const QImage image = Show();
    const KeyRange range = form_->Panel()->DisplayRange();
    // The preset's statistics span every zone (60..110); the zone outside the layer is not drawn.
    QCOMPARE(range, DisplayKeyRange(60, 110));
    // Map the boxes into panel coordinates: the map's image starts at y 48 and is copied to y 62.
    const int mapHeight = image.height() - 62;
    const auto boxes = ZoneBoxes(Session().bank, 1, -1, -1, range, image.width(), 48 + mapHeight);
    QCOMPARE(boxes.size(), size_t(2));
    // Inside a box, clear of its centred name: just within its left edge, half-way up.
    const auto inside = [&](const ZoneBox& b) { return QPoint(b.left + 3, (b.top + b.bottom) / 2 + 14); };
    QCOMPARE(At(image, inside(boxes[0]).x(), inside(boxes[0]).y()), Rgb(ZoneColour(0, 60, 64)));
    QCOMPARE(At(image, inside(boxes[1]).x(), inside(boxes[1]).y()), QColor(128, 192, 192));
    const auto centre = inside;
    // The mapped zone spans velocities 0..63: half the area right of the keyboard strip.
    QCOMPARE(boxes[0].left, 29);
    QCOMPARE(boxes[0].right, (image.width() - 30) * 64 / 128 + 30);
    // Right of the mapped zone, on its keys, the velocity band shows through.
    QCOMPARE(At(image, image.width() - 5, centre(boxes[0]).y()), QColor(255, 230, 240 - 12 * 7));
    // The keyboard strip: white at the left edge of a white key's area, black on C#.
    QCOMPARE(At(image, 2, 62 + 48 - 48 + mapHeight - 13), QColor(Qt::white));
}

void InfoPanelTest::WaveformScanMatchesEveryFrameItExamines() {
    for (uint32_t frames : {1000u, 250000u, 3000000u}) {
        const FrameVector values = Shape(frames, 7919);
        const int columns = 640;
        const std::vector<WaveColumn> scan = ScanWaveColumns(values.data(), frames, columns);
        std::vector<WaveColumn> brute(columns);
        const uint32_t step = frames > kWaveScanFrames ? frames / kWaveScanFrames : 1;
        for (uint32_t i = 0; i < frames; i += step) {
            const int column = frames > 2000000 ? int(uint64_t(i / 4) * columns / (frames / 4))
                                                : int(uint64_t(columns) * i / frames);
            const int v = ~int(values[i]);
            WaveColumn& c = brute[size_t(column)];
            c = c.used ? WaveColumn{true, std::min(c.low, v), std::max(c.high, v)} : WaveColumn{true, v, v};
        }
        for (int c = 0; c < columns; ++c) {
            QCOMPARE(scan[size_t(c)].used, brute[size_t(c)].used);
            QCOMPARE(scan[size_t(c)].low, brute[size_t(c)].low);
            QCOMPARE(scan[size_t(c)].high, brute[size_t(c)].high);
        }
        // Positive values point up: the complement of the largest value is the lowest.
        QVERIFY(scan[1].low < 0 || frames == 1000u);
    }
}

void InfoPanelTest::LoopIsShadedOverItsColumns() {
    const struct {
        uint32_t start, end, count;
        int columns, first, last;
    } cases[] = {
        {1000, 3000, 4000, 400, 100, 300}, {2000, 2001, 4000, 400, 200, 203},
        {3999, 4000, 4000, 400, 397, 400}, {1000, 900000, 4000, 400, 100, 400},
        {3000, 1000, 4000, 400, 0, 0},
    };
    for (const auto& c : cases) {
        const ColumnSpan span = LoopColumns(c.start, c.end, c.count, c.columns);
        QCOMPARE(span.first, c.first);
        QCOMPARE(span.last, c.last);
    }
    // On the pixels: loop columns are light yellow where the trace does not pass, the rest ivory.
    QImage image(404, 100, QImage::Format_RGB32);
    const FrameVector silence(4000, 0);
    DrawSampleView(image, image.rect(), {{silence.data(), 4000, true, 1000, 3000}});
    QCOMPARE(At(image, 2 + 200, 10), QColor(255, 255, 191));
    QCOMPARE(At(image, 2 + 50, 10), QColor(255, 255, 240));
    QCOMPARE(At(image, 2 + 100, 10), QColor(159, 159, 159));
}

void InfoPanelTest::DamagedSamplesAreShownWithoutPlaying() {
    const struct {
        const char* what;
        uint32_t rate, frames, loopStart, loopEnd;
        uint16_t looped;
        bool plays;
    } cases[] = {
        {"rate 0", 0, 1000, 0, 0, 0, false},
        {"no frames", 44100, 0, 0, 0, 0, false},
        {"loop past the end", 44100, 1000, 500, 90000, 1, true},
        {"loop end before start", 44100, 1000, 800, 200, 1, true},
        {"one frame", 44100, 1, 0, 0, 0, true},
    };
    for (const auto& c : cases) {
        SmallPreset(Session().bank);
        SampleRecord& sample = Session().bank.SampleTable[0];
        sample.sampleRate = c.rate;
        sample.dataLength = c.frames * 2;
        sample.loopStart = c.loopStart;
        sample.loopEnd = c.loopEnd;
        sample.looped = c.looped;
        Session().samples.PlayLeft.Fill(FrameVector(c.frames, 1000));
        Session().samples.PlayRight.Free();
        Select(0, -1, -1);
        Session().selection.selectedSample = 0;
        Session().selection.DisplayMode = PanelContent::Sample;
        const QImage image = Show();
        QVERIFY2(!image.isNull(), c.what);
        form_->SpeedButton1Click();
        QCOMPARE(form_->Player().Playing(), c.plays);
        form_->StopPlayback(true);
    }
}

void InfoPanelTest::ScreenshotsOfEveryViewAndPlayback() {
    SmallPreset(Session().bank);
    Select(1, -1, -1);
    Show("panel_preset.png");
    Select(1, 0, -1);
    Show("panel_layer.png");
    Select(1, 0, 0);
    Show("panel_zone.png");

    // An Akai keygroup zone with its envelopes.
    SmallPreset(Session().bank, SourceFormat::Akai);
    ZoneRecord& zone = Session().bank.ZoneTable[0];
    const uint8_t bytes[][2] = {{12, 20}, {13, 50}, {14, 80}, {15, 40}, {20, 5},   {21, 70},
                                {22, 30}, {23, 60}, {7, 75},  {19, 12}, {29, 254}, {131, 1}};
    for (const auto& [offset, value] : bytes)
        zone.rawArticulation[offset / 2] |= static_cast<uint16_t>(value << (offset % 2 ? 8 : 0));
    Session().bank.PresetTable[1].instrumentGlobals[25] = 80;
    Select(1, 0, 0);
    const QImage akai = Show("panel_akai_zone.png");
    QCOMPARE(At(akai, akai.width() / 2, 62 + 150), QColor(255, 255, 220));

    // A mono sample, then a stereo pair, each while it plays.
    SmallPreset(Session().bank);
    SampleRecord& mono = Session().bank.SampleTable[0];
    mono.dataLength = 200000;
    mono.looped = 1;
    mono.loopStart = 60000;
    mono.loopEnd = 90000;
    Session().samples.PlayLeft.Fill(Shape(100000, 900));
    Select(0, -1, -1);
    Session().selection.selectedSample = 0;
    Session().selection.DisplayMode = PanelContent::Sample;
    form_->Panel()->Redraw();
    form_->SpeedButton1Click();
    QVERIFY(form_->Player().Playing());
    output_.Play(40000);
    QTRY_VERIFY(form_->Panel()->CursorX(0) != -1);
    const int x = form_->Panel()->CursorX(0);
    QVERIFY(std::abs(x - (2 + (form_->Panel()->width() - 4) * 39500 / 100000)) <= 1);
    form_->Panel()->grab().save(Screenshots() + "/panel_mono_playing.png");

    form_->StopPlayback(true);
    QCOMPARE(form_->Panel()->CursorX(0), -1);
    SampleRecord right = Session().bank.SampleTable[0];
    Session().bank.SampleTable[0].channels = 2;
    Session().bank.SampleTable[0].sampleType = 4;
    Session().bank.SampleTable[0].linkIndex = 2;
    right.name = right.fullName = "Piano C4 R";
    right.looped = 0;
    right.sampleType = 2;
    right.linkIndex = 1;
    Session().bank.SampleTable.push_back(right);
    Session().bank.SampleCount = 2;
    Session().samples.PlayRight.Fill(Shape(60000, 1300));
    form_->Panel()->Redraw();
    form_->SpeedButton1Click();
    output_.Play(20000);
    QTRY_VERIFY(form_->Panel()->CursorX(1) != -1);
    QVERIFY(form_->Panel()->ShowsStereoPair());
    form_->Panel()->grab().save(Screenshots() + "/panel_stereo_playing.png");
    form_->grab().save(Screenshots() + "/window_stereo_playing.png");
    form_->StopPlayback(true);
}

QTEST_MAIN(InfoPanelTest)
#include "InfoPanelTest.moc"
