#pragma once

#include <QWidget>

// Browser of saved snapshots.
class Tsnapshot : public QWidget
{
    Q_OBJECT
public:
    explicit Tsnapshot(QWidget *parent = nullptr);
};
