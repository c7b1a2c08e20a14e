#include "ui/Help.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "core/Host.h"

namespace quorvane::ui {

namespace {

QStringList HelpFolderCandidates() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {QDir::cleanPath(programDir.filePath("help")),
            QDir::cleanPath(programDir.filePath("../share/quorvane/help"))};
}

// A desktop without a browser registered for the page (no xdg-open, no portal) opens nothing: the user
// is told where the file is, so that it can be opened by hand. Not modal, so no menu click blocks.
void Tell(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, kMessageCaption, text, QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setObjectName("HelpNotOpened");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->open();
}

} // namespace

QString HelpFolder() {
    for (const QString& candidate : HelpFolderCandidates()) {
        if (QFileInfo::exists(QDir(candidate).filePath(kHelpPage)))
            return QDir(candidate).canonicalPath();
    }
    return {};
}

bool OpenHelpPage(const QString& page) {
    const QString folder = HelpFolder();
    const QString path = folder.isEmpty() ? QString() : QDir(folder).filePath(page);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        Tell(QString("The help pages were not found. They belong in one of these folders:\n\n%1")
                 .arg(HelpFolderCandidates().join('\n')));
        return false;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    Tell(QString("No program to show the help page was found (xdg-open opens it on most desktops).\n\n"
                 "Open this file in a web browser:\n%1")
             .arg(path));
    return false;
}

bool OpenProjectPage() {
    if (QDesktopServices::openUrl(QUrl(kProjectPage)))
        return true;
    Tell(QString("No web browser could be started (xdg-open starts one on most desktops).\n\n"
                 "The project page is %1")
             .arg(kProjectPage));
    return false;
}

} // namespace quorvane::ui
