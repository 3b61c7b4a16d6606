// Message text: framing, field reading, numbers, colour text and the code page.
#include "platform/errors.h"
#include "platform/wsaerrors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/fields.h"
#include "protocol/framing.h"
#include "protocol/numbers.h"
#include "protocol/receivequeue.h"
#include "protocol/text.h"
#include "tests/support/textsupport.h"

#include <QtTest>

class TestMessageText : public QObject
{
    Q_OBJECT

    static QByteArrayList feedAll(framing::FrameBuffer &buf, const QList<QByteArray> &reads)
    {
        QByteArrayList out;
        for (const QByteArray &r : reads)
            buf.feed(r, out);
        return out;
    }

private slots:
    void framingCutsMessagesAtMarkers_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QByteArrayList>("messages");
        QTest::addColumn<QByteArray>("pending");
        const QByteArray m = "\xFF";
        QTest::newRow("two in one read") << QList<QByteArray>{"CMD_a+1" + m + "CMD_b+2" + m}
                                         << QByteArrayList{"CMD_a+1", "CMD_b+2"} << QByteArray();
        QTest::newRow("one over three reads") << QList<QByteArray>{"CMD_ch", "at+1+hel", "lo" + m}
                                              << QByteArrayList{"CMD_chat+1+hello"} << QByteArray();
        QTest::newRow("nothing before the marker")
            << QList<QByteArray>{"CMD_chat+1+hel"} << QByteArrayList{} << QByteArray("CMD_chat+1+hel");
        QTest::newRow("two markers in a row")
            << QList<QByteArray>{"CMD_a+" + m + m} << QByteArrayList{"CMD_a+", ""} << QByteArray();
        QTest::newRow("rest kept") << QList<QByteArray>{"CMD_a+" + m + "CMD_b"} << QByteArrayList{"CMD_a+"}
                                   << QByteArray("CMD_b");
        QTest::newRow("control bytes stay in the text")
            << QList<QByteArray>{QByteArray("CMD_chat+1+a\r\n\0b", 16) + m}
            << QByteArrayList{QByteArray("CMD_chat+1+a\r\n\0b", 16)} << QByteArray();
    }
    void framingCutsMessagesAtMarkers()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QByteArrayList, messages);
        QFETCH(QByteArray, pending);
        framing::FrameBuffer buf;
        QCOMPARE(feedAll(buf, reads), messages);
        QCOMPARE(buf.pending(), pending);
    }

    void framingCutsLongMessagesAt4096()
    {
        const QByteArray longText(5000, 'x');
        // Whole in one read, and trickled in small reads: the same cut either way.
        framing::FrameBuffer a, b;
        QByteArrayList outA, outB;
        a.feed("CMD_chat+1+" + longText + "\xFF" + "CMD_ok+", outA);
        const QByteArray all = "CMD_chat+1+" + longText + "\xFF";
        for (qsizetype i = 0; i < all.size(); i += 7)
            b.feed(all.mid(i, 7), outB);
        QCOMPARE(outA.size(), 1);
        QCOMPARE(outA[0].size(), framing::maxMessage);
        QCOMPARE(outA[0], QByteArray(QByteArray("CMD_chat+1+") + longText).left(4096));
        QCOMPARE(outB, outA);
        QCOMPARE(a.pending(), QByteArray("CMD_ok+"));
    }

    void framingNeverGrowsWithoutMarker()
    {
        framing::FrameBuffer buf;
        QByteArrayList out;
        const QByteArray chunk(32768, 'a');
        for (int i = 0; i < 32; ++i) // 1 MiB without a marker
            buf.feed(chunk, out);
        QVERIFY(out.isEmpty());
        QCOMPARE(buf.pending().size(), framing::maxMessage);
        buf.feed("\xFF"
                 "CMD_next+\xFF",
                 out);
        QCOMPARE(out.size(), 2);
        QCOMPARE(out[0].size(), framing::maxMessage);
        QCOMPARE(out[1], QByteArray("CMD_next+"));
    }

    void commandWordIsTextBeforeFirstPlus_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("rest");
        QTest::newRow("no arguments") << u"CMD_full+"_qs << u"CMD_full"_qs << QString();
        QTest::newRow("rest keeps plus") << u"CMD_chat+1+a+b"_qs << u"CMD_chat"_qs << u"1+a+b"_qs;
        QTest::newRow("no plus") << u"CMD_full"_qs << QString() << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }
    void commandWordIsTextBeforeFirstPlus()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(QString, rest);
        const CommandText c = splitCommand(text);
        QCOMPARE(c.word, word);
        QCOMPARE(c.rest, rest);
    }

    void fieldReaderReadsFromTheLeft()
    {
        FieldReader f(u"3+clBlack+7+a+b"_qs);
        QCOMPARE(f.nextInt(), 3);
        QCOMPARE(f.next(), u"clBlack"_qs);
        QCOMPARE(f.nextInt(), 7);
        QCOMPARE(f.rest(), u"a+b"_qs); // the last field is the rest, "+" and all
    }

    void fieldReaderMissingPlusReadsEmpty()
    {
        FieldReader f(u"12"_qs);
        QCOMPARE(f.next(), QString()); // no "+" after the field: empty, nothing removed
        QCOMPARE(f.rest(), u"12"_qs);
        FieldReader g(u"5"_qs);
        QVERIFY_THROWS_EXCEPTION(EConvertError, g.nextInt());
        FieldReader h(u"+x"_qs);
        QCOMPARE(h.next(), QString());
        QCOMPARE(h.rest(), u"x"_qs);
    }

    void numbersFollowClassicRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << u"42"_qs << true << 42;
        QTest::newRow("negative") << u"-5"_qs << true << -5;
        QTest::newRow("plus sign") << u"+7"_qs << true << 7;
        QTest::newRow("dollar hex") << u"$1F"_qs << true << 31;
        QTest::newRow("0x hex") << u"0x1F"_qs << true << 31;
        QTest::newRow("0X hex") << u"0X1f"_qs << true << 31;
        QTest::newRow("hex top bit") << u"$FFFFFFFF"_qs << true << -1;
        QTest::newRow("max") << u"2147483647"_qs << true << 2147483647;
        QTest::newRow("min") << u"-2147483648"_qs << true << int(-2147483647 - 1);
        QTest::newRow("too big") << u"2147483648"_qs << false << 0;
        QTest::newRow("huge") << u"999999999999"_qs << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("sign only") << u"-"_qs << false << 0;
        QTest::newRow("letters") << u"abc"_qs << false << 0;
        QTest::newRow("trailing junk") << u"12a"_qs << false << 0;
        QTest::newRow("blank") << u" 1"_qs << false << 0;
        QTest::newRow("dollar only") << u"$"_qs << false << 0;
        QTest::newRow("hex too long") << u"$100000000"_qs << false << 0;
        QTest::newRow("negated lowest hex") << u"-$80000000"_qs << false << 0;
        QTest::newRow("negated lowest 0x") << u"-0x80000000"_qs << false << 0;
        QTest::newRow("negated hex top bit") << u"-$FFFFFFFF"_qs << true << 1;
    }
    void numbersFollowClassicRules()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        if (ok) {
            QCOMPARE(numbers::strToInt(text), value);
        } else {
            try {
                numbers::strToInt(text);
                QFAIL("no conversion error");
            } catch (const EConvertError &e) {
                QCOMPARE(e.message(), u"'"_qs + text + u"' is not a valid integer value"_qs);
            }
        }
    }

    void colourTextBothWays_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << colortext::clBlack << u"clBlack"_qs;
        QTest::newRow("maroon is 128") << 128 << u"clMaroon"_qs;
        QTest::newRow("blue high byte") << 0xFF0000 << u"clBlue"_qs;
        QTest::newRow("white") << 0xFFFFFF << u"clWhite"_qs;
        QTest::newRow("palette green") << 0x00BFD7BF << u"$00BFD7BF"_qs;
        QTest::newRow("system colour") << 0x008AAAAC << u"$008AAAAC"_qs;
    }
    void colourTextBothWays()
    {
        QFETCH(int, colour);
        QFETCH(QString, text);
        QCOMPARE(colortext::toText(colour), text);
        QCOMPARE(colortext::fromText(text), colour);
    }

    void colourTextReading()
    {
        QCOMPARE(colortext::fromText(u"CLRED"_qs), colortext::clRed);
        QCOMPARE(colortext::fromText(u"clmaroon"_qs), 128);
        QCOMPARE(colortext::fromText(u"255"_qs), 255);
        QCOMPARE(colortext::fromText(u"0x1F"_qs), 31);
        QVERIFY_THROWS_EXCEPTION(EConvertError, colortext::fromText(u"clPink"_qs));
        const QColor c = colortext::toQColor(0x008AAAAC);
        QCOMPARE(c, QColor(172, 170, 138));
        QCOMPARE(colortext::fromQColor(c), 0x008AAAAC);
    }

    void codePageRoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = cp1252::decode(all);
        QCOMPARE(text.at(0x92), QChar(0x2019)); // right single quote
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0xE9), QChar(0xE9));
        QCOMPARE(cp1252::encode(text), all);
        QCOMPARE(cp1252::encode(u"\u4E2D"_qs), QByteArray("?"));
    }

    void upperCaseTouchesOnlyAToZ()
    {
        QCOMPARE(text::asciiUpper(u"hot dog \u00e9t\u00e9 don\u2019t 4x4"_qs),
                 u"HOT DOG \u00e9T\u00e9 DON\u2019T 4X4"_qs);
        // The code page's own capitals: é, ö, ñ and ÿ have one there, µ and ß do not.
        QCOMPARE(text::codepageUpper(u"h\u00e9llo w\u00f6rld pi\u00f1ata \u00ff \u00b5 \u00df"_qs),
                 u"H\u00c9LLO W\u00d6RLD PI\u00d1ATA \u0178 \u00b5 \u00df"_qs);
    }

    // Each upper-casing on its own over every character of the code page: the host upper-cases a
    // guess twice, so there a fault in one is hidden by the other.
    void upperCaseOverTheWholeCodePage_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<bool>("accents");
        QTest::newRow("asciiUpper") << 0 << false;
        QTest::newRow("codepageUpper of a character") << 1 << true;
        QTest::newRow("codepageUpper of a text") << 2 << true;
    }

    void upperCaseOverTheWholeCodePage()
    {
        QFETCH(int, function);
        QFETCH(bool, accents);
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        const QString page = cp1252::decode(bytes);
        QString expected, got;
        for (const QChar c : page) {
            expected += testsupport::judgedCapital(c, accents);
            got += function == 0   ? text::asciiUpper(QString(c))
                   : function == 1 ? QString(text::codepageUpper(c))
                                   : text::codepageUpper(QString(c));
        }
        QCOMPARE(testsupport::differences(page, got, expected), QString());
        if (function == 1)
            return;
        // A whole text at once, as guesses come.
        got = function == 0 ? text::asciiUpper(page) : text::codepageUpper(page);
        QCOMPARE(testsupport::differences(page, got, expected), QString());
    }

    void buildersMatchTheWire()
    {
        QCOMPARE(cmd::buildDraw(3, u"clBlack"_qs, u"3"_qs, {{10, 20}, {11, 22}}),
                 u"CMD_draw+3+clBlack+3++10,20+11,22+"_qs);
        QCOMPARE(cmd::buildDraw(3, u"clBlack"_qs, u"3"_qs, {}), u"CMD_draw+3+clBlack+3++"_qs);
        QCOMPARE(cmd::buildFull(), u"CMD_full+"_qs);
        QCOMPARE(cmd::buildKickhim(1, 4), u"CMD_kickhim+1+4+"_qs);
        QCOMPARE(cmd::buildPlayasound(2, 13), u"CMD_playasound+2+wave13+"_qs);
        QCOMPARE(cmd::buildVeryclose(2, u"RUN"_qs), u"CMD_veryclose+2+RUN+"_qs);
        QCOMPARE(cmd::buildChatRelay(2, u"Ann"_qs, u"hi+there|clRed"_qs),
                 u"CMD_chat+2+Ann chats: hi+there|clRed"_qs);
        QCOMPARE(cmd::buildActionRelay(2, u"Ann"_qs, u"waves|clRed"_qs), u"CMD_action+2+Ann waves|clRed"_qs);
        cmd::TenScores s{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QCOMPARE(cmd::buildGamestats(20, 60, s), u"CMD_gamestats+20+60+1+2+3+4+5+6+7+8+9+10"_qs);
        QCOMPARE(cmd::buildTeamscore(s), u"CMD_teamscore+1+2+3+4+5+6+7+8+9+10"_qs);
        QCOMPARE(cmd::buildStartgame(1, true, 20, 60), u"CMD_startgame+1+true+20+60"_qs);
    }

    void socketErrorNames()
    {
        QCOMPARE(wsa::errorText(10061), u"Error #10061 (WSAECONNREFUSED)"_qs);
        QCOMPARE(wsa::errorText(wsa::fromErrno(ECONNRESET)), u"Error #10054 (WSAECONNRESET)"_qs);
        QCOMPARE(wsa::name(11004), u"WSANO_DATA"_qs);
        QCOMPARE(wsa::name(10000), u"UNKNOWN ERROR"_qs);
        QCOMPARE(wsa::name(wsa::fromErrno(ENOMEM)), u"UNKNOWN ERROR"_qs);
    }

    void errorBoxAddsFullStop()
    {
        QCOMPARE(errorbox::boxText(u"Listen - Error Binding Socket"_qs),
                 u"Listen - Error Binding Socket."_qs);
        QCOMPARE(errorbox::boxText(u"Done."_qs), u"Done."_qs);
        QStringList shown;
        errorbox::setHook([&](const QString &t) { shown << t; });
        guard([] { throw ESockException(u"Send - Socket Not Connected"_qs); });
        guard([] { numbers::strToInt(u"x"_qs); });
        errorbox::setHook({});
        QCOMPARE(shown,
                 (QStringList{u"Send - Socket Not Connected."_qs, u"'x' is not a valid integer value."_qs}));
    }
};

QTEST_APPLESS_MAIN(TestMessageText)
#include "tst_messagetext.moc"
