// The host's pure pieces: masks, the repeat test, word search, close words, judging, win test,
// phrase list files, the relay budget, letter hints.
#include "host/hints.h"
#include "host/judging.h"
#include "host/phrases.h"
#include "host/relaybudget.h"
#include "protocol/cp1252.h"
#include "tests/support/textsupport.h"

#include <QTest>

using judging::Step;
using judging::Win;

class TestHostLogic : public QObject
{
    Q_OBJECT
private slots:
    void mask_data();
    void mask();
    void words();
    void repeattest_data();
    void repeattest();
    void findword_data();
    void findword();
    void plain();
    void close_data();
    void close();
    void judge_data();
    void judge();
    void wintest_data();
    void wintest();
    void parselist();
    void relaybudget();
    void hints();
};

void TestHostLogic::mask_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("mask");
    QTest::newRow("three words") << "angel food cake"
                                 << "_____ ____ ____ ";
    QTest::newRow("trailing space") << "hot dog "
                                    << "___ ___  ";
    QTest::newRow("two spaces") << "a  b"
                                << "_  _ ";
    // Only letters and digits are hidden: the guessers see every other mark as it stands.
    QTest::newRow("punctuation and digits") << "ocean's 11"
                                            << "_____'_ __ ";
    QTest::newRow("right single quote, accents")
        << QString::fromUtf8("dog\u2019s pi\u00f1ata") << QString::fromUtf8("___\u2019_ ______ ");
    QTest::newRow("hyphen, full stop, ampersand") << "rock-n-roll mr. & mrs."
                                                  << "____-_-____ __. & ___. ";
    QTest::newRow("tab belongs to its word") << "a\tb c"
                                             << "___ _ ";
    QTest::newRow("empty") << ""
                           << " ";
}

void TestHostLogic::mask()
{
    QFETCH(QString, phrase);
    QFETCH(QString, mask);
    QCOMPARE(phrases::sortphrase(phrase), mask);
    QCOMPARE(phrases::sortphrase(phrase).size(), phrase.size() + 1);
}

void TestHostLogic::words()
{
    const phrases::PhraseWords w = phrases::phrasewords(QStringLiteral("Hot  dog "));
    QCOMPARE(w[0], QStringLiteral("Hot"));
    QCOMPARE(w[1], QString());
    QCOMPARE(w[2], QStringLiteral("dog"));
    QCOMPARE(w[3], QString());
    // A long run of trailing spaces: words past the 20th are dropped.
    const QString many = QStringLiteral("a b c d e f g h i j k l m n o p q r s t u v w");
    const phrases::PhraseWords m = phrases::phrasewords(many);
    QCOMPARE(m[19], QStringLiteral("t"));
    QCOMPARE(phrases::splitwords(many).size(), 23);
}

void TestHostLogic::repeattest_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("passes");
    QTest::newRow("word again") << "the cat in the hat" << false;
    QTest::newRow("inside a later word") << "in the pink" << false;
    QTest::newRow("earlier word inside") << "pin in" << true;
    QTest::newRow("plain") << "hot dog" << true;
    QTest::newRow("case differs") << "The cat in the hat" << false;
    QTest::newRow("case differs, later word") << "Never say never" << false;
    QTest::newRow("empty words never reject") << "a  b  c " << true;
    QTest::newRow("last word") << "dog dog" << false;
    QTest::newRow("single word") << "dog" << true;
}

void TestHostLogic::repeattest()
{
    QFETCH(QString, phrase);
    QFETCH(bool, passes);
    QCOMPARE(phrases::passesrepeattest(phrase), passes);
}

void TestHostLogic::findword_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("pos");
    QTest::addColumn<bool>("whole");
    QTest::newRow("first") << "HOT DOG"
                           << "HOT" << 0 << true;
    QTest::newRow("last") << "HOT DOG"
                          << "DOG" << 4 << true;
    QTest::newRow("middle") << "A HOT DOG"
                            << "HOT" << 2 << true;
    QTest::newRow("inside a longer word") << "HOT DOGS"
                                          << "DOG" << 4 << false;
    QTest::newRow("whole word wins over earlier part") << "CATS CAT DOG"
                                                       << "CAT" << 5 << true;
    QTest::newRow("between spaces first") << "XCAT CATX CAT Y"
                                          << "CAT" << 10 << true;
    QTest::newRow("before a space second") << "XCAT CATX"
                                           << "CAT" << 1 << false;
    QTest::newRow("whole word after a part of an earlier one") << "COME DINE WITH ME"
                                                               << "ME" << 15 << true;
    QTest::newRow("nowhere") << "HOT DOG"
                             << "CAT" << -1 << false;
    QTest::newRow("whole phrase") << "HOT DOG"
                                  << "HOT DOG" << 0 << true;
}

