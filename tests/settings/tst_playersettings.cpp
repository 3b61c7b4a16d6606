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

    // Every key written as the window, the phrase editor and the dialogs write it: the same bytes as
    // ever (other copies and older files read them), and every value back as it was.
    void everyKeyRoundTripsInTheBytesAsEver()
    {
        P s;
        s.setNumber(P::Top, -20);
        s.setNumber(P::Left, 40);
        s.setNumber(P::Width, 800);
        s.setNumber(P::Height, 640);
        s.setNumber(P::Textsize, 12);
        s.setNumber(P::Snapcount, 17);
        s.setNumber(P::Textcolor, colortext::clNavy);
        s.setOn(P::Playsounds, false);
        s.setOn(P::ChatterSounds, false);
        s.setOn(P::WebPage, false);
        QVERIFY(s.save(file, {P::WebPage}));
        for (int n = 1; n <= 9; ++n)
            s.setText(P::phrase(n), QStringLiteral("Caf\u00e9 %1 \"ok\"").arg(n));
        s.setText(P::LastName, QStringLiteral("Zed"));
        s.setText(P::LastAddress, QStringLiteral("10.0.0.7:2001"));
        s.setOn(P::OpenRouter, true);
        s.setText(P::PhraseFile, QStringLiteral("/home/zed/my phrases.txt"));
        s.setOn(P::LetterHints, true);
        QVERIFY(s.save(file, P::windowKeys));
        QVERIFY(s.save(file, P::phraseKeys));
        QVERIFY(s.save(file, {P::LastName, P::LastAddress}));
        QVERIFY(s.save(file, {P::OpenRouter, P::PhraseFile, P::LetterHints}));
        for (int k = 0; k < P::keyCount; ++k)
            QVERIFY2(valueOf(s, P::Key(k)) != valueOf(P(), P::Key(k)), P::entry(P::Key(k)).name);
        const P back = P::read(file);
        for (int k = 0; k < P::keyCount; ++k)
            QCOMPARE(valueOf(back, P::Key(k)), valueOf(s, P::Key(k)));

        s.setNumber(P::Textcolor, 0x123456);
        s.setOn(P::OpenRouter, false);
        QVERIFY(s.save(file, {P::Textcolor, P::OpenRouter}));
        QByteArray phrases;
        for (int n = 1; n <= 9; ++n)
            phrases += "Phrase" + QByteArray::number(n) + "=Caf\xe9 " + QByteArray::number(n) + " \"ok\"\n";
        QCOMPARE(bytesOf(file),
                 "[Quillet]\nWebPage=0\nTop=-20\nLeft=40\nWidth=800\nHeight=640\nTextsize=12\nSnapcount=17\n"
                 "Textcolor=$00123456\nPlaysounds=false\nChatterSounds=false\n" +
                     phrases +
                     "LastName=Zed\nLastAddress=10.0.0.7:2001\nOpenRouter=0\nPhraseFile=/home/zed/my "
                     "phrases.txt\nLetterHints=1\n");

        // Values that do not read: the count held stays (numbering never restarts), the router is
        // opened only for "1", and the web page is served unless "0".
        put(file, "[Quillet]\nSnapcount=lots\nOpenRouter=yes\nWebPage=no\n");
        P held;
        held.setNumber(P::Snapcount, 12);
        held.load(file);
        QCOMPARE(held.number(P::Snapcount), 12);
        QVERIFY(!held.isOn(P::OpenRouter));
        QVERIFY(held.isOn(P::WebPage));
    }
};

QTEST_MAIN(TestPlayerSettings)
#include "tst_playersettings.moc"
