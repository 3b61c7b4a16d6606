#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;

// Browser of saved snapshots: the list of files, one picture, previous and next, and "Delete" on
// the list's pop-up menu. Destructive actions ask for no confirmation.
class Tsnapshot : public QWidget
{
    Q_OBJECT
public:
    explicit Tsnapshot(QWidget *parent = nullptr);

    // The folder browsed: snapshots::folder() unless a caller points elsewhere.
    QString folder;

    QLabel *heading = nullptr;
    QToolButton *previousButton = nullptr;
    QToolButton *nextButton = nullptr;
    QListWidget *listbox_snapshots = nullptr;
    QLabel *image_snapshot = nullptr;
    QMenu *deleteMenu = nullptr;
    QAction *Delete1 = nullptr;
    // Closes the window, as Escape does.
    QPushButton *button_done = nullptr;

    // Rebuilds the list when the window goes from hidden to shown, and shows the first picture.
    void FormShow();
    void previousClicked();
    void nextClicked();
    // Any button: selects the line under the pointer and shows its file when it exists.
    void listbox_snapshotsMouseDown(Qt::MouseButton button, const QPoint &pos);
    // Deletes the selected line's file and removes the line; the picture stays on screen.
    void Delete1Click();

    // Shows the file of the line; throws EError when it doesn't read as a picture.
    void loadsnapshot(int row);

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
