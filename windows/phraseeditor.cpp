#include "windows/phraseeditor.h"

#include "platform/errors.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Tphrases::Tphrases(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Quillet - Phrase Buttons"));
    setFixedSize(383, 286);
    for (int n = 1; n <= count; ++n) {
        const int y = 8 + (n - 1) * 27;
        phraseCaption[n] = new QLabel(QStringLiteral("Phrase Button %1:").arg(n), this);
        phraseCaption[n]->setObjectName(QStringLiteral("phraseCaption%1").arg(n));
        phraseCaption[n]->setGeometry(10, y, 104, 23);
        phrase[n] = new QLineEdit(this);
        phrase[n]->setObjectName(QStringLiteral("phrase%1").arg(n));
        phrase[n]->setGeometry(116, y, 257, 23);
        phrase[n]->setMaxLength(maxlength);
    }
    doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    doneButton->setGeometry(154, 253, 75, 25);
    connect(doneButton, &QPushButton::clicked, this, [this] { guard([this] { doneClicked(); }); });
}

QStringList Tphrases::phrases() const
{
    QStringList out;
    for (int n = 1; n <= count; ++n)
        out << phrase[n]->text();
    return out;
}

void Tphrases::setPhrases(const QStringList &list)
{
    for (int n = 1; n <= count; ++n)
        phrase[n]->setText(n <= list.size() ? list[n - 1] : QString());
}

void Tphrases::doneClicked()
{
    if (onDone)
        onDone(phrases());
    hide();
}
