// Test driver for the Qt backend: real Qt events into real widgets.
#include "platform/qt/QtPlatform.hpp"
#include "tests/support/Driver.hpp"
#include "tests/support/Wrapped.hpp"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <stdexcept>
#include <utility>

namespace tk::testing {

namespace {

Qt::MouseButton qtButton(int button) {
    switch (button) {
    case mouse::Left:
        return Qt::LeftButton;
    case mouse::Right:
        return Qt::RightButton;
    case mouse::Middle:
        return Qt::MiddleButton;
    case 8:
        return Qt::BackButton;
    case 16:
        return Qt::ForwardButton;
    default:
        return Qt::NoButton;
    }
}

Qt::MouseButtons qtButtons(int mask) {
    Qt::MouseButtons b;
    for (int bit : {mouse::Left, mouse::Right, mouse::Middle})
        if (mask & bit) b |= qtButton(bit);
    return b;
}

Qt::KeyboardModifiers qtModifiers(int shift) {
    Qt::KeyboardModifiers m;
    if (shift & keys::Shift) m |= Qt::ShiftModifier;
    if (shift & keys::Ctrl) m |= Qt::ControlModifier;
    if (shift & keys::Alt) m |= Qt::AltModifier;
    return m;
}

Qt::Key qtKey(Key key) {
    switch (key) {
    case Key::Enter:
        return Qt::Key_Return;
    case Key::Space:
        return Qt::Key_Space;
    case Key::Escape:
        return Qt::Key_Escape;
    case Key::Tab:
        return Qt::Key_Tab;
    case Key::Left:
        return Qt::Key_Left;
    case Key::Right:
        return Qt::Key_Right;
    case Key::Up:
        return Qt::Key_Up;
    case Key::Down:
        return Qt::Key_Down;
    case Key::Home:
        return Qt::Key_Home;
    case Key::End:
        return Qt::Key_End;
    }
    return Qt::Key_unknown;
}

Image toImage(const QImage& source) {
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    Image out{img.width(), img.height(), {}};
    out.pixels.reserve(static_cast<std::size_t>(img.width() * img.height()));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            out.pixels.push_back({static_cast<std::uint8_t>(qRed(p)),
                                  static_cast<std::uint8_t>(qGreen(p)),
                                  static_cast<std::uint8_t>(qBlue(p))});
        }
    return out;
}

std::string roleName(QAccessible::Role role) {
    static constexpr std::pair<QAccessible::Role, const char*> names[] = {
        {QAccessible::Window, "window"},      {QAccessible::AlertMessage, "alert"},
        {QAccessible::Table, "table"},        {QAccessible::Cell, "cell"},
        {QAccessible::Button, "button"},      {QAccessible::CheckBox, "check box"},
        {QAccessible::Link, "link"},          {QAccessible::StaticText, "text"},
        {QAccessible::Notification, "status"}};
    for (const auto& [r, name] : names)
        if (r == role) return name;
    return "role " + std::to_string(static_cast<int>(role));
}

void describe(QAccessibleInterface* object, std::vector<std::string>& out) {
    if (!object || !object->isValid()) return;
    QString name = object->text(QAccessible::Name);
    const QString value = object->text(QAccessible::Value);
    // A cell's name carries its mark, for screen readers that read a row by names.
    if (object->role() == QAccessible::Cell && name.endsWith(", " + value))
        name.chop(value.size() + 2);
    std::string line = roleName(object->role()) + ": " + name.toStdString();
    if (!value.isEmpty()) line += " = " + value.toStdString();
    if (object->state().checked) line += " (checked)";
    out.push_back(std::move(line));
    for (int i = 0; i < object->childCount(); ++i)
        describe(object->child(i), out);
}

class QtDriver final : public Driver {
public:
    void press(Form& form, int button, int shift, PointPx at) override {
        if (!form.loaded()) return;
        pressed_ = handle(form);
        QTest::mousePress(pressed_, qtButton(button), qtModifiers(shift), {at.x, at.y});
        QCoreApplication::processEvents(); // a window the press unloaded lingers for the release
    }
    void release(Form& form, int button, int shift, PointPx at) override {
        // A release goes where the press went, even if the press closed that window; otherwise
        // the window system would think the button is still down.
        QWindow* target = form.loaded() ? handle(form) : pressed_.data();
        if (!target && !QGuiApplication::topLevelWindows().isEmpty())
            target = QGuiApplication::topLevelWindows().front();
        if (!target) {
            QTestPrivate::qtestMouseButtons = Qt::NoButton;
            return;
        }
        QTest::mouseRelease(target, qtButton(button), qtModifiers(shift), {at.x, at.y});
        processEvents();
    }
    void move(Form& form, int buttons, PointPx at) override {
        QWidget* w = window(form);
        if (!w) return;
        const QPointF local(at.x, at.y);
        QMouseEvent event(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton,
                          qtButtons(buttons), Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    void doubleClick(Form& form, int button, PointPx at) override {
        if (!form.loaded()) return;
        QTest::mouseDClick(handle(form), qtButton(button), {}, {at.x, at.y});
        processEvents();
    }
    void clickControl(Form& form, std::string_view name) override {
        // Through the window, as a real click arrives: a modal box blocks it.
        QWidget* child = shown(form)->child(form.idOf(form.control<Control>(name)));
        const QPoint p = child->mapTo(shown(form), child->rect().center());
        QTest::mouseClick(handle(form), Qt::LeftButton, {}, p);
        processEvents();
    }
    void key(Form& form, Key key, int shift) override {
        QWidget* w = shown(form);
        QWidget* target = w->focusWidget() ? w->focusWidget() : w;
        // Shift+Tab arrives as Backtab, as the window system sends it.
        const Qt::Key k = key == Key::Tab && (shift & keys::Shift) ? Qt::Key_Backtab : qtKey(key);
        QTest::keyClick(target, k, qtModifiers(shift));
        processEvents();
    }
    std::string focusedControl(Form& form) override {
        qt::FormWindow* w = shown(form);
        const int id = w->idOf(w->focusWidget());
        return id < 0 ? std::string() : form.controls()[static_cast<std::size_t>(id)]->name();
    }
    void closeWindow(Form& form) override { shown(form)->close(); }
    bool inTaskbar(Form& form) override {
        return (shown(form)->windowFlags() & Qt::WindowType_Mask) == Qt::Window;
    }
    bool framed(Form& form) override {
        return !(shown(form)->windowFlags() & Qt::FramelessWindowHint);
    }
    SizePx clientSize(Form& form) override {
        const QSize s = shown(form)->size();
        return {s.width(), s.height()};
    }
    Image grab(Form& form) override { return toImage(shown(form)->grab().toImage()); }
    Image grabAt(Form& form, int ratio) override {
        QWidget* w = shown(form);
        QPixmap pixmap(w->size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        w->render(&pixmap);
        return toImage(pixmap.toImage());
    }
    Rgb controlBackground(Form& form, std::string_view name) override {
        // As the player sees it: the window with the control on it.
        qt::FormWindow* w = shown(form);
        const QRect r = w->child(form.idOf(form.control<Control>(name)))->geometry();
        const Image img = toImage(w->grab().toImage());
        const qreal ratio = w->devicePixelRatioF();
        return img.at(int((r.right() - 1) * ratio),
                      int((r.bottom() - 1) * ratio)); // clear of box and caption
    }
    void processEvents() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    void answerNextMessageBox(Key key, std::function<void()> meanwhile) override {
        // Looks for the box on a short timer, since it opens only once the click arrives.
        answerKey_ = key;
        meanwhile_ = std::move(meanwhile);
        seen_ = {};
        poll_.setInterval(5);
        poll_.callOnTimeout([this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            poll_.stop();
            poll_.disconnect();
            seen_ = {box->windowTitle().toStdString(),
                     box->text().toStdString(),
                     box->icon() == QMessageBox::Information,
                     {}};
            for (QAbstractButton* b : box->buttons())
                seen_.buttons.push_back(b->text().remove('&').toStdString());
            if (meanwhile_) std::exchange(meanwhile_, nullptr)();
            QTest::keyClick(box, qtKey(answerKey_));
        });
        poll_.start();
    }
    MessageBoxSeen lastMessageBox() const override { return seen_; }
    std::vector<std::string> accessibleView(Form& form) override {
        std::vector<std::string> out;
        describe(QAccessible::queryAccessibleInterface(shown(form)), out);
        return out;
    }

private:
    static qt::FormWindow* shown(Form& form) {
        if (!form.native()) throw std::logic_error("the form has no window");
        return window(form);
    }
    // Input for a form that is not loaded has no window to go to.
    static qt::FormWindow* window(Form& form) {
        auto* native = backendWindow<qt::NativeFormWindow>(form.native());
        return native ? &native->widget() : nullptr;
    }
    // The window system's side of the form: input goes in where the platform plugin puts it.
    static QWindow* handle(Form& form) {
        qt::FormWindow* w = shown(form);
        if (!w) return nullptr;
        w->winId();
        return w->windowHandle();
    }
    MessageBoxSeen seen_;
    QPointer<QWindow> pressed_;
    QTimer poll_;
    Key answerKey_ = Key::Escape;
    std::function<void()> meanwhile_;
};

} // namespace

std::unique_ptr<Driver> makeDriver(Platform&) {
    return std::make_unique<QtDriver>();
}

} // namespace tk::testing
