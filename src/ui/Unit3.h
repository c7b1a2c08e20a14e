// TForm3: the About window: banner, build label, a link to the project page and the program icon. Any key
// closes it.
#pragma once

#include <QDialog>

class QLabel;

namespace quorvane::ui {

class TForm3 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr);

    void SetBuildLabel(const QString& label);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* buildLabel_ = nullptr;
};

} // namespace quorvane::ui
