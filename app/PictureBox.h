#pragma once
// An image control: a picture drawn on the window's surface that reports a
// left click (the exit picture ends the program on it).

#include <QLabel>
#include <QMouseEvent>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(event);
    }
};
