#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The editor of the nine phrase buttons' phrases.
class Tphrases : public QWidget
{
    Q_OBJECT
public:
    explicit Tphrases(QWidget *parent = nullptr);

    static constexpr int count = 9;
    static constexpr int maxlength = 50;

    std::array<QLabel *, count + 1> phraseCaption{}; // "Phrase Button n:", index 1..9
    std::array<QLineEdit *, count + 1> phrase{};     // phrase1 ... phrase9, index 1..9
    QPushButton *doneButton = nullptr;

    // The fields' texts, phrase1 first.
    QStringList phrases() const;
    // Puts the phrases in force into the fields; missing ones leave a field empty.
    void setPhrases(const QStringList &list);

    // "Done" hands the nine texts over here, then the window hides; set by the main window.
    std::function<void(const QStringList &)> onDone;
    void doneClicked();
};
