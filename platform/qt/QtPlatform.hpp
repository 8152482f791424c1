// The Qt 6 Widgets backend: one frameless QWidget per loaded form.
#pragma once

#include "platform/Backend.hpp"

#include <QFont>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QWidget>

class QAbstractButton;

#include <map>
#include <optional>
#include <string>

namespace tk::qt {

class QtTimers final : public QObject, public TimerTable {
protected:
    bool startNative(int id, int intervalMs) override;
    void stopNative(int id) override;
    void timerEvent(QTimerEvent* event) override;

private:
    std::map<int, int> qtIds_; // the table's ids by Qt's
};

class QtPlatform final : public Backend {
public:
    explicit QtPlatform(std::string_view program);
    ~QtPlatform() override;

    std::unique_ptr<NativeWindow> createWindow(const WindowTraits& traits,
                                               WindowHost& host) override;
    SizePx measureText(const Font& font, std::string_view text) override;
    bool hasGlyphs(const Font& font, std::string_view text) override;
    SizePx screenSize() override;
    void messageBox(const msgbox::Request& request,
                    std::function<void(msgbox::Answer)> answered) override;
    TimerService& timers() override { return timers_; }
    bool openAddress(std::string_view address) override;
    int exec() override;
    void quit(int code) override;
    void post(std::function<void()> call) override; // a queued call

    const QFont& qfont(const Font& font) const;
    const QPixmap& picture(const PictureChoice& picture);

private:
    void watchScreens();

    QtTimers timers_;
    QHash<QString, QPixmap> pictures_;
    mutable QHash<QString, QFont> fonts_;
    QHash<QString, bool> glyphs_; // by font and text
    bool noFontsSaid_ = false;
    std::string program_; // begins what is said on standard error
    SizePx lastScreen_{};
};

// The window of one form, while its form is loaded.
class FormWindow final : public QWidget {
public:
    FormWindow(QtPlatform& platform, const WindowTraits& traits, WindowHost& host);

    WindowHost& host() const { return host_; }
    QWidget* child(int id) const;
    int idOf(const QWidget* child) const; // -1 for none of ours
    void sync(const NativeChild& child);
    // The state the window system last reported, which a refused request leaves as it was.
    WindowState reportedState() const { return reportedState_; }
    void watchWindowSystem();
    // The core's changes go to assistive technology once the event at hand is handled.
    void accessibleChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void adopt(QAbstractButton* button, int id);

    QtPlatform& platform_;
    WindowHost& host_;
    std::map<int, QWidget*> children_;
    std::map<int, QColor> checkBoxBacks_; // laid down under each visible check box
    WindowState reportedState_ = WindowState::Normal;
    bool changesDue_ = false;
};

// A form's window as the core holds it, which hands its widget to code that knows this backend.
class NativeFormWindow : public NativeWindow {
public:
    virtual FormWindow& widget() const = 0;
};

MouseButton toButton(Qt::MouseButton button);
MouseButton toButtons(Qt::MouseButtons buttons);
int toShift(Qt::KeyboardModifiers modifiers);

} // namespace tk::qt
