// Pictures of the drawing tools for looking at them: the game-start dialog and the colour
// button with its drop-down. Usage: board_demo FOLDER
#include "widgets/colorbutton.h"
#include "widgets/updown.h"
#include "windows/tgamestartform.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    Tgamestartform form;
    form.show();
    form.playToScoreArrows->stepUp();

    QWidget holder;
    holder.resize(120, 60);
    auto *button = new ColorButton(&holder);
    button->setGeometry(10, 10, 60, 26);
    button->customColours[0] = 0x00336699;
    holder.show();

    QTimer::singleShot(300, [&] {
        form.grab().save(folder + QStringLiteral("/gamestartform.png"));
        button->dropDown()->popup(button->mapToGlobal(QPoint(0, button->height())));
        QTimer::singleShot(300, [&] {
            button->dropDown()->grab().save(folder + QStringLiteral("/colorbutton_dropdown.png"));
            holder.grab().save(folder + QStringLiteral("/colorbutton.png"));
            app.quit();
        });
    });
    return QApplication::exec();
}
