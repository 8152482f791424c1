// The floor for any Qt program: one frameless 188 x 240 window that fills itself with one colour.
#include <QApplication>
#include <QPainter>
#include <QWidget>

class Floor final : public QWidget {
public:
    Floor()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
        setWindowTitle("gridlark-floor");
        resize(188, 240);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(40, 110, 170));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Floor window;
    window.show();
    return app.exec();
}
