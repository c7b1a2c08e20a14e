// The Help menu's pages on a machine where nothing opens them: the user is told where the page is.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>

#include "ui/Help.h"

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void missingPagesSayWhereTheyBelong();
    void pageNobodyOpensSaysWhereTheFileIs();
    void projectPageNobodyOpensSaysItsAddress();
    void cleanup();
    void cleanupTestCase();

  private:
    QString Told();
    QString helpDir_;
};

void HelpTest::initTestCase() {
    // No xdg-open to be found, and the offscreen platform opens no URL itself.
    qputenv("PATH", "");
    helpDir_ = QDir(QCoreApplication::applicationDirPath()).filePath("help");
    QDir(helpDir_).removeRecursively();
}

QString HelpTest::Told() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->objectName() == "HelpNotOpened" && box->isVisible())
            return box->text();
    }
    return {};
}

void HelpTest::missingPagesSayWhereTheyBelong() {
    QVERIFY(!quorvane::ui::OpenHelpPage(quorvane::ui::kHelpPage));
    const QString told = Told();
    QVERIFY2(told.contains(helpDir_), qPrintable(told));
    QVERIFY2(told.contains("share/quorvane/help"), qPrintable(told));
}

void HelpTest::pageNobodyOpensSaysWhereTheFileIs() {
    QVERIFY(QDir().mkpath(helpDir_));
    for (const char* page : {quorvane::ui::kHelpPage, quorvane::ui::kTipsPage}) {
        QFile file(QDir(helpDir_).filePath(page));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    }
    QVERIFY(!quorvane::ui::OpenHelpPage(quorvane::ui::kTipsPage));
    const QString told = Told();
    QVERIFY2(told.contains(QDir(QDir(helpDir_).canonicalPath()).filePath(quorvane::ui::kTipsPage)),
             qPrintable(told));
}

void HelpTest::projectPageNobodyOpensSaysItsAddress() {
    QVERIFY(!quorvane::ui::OpenProjectPage());
    QVERIFY2(Told().contains(quorvane::ui::kProjectPage), qPrintable(Told()));
}

void HelpTest::cleanup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "HelpNotOpened")
            widget->close();
    }
    QApplication::processEvents();
}

void HelpTest::cleanupTestCase() {
    QDir(helpDir_).removeRecursively();
}

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
