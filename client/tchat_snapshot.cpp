// Snapshots: the finished drawing saved as a numbered JPEG file, and the browser of them.
#include "client/tchat.h"

#include "board/drawingboard.h"
#include "features/snapshots.h"
#include "platform/errors.h"
#include "widgets/flatbutton.h"
#include "windows/snapshotbrowser.h"

#include <QAction>

void Tchat::connectSnapshots()
{
    connect(button_snapshot, &QAbstractButton::clicked, this,
            [this] { guard([this] { button_snapshotClick(); }); });
}

void Tchat::button_snapshotClick()
{
    // Empty from the start of a turn until its round ends.
    if (playergame->roundcaption().isEmpty())
        return;
    // A save that fails changes nothing: neither the picture nor the count.
    QImage picture = image_main->image_backup;
    snapshots::stamp(picture, playergame->roundcaption());
    const QString folder = snapshots::folder();
    const int number = snapshots::nextNumber(snapcount, folder);
    snapshots::save(picture, folder, number);
    // The caption stays on the backing picture; the screen shows it at its next repaint.
    image_main->image_backup = picture;
    image_main->update();
    snapcount = number;
    saveinifile();
    addlinetochat(QStringLiteral("0+Snapshot saved as ") + snapshots::fileName(number) + QLatin1Char('.'),
                  PlayerGame::systemcolour);
}

void Tchat::snapShotsClicked()
{
    showCentred(made(with.snapshot));
}
