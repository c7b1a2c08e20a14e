#include "ui/Unit3.h"

#include <QKeyEvent>
#include <QLabel>

#include "ui/Artwork.h"
#include "ui/Colours.h"
#include "ui/Fonts.h"
#include "ui/Help.h"

namespace quorvane::ui {

namespace {

void Paint(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm3");
    setWindowTitle("About ...");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DefaultFont());
    setFixedSize(264, 295);
    Paint(this, kAboutSkyBlue);

    auto* inner = new QFrame(this);
    inner->setObjectName("Panel1");
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);
    inner->setGeometry(8, 8, 248, 279);
    Paint(inner, kAboutPanelGreen);

    auto* banner = new QLabel(inner);
    banner->setObjectName("Image1");
    banner->setGeometry(8, 8, 232, 130);
    banner->setPixmap(Artwork("banner", {232, 130}));

    auto* name = new QLabel("Quorvane 1.1\nsample banks: browse, play, convert", inner);
    name->setObjectName("Label1");
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(8, 144, 232, 30);

    buildLabel_ = new QLabel(inner);
    buildLabel_->setObjectName("Label2");
    buildLabel_->setFont(TahomaFont(11, true));
    buildLabel_->setAlignment(Qt::AlignCenter);
    buildLabel_->setGeometry(8, 178, 232, 16);

    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kProjectPage), inner);
    link->setObjectName("Label3");
    link->setAlignment(Qt::AlignCenter);
    link->setGeometry(8, 200, 232, 16);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    // Opened here rather than by the label so that the one project-page opener is used.
    connect(link, &QLabel::linkActivated, this, [] { OpenProjectPage(); });

    auto* iconFrame = new QLabel(inner);
    iconFrame->setObjectName("Image2");
    iconFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    iconFrame->setAlignment(Qt::AlignCenter);
    iconFrame->setGeometry(106, 226, 38, 38);
    iconFrame->setPixmap(Artwork("quorvane", {32, 32}));
}

void TForm3::SetBuildLabel(const QString& label) {
    buildLabel_->setText(label);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

} // namespace quorvane::ui
