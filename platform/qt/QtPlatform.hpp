// The Qt 6 Widgets backend: one frameless QWidget per loaded form.
#pragma once

#include "../Form.hpp"

#include <QFont>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QWidget>

#include <map>
#include <optional>

namespace tk::qt {

class QtTimers final : public QObject, public TimerService {
public:
    int start(int intervalMs, Tick tick) override;
    void stop(int id) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::map<int, Tick> ticks_;
};

class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    std::unique_ptr<NativeWindow> createWindow(Form& form) override;
    SizePx measureText(const Font& font, std::string_view text) override;
    int exec() override;
    void quit(int code) override;
    bool openAddress(std::string_view address) override;

    const QFont& qfont(const Font& font) const;
    const QPixmap& picture(std::string_view resource, qreal ratio);

protected:
    int nativeMessageBox(std::string_view prompt, int style, std::string_view title) override;
    TimerService& nativeTimers() override { return timers_; }
    SizePx nativeScreenSize() override;

private:
    QtTimers timers_;
    QHash<QString, QPixmap> pictures_;
    mutable QHash<QString, QFont> fonts_;
    SizePx lastScreen_{};
    bool running_ = false;
    std::optional<int> pendingExit_;
};

// The window of one form. Lives until the form unloads, then goes with deleteLater.
class FormWindow final : public QWidget {
public:
    FormWindow(QtPlatform& platform, Form& form);

    Form* form() const { return form_; }
    void detach() { form_ = nullptr; }
    QWidget* child(const Control& control) const;
    const Control* controlOf(const QWidget* child) const;
    void sync(const Control& control);
    // The state the window system last reported, which a refused request leaves as it was.
    int reportedState() const { return reportedState_; }
    void watchWindowSystem();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QtPlatform& platform_;
    Form* form_;
    std::map<const Control*, QWidget*> children_;
    int reportedState_ = state::Normal;
};

int toButton(Qt::MouseButton button);
int toButtons(Qt::MouseButtons buttons);
int toShift(Qt::KeyboardModifiers modifiers);

} // namespace tk::qt
