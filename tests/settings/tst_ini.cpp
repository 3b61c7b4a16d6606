// The INI module: one key at a time, names without regard to case, every other line kept.
#include "features/ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString S = QStringLiteral("Quillet");

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

class TestIni : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString file;

private slots:
    void init()
    {
        file = dir.filePath(QStringLiteral("t%1.ini").arg(QRandomGenerator::global()->generate()));
    }

    void createdByTheFirstWrite()
    {
        QVERIFY(!QFile::exists(file));
        QCOMPARE(ini::readString(file, S, QStringLiteral("Top"), QStringLiteral("d")), QStringLiteral("d"));
        QVERIFY(!QFile::exists(file)); // reading creates nothing
        QVERIFY(ini::writeString(file, S, QStringLiteral("Top"), QStringLiteral("5")));
        QCOMPARE(bytesOf(file), QByteArray("[Quillet]\nTop=5\n"));
        QVERIFY(ini::writeString(file, S, QStringLiteral("Left"), QStringLiteral("7")));
        QCOMPARE(bytesOf(file), QByteArray("[Quillet]\nTop=5\nLeft=7\n"));
    }

    void otherLinesAndSectionsUntouched()
    {
        put(file, "; made by hand\r\n[Other]\r\nTop=1\r\nWidth=2\r\n\r\n[quillet]\r\n  WIDTH = 10 \r\nnot a "
                  "key\r\n\r\n"
                  "[Third]\r\nx=y\r\n");
        IniFile f(file);
        QCOMPARE(f.readInteger(S, QStringLiteral("width"), 0), 10);
        QCOMPARE(f.readInteger(S, QStringLiteral("Top"), 3), 3); // [Other]'s Top is not ours
        f.writeInteger(S, QStringLiteral("Width"), 20);
        f.writeString(S, QStringLiteral("Textcolor"), QStringLiteral("clNavy"));
        f.writeString(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("v"));
        QVERIFY(f.save());
        QCOMPARE(bytesOf(file),
                 QByteArray("; made by hand\r\n[Other]\r\nTop=1\r\nWidth=2\r\n\r\n[quillet]\r\nWidth=20\r\n"
                            "not a key\r\nTextcolor=clNavy\r\n\r\n[Third]\r\nx=y\r\n\r\n[New]\r\nk=v\r\n"));
        QCOMPARE(ini::readString(file, QStringLiteral("NEW"), QStringLiteral("K")), QStringLiteral("v"));
    }

    void namesWithoutRegardToCase()
    {
        put(file, "[QUILLET]\nPLAYSOUNDS=false\n");
        QCOMPARE(ini::readString(file, QStringLiteral("quillet"), QStringLiteral("Playsounds")),
                 QStringLiteral("false"));
        QVERIFY(ini::writeString(file, S, QStringLiteral("playSounds"), QStringLiteral("true")));
        QCOMPARE(bytesOf(file), QByteArray("[QUILLET]\nplaySounds=true\n"));
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("42") << 42;
        QTest::newRow("negative") << QByteArray("-3") << -3;
        QTest::newRow("dollar hex") << QByteArray("$1F") << 31;
        QTest::newRow("0x hex") << QByteArray("0x1F") << 31;
        QTest::newRow("0X hex") << QByteArray("0X1f") << 31;
        QTest::newRow("blanks around") << QByteArray("  12  ") << 12;
        QTest::newRow("letters") << QByteArray("abc") << -1;
        QTest::newRow("trailing junk") << QByteArray("12px") << -1;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("too big") << QByteArray("99999999999") << -1;
    }

    void integers()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        put(file, "[Quillet]\nN=" + value + "\n");
        QCOMPARE(ini::readInteger(file, S, QStringLiteral("N"), -1), expected);
    }

    void windows1252Text()
    {
        const QString phrase = QStringLiteral("Café – 5 €");
        QVERIFY(ini::writeString(file, S, QStringLiteral("Phrase1"), phrase));
        QCOMPARE(bytesOf(file), QByteArray("[Quillet]\nPhrase1=Caf\xE9 \x96 5 \x80\n"));
        QCOMPARE(ini::readString(file, S, QStringLiteral("Phrase1")), phrase);
        // A value cannot break into a second line.
        QVERIFY(ini::writeString(file, S, QStringLiteral("Phrase2"), QStringLiteral("a\nb=c")));
        QCOMPARE(ini::readString(file, S, QStringLiteral("Phrase2")), QStringLiteral("a b=c"));
        QCOMPARE(ini::readString(file, S, QStringLiteral("b")), QString());
    }

    void unchangedFileIsNotWritten()
    {
        put(file, "[Quillet]\nTop=3");
        IniFile f(file);
        f.writeInteger(S, QStringLiteral("Top"), 3);
        QVERIFY(f.save());
        QCOMPARE(bytesOf(file), QByteArray("[Quillet]\nTop=3"));
        f.writeInteger(S, QStringLiteral("Top"), 4);
        QVERIFY(f.save());
        QCOMPARE(bytesOf(file), QByteArray("[Quillet]\nTop=4"));
    }

    // Every byte outside the written lines stays as it was: other programs' sections with mixed
    // line ends, a missing final line end, and a file far larger than any settings file.
    void otherBytesKeptExactly()
    {
        const QByteArray before =
            "[Other]\nA=1\r\nB=2\n\n; note\r\n[Quillet]\r\nTop=1\r\n\r\n[Third]\nC=3\r\nD=4";
        put(file, before);
        IniFile f(file);
        f.writeInteger(S, QStringLiteral("Top"), 2);
        f.writeInteger(S, QStringLiteral("Left"), 5);
        f.writeString(QStringLiteral("Fourth"), QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(f.readInteger(S, QStringLiteral("left"), 0), 5); // written, not yet saved
        QVERIFY(f.save());
        QCOMPARE(bytesOf(file), QByteArray("[Other]\nA=1\r\nB=2\n\n; note\r\n[Quillet]\r\nTop=2\r\nLeft=5\r\n"
                                           "\r\n[Third]\nC=3\r\nD=4\r\n\r\n[Fourth]\r\nk=v"));

        // 24 MB of another program's keys around ours, LF and CRLF lines in turn.
        QByteArray big = "[Huge]\n";
        for (int i = 0; i < 600000; ++i)
            big += "Key" + QByteArray::number(i) + "=some value of a line" + (i % 2 ? "\r\n" : "\n");
        const QByteArray tail = "[quillet]\nTop=7\nWidth=800\n[After]\r\nx=1\r\n";
        put(file, big + tail);
        IniFile g(file);
        QCOMPARE(g.readInteger(S, QStringLiteral("Top"), 0), 7);
        QCOMPARE(g.readString(QStringLiteral("huge"), QStringLiteral("KEY599999")),
                 QStringLiteral("some value of a line"));
        g.writeInteger(S, QStringLiteral("Top"), 8);
        g.writeInteger(S, QStringLiteral("Height"), 600);
        QVERIFY(g.save());
        QCOMPARE(bytesOf(file), big + "[quillet]\nTop=8\nWidth=800\nHeight=600\n[After]\r\nx=1\r\n");
    }

    // A section that ends the file without a line end, as a first write to a file without a final
    // line end leaves it: keys added to it go on lines of their own and every value reads back
    // whole. Each row sets Top to 3 with a one-key write, then Left and Name in one save.
    void keysAddedWhereTheFileEndsWithoutALineEnd_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("after another section")
            << QByteArray("[Other]\nA=1\n[Quillet]\nTop=1")
            << QByteArray("[Other]\nA=1\n[Quillet]\nTop=3\nLeft=5\nName=Ann Bee");
        QTest::newRow("CRLF") << QByteArray("[Other]\r\nA=1\r\n[Quillet]\r\nTop=1")
                              << QByteArray("[Other]\r\nA=1\r\n[Quillet]\r\nTop=3\r\nLeft=5\r\nName=Ann Bee");
        QTest::newRow("the section's name alone")
            << QByteArray("[Other]\nA=1\n[Quillet]")
            << QByteArray("[Other]\nA=1\n[Quillet]\nTop=3\nLeft=5\nName=Ann Bee");
        QTest::newRow("blanks after the last key")
            << QByteArray("[Other]\nA=1\n[Quillet]\nTop=1\n  ")
            << QByteArray("[Other]\nA=1\n[Quillet]\nTop=3\nLeft=5\nName=Ann Bee\n  ");
        QTest::newRow("left so by the first write")
            << QByteArray("[Other]\nA=1")
            << QByteArray("[Other]\nA=1\n\n[Quillet]\nTop=3\nLeft=5\nName=Ann Bee");
    }

    void keysAddedWhereTheFileEndsWithoutALineEnd()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        put(file, before);
        QVERIFY(ini::writeString(file, S, QStringLiteral("Top"), QStringLiteral("3")));
        IniFile f(file);
        f.writeInteger(S, QStringLiteral("Left"), 5);
        f.writeString(S, QStringLiteral("Name"), QStringLiteral("Ann Bee"));
        QVERIFY(f.save());
        QCOMPARE(bytesOf(file), after);
        IniFile g(file);
        QCOMPARE(g.readString(QStringLiteral("Other"), QStringLiteral("A")), QStringLiteral("1"));
        QCOMPARE(g.readString(S, QStringLiteral("Top")), QStringLiteral("3"));
        QCOMPARE(g.readString(S, QStringLiteral("Left")), QStringLiteral("5"));
        QCOMPARE(g.readString(S, QStringLiteral("Name")), QStringLiteral("Ann Bee"));
    }

    void unwritableFileReportsFailure()
    {
        QVERIFY(!ini::writeString(dir.filePath(QStringLiteral("no/such/dir/x.ini")), S, QStringLiteral("a"),
                                  QStringLiteral("b")));
    }
};

QTEST_APPLESS_MAIN(TestIni)
#include "tst_ini.moc"
