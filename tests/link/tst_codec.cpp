#include "link/ComProtocol.h"

#include <QtTest>

#include <memory>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Frames worked out by hand from the wire rules.
const char* const EmptyStatus = "AA550008 00000000 AA550008 00000000";
const char* const AbcString = "AA550012 00000003 AA550011 00636261 616263";
const char* const HelloConfig = "AA550001 00000005 AA550004 6C6C6507 68656C6C6F";

// Feeds a chunk the way a device does: drop what each call consumes, go on while it consumed
// something and bytes remain.
QList<QByteArray> feed(QByteArray* buffer, const QByteArray& chunk)
{
    QList<QByteArray> frames;
    buffer->append(chunk);
    while (!buffer->isEmpty()) {
        QByteArray* frame = nullptr;
        int consumed = 0;
        if (ComProtocol::unpackFrame(buffer, &frame, &consumed))
            frames.append(*std::unique_ptr<QByteArray>(frame));
        buffer->remove(0, consumed);
        if (consumed == 0)
            break;
    }
    return frames;
}

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT
private slots:
    void packFrame_data();
    void packFrame();
    void unpackFrame_data();
    void unpackFrame();
    void streamCutAtEveryPosition();
    void streamFedByteByByte();
    void dataHeaderLimit_data();
    void dataHeaderLimit();
    void logHeader_data();
    void logHeader();
    void checkFrameOnReassembledFrame();
};

void TestCodec::packFrame_data()
{
    QTest::addColumn<uint>("msgID");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("empty payload") << 0xAA550008u << QByteArray() << hex(EmptyStatus);
    QTest::newRow("abc") << 0xAA550012u << QByteArray("abc") << hex(AbcString);
    QTest::newRow("five bytes, padded last group") << 0xAA550001u << QByteArray("hello") << hex(HelloConfig);
    // 2026-01-01 00:00:00 UTC as a big-endian int32.
    QTest::newRow("big-endian time") << 0xAA550004u << hex("6955B900")
                                     << hex("AA550004 00000004 AA550000 00B95569 6955B900");
    // Three little-endian int32: 0x01020304, 0x0A0B0C0D, 0.
    QTest::newRow("little-endian record") << 0xAA550005u << hex("04030201 0D0C0B0A 00000000")
                                          << hex("AA550005 0000000C AA550009 0B090F09 04030201 0D0C0B0A 00000000");
}

void TestCodec::packFrame()
{
    QFETCH(uint, msgID);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);

    std::unique_ptr<QByteArray> packed(ComProtocol::packFrame(msgID, &payload));
    QCOMPARE(packed->toHex(' '), frame.toHex(' '));

    std::unique_ptr<QByteArray> view(ComProtocol::framePayload(packed.get()));
    QCOMPARE(*view, payload);
    QCOMPARE(ComProtocol::frameMsgID(packed.get()), quint32(msgID));
}

void TestCodec::unpackFrame_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("consumed");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("after"); // the buffer after the call, before the caller drops consumed

    const QByteArray abc = hex(AbcString);
    const QByteArray hello = hex(HelloConfig);

    QTest::newRow("whole frame") << abc << true << abc.size() << abc << abc;
    QTest::newRow("garbage before the sync mark") << hex("0102AA03") + abc << true << abc.size() << abc << abc;
    QTest::newRow("sync mark behind a lone AA") << hex("AA") + abc << true << abc.size() << abc << abc;
    QTest::newRow("two frames: first only") << abc + hello << true << abc.size() << abc << abc + hello;
    QTest::newRow("no sync mark") << hex("010203") << false << 3 << QByteArray() << hex("010203");
    QTest::newRow("trailing AA kept for its 55") << hex("0102AA") << false << 2 << QByteArray() << hex("0102AA");
    QTest::newRow("15 bytes from the sync mark") << hex("07") + abc.left(15) << false << 0 << QByteArray() << abc.left(15);
    QTest::newRow("payload incomplete") << abc.left(18) << false << 0 << QByteArray() << abc.left(18);
    QTest::newRow("wrong header check") << hex("AA550012 00000003 AA550012 00636261 616263") << false << 2
                                        << QByteArray() << hex("AA550012 00000003 AA550012 00636261 616263");
    QTest::newRow("wrong checksum") << hex("AA550012 00000003 AA550011 00636262 616263") << false << 2
                                    << QByteArray() << hex("AA550012 00000003 AA550011 00636262 616263");
    const QByteArray unchecked = hex("AA550012 00000003 AA550011 00000000 7A7A7A");
    QTest::newRow("checksum 0 accepts any payload") << unchecked << true << unchecked.size() << unchecked << unchecked;

    // Untrusted lengths: beyond the control limit the header is bad; at the limit it waits.
    const QByteArray hostile = hex("AA550005 7FFFFFF0 D5AAFFF5 00000000");
    QTest::newRow("length 0x7FFFFFF0") << hostile << false << 2 << QByteArray() << hostile;
    const QByteArray largest = hex("AA550005 FFFFFFFF 55AAFFFA 00000001 00");
    QTest::newRow("length 0xFFFFFFFF") << largest << false << 2 << QByteArray() << largest;
    const QByteArray overLimit = hex("AA550005 01000001 AB550004 00000000");
    QTest::newRow("16 MiB + 1") << overLimit << false << 2 << QByteArray() << overLimit;
    const QByteArray atLimit = hex("AA550005 01000000 AB550005 00000000 0102");
    QTest::newRow("16 MiB, incomplete") << atLimit << false << 0 << QByteArray() << atLimit;
}

