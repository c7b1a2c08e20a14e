// TForm1: the main window. It owns the session (`Workspace`) and answers the core as its `Host`: messages
// become message boxes, titles go to the information panel's title bar, status lines and progress go to the
// progress windows.
#pragma once

#include <array>
#include <memory>

#include <QMainWindow>

#include "session/Workspace.h"
#include "ui/DeviceLists.h"
#include "ui/MainLayout.h"
#include "ui/SettingsStore.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

namespace quorvane::ui {

class TForm2;
class TForm3;
class TForm4;
class ProgressWindow;

class TForm1 : public QMainWindow, public Host {
    Q_OBJECT
  public:
    // `settingsFile` is the INI file the settings are read from now and written to on close.
    TForm1(const QString& settingsFile, const DeviceLists& devices, QWidget* parent = nullptr);
    ~TForm1() override;

    Workspace& Session() { return workspace_; }
    TForm2* SampleProgress() const { return form2_; }
    TForm3* About() const { return form3_; }
    TForm4* BankProgress() const { return form4_; }

    // Switches the source format (0 SoundFont, 1 GigaSampler, 2 audio files, 3 Akai): columns, headers,
    // the format's menu items and the check mark.
    void SetSourceFormat(int format);
    int SourceFormat() const { return sourceFormat_; }
    // The text shown after "build: " in the About window; empty when the version is too short to mean
    // anything.
    const QString& BuildLabel() const { return buildLabel_; }
    // Places every control for the current client size and columns.
    void Relayout();

    // Host
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void SetTitle(const std::string& text) override;
    void SetFormatLabel(const std::string& text) override;
    void SetFormatLabelsVisible(bool visible) override;
    void AddStatusLine(const std::string& line) override;
    void ReplaceLastStatusLine(const std::string& line) override;
    size_t StatusLineCount() const override;
    void ClearStatusLines() override;
    void SetFileProgress(int perMille) override;
    void SetOverallProgress(int perMille) override;
    void SetProgressSampleName(const std::string& name) override;
    void SetProgressFileName(const std::string& name) override;
    bool IsProgressWindowShowing() const override;
    bool CancelRequested() override;
    void PumpEvents(int milliseconds) override;
    void BankChanged() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildPanel1();
    void BuildMenu(const DeviceLists& devices);
    void FormCreate();
    void ApplySettings(const StoredSettings& settings);
    StoredSettings CurrentSettings() const;
    void RelayoutPanel1();
    // The progress window now showing: the bank window during a conversion, else the sample window.
    ProgressWindow* ShowingProgressWindow() const;

    // Menu handlers
    void MiddleCClick(QAction* item);
    void HelpClick(QAction* item);
    void About2Click();

    QAction* MakeItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false);

    Workspace workspace_;
    QString settingsFile_;

    int sourceFormat_ = 0;
    int displayMode_ = 0;
    ColumnEdges columns_;
    QString buildLabel_;
    uint16_t waveGain_ = 1000;
    int16_t midiVolume_ = 127;
    bool closing_ = false;

    QWidget* client_ = nullptr;
    QWidget* panel1_ = nullptr;
    QLabel* panel3_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* staticText2_ = nullptr;
    QLabel* image3_ = nullptr;
    std::array<QWidget*, kMainControlCount> mainControls_{};
    std::array<QWidget*, kPanel1ControlCount> panel1Controls_{};

    QActionGroup* formatGroup_ = nullptr;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
};

} // namespace quorvane::ui
