#pragma once
// The program's top-level window: the menu bar above the client area, which
// is the window frmmenu, unchanged in size and look. The frame grows by the
// menu bar's height; the title is frmmenu's.

#include <QMainWindow>
#include <QStringList>

class frmmenu;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    frmmenu& client() const { return *client_; }
    // `arguments` as the program got them: a lone path is a forecast to open.
    void openFromCommandLine(const QStringList& arguments);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmmenu* client_;
};
