// An empty window the size of the shop's main menu, ending as soon as it has
// been painted once: what Qt itself costs to start. With --label the window
// shows one line of text, which is what it costs Qt to start its fonts.

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    auto* client = new QWidget(&window);
    client->setFixedSize(786, 516);
    window.setCentralWidget(client);
    if (QApplication::arguments().contains(QStringLiteral("--label")))
        (new QLabel(QStringLiteral("The Plimbo Shop"), client))->move(10, 10);
    new QuitAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
