#include "app/MainWindow.h"

#include "app/BackgroundJob.h"
#include "app/frmmenu.h"

#include <QCloseEvent>
#include <QMenuBar>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), client_(new frmmenu(this))
{
    setObjectName(QStringLiteral("fenetre"));
    setCentralWidget(client_);
    commands::fillMenuBar(*menuBar(), client_->commandMenus());
    menuBar()->setAccessibleName(QStringLiteral("Barre des menus"));
    setWindowTitle(client_->windowTitle());
    setWindowIcon(client_->windowIcon());
    connect(client_, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    setFixedSize(client_->width(), client_->height() + menuBar()->sizeHint().height());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    BackgroundJob::cancel(*this);
    QMainWindow::closeEvent(event);
}