void TestHostLogic::findword()
{
    QFETCH(QString, phrase);
    QFETCH(QString, word);
    QFETCH(int, pos);
    QFETCH(bool, whole);
    QCOMPARE(judging::findword(phrase, word), qsizetype(pos));
    QCOMPARE(judging::wholeword(phrase, pos, word.size()), whole);
}

// Every character of the code page on its own and all in one text: letters as judging upper-cases
// them, typographic quotes as the keyboard's, everything else as it was.
void TestHostLogic::plain()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    const QString page = cp1252::decode(bytes);
    const QString typographic = QString::fromUtf8("‘’‚“”„");
    const QString keyboard = QStringLiteral("'''\"\"\"");
    QString expected, got;
    for (const QChar c : page) {
        const qsizetype quote = typographic.indexOf(c);
        expected += quote >= 0 ? keyboard.at(quote) : testsupport::judgedCapital(c, true);
        got += judging::plain(QString(c));
    }
    QCOMPARE(testsupport::differences(page, got, expected), QString());
    QCOMPARE(testsupport::differences(page, judging::plain(page), expected), QString());
}

void TestHostLogic::close_data()
{
    QTest::addColumn<QString>("guess");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("close");
    QTest::newRow("1 ING") << "JUMP"
                           << "jumping" << true;
    QTest::newRow("2 S") << "CAT"
                         << "cats" << true;
    QTest::newRow("3 ES") << "BOX"
                          << "boxes" << true;
    QTest::newRow("4 ED") << "JUMP"
                          << "Jumped" << true;
    QTest::newRow("5 ER") << "JUMP"
                          << "jumper" << true;
    QTest::newRow("6 D") << "BAKE"
                         << "baked" << true;
    QTest::newRow("7 R") << "BAKE"
                         << "baker" << true;
    QTest::newRow("8 stem ING") << "BAKE"
                                << "baking" << true;
    QTest::newRow("9 doubled ING") << "RUN"
                                   << "running" << true;
    QTest::newRow("10 IED") << "CRY"
                            << "cried" << true;
    QTest::newRow("11 IES") << "CRY"
                            << "cries" << true;
    QTest::newRow("12 stem") << "CATS"
                             << "cat" << true;
    QTest::newRow("one way only") << "JUMPING"
                                  << "jump" << false;
    QTest::newRow("equal is not close") << "CAT"
                                        << "cat" << false;
    QTest::newRow("other doubled letter") << "RUN"
                                          << "runxing" << false;
    QTest::newRow("guess is compared as is") << "cat"
                                             << "cats" << false;
    QTest::newRow("unrelated") << "DOG"
                               << "cats" << false;
    QTest::newRow("empty guess") << ""
                                 << "s" << false;
}

void TestHostLogic::close()
{
    QFETCH(QString, guess);
    QFETCH(QString, word);
    QFETCH(bool, close);
    QCOMPARE(judging::checkforclose(guess, word), close);
}

