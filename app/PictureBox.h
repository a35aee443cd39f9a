#pragma once
// An image control: an SVG picture drawn on the window's surface, at the
// density of the screen, that reports a left click (the exit picture ends the
// program on it).

#include "app/WindowLook.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setPicture(const QString& resource)
    {
        picture_ = look::SharpPicture(resource);
        update();
    }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (picture_.isNull())
            return QLabel::paintEvent(event);
        QPainter(this).drawPixmap(0, 0, picture_.at(size(), devicePixelRatioF()));
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(event);
    }

private:
    look::SharpPicture picture_;
};
