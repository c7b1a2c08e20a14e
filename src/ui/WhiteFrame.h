// The white, sunken area a percent bar sits in.
#pragma once

#include <QFrame>

namespace quorvane::ui {

class WhiteFrame : public QFrame {
    Q_OBJECT
  public:
    WhiteFrame(const char* objectName, QWidget* parent) : QFrame(parent) {
        setObjectName(objectName);
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }
};

} // namespace quorvane::ui
