// The floors for any Qt program: one frameless 188 x 240 window that fills itself with one
// colour; with the argument "text", the same window with one line of text in the design's font
// (what every program that shows text pays for: font matching, loading and shaping).
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstring>

class Floor final : public QWidget {
public:
    explicit Floor(bool text)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
        , text_(text) {
        setWindowTitle("gridlark-floor");
        resize(188, 240);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 110, 170));
        if (!text_) return;
        QFont font("MS Sans Serif");
        font.setPixelSize(11);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(8, 190, 172, 20), Qt::AlignLeft | Qt::AlignTop, "X's turn");
    }

private:
    bool text_;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The same faces Gridlark stands in for the design's.
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    Floor window(argc > 1 && std::strcmp(argv[1], "text") == 0);
    window.show();
    return app.exec();
}
