#include "windows/aboutwindow.h"

#include "protocol/commands.h"
#include "widgets/flatbutton.h"
#include "windows/lobbyart.h"
#include "windows/lobbyplaces.h"
#include "windows/turl.h"

#include <QDate>
#include <QLabel>
#include <QMouseEvent>

namespace {

QLabel *maroonLabel(QWidget *parent, const QString &text, const QRect &at, int points, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(at);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: #800000; background: transparent;"));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

Tabout::Tabout(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Quillet - About"));
    setFixedSize(202, 203);

    auto *picture = new QLabel(this);
    picture->setGeometry(rect());
    picture->setScaledContents(true);
    // Drawn when the window first shows: most runs never show it.
    picture->setObjectName(QStringLiteral("aboutPicture"));

    QLabel *title = maroonLabel(this, QStringLiteral("Quillet"), QRect(0, 6, 202, 36), 22, true);
    QFont tf = title->font();
    tf.setItalic(true);
    title->setFont(tf);

    maroonLabel(this, QStringLiteral("Created by"), QRect(0, 46, 202, 16), 9);
    maroonLabel(this, QStringLiteral("Orvane Software"), QRect(0, 62, 202, 18), 10, true);
    maroonLabel(this, QStringLiteral("Copyright \u00A9"), QRect(0, 84, 202, 16), 8);
    label_year = maroonLabel(this, QString(), QRect(0, 100, 202, 16), 8);
    label_year->setObjectName(QStringLiteral("label_year"));

    makerLink = new TURL(this);
    makerLink->URL = lobbyplaces::makerAddress();
    makerLink->URLType = TURL::utHttps;
    webAddress = maroonLabel(this, lobbyplaces::makerAddress(), QRect(0, 120, 202, 18), 9);
    webAddress->setObjectName(QStringLiteral("webAddress"));
    QFont wf = webAddress->font();
    wf.setUnderline(true);
    webAddress->setFont(wf);
    webAddress->setCursor(Qt::PointingHandCursor);
    webAddress->installEventFilter(this);

    // "Version 2.2.8.2", centred as one line: the middle part is the protocol version, the last
    // part the build, the rest of the program's version (the package's too).
    QLabel *word = maroonLabel(this, QStringLiteral("Version "), QRect(), 9);
    version = maroonLabel(this, cmd::versionText, QRect(), 9);
    version->setObjectName(QStringLiteral("version"));
    const QString program = QStringLiteral(QUILLET_VERSION);
    QLabel *build = maroonLabel(
        this, program.startsWith(cmd::versionText) ? program.mid(cmd::versionText.size()) : QString(),
        QRect(), 9);
    build->setObjectName(QStringLiteral("build"));
    const QFontMetrics fm(word->font());
    int x = (width() - fm.horizontalAdvance(word->text() + version->text() + build->text())) / 2;
    for (QLabel *part : {word, version, build}) {
        const int w = fm.horizontalAdvance(part->text());
        part->setGeometry(x, 146, w + 1, 16);
        part->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        x += w;
    }

    auto *done = new FlatButton(this);
    done->setText(QStringLiteral("Done"));
    done->setGeometry(61, 172, 80, 24);
    connect(done, &QAbstractButton::clicked, this, [this] { doneClicked(); });

    FormCreate();
}

void Tabout::FormCreate()
{
    label_year->setText(QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0')));
}

bool Tabout::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == webAddress && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        webAddressClicked();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void Tabout::webAddressClicked()
{
    makerLink->open();
}

void Tabout::doneClicked()
{
    hide();
}

void Tabout::showEvent(QShowEvent *e)
{
    if (auto *picture = findChild<QLabel *>(QStringLiteral("aboutPicture"));
        picture && picture->pixmap().isNull())
        picture->setPixmap(lobbyart::aboutPicture());
    QWidget::showEvent(e);
}
