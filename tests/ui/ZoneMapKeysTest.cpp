// Playing the zone map with the mouse: the key and velocity under the pointer, worked out by hand from the
// keyboard strip's geometry, and the notes a press, a drag and a release send.
#include <QtTest>

#include "ui/ZoneMapKeys.h"

using namespace quorvane::ui;

class ZoneMapKeysTest : public QObject {
    Q_OBJECT
  private slots:
    void KeyUnderThePointer_data();
    void KeyUnderThePointer();
    void VelocityAcrossTheMap_data();
    void VelocityAcrossTheMap();
    void PressDragAndReleaseSendTheirNotes();
};

void ZoneMapKeysTest::KeyUnderThePointer_data() {
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("key");
    // A map from y 0 to its foot at y 100. C4..C5 spans 27 strip units; D4..D5 28, so a map starting on D
    // has its foot 100 / 28 = 3 pixels up.
    QTest::newRow("C: at the foot") << 60 << 72 << 100 << 60;
    QTest::newRow("C: half-way") << 60 << 72 << 50 << 66;
    QTest::newRow("C: at the top") << 60 << 72 << 0 << 73;
    QTest::newRow("C: under the foot, one key lower") << 60 << 72 << 101 << 59;
    QTest::newRow("D: just above the raised foot") << 62 << 74 << 97 << 62;
    QTest::newRow("D: under the raised foot, one key lower") << 62 << 74 << 98 << 61;
    QTest::newRow("D: at the top") << 62 << 74 << 0 << 75;
    QTest::newRow("C#: no raised foot") << 61 << 73 << 98 << 61;
    QTest::newRow("top of the keyboard: at most 127") << 120 << 127 << 0 << 127;
}

void ZoneMapKeysTest::KeyUnderThePointer() {
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, y);
    QFETCH(int, key);
    const ZoneMapPlayArea area{0, 100, 286, {lo, hi}};
    QCOMPARE(KeyAt(area, y), key);
}

void ZoneMapKeysTest::VelocityAcrossTheMap_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("drag");
    QTest::addColumn<bool>("inside");
    QTest::newRow("left edge of the velocity area") << 286 << 30 << 0 << 0 << true;
    QTest::newRow("middle") << 286 << 157 << 64 << 64 << true;
    QTest::newRow("right edge, at most 127") << 286 << 285 << 127 << 127 << true;
    QTest::newRow("press and drag measure from neighbouring columns") << 100 << 65 << 66 << 65 << true;
    QTest::newRow("over the keyboard strip: outside, at least 0") << 100 << 10 << 0 << 0 << false;
    QTest::newRow("last strip column") << 100 << 29 << 1 << 0 << false;
}

void ZoneMapKeysTest::VelocityAcrossTheMap() {
    QFETCH(int, width);
    QFETCH(int, x);
    QFETCH(int, press);
    QFETCH(int, drag);
    QFETCH(bool, inside);
    const ZoneMapPlayArea area{10, 100, width, {60, 72}};
    QCOMPARE(PressVelocity(area, x), press);
    QCOMPARE(DragVelocity(area, x), drag);
    QCOMPARE(InPlayArea(area, x, 50), inside);
    // Above the map's top and under its foot line nothing plays.
    QVERIFY(!InPlayArea(area, 40, 9));
    QVERIFY(!InPlayArea(area, 40, 101));
}

void ZoneMapKeysTest::PressDragAndReleaseSendTheirNotes() {
    using Messages = std::vector<uint32_t>;
    ZoneMapNotes notes;
    QCOMPARE(notes.Drag(60, 64), Messages{});
    QCOMPARE(notes.Press(60, 64), Messages{0x403C90});
    QVERIFY(notes.Held());
    // Five up or down is the same stroke; six strikes the key again.
    QCOMPARE(notes.Drag(60, 69), Messages{});
    QCOMPARE(notes.Drag(60, 59), Messages{});
    QCOMPARE(notes.Drag(60, 70), Messages{0x463C90});
    QCOMPARE(notes.Drag(60, 65), Messages{});
    // Another key: the old note ends, the new one starts.
    QCOMPARE(notes.Drag(62, 65), (Messages{0x003C90, 0x413E90}));
    QCOMPARE(notes.Release(), Messages{0x003E90});
    QVERIFY(!notes.Held());
    QCOMPARE(notes.Release(), Messages{});
}

QTEST_MAIN(ZoneMapKeysTest)
#include "ZoneMapKeysTest.moc"