void TestHostLogic::judge_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("maskBefore");
    QTest::addColumn<QString>("guess");
    QTest::addColumn<QString>("maskAfter");
    QTest::addColumn<QList<Step>>("steps");
    const QString hotdog = QStringLiteral("HOT DOG");
    QTest::newRow("one word") << hotdog << "___ ___ "
                              << "HOT"
                              << "HOT ___ " << QList<Step>{{Step::Revealed, QStringLiteral("HOT ___ ")}};
    QTest::newRow("both words in one guess") << hotdog << "___ ___ "
                                             << "HOT DOG"
                                             << "HOT DOG "
                                             << QList<Step>{{Step::Revealed, QStringLiteral("HOT ___ ")},
                                                            {Step::Solved, QStringLiteral("HOT DOG ")}};
    QTest::newRow("second word completes")
        << hotdog << "HOT ___ "
        << "DOG"
        << "HOT DOG " << QList<Step>{{Step::Solved, QStringLiteral("HOT DOG ")}};
    QTest::newRow("shown again") << hotdog << "HOT ___ "
                                 << "HOT"
                                 << "HOT ___ " << QList<Step>{{Step::Revealed, QStringLiteral("HOT ___ ")}};
    QTest::newRow("inside a longer word is close")
        << "HOT DOGS"
        << "___ ____ "
        << "DOG"
        << "___ ____ " << QList<Step>{{Step::Close, QStringLiteral("DOG")}};
    QTest::newRow("close by stem") << "BAKING SODA"
                                   << "______ ____ "
                                   << "BAKE"
                                   << "______ ____ " << QList<Step>{{Step::Close, QStringLiteral("BAKE")}};
    QTest::newRow("close to two words")
        << "CATS AND CATS"
        << "____ ___ ____ "
        << "CAT"
        << "____ ___ ____ "
        << QList<Step>{{Step::Close, QStringLiteral("CAT")}, {Step::Close, QStringLiteral("CAT")}};
    QTest::newRow("empty words do nothing") << "A B"
                                            << "_ _ "
                                            << "  S "
                                            << "_ _ " << QList<Step>{};
    QTest::newRow("stops at the solving word") << hotdog << "___ ___ "
                                               << "DOG HOT DOGS"
                                               << "HOT DOG "
                                               << QList<Step>{{Step::Revealed, QStringLiteral("___ DOG ")},
                                                              {Step::Solved, QStringLiteral("HOT DOG ")}};
    QTest::newRow("trailing space phrase") << "HOT "
                                           << "___  "
                                           << "HOT"
                                           << "HOT  " << QList<Step>{{Step::Solved, QStringLiteral("HOT  ")}};
    // Typed with the keyboard's apostrophe and small accented letters; shown as the phrase has it.
    QTest::newRow("typographic apostrophe")
        << QString::fromUtf8("DON’T STOP") << "_____ ____ "
        << "DON'T" << QString::fromUtf8("DON’T ____ ")
        << QList<Step>{{Step::Revealed, QString::fromUtf8("DON’T ____ ")}};
    QTest::newRow("accented letter in either case")
        << QString::fromUtf8("PIñATA PARTY") << "______ _____ " << QString::fromUtf8("PARTY PIÑATA")
        << QString::fromUtf8("PIñATA PARTY ")
        << QList<Step>{{Step::Revealed, QStringLiteral("______ PARTY ")},
                       {Step::Solved, QString::fromUtf8("PIñATA PARTY ")}};
    // A word of punctuation alone stands in the mask from the start: the others solve the phrase.
    QTest::newRow("shown punctuation needs no guess")
        << QString::fromUtf8("ROCK & DON’T") << QString::fromUtf8("____ & ___’_ ") << "DON'T ROCK"
        << QString::fromUtf8("ROCK & DON’T ")
        << QList<Step>{{Step::Revealed, QString::fromUtf8("____ & DON’T ")},
                       {Step::Solved, QString::fromUtf8("ROCK & DON’T ")}};
    // Only the first 15 words are looked at for a close guess: the 15th is, the 16th is not.
    const QString sixteen = QStringLiteral("ONE TWO THREE FOUR FIVE SIX SEVEN EIGHT NINE TEN ELEVEN TWELVE "
                                           "THIRTEEN FOURTEEN CAT DOG");
    QTest::newRow("close to the 15th word")
        << sixteen << phrases::sortphrase(sixteen) << "CATS" << phrases::sortphrase(sixteen)
        << QList<Step>{{Step::Close, QStringLiteral("CATS")}};
    QTest::newRow("the 16th word is not looked at")
        << sixteen << phrases::sortphrase(sixteen) << "DOGS" << phrases::sortphrase(sixteen) << QList<Step>{};
    QTest::newRow("plain quotes match typographic ones")
        << QString::fromUtf8("“HI” THERE") << "____ _____ "
        << "\"HI\" THERE" << QString::fromUtf8("“HI” THERE ")
        << QList<Step>{{Step::Revealed, QString::fromUtf8("“HI” _____ ")},
                       {Step::Solved, QString::fromUtf8("“HI” THERE ")}};
}

void TestHostLogic::judge()
{
    QFETCH(QString, phrase);
    QFETCH(QString, maskBefore);
    QFETCH(QString, guess);
    QFETCH(QString, maskAfter);
    QFETCH(QList<Step>, steps);
    QString mask = maskBefore;
    const auto words = phrases::phrasewords(phrase.toLower());
    QCOMPARE(judging::judge(phrase, mask, words, guess), steps);
    QCOMPARE(mask, maskAfter);
}

void TestHostLogic::wintest_data()
{
    QTest::addColumn<QList<int>>("scores"); // slots 1, 2, ...
    QTest::addColumn<int>("winscore");
    QTest::addColumn<bool>("team");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("slot");
    QTest::newRow("nobody there") << QList<int>{9, 3, 5} << 10 << false << int(Win::None) << 0;
    QTest::newRow("leader alone") << QList<int>{10, 3, 12} << 10 << false << int(Win::Player) << 3;
    QTest::newRow("tie at the top") << QList<int>{10, 10} << 10 << false << int(Win::None) << 0;
    QTest::newRow("tie below the top") << QList<int>{11, 10, 10} << 10 << false << int(Win::Player) << 1;
    QTest::newRow("spy counts") << QList<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12} << 10 << false
                                << int(Win::Player) << 11;
    QTest::newRow("black") << QList<int>{21, 20} << 20 << true << int(Win::Black) << 0;
    QTest::newRow("team tie goes to maroon") << QList<int>{20, 20} << 20 << true << int(Win::Maroon) << 0;
    QTest::newRow("maroon") << QList<int>{5, 20} << 20 << true << int(Win::Maroon) << 0;
}

