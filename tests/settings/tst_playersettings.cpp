// The settings keys on a real file: every value back as written, defaults for what does not read,
// and the file's bytes as the game has always written them.
#include "features/playersettings.h"
#include "protocol/colortext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using P = PlayerSettings;

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Any key's value, whatever its kind.
QVariant valueOf(const P &s, P::Key key)
{
    switch (P::entry(key).kind) {
    case P::Kind::Number:
    case P::Kind::Colour:
        return s.number(key);
    case P::Kind::TrueFalse:
    case P::Kind::OneZero:
        return s.isOn(key);
    case P::Kind::Text:
        break;
    }
    return s.text(key);
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

class TestPlayerSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString file;
    int runs = 0;

private slots:
    void init() { file = dir.filePath(QStringLiteral("s%1.ini").arg(++runs)); }

    void everyKeyRoundTrips()
    {
        P s;
        std::vector<P::Key> all;
        for (int k = 0; k < P::keyCount; ++k) {
            const P::Key key = P::Key(k);
            all.push_back(key);
            switch (P::entry(key).kind) {
            case P::Kind::Number:
                s.setNumber(key, k == P::Top ? -20 : 1000 + k);
                break;
            case P::Kind::Colour:
                s.setNumber(key, 0x123456);
                break;
            case P::Kind::TrueFalse:
            case P::Kind::OneZero:
                s.setOn(key, !P::entry(key).fallback);
                break;
            case P::Kind::Text:
                s.setText(key, QStringLiteral("Caf\u00e9 %1 = \"ok\"").arg(k));
                break;
            }
        }
        QVERIFY(s.save(file, all));
        const P back = P::read(file);
        for (const P::Key key : all) {
            QVERIFY(valueOf(s, key) != valueOf(P(), key));
            QCOMPARE(valueOf(back, key), valueOf(s, key));
        }
    }

    void defaultsForWhatDoesNotRead()
    {
        const auto checkDefaults = [](const P &s) {
            QCOMPARE(QRect(s.number(P::Left), s.number(P::Top), s.number(P::Width), s.number(P::Height)),
                     QRect(3, 3, 797, 590));
            QCOMPARE(s.number(P::Textsize), 8);
            QCOMPARE(s.number(P::Textcolor), colortext::clMaroon);
            QVERIFY(s.isOn(P::Playsounds) && !s.isOn(P::OpenRouter));
            QCOMPARE(s.text(P::Phrase1), QString());
        };
        checkDefaults(P::read(dir.filePath(QStringLiteral("missing.ini"))));
        put(file, QByteArray("\xff\x00garbage\n[Quillet\nTop=1\n", 25));
        checkDefaults(P::read(file));

        put(file, "[Quillet]\nTop=abc\nWidth=\nTextsize=big\nTextcolor=pink\nPlaysounds=False\n"
                  "ChatterSounds=false\nOpenRouter=yes\nPhrase1=\nSnapcount=lots\n");
        P s;
        s.setNumber(P::Snapcount, 12); // the count held stays when the file's does not read
        s.setText(P::Phrase1, QStringLiteral("mine"));
        s.load(file);
        checkDefaults(s);
        QCOMPARE(s.number(P::Snapcount), 12);
        QVERIFY(!s.isOn(P::ChatterSounds)); // off only for the exact "false"
        put(file, "[Quillet]\nOpenRouter=1\nTextcolor=$00FF0000\nSnapcount=0x1F\n");
        s.load(file);
        QVERIFY(s.isOn(P::OpenRouter));
        QCOMPARE(s.number(P::Textcolor), colortext::clBlue);
        QCOMPARE(s.number(P::Snapcount), 31);
    }

    // The same values give the same bytes as ever: other copies and older files read them.
    void bytesAsEverWritten()
    {
        P s;
        s.setNumber(P::Top, 50);
        s.setNumber(P::Left, 40);
        s.setNumber(P::Width, 800);
        s.setNumber(P::Height, 640);
        s.setNumber(P::Textsize, 12);
        s.setNumber(P::Snapcount, 17);
        s.setNumber(P::Textcolor, colortext::clNavy);
        s.setOn(P::Playsounds, false);
        s.setText(P::Phrase1, QStringLiteral("Hi all"));
        s.setText(P::Phrase9, QStringLiteral("/me waves"));
        s.setText(P::LastName, QStringLiteral("Zed"));
        s.setText(P::LastAddress, QStringLiteral("10.0.0.7:2001"));
        s.setOn(P::OpenRouter, true);
        QVERIFY(s.save(file, P::windowKeys));
        QVERIFY(s.save(file, P::phraseKeys));
        QVERIFY(s.save(file, {P::LastName, P::LastAddress}));
        QVERIFY(s.save(file, {P::OpenRouter}));
        s.setNumber(P::Textcolor, 0x123456);
        s.setOn(P::OpenRouter, false);
        QVERIFY(s.save(file, {P::Textcolor, P::OpenRouter}));
        QCOMPARE(bytesOf(file),
                 QByteArray("[Quillet]\nTop=50\nLeft=40\nWidth=800\nHeight=640\nTextsize=12\n"
                            "Snapcount=17\nTextcolor=$00123456\nPlaysounds=false\n"
                            "ChatterSounds=true\nPhrase1=Hi all\nPhrase2=\nPhrase3=\nPhrase4=\n"
                            "Phrase5=\nPhrase6=\nPhrase7=\nPhrase8=\nPhrase9=/me waves\n"
                            "LastName=Zed\nLastAddress=10.0.0.7:2001\nOpenRouter=0\n"));
    }

    // One switch saved before the file was read: that line alone changes, whatever the values held.
    void oneKeyTouchesOnlyItsLine()
    {
        const QByteArray before(
            "; by hand\r\n[Other]\r\nPlaysounds=true\r\n[quillet]\r\n  PLAYSOUNDS = true \r\n"
            "Left=40\r\n\r\n[Later]\r\nx=1\r\n");
        put(file, before);
        P s;
        s.setOn(P::Playsounds, false);
        QVERIFY(s.save(file, {P::Playsounds}));
        QByteArray after = before;
        after.replace("  PLAYSOUNDS = true ", "Playsounds=false");
        QCOMPARE(bytesOf(file), after);
        QVERIFY(s.save(file, {P::Textsize}));
        after.replace("Left=40\r\n", "Left=40\r\nTextsize=8\r\n");
        QCOMPARE(bytesOf(file), after);
    }
};

QTEST_MAIN(TestPlayerSettings)
#include "tst_playersettings.moc"
