// The main window's Akai mode: the drive items of the SoundFormat menu's Akai submenu, the disc image
// dialog, and the Explorer tree while it holds the partitions of the chosen disc (a drive, or an image
// opened as one). The core's Akai operations read the disc; this controller turns the user's choices into
// their calls and shows the partitions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QObject>
#include <QString>

#include "core/Host.h"
#include "model/SourceFormat.h"
#include "session/Workspace.h"
#include "ui/MainControls.h"

class QAction;
class QActionGroup;
class QTreeWidget;
class QWidget;

namespace quorvane::ui {

// Where an Explorer node of an Akai partition keeps the partition's number; the browser lists it from there.
constexpr int kPartitionRole = Qt::UserRole + 1;

class AkaiController : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QWidget* window = nullptr;                      // the image dialog's parent
        QTreeWidget* explorer = nullptr;                // TreeView1: the partitions in Akai mode
        QActionGroup* formatItems = nullptr;            // the SoundFormat menu's format items
        std::array<QAction*, kAkaiMenuDrives> drives{}; // MenuSCSI0..7
        QAction* openImage = nullptr;                   // MenuAkaiImage
    };

    // `shownFormat` tells the source format the window shows now.
    AkaiController(Workspace& workspace, Host& host, std::function<SourceFormat()> shownFormat,
                   const Widgets& widgets, QObject* parent);

    // Akai mode on drive `drive` of the SCSI layer: the Explorer tree shows the disc's partitions.
    void SelectAkaiDriveClick(uint32_t drive);
    // Opens a disc image (or a drive's device node) as one more drive and enters Akai mode on it; false
    // with a message when it cannot be opened, or when it holds no Akai partition and another source format
    // was shown (that one is shown again).
    bool OpenDiscImage(const QString& path);
    // "Open Disc Image ...": the file dialog, then OpenDiscImage.
    void AkaiImageClick();

  signals:
    // The window switches to Akai mode with empty views, before the Explorer tree gets the partitions.
    void AkaiModeEntered();
    // A disc image without an Akai partition was opened from another source format: the browser shows
    // again the format and folder it showed.
    void DiscRefused();

  private:
    // No format item and no drive item keeps its check mark.
    void LeaveFormatItems();
    void FillPartitionTree();

    Workspace& workspace_;
    Host& host_;
    std::function<SourceFormat()> shownFormat_;
    Widgets widgets_;
};

} // namespace quorvane::ui
