#include "widgets/animatedpicture.h"

#include <QPainter>

AnimatedPicture::AnimatedPicture(QWidget *parent) : QWidget(parent)
{
    timer.setInterval(500);
    connect(&timer, &QTimer::timeout, this, &AnimatedPicture::advance);
}

void AnimatedPicture::setFrames(const QList<QPixmap> &f)
{
    frames = f;
    files.clear();
    current = 0;
    update();
}

void AnimatedPicture::setFrameFiles(const QStringList &f)
{
    frames.clear();
    files = f;
    current = 0;
    update();
}

void AnimatedPicture::start()
{
    if (!timer.isActive())
        timer.start();
}

void AnimatedPicture::stop()
{
    timer.stop();
}

void AnimatedPicture::advance()
{
    if (frameCount() == 0)
        return;
    current = (current + 1) % int(frameCount());
    update();
}

void AnimatedPicture::paintEvent(QPaintEvent *)
{
    if (frames.isEmpty()) {
        for (const QString &f : std::as_const(files))
            frames << QPixmap(f);
        files.clear();
    }
    if (frames.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), frames[current]);
}
