// The phrase buttons above the chat and their editor.
#include "client/tchat.h"

#include "client/chatpane.h"
#include "features/quickphrases.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "windows/phraseeditor.h"

#include <QToolButton>

namespace {

// Left edges of b_phrase1 ... b_phrase9 in the chat column; each button is 25 x 19.
constexpr int phraseX[quickphrases::count] = {2, 26, 51, 75, 100, 124, 149, 173, 198};
static_assert(quickphrases::count == PlayerGame::phrasecount);

} // namespace

void Tchat::buildPhraseButtons()
{
    const QStringList builtin = quickphrases::builtin();
    for (int n = 1; n <= quickphrases::count; ++n) {
        auto *b = new QToolButton(chatpane->phraserow);
        b->setObjectName(QStringLiteral("b_phrase%1").arg(n));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        const QPixmap picture(QStringLiteral(":/pictures/phrase%1.png").arg(n));
        b->setIcon(QIcon(picture));
        b->setIconSize(picture.size());
        b->setGeometry(phraseX[n - 1], 0, 25, 19);
        connect(b, &QToolButton::clicked, this, [this, n] { guard([this, n] { phraseClicked(n); }); });
        b_phrase[n] = b;
        setphrase(n, builtin[n - 1]);
    }
}

void Tchat::phraseClicked(int n)
{
    playergame->phraseit(quickphrases::actiontext(playergame->phrase(n)),
                         colortext::toText(chatpane->textcolor()));
}

void Tchat::setphrase(int n, const QString &phrase)
{
    playergame->setphrase(n, phrase);
    b_phrase[n]->setToolTip(quickphrases::tooltip(phrase));
}

void Tchat::phraseListsClicked()
{
    Tphrases *editor = made(with.phrases);
    if (!editor)
        return;
    // The fields start from the phrases in force; edits left without "Done" are dropped.
    editor->setPhrases(playergame->phrases());
    editor->onDone = [this](const QStringList &list) { setphrases(list); };
    showCentred(editor);
}

void Tchat::setphrases(const QStringList &list)
{
    for (int n = 1; n <= quickphrases::count; ++n) {
        const QString phrase = list.value(n - 1);
        setphrase(n, phrase);
        playersettings.setText(PlayerSettings::phrase(n), phrase);
    }
    playersettings.save(settingsfile(), PlayerSettings::phraseKeys); // no message for any settings problem
}
