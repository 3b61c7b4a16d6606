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
    if (frames.isEmpty())
        return;
    current = (current + 1) % int(frames.size());
    update();
}

void AnimatedPicture::paintEvent(QPaintEvent *)
{
    if (frames.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), frames[current]);
}
