// The main window's file browser: the Explorer tree of folders, the file list of banks, the SoundFormat
// menu's format items, Refresh, the searches of the Explorer tree's menu and the file list's menu. What is
// listed and how is decided by the core; this controller turns it into items and loads the entry the user
// picks.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "convert/BankLoader.h"
#include "core/Host.h"
#include "model/SourceFormat.h"
#include "session/Workspace.h"

class QAction;
class QActionGroup;
class QListWidget;
class QPoint;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace quorvane::ui {

class AuditioningController;
class BankViewsController;
class SavingController;

// The searches of the Explorer tree's menu: the banks of the source format, or in audio-file mode the WAVE
// files, the AIFF files or both.
enum class FolderSearch { Banks, Waves, Aiffs, AudioFiles };

class BrowserController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QWidget* window = nullptr;           // the parent of the menus and the bank dialog
        QTreeWidget* explorer = nullptr;     // TreeView1
        QListWidget* fileList = nullptr;     // ListBox1
        QActionGroup* formatItems = nullptr; // the SoundFormat menu's format items
        QAction* sf2 = nullptr;              // Menu_SF2
        QAction* gig = nullptr;              // Menu_GIG
        QAction* sfz = nullptr;              // Menu_SFZ
        QAction* wave = nullptr;             // Menu_WAVE
        QAction* aiff = nullptr;             // Menu_AIFF
        QAction* allAudioFiles = nullptr;    // Menu_AllAudioFiles
        QAction* refresh = nullptr;          // Refresh1
        QAction* showCompressed = nullptr;   // Menu_ShowCompressed
    };

    // The listed banks and files are shown in `views`; `saving` has the bank save button. `shownFormat`
    // tells the source format the window shows now.
    BrowserController(Workspace& workspace, Host& host, BankViewsController& views,
                      AuditioningController& auditioning, SavingController& saving,
                      std::function<SourceFormat()> shownFormat, const Widgets& widgets, QObject* parent);

    // Rebuilds the Explorer tree from the folder roots; unsaved edits are dropped.
    void FillDriveTree();
    // Expands the Explorer tree down to `folder` and selects it, which lists it; false when the folder is
    // not below any root or cannot be reached.
    bool SelectFolder(const QString& folder);
    // The folder of the selected Explorer node, ending in '/'; empty without one.
    QString CurrentFolder() const;
    // Lists the selected folder for the source format: bank files, or audio files in audio-file mode.
    void ListFolder();
    // Runs a search of the Explorer tree's menu below the selected folder.
    void SearchFolder(FolderSearch search);
    // Loads file-list entry `row` as the user's click does, and shows it in the bank views.
    void LoadEntry(int row);
    // Selects and loads the file-list entry listed as `text`, if there is one.
    void LoadEntryNamed(const std::string& text);
    // Empty file list and bank views, nothing selected.
    void ResetDisplay();
    // A format item of the SoundFormat menu: the folder is listed again in that format.
    void SoundFormatClick(QAction* item);

  signals:
    // The user chose another source format (`aiffOnly` in audio-file mode when only AIFF files are
    // listed): the window shows its columns, before the folder is listed in it.
    void FormatChosen(quorvane::SourceFormat format, bool aiffOnly);
    // "Compare with ..." on the bank on screen.
    void CompareRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void TreeView1Expanding(QTreeWidgetItem* node);
    void TreeView1Collapsed(QTreeWidgetItem* node);
    void TreeView1ContextMenu(const QPoint& at);
    void ListBox1ContextMenu(const QPoint& at);
    void ShowFileList();
    void ShowCompressedClick();
    // A bank file that could not be read: empty views and title, and a message that says why.
    void ShowUnreadableBank(uint32_t entry, LoadStatus status, const ReadNotes& notes);

    Workspace& workspace_;
    Host& host_;
    BankViewsController& views_;
    AuditioningController& auditioning_;
    SavingController& saving_;
    std::function<SourceFormat()> shownFormat_;
    Widgets widgets_;
    // While set, selection changes in the Explorer tree and the file list were made by the program and do
    // nothing.
    bool changesSuppressed_ = false;
    bool audioWave_ = true;
    bool audioAiff_ = true;
    FolderSearch lastSearch_ = FolderSearch::Banks;
};

} // namespace quorvane::ui
