#include "app/MainWindow.h"

#include "app/BackgroundJob.h"
#include "app/frmmenu.h"

#include <QCloseEvent>
#include <QMenuBar>

#include <cstdio>

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

void MainWindow::openFromCommandLine(const QStringList& arguments)
{
    if (arguments.size() == 2)
        client_->openForecast(arguments[1]);
    else if (arguments.size() > 2)
        std::fprintf(stderr, "usage: %s [pronostic.torvanel]\n", qPrintable(arguments[0]));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!client_->mayClose()) {
        event->ignore();
        return;
    }
    BackgroundJob::cancel(*this);
    QMainWindow::closeEvent(event);
}
