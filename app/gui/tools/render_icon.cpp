// Renders the program's scalable icon as PNG files of the sizes icon themes look up first, for the
// installation's hicolor theme. Usage: render_icon ICON.svg OUTDIR SIZE...
// writes OUTDIR/SIZExSIZE/apps/quorvane.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ICON.svg OUTDIR SIZE...\n", argv[0]);
        return 1;
    }
    // No window is shown; the offscreen platform lets this run in a build without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "error: cannot read the icon %s\n", argv[1]);
        return 1;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "error: not an icon size: %s\n", argv[i]);
            return 1;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = outDir.filePath(folder + "/quorvane.png");
        if (!outDir.mkpath(folder) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "error: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