void TestCodec::unpackFrame()
{
    QFETCH(QByteArray, buffer);
    QFETCH(bool, found);
    QFETCH(int, consumed);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, after);

    QByteArray* unpacked = nullptr;
    int reported = -1;
    QCOMPARE(ComProtocol::unpackFrame(&buffer, &unpacked, &reported), found);
    std::unique_ptr<QByteArray> owned(unpacked);
    QCOMPARE(reported, consumed);
    QCOMPARE(buffer.toHex(' '), after.toHex(' '));
    if (found)
        QCOMPARE(owned->toHex(' '), frame.toHex(' '));
    else
        QVERIFY(!owned);
}

void TestCodec::streamCutAtEveryPosition()
{
    const QList<QByteArray> frames = {hex(AbcString), hex(EmptyStatus), hex(HelloConfig)};
    const QByteArray stream = frames.at(0) + frames.at(1) + frames.at(2);
    for (int cut = 0; cut <= stream.size(); ++cut) {
        QByteArray buffer;
        QList<QByteArray> received = feed(&buffer, stream.left(cut));
        received += feed(&buffer, stream.mid(cut));
        QVERIFY2(received == frames, qPrintable(QString("cut at %1").arg(cut)));
        QVERIFY(buffer.isEmpty());
    }
}

void TestCodec::streamFedByteByByte()
{
    const QList<QByteArray> frames = {hex(AbcString), hex(EmptyStatus), hex(HelloConfig)};
    const QByteArray stream = hex("00AA") + frames.at(0) + hex("55AA") + frames.at(1) + frames.at(2);
    QByteArray buffer;
    QList<QByteArray> received;
    for (char byte : stream)
        received += feed(&buffer, QByteArray(1, byte));
    QCOMPARE(received, frames);
}

void TestCodec::dataHeaderLimit_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("consumed");
    QTest::addColumn<int>("total");

    QTest::newRow("256 MiB") << hex("AA550005 10000000 BA550005 00000000") << true << 0 << 0x10000010;
    QTest::newRow("256 MiB + 1") << hex("AA550005 10000001 BA550004 00000000") << false << 2 << 0;
    QTest::newRow("0x7FFFFFF0") << hex("AA550005 7FFFFFF0 D5AAFFF5 00000000") << false << 2 << 0;
    QTest::newRow("short header") << hex("AA550005 10000000 BA5500") << false << 0 << 0;
}

void TestCodec::dataHeaderLimit()
{
    QFETCH(QByteArray, header);
    QFETCH(bool, found);
    QFETCH(int, consumed);
    QFETCH(int, total);

    int reported = -1;
    uint msgID = 0;
    int announced = 0;
    QCOMPARE(ComProtocol::parseFrameHeader(&header, &reported, &msgID, &announced), found);
    QCOMPARE(reported, consumed);
    if (found) {
        QCOMPARE(msgID, 0xAA550005u);
        QCOMPARE(announced, total);
    }
}

void TestCodec::logHeader_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("consumed");
    QTest::addColumn<int>("count");

    // The header's own length field plays no part; the count at bytes 16-19 does.
    QTest::newRow("count 3, odd length field") << hex("AA550014 12345678 B861566C 00000000 00000003 616263") << true
                                               << 0 << 3;
    QTest::newRow("count 0") << hex("AA550014 00000004 AA550010 00000000 00000000") << true << 0 << 0;
    QTest::newRow("count not yet there") << hex("AA550014 00000004 AA550010 00000000 0000") << false << 0 << 0;
    QTest::newRow("count over 256 MiB") << hex("AA550014 00000004 AA550010 00000000 7FFFFFF0") << false << 2 << 0;
    QTest::newRow("wrong header check") << hex("AA550014 00000004 AA550011 00000000 00000000") << false << 2 << 0;
}

void TestCodec::logHeader()
{
    QFETCH(QByteArray, buffer);
    QFETCH(bool, found);
    QFETCH(int, consumed);
    QFETCH(int, count);

    int reported = -1;
    uint msgID = 0;
    int announced = -1;
    QCOMPARE(ComProtocol::parseLogHeader(&buffer, &reported, &msgID, &announced), found);
    QCOMPARE(reported, consumed);
    if (found)
        QCOMPARE(announced, count);
}

void TestCodec::checkFrameOnReassembledFrame()
{
    QByteArray frame = hex(HelloConfig);
    const char* payload = nullptr;
    int length = 0;
    QVERIFY(ComProtocol::checkFrame(&frame, &payload, &length));
    QCOMPARE(QByteArray(payload, length), QByteArray("hello"));
    QCOMPARE(payload, frame.constData() + 16); // in place, not a copy

    frame[20] = 'X';
    QVERIFY(!ComProtocol::checkFrame(&frame, &payload, &length));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
