#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

// The spy list: spectators beyond the ten seats, one line "number: name" each. The hosting
// player removes a spy through the list's menu.
class Tspylist : public QWidget
{
    Q_OBJECT
public:
    explicit Tspylist(QWidget *parent = nullptr);

    QLabel *spyListCaption = nullptr;
    QListWidget *listbox_spys = nullptr;
    QPushButton *button_done = nullptr;
    QMenu *popup_kick = nullptr;
    QAction *popup_kickhim = nullptr; // enabled once this copy hosts

    // The index of the line under the pointer, or -1 (the list's tag).
    int pointedrow = -1;
    // The line the menu was opened on; the menu's item acts on it only while it is still listed.
    QString menuline;

    // Sends the removal request for a player number; set by the main window.
    std::function<void(int)> kicking;

    // Handlers.
    void listbox_spysMouseMove(const QPoint &pos);
    // Before the menu opens at a point of the list.
    void popup_kickPopup(const QPoint &pos);
    void popup_kickhimClick();
    void button_doneClick();

    // The player number a list line stands for: the text before its first ":", when that is a
    // whole number.
    static std::optional<int> linenumber(const QString &line);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
};
