#include "ui/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace quorvane::ui {

QString HelpFolder() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {programDir.filePath("help"), programDir.filePath("../share/quorvane/help")}) {
        if (QFileInfo::exists(QDir(candidate).filePath(kHelpPage)))
            return QDir(candidate).canonicalPath();
    }
    return {};
}

bool OpenHelpPage(const QString& page) {
    const QString folder = HelpFolder();
    if (folder.isEmpty())
        return false;
    const QString path = QDir(folder).filePath(page);
    if (!QFileInfo::exists(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool OpenProjectPage() {
    return QDesktopServices::openUrl(QUrl(kProjectPage));
}

} // namespace quorvane::ui
