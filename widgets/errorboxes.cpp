#include "widgets/errorboxes.h"

#include "platform/errors.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace errorbox {

namespace {

QList<QPointer<QMessageBox>> &openBoxes()
{
    static QList<QPointer<QMessageBox>> boxes;
    boxes.removeAll(nullptr);
    return boxes;
}

bool showBox(const QString &text)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return false;
    // A fault that repeats (the same bad field in every message of a burst) shows one box.
    for (const QPointer<QMessageBox> &open : openBoxes()) {
        if (open->isVisible() && open->text() == text)
            return true;
    }
    auto *box = new QMessageBox(QMessageBox::Critical, title(), QString(), QMessageBox::Ok);
    // The message can quote a field from the network: never read it as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    openBoxes().append(box);
    box->show();
    return true;
}

void closeBoxes()
{
    const QList<QPointer<QMessageBox>> boxes = openBoxes();
    for (const QPointer<QMessageBox> &box : boxes)
        delete box.data();
    openBoxes().clear();
}

} // namespace

void useMessageBoxes()
{
    setPresenter({showBox, closeBoxes});
}

} // namespace errorbox
