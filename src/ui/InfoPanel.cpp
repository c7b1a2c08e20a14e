#include "ui/InfoPanel.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "ui/EnvelopePanel.h"
#include "ui/Fonts.h"
#include "ui/SampleView.h"

namespace quorvane::ui {

namespace {

const QColor kBlockGreen(200, 255, 200);

QColor Rgb(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool IsPairHalfWithPartner(const BankModel& bank, const SampleRecord& sample) {
    return sample.linkIndex != 0 && bank.IsValidSample(sample.linkIndex - 1u);
}

int TextsRight(const std::vector<PanelText>& texts, int left) {
    const QFontMetrics metrics(TahomaFont(11, false));
    int right = 0;
    for (const PanelText& text : texts)
        right = std::max(right, left + text.x + metrics.horizontalAdvance(QString::fromStdString(text.text)));
    return right;
}

// The widest texts a sample's block shows: the largest rate, size and loop points.
int SampleTextsRight() {
    BankModel bank;
    SampleRecord sample;
    sample.sampleRate = 192000;
    sample.dataLength = 0xFFFFFFFFu;
    sample.bitsPerSample = 8;
    sample.looped = 1;
    sample.loopStart = sample.loopEnd = 0xFFFFFFFFu;
    sample.rootKey = 127;
    sample.pitchCorrection = -99;
    bank.SampleTable.push_back(sample);
    bank.SampleCount = 1;
    return TextsRight(SampleBlock(bank, 0, {}).texts, 0);
}

// The envelope panel splits its width between two graphs; its texts fit once the second graph's texts end
// inside the panel and the first graph's end before the second's begin.
int EnvelopeTextsWidth() {
    AkaiEnvelopeValues values;
    values.env1 = values.env2 = {99, 99, 99, 99};
    values.keyToEnv1Decay = values.keyToEnv2Decay = values.env2ToPitch = values.env2ToFilter = -50;
    values.filter = values.loudness = values.programVolume = 99;
    constexpr int kWidest = 4000;
    for (int width = 200; width < kWidest; width += 2) {
        const int right = width / 2 - 2; // the second graph's left, relative to the first's (x 5)
        const std::vector<PanelText> texts = EnvelopeTexts(values, right);
        std::vector<PanelText> first, second;
        for (const PanelText& text : texts)
            (text.x < right ? first : second).push_back(text);
        if (TextsRight(first, 5) <= 5 + right && TextsRight(second, 5) <= width)
            return width;
    }
    return kWidest;
}

} // namespace

int InfoPanelTextWidth() {
    return std::max(SampleTextsRight(), EnvelopeTextsWidth());
}

InfoPanel::InfoPanel(Workspace& workspace, QWidget* parent) : QWidget(parent), workspace_(workspace) {
    setObjectName("PaintBox1");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void InfoPanel::SetStatistics(const PresetStatistics& stats) {
    stats_ = stats;
}

void InfoPanel::Redraw() {
    stale_ = true;
    clicked_ = false;
    shownSample_ = workspace_.selection.selectedSample;
    cursorX_ = {-1, -1};
    update();
}

bool InfoPanel::ShowsStereoPair() const {
    return workspace_.samples.PlayRight.length > 0;
}

QImage InfoPanel::Compose() {
    const int width = std::max(this->width(), 1);
    const int height = std::max(this->height(), 1) + kInfoBlockTop;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    const Selection& selection = workspace_.selection;
    block_ = {};
    if (selection.lastSampleNode != -1) {
        // A sample-list node without a usable sample: nothing to show.
    } else if (workspace_.bank.IsValidSample(selection.selectedSample)) {
        ComposeSample(image);
    } else if (workspace_.bank.IsValidSlot(selection.currentPreset)) {
        ComposePreset(image);
    }
    if (!block_.title.empty() || !block_.texts.empty())
        emit BlockShown(QString::fromStdString(block_.title), QString::fromStdString(block_.formatLabel));
    return image;
}

void InfoPanel::DrawBlock(QImage& image, const InfoBlock& block) {
    QPainter p(&image);
    const QRect area(0, kInfoBlockTop, image.width(), kInfoBlockBottom + 1 - kInfoBlockTop);
    p.fillRect(area, kBlockGreen);
    p.setPen(Qt::black);
    p.drawRect(area.adjusted(0, 0, -1, -1));
    p.setFont(TahomaFont(11, false));
    for (const PanelText& text : block.texts) {
        p.setPen(Rgb(text.rgb));
        p.drawText(QRect(text.x, text.y, image.width(), 14), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(text.text));
    }
}

void InfoPanel::ComposeSample(QImage& image) {
    const BankModel& bank = workspace_.bank;
    const uint32_t selected = workspace_.selection.selectedSample;
    const uint32_t shown = bank.IsValidSample(shownSample_) ? shownSample_ : selected;
    SampleContext at;
    at.middleCOffset = workspace_.settings.MiddleCOffset;
    at.filterMode = workspace_.selection.filterMode;
    at.clicked = clicked_;
    block_ = SampleBlock(bank, shown, at);
    DrawBlock(image, block_);

    const SampleRecord& sample = bank.SampleTable[selected];
    const FrameBuffer& left = workspace_.samples.PlayLeft;
    const FrameBuffer& right = workspace_.samples.PlayRight;
    std::vector<WaveBand> bands;
    auto band = [](const FrameBuffer& buffer, const SampleRecord& record) {
        WaveBand b;
        b.frames = buffer.frames.data();
        b.count = std::min<uint32_t>(buffer.FrameCount(), static_cast<uint32_t>(buffer.frames.size()));
        b.looped = record.looped != 0;
        b.loopStart = record.loopStart;
        b.loopEnd = record.loopEnd;
        return b;
    };
    bands.push_back(band(left, sample));
    if (right.length > 0) {
        const SampleRecord& partner =
            IsPairHalfWithPartner(bank, sample) ? bank.SampleTable[sample.linkIndex - 1u] : sample;
        bands.push_back(band(right, partner));
    }
    const QRect area(0, kInfoBlockBottom + 1, image.width(), image.height() - kInfoBlockBottom - 1);
    DrawSampleView(image, area, bands);
}

void InfoPanel::ComposePreset(QImage& image) {
    const BankModel& bank = workspace_.bank;
    const Selection& selection = workspace_.selection;
    BlockContext at;
    at.middleCOffset = workspace_.settings.MiddleCOffset;
    at.currentPreset = selection.currentPreset;
    at.currentLayer = selection.currentLayer;
    at.currentZone = selection.currentZone;
    block_ = PresetBlock(bank, at, stats_);
    DrawBlock(image, block_);

    int top = kInfoBlockBottom;
    const ZoneRecord* zone =
        ZoneAt(bank, selection.currentPreset, selection.currentLayer, selection.currentZone);
    QPainter p(&image);
    if (bank.SourceFormat == SourceFormat::Akai && zone != nullptr && selection.currentZone >= 0) {
        QImage envelope(image.width(), kEnvelopePanelHeight, QImage::Format_RGB32);
        DrawEnvelopePanel(envelope, EnvelopeValuesOf(*zone, bank.PresetTable[selection.currentPreset]));
        p.drawImage(0, top, envelope);
        top += kEnvelopePanelHeight;
    }
    const int mapHeight = image.height() - top;
    mapTop_ = top;
    if (mapHeight <= 0)
        return;
    displayRange_ = DisplayKeyRange(stats_.lowKey, stats_.highKey);
    QImage map(image.width(), kZoneMapTop + mapHeight, QImage::Format_RGB32);
    map.fill(Qt::white);
    const std::vector<ZoneBox> boxes =
        ZoneBoxes(bank, selection.currentPreset, selection.currentLayer, selection.currentZone, displayRange_,
                  map.width(), map.height());
    DrawZoneMap(map, displayRange_, boxes, workspace_.settings.MiddleCOffset);
    p.drawImage(QPoint(0, top), map, QRect(0, kZoneMapTop, map.width(), mapHeight));
}

ZoneMapPlayArea InfoPanel::PlayArea() const {
    // The picture starts under the title bar; the map's foot line stands 12 pixels above its lower edge.
    return {mapTop_ - kInfoBlockTop, height() - kZoneMapFoot, width(), displayRange_};
}

QRect InfoPanel::CursorRect(int channel, int x) const {
    // Panel coordinates: from 2 pixels below the top of the waveform to 2 above the surface's foot; the
    // right channel's cursor runs in the lower half of a pair.
    const int top = kInfoBlockBottom + 2;
    const int bottom = kInfoBlockTop + height() - 2;
    if (!ShowsStereoPair())
        return QRect(x, top, 2, bottom - top);
    const int middle = (top + bottom) / 2;
    return channel == 0 ? QRect(x, top, 2, middle - top) : QRect(x, middle, 2, bottom - middle);
}

void InfoPanel::SetCursor(int channel, int x) {
    int& current = cursorX_[static_cast<size_t>(channel)];
    if (current == x)
        return;
    if (current != -1)
        update(CursorRect(channel, current).translated(0, -kInfoBlockTop));
    current = x;
    if (x != -1)
        update(CursorRect(channel, x).translated(0, -kInfoBlockTop));
}

void InfoPanel::paintEvent(QPaintEvent* event) {
    if (stale_ || picture_.size() != QSize(width(), height() + kInfoBlockTop)) {
        picture_ = Compose();
        stale_ = false;
    }
    QPainter p(this);
    const QRect dirty = event->rect();
    p.drawImage(dirty, picture_, dirty.translated(0, kInfoBlockTop));
    for (int channel = 0; channel < 2; ++channel) {
        const int x = cursorX_[static_cast<size_t>(channel)];
        if (x == -1)
            continue;
        // Yellow drawn by exclusive or: the picture's own pixels with their red and green inverted.
        const QRect r = CursorRect(channel, x).intersected(picture_.rect());
        if (r.isEmpty())
            continue;
        QImage strip = picture_.copy(r);
        for (int y = 0; y < strip.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
            for (int i = 0; i < strip.width(); ++i)
                line[i] ^= 0x00FFFF00u;
        }
        p.drawImage(r.topLeft() - QPoint(0, kInfoBlockTop), strip);
    }
}

void InfoPanel::resizeEvent(QResizeEvent* event) {
    stale_ = true;
    QWidget::resizeEvent(event);
}

void InfoPanel::mousePressEvent(QMouseEvent* event) {
    const BankModel& bank = workspace_.bank;
    const uint32_t selected = workspace_.selection.selectedSample;
    if (!bank.IsValidSample(selected) || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const SampleRecord& sample = bank.SampleTable[selected];
    const int y = event->position().toPoint().y() + kInfoBlockTop;
    const int top = kInfoBlockBottom + 1;
    const int bottom = kInfoBlockTop + height();
    const bool lower = y >= (top + bottom) / 2;
    shownSample_ = lower && IsPairHalfWithPartner(bank, sample) ? sample.linkIndex - 1u : selected;
    clicked_ = true;
    stale_ = true;
    update();
}

} // namespace quorvane::ui
