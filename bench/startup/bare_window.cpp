// The yardstick of the start-up benchmark: what Qt itself needs to show a window of the main
// window's size with one label, and nothing else.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(630, 386);
    QLabel label(QStringLiteral("Шахматы"), &window);
    label.move(16, 16);
    window.show();
    return application.exec();
}
