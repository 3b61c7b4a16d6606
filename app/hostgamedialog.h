#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks the name under which this copy hosts a game.
class HostGameDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HostGameDialog(QWidget *parent = nullptr);

    QString name() const;
    void setName(const QString &name);

    QLineEdit *nameEdit = nullptr;
    QLabel *problem = nullptr;
    QPushButton *hostButton = nullptr;

private:
    void check();
};
