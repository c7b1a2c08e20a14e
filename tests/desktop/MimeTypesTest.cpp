// The file types the program installs, read the way a desktop reads them: the package file goes through
// update-mime-database into a scratch data folder beside the system's own types, and Qt's MIME database
// (the same shared-mime-info cache file managers use) names files by their names and their first bytes.
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The first bytes of a RIFF file of FORM whose first chunk is a LIST of LISTTYPE holding one chunk ID
// with a 16-bit value, as a SoundFont's INFO list starts with its version (ifil).
QByteArray RiffStart(const QByteArray& form, const QByteArray& listType, const QByteArray& id,
                     quint16 value) {
    auto le32 = [](quint32 v) {
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((v >> (8 * i)) & 0xff);
        return bytes;
    };
    QByteArray chunk = id + le32(4) + char(value & 0xff) + char(value >> 8) + QByteArray(2, '\0');
    QByteArray list = "LIST" + le32(quint32(4 + chunk.size())) + listType + chunk;
    return "RIFF" + le32(quint32(4 + list.size() + 64)) + form + list + QByteArray(64, '\0');
}

} // namespace

class MimeTypesTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void namesFiles_data();
    void namesFiles();
    void gigaSamplerIsAKindOfDls();
    void desktopEntryListsKnownTypes();

  private:
    QTemporaryDir data_;
};

void MimeTypesTest::initTestCase() {
    QVERIFY(data_.isValid());
    const QString packages = data_.filePath("mime/packages");
    QVERIFY(QDir().mkpath(packages));
    QVERIFY(QFile::copy("/usr/share/mime/packages/freedesktop.org.xml", packages + "/freedesktop.org.xml"));
    QVERIFY(QFile::copy(QUORVANE_MIME_XML, packages + "/quorvane.xml"));
    QProcess update;
    update.start("update-mime-database", {"-V", data_.filePath("mime")});
    QVERIFY(update.waitForFinished(60000));
    const QByteArray errors = update.readAllStandardError();
    QVERIFY2(update.exitCode() == 0 && !errors.contains("rror") && !errors.contains("arning"),
             errors.constData());
    // Only the scratch folder: the types must come from the files under test, not from this machine.
    qputenv("XDG_DATA_DIRS", data_.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data_.filePath("home").toLocal8Bit());
}

void MimeTypesTest::namesFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type");
    const QByteArray sf2 = RiffStart("sfbk", "INFO", "ifil", 2);
    const QByteArray sf3 = RiffStart("sfbk", "INFO", "ifil", 3);
    const QByteArray dls = RiffStart("DLS ", "INFO", "INAM", 0);
    const QByteArray wave = RiffStart("WAVE", "INFO", "INAM", 0);
    QTest::newRow("sf2 by name") << "bank.sf2" << sf2 << "audio/x-soundfont";
    QTest::newRow("sf2 by content") << "bank" << sf2 << "audio/x-soundfont";
    QTest::newRow("sf3 by name") << "bank.sf3" << sf3 << "audio/x-sf3";
    QTest::newRow("sf3 by content") << "bank" << sf3 << "audio/x-sf3";
    QTest::newRow("dls by name") << "kit.dls" << dls << "audio/dls";
    QTest::newRow("dls by content") << "kit" << dls << "audio/dls";
    QTest::newRow("gig by name") << "piano.gig" << dls << "audio/x-gigasampler";
    QTest::newRow("sfz by name") << "piano.sfz" << QByteArray("<region> sample=a.wav\n")
                                 << "application/x-sfz";
    // Other RIFF files keep their own types.
    QTest::newRow("wave by content") << "take" << wave << "audio/x-wav";
    QTest::newRow("wave by name") << "take.wav" << wave << "audio/x-wav";
}

void MimeTypesTest::namesFiles() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, type);
    const QString path = data_.filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    QCOMPARE(QMimeDatabase().mimeTypeForFile(path).name(), type);
}

void MimeTypesTest::gigaSamplerIsAKindOfDls() {
    QVERIFY(QMimeDatabase().mimeTypeForName("audio/x-gigasampler").inherits("audio/dls"));
    QVERIFY(QMimeDatabase().mimeTypeForName("audio/x-sf3").inherits("audio/x-soundfont"));
    QCOMPARE(QMimeDatabase().mimeTypeForName("audio/x-dls").name(), QString("audio/dls"));
}

void MimeTypesTest::desktopEntryListsKnownTypes() {
    QFile entry(QUORVANE_DESKTOP_ENTRY);
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList types;
    for (const QByteArray& line : entry.readAll().split('\n')) {
        if (line.startsWith("MimeType="))
            types = QString::fromUtf8(line.mid(9)).split(';', Qt::SkipEmptyParts);
    }
    QVERIFY(types.contains("audio/x-soundfont"));
    QVERIFY(types.contains("audio/x-gigasampler"));
    QVERIFY(types.contains("application/x-sfz"));
    for (const QString& type : types)
        QVERIFY2(QMimeDatabase().mimeTypeForName(type).isValid(), qPrintable(type));
}

QTEST_GUILESS_MAIN(MimeTypesTest)
#include "MimeTypesTest.moc"
