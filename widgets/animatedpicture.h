#pragma once

#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// A picture that cycles through its frames at a fixed interval while it runs. Stopped, it shows
// the frame it stopped on.
class AnimatedPicture : public QWidget
{
    Q_OBJECT
public:
    explicit AnimatedPicture(QWidget *parent = nullptr);

    void setFrames(const QList<QPixmap> &frames);
    // Frames from picture files, read when the picture is first painted: most runs never show it.
    void setFrameFiles(const QStringList &files);
    void setInterval(int ms) { timer.setInterval(ms); }
    int interval() const { return timer.interval(); }
    qsizetype frameCount() const { return frames.isEmpty() ? files.size() : frames.size(); }
    int frame() const { return current; }

    void start();
    void stop();
    bool isRunning() const { return timer.isActive(); }
    // One step to the next frame, as the timer does it.
    void advance();

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QList<QPixmap> frames;
    QStringList files;
    QTimer timer;
    int current = 0;
};