void TestHostLogic::wintest()
{
    QFETCH(QList<int>, scores);
    QFETCH(int, winscore);
    QFETCH(bool, team);
    QFETCH(int, kind);
    QFETCH(int, slot);
    std::array<int, 16> s{};
    for (int i = 0; i < scores.size(); ++i)
        s[i + 1] = scores[i];
    QCOMPARE(judging::wintest(s, int(scores.size()), winscore, team), (Win{Win::Kind(kind), slot}));
}

void TestHostLogic::parselist()
{
    QByteArray bytes("hot dog\nrock\x92n roll  \r\n\ttab\n\nlast");
    QCOMPARE(phrases::parselist(bytes),
             (QStringList{QStringLiteral("hot dog"), QStringLiteral("rock\u2019n roll  "),
                          QStringLiteral("\ttab"), QString(), QStringLiteral("last")}));
    QCOMPARE(phrases::parselist("a\nb\n"), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(phrases::parselist(QByteArray()).isEmpty());
}

void TestHostLogic::relaybudget()
{
    // Bursts of 3 messages and 100 characters; 2 messages and 50 characters a second.
    RelayBudget b({3, 100, 2, 50}, 1000);
    QVERIFY(b.spend(1000, 40));
    QVERIFY(b.spend(1000, 40));
    QVERIFY(!b.spend(1000, 40)); // 20 characters left: refused, and nothing taken
    QVERIFY(b.spend(1000, 20));
    QVERIFY(!b.spend(1000, 0)); // no message left
    QVERIFY(b.spend(1500, 25)); // half a second: one message, 25 characters
    QVERIFY(!b.spend(1500, 0));
    // A long pause fills it to the burst, no further.
    QVERIFY(b.spend(60000, 100));
    QVERIFY(!b.spend(60000, 1));
    QVERIFY(b.spend(62000, 1) && b.spend(62000, 1) && b.spend(62000, 1) && !b.spend(62000, 1));
    // A clock that goes back gives nothing.
    QVERIFY(!b.spend(10000, 1));
    QVERIFY(b.spend(62500, 1));
}

void TestHostLogic::hints()
{
    // 30 seconds: the first hint when the clock shows 15, the second at 7; 31 and 1 round down.
    QCOMPARE(hints::due(30, 30), 0);
    QCOMPARE(hints::due(30, 16), 0);
    QCOMPARE(hints::due(30, 15), 1);
    QCOMPARE(hints::due(30, 8), 1);
    QCOMPARE(hints::due(30, 7), 2);
    QCOMPARE(hints::due(30, -4), 2);
    QCOMPARE(hints::due(31, 15), 1);
    QCOMPARE(hints::due(1, 1), 0);
    QCOMPARE(hints::due(1, 0), 2);

    // Hidden letters and digits of words that keep a hidden character: not the apostrophe shown
    // as itself, not a word with one hidden character (A, 2), not a tab, not the found word.
    const QString phrase = QStringLiteral("A CAT'S 2 DOG\tX HOT");
    QString mask = phrases::sortphrase(phrase);
    mask.replace(16, 3, QStringLiteral("HOT"));
    mask[10] = QLatin1Char('D');
    QCOMPARE(mask, QStringLiteral("_ ___'_ _ D____ HOT "));
    QCOMPARE(hints::candidates(phrase, mask), (QList<qsizetype>{2, 3, 4, 6, 11, 12, 14}));
    QCOMPARE(hints::reveal(phrase, mask, 6), QStringLiteral("_ ___'S _ D____ HOT "));
    // Revealed until nothing may be: every word keeps a hidden character.
    for (QList<qsizetype> c = hints::candidates(phrase, mask); !c.isEmpty();
         c = hints::candidates(phrase, mask))
        mask = hints::reveal(phrase, mask, c.first());
    QCOMPARE(mask, QStringLiteral("_ CAT'_ _ DOG_X HOT "));
    QVERIFY(hints::candidates(QStringLiteral("OX"), QStringLiteral("O_ ")).isEmpty());
    QVERIFY(hints::candidates(QString(), QString()).isEmpty());
}

QTEST_APPLESS_MAIN(TestHostLogic)
#include "tst_hostlogic.moc"
