// The baseline for the start-up benchmark: an empty 800 x 530 main window
// with the trainer's style and title, and nothing else.

#include "app/startup.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyTrainerStyle();
    QMainWindow window;
    window.resize(800, 530);
    window.setWindowTitle(QStringLiteral("Pondrel - Skarvel"));
    window.show();
    return app.exec();
}
