#include "ui/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures are compiled into the static UI library, whose resources a program must register itself.
static void RegisterArtwork() {
    Q_INIT_RESOURCE(ui);
}

namespace quorvane::ui {

QPixmap Artwork(const QString& name, QSize size) {
    static const bool registered = (RegisterArtwork(), true);
    (void)registered;
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/quorvane/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128})
        icon.addPixmap(Artwork("quorvane", {side, side}));
    return icon;
}

QString FormatIconName(SourceFormat sourceFormat, bool aiffOnly) {
    switch (sourceFormat) {
    case SourceFormat::Dls:
        return "format_gig";
    case SourceFormat::AudioFile:
        return aiffOnly ? "format_aif" : "format_wav";
    case SourceFormat::SoundFont:
    case SourceFormat::Akai:
    case SourceFormat::Sfz:
        break;
    }
    return "format_sf2";
}

} // namespace quorvane::ui
