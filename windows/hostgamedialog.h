#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Asks the name under which this copy hosts a game.
class HostGameDialog : public QDialog
{
    Q_OBJECT
public:
    // The web port is the one the box names.
    explicit HostGameDialog(quint16 webPort, QWidget *parent = nullptr);

    QString name() const;
    void setName(const QString &name);
    // Whether the hosting copy also serves the page at its web port, for players in a browser.
    bool webPage() const;
    void setWebPage(bool on);
    // Whether the hosting copy asks the router to let players outside this network in.
    bool openRouter() const;
    void setOpenRouter(bool on);
    // The phrase file this copy's games use; empty for the built-in lists.
    QString phraseFile() const;
    void setPhraseFile(const QString &path);

    QLineEdit *nameEdit = nullptr;
    QCheckBox *openRouterBox = nullptr;
    QCheckBox *webPageBox = nullptr;
    QLabel *problem = nullptr;
    QPushButton *hostButton = nullptr;
    QRadioButton *builtinPhrases = nullptr;
    QRadioButton *ownPhrases = nullptr;
    QLineEdit *phrasePath = nullptr;
    QPushButton *choosePhrases = nullptr;
    // Why the chosen file cannot be used, with the line to blame.
    QLabel *phraseProblem = nullptr;

private:
    void check();
    void chooseFile();
    // The chosen file's refusal, checked when the choice changes.
    QString phrasesWhy;
    void checkPhrases();
};
