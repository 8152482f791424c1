#include "QtPlatform.hpp"

#include "QtAccessible.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QResource>
#include <QScreen>
#include <QThreadPool>
#include <QTimerEvent>
#include <QUrl>
#include <QWindow>

#include <dlfcn.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

static void initResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace tk::qt {

namespace {

QColor qcolour(Rgb c) {
    return {c.r, c.g, c.b};
}

std::uint32_t le(const QByteArray& bytes, qsizetype at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

// The artwork is an uncompressed 8-bit bitmap: its rows are copied as they are. Qt's image
// reader would first load every image plugin to ask whether it reads the file, which costs
// more than the picture itself; it still reads any other bitmap.
QPixmap bitmap(const QString& path) {
    const QByteArray b = QResource(path).uncompressedData();
    if (b.size() >= 54 && b.startsWith("BM") && le(b, 14, 4) >= 40 && le(b, 28, 2) == 8 &&
        le(b, 30, 4) == 0) {
        const auto width = static_cast<std::int32_t>(le(b, 18, 4));
        const auto height = static_cast<std::int32_t>(le(b, 22, 4));
        const qsizetype rows = std::abs(qsizetype{height}), stride = (qsizetype{width} + 3) & ~3;
        const qsizetype pixels = le(b, 10, 4), table = 14 + le(b, 14, 4);
        const qsizetype colours = le(b, 46, 4) ? le(b, 46, 4) : 256;
        if (width > 0 && rows > 0 && colours <= 256 && table + 4 * colours <= pixels &&
            pixels + stride * rows <= b.size()) {
            QImage image(width, static_cast<int>(rows), QImage::Format_Indexed8);
            if (image.isNull()) return QPixmap(path); // too large to hold
            QList<QRgb> palette;
            for (qsizetype i = 0; i < colours; ++i)
                palette.append(qRgb(static_cast<std::uint8_t>(b[table + 4 * i + 2]),
                                    static_cast<std::uint8_t>(b[table + 4 * i + 1]),
                                    static_cast<std::uint8_t>(b[table + 4 * i])));
            image.setColorTable(palette);
            for (qsizetype y = 0; y < rows; ++y) // bottom-up unless the height is negative
                std::memcpy(image.scanLine(static_cast<int>(y)),
                            b.constData() + pixels + stride * (height < 0 ? y : rows - 1 - y),
                            static_cast<std::size_t>(width));
            return QPixmap::fromImage(image);
        }
    }
    return QPixmap(path);
}

WindowState fromQt(Qt::WindowStates s) {
    if (s & Qt::WindowMinimized) return WindowState::Minimized;
    if (s & Qt::WindowMaximized) return WindowState::Maximized;
    return WindowState::Normal;
}

QString qstring(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

class QtCanvas final : public Canvas {
public:
    QtCanvas(QPainter& painter, QtPlatform& platform)
        : p_(painter)
        , platform_(platform) {}

    void fill(Rgb colour) override {
        const QPaintDevice* d = p_.device();
        p_.fillRect(QRectF(0, 0, d->width(), d->height()), qcolour(colour));
    }
    double ratio() const override { return p_.device()->devicePixelRatioF(); }
    void drawPicture(const PictureChoice& picture) override {
        p_.drawPixmap(0, 0, platform_.picture(picture));
    }
    void drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                  Align align) override {
        if (text.empty()) return;
        int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        flags |= align == Align::Center ? Qt::AlignHCenter : Qt::AlignLeft;
        p_.setFont(platform_.qfont(font));
        p_.setPen(qcolour(colour));
        p_.drawText(QRectF(box.x, box.y, box.width, box.height), flags, qstring(text));
    }
    void drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) override {
        p_.setPen(QPen(qcolour(colour), width, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void drawFrame(const RectPx& box, Rgb colour, int width) override {
        const double half = width / 2.0;
        p_.setPen(QPen(qcolour(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(QRectF(box.x + half, box.y + half, box.width - width, box.height - width));
    }
    void fillRect(const RectPx& box, Rgb colour) override {
        p_.fillRect(QRectF(box.x, box.y, box.width, box.height), qcolour(colour));
    }

private:
    QPainter& p_;
    QtPlatform& platform_;
};

class QtNativeWindow final : public NativeFormWindow {
public:
    QtNativeWindow(QtPlatform& platform, const WindowTraits& traits, WindowHost& host)
        : window_(std::make_unique<FormWindow>(platform, traits, host)) {}

    void show() override {
        window_->watchWindowSystem();
        window_->show();
        window_->raise();
        window_->activateWindow();
        if (QWidget* w = window_->child(window_->host().initialFocus()))
            w->setFocus(Qt::ActiveWindowFocusReason);
    }
    void hide() override { window_->hide(); }
    bool isVisible() const override { return window_->isVisible(); }
    PointPx position() const override { return {window_->x(), window_->y()}; }
    void move(PointPx p) override { window_->move(p.x, p.y); }
    WindowState windowState() const override {
        // A hidden window takes its state when it shows; until then the request is the state.
        if (window_->isVisible()) return window_->reportedState();
        return fromQt(window_->windowState());
    }
    void setWindowState(WindowState s) override {
        window_->setWindowState(s == WindowState::Minimized   ? Qt::WindowMinimized
                                : s == WindowState::Maximized ? Qt::WindowMaximized
                                                              : Qt::WindowNoState);
    }
    void invalidate() override { window_->update(); }
    void invalidate(const RectPx& a) override {
        window_->update(QRectF(a.x, a.y, a.width, a.height).toAlignedRect());
    }
    void syncChild(const NativeChild& child) override { window_->sync(child); }
    FormWindow& widget() const override { return *window_; }
    void setFocus(int id) override {
        if (QWidget* child = window_->child(id))
            child->setFocus(Qt::TabFocusReason);
        else
            window_->setFocus(Qt::TabFocusReason); // a painted control: the window itself
    }
    void accessibleChanged() override { window_->accessibleChanged(); }

private:
    std::unique_ptr<FormWindow> window_;
};

} // namespace

bool QtTimers::startNative(int id, int intervalMs) {
    const int qtId = startTimer(intervalMs, Qt::PreciseTimer);
    if (qtId > 0) qtIds_[qtId] = id;
    return qtId > 0;
}

void QtTimers::stopNative(int id) {
    const auto it = std::find_if(qtIds_.begin(), qtIds_.end(),
                                 [id](const auto& entry) { return entry.second == id; });
    if (it == qtIds_.end()) return;
    killTimer(it->first);
    qtIds_.erase(it);
}

void QtTimers::timerEvent(QTimerEvent* event) {
    if (const auto it = qtIds_.find(event->timerId()); it != qtIds_.end()) fire(it->second);
}

QtPlatform::QtPlatform(std::string_view program)
    : program_(program) {
    initResources();
    QApplication::setQuitOnLastWindowClosed(false); // the core decides when the program ends
    // Qt paints large areas on pooled threads; idle ones would wake up 30 s later to end.
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    installAccessibility();
    watchScreens();
}

// Every form's window hears of it; the core decides where each goes.
void QtPlatform::watchScreens() {
    const auto changed = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = dynamic_cast<FormWindow*>(w)) form->host().screenChanged();
    };
    const auto watch = [this, changed](const QScreen* screen) {
        QObject::connect(screen, &QScreen::geometryChanged, &timers_, changed);
        QObject::connect(screen, &QScreen::availableGeometryChanged, &timers_, changed);
    };
    for (const QScreen* screen : QGuiApplication::screens())
        watch(screen);
    QObject::connect(qApp, &QGuiApplication::screenAdded, &timers_, watch);
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, &timers_, changed);
}

QtPlatform::~QtPlatform() = default;

std::unique_ptr<NativeWindow> QtPlatform::createWindow(const WindowTraits& traits,
                                                       WindowHost& host) {
    return std::make_unique<QtNativeWindow>(*this, traits, host);
}

const QFont& QtPlatform::qfont(const Font& font) const {
    // Built once per font: constructing and matching a QFont on every paint costs.
    const QString key = qstring(font.name) + '/' + qstring(font.fallback) +
                        QString::number(font.pixelSize()) + (font.bold ? "b" : "") +
                        (font.underline ? "u" : "");
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        QFont f(qstring(font.name));
        if (!font.fallback.empty())
            f.setFamilies(QStringList{qstring(font.name)} + qstring(font.fallback).split(", "));
        f.setStyleHint(QFont::SansSerif);
        f.setPixelSize(font.pixelSize());
        f.setBold(font.bold);
        f.setUnderline(font.underline);
        it = fonts_.insert(key, f);
    }
    return *it;
}

SizePx QtPlatform::measureText(const Font& font, std::string_view text) {
    const QFontMetrics metrics(qfont(font));
    return {metrics.horizontalAdvance(qstring(text)), metrics.height()};
}

bool QtPlatform::hasGlyphs(const Font& font, std::string_view text) {
    const QString key =
        qstring(font.name) + QString::number(font.pixelSize()) + '/' + qstring(text);
    auto it = glyphs_.find(key);
    if (it == glyphs_.end()) {
        const QFontMetrics metrics(qfont(font));
        bool all = true;
        for (const char32_t c : qstring(text).toUcs4())
            all = all && metrics.inFontUcs4(c);
        it = glyphs_.insert(key, all);
        if (!all && !noFontsSaid_) {
            noFontsSaid_ = true;
            std::fprintf(stderr,
                         "%.*s found no font with the letters it shows (are fonts installed, "
                         "and known to fontconfig?): texts show as boxes, and the marks are "
                         "drawn as lines.\n",
                         static_cast<int>(program_.size()), program_.data());
        }
    }
    return *it;
}

const QPixmap& QtPlatform::picture(const PictureChoice& picture) {
    const QString name = qstring(picture.name);
    auto it = pictures_.find(name);
    if (it == pictures_.end()) {
        QPixmap pixmap = bitmap(":/pictures/" + name + ".bmp");
        pixmap.setDevicePixelRatio(picture.density);
        it = pictures_.insert(name, pixmap);
    }
    return *it;
}

int QtPlatform::exec() {
    return QApplication::exec();
}

void QtPlatform::post(std::function<void()> call) {
    QMetaObject::invokeMethod(&timers_, std::move(call), Qt::QueuedConnection);
}

void QtPlatform::quit(int code) {
    QCoreApplication::exit(code);
}

bool QtPlatform::openAddress(std::string_view address) {
    // Qt hands the address to the desktop's opener as one argument, never through a shell.
    const QUrl url(qstring(address), QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void QtPlatform::messageBox(const msgbox::Request& request,
                            std::function<void(msgbox::Answer)> answered) {
    QMessageBox box;
    box.setWindowTitle(qstring(request.title));
    box.setText(qstring(request.prompt).replace("\r\n", "\n"));
    if (request.style.icon == msgbox::Icon::Information) box.setIcon(QMessageBox::Information);
    const auto standard = [](msgbox::Answer a) {
        return a == msgbox::Answer::Yes ? QMessageBox::Yes : QMessageBox::No;
    };
    QMessageBox::StandardButtons set;
    for (msgbox::Answer a : request.answers)
        set |= standard(a);
    box.setStandardButtons(set);
    box.setDefaultButton(standard(request.answers.front()));
    box.setEscapeButton(standard(request.escape()));
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    msgbox::Answer answer = request.escape();
    for (msgbox::Answer a : request.answers)
        if (standard(a) == pressed) answer = a;
    answered(answer);
}

SizePx QtPlatform::screenSize() {
    // While the last screen is gone (a monitor unplugged), keep to the one there was.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        lastScreen_ = {screen->geometry().width(), screen->geometry().height()};
    return lastScreen_;
}

FormWindow::FormWindow(QtPlatform& platform, const WindowTraits& traits, WindowHost& host)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , platform_(platform)
    , host_(host) {
    if (!traits.showInTaskbar) setWindowFlag(Qt::Tool);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(qstring(traits.title));
    setFixedSize(traits.client.width, traits.client.height);
    if (traits.blankIcon) {
        // Every pixel transparent, made here: reading the .ico would load an image plugin.
        QIcon icon;
        for (int size : {16, 32, 48}) {
            QPixmap blank(size, size);
            blank.fill(Qt::transparent);
            icon.addPixmap(blank);
        }
        setWindowIcon(icon);
    }
}

QWidget* FormWindow::child(int id) const {
    const auto it = children_.find(id);
    return it == children_.end() ? nullptr : it->second;
}

int FormWindow::idOf(const QWidget* child) const {
    for (const auto& [id, widget] : children_)
        if (widget == child) return id;
    return -1;
}

void FormWindow::adopt(QAbstractButton* button, int id) {
    children_[id] = button;
    button->installEventFilter(this); // its focus, which a click gives it
    connect(button, &QAbstractButton::clicked, this, [this, id] { host_.childClicked(id); });
}

void FormWindow::sync(const NativeChild& c) {
    QWidget* w = child(c.id);
    switch (c.kind) {
    case NativeChild::Kind::PushButton: {
        auto* button = qobject_cast<QPushButton*>(w);
        if (!button) {
            button = new QPushButton(this); // owned by this window
            button->setAutoDefault(true);   // Enter presses the focused button, as on Windows
            adopt(button, c.id);
            w = button;
        }
        button->setText(qstring(c.caption));
        button->setFont(platform_.qfont(c.font));
        // A standard push button does not paint its background colour.
        break;
    }
    case NativeChild::Kind::CheckBox: {
        auto* box = qobject_cast<QCheckBox*>(w);
        if (!box) {
            box = new QCheckBox(this); // owned by this window
            adopt(box, c.id);
            w = box;
        }
        box->setText(qstring(c.caption));
        box->setFont(platform_.qfont(c.font));
        QPalette pal = box->palette();
        for (auto role : {QPalette::Window, QPalette::Button})
            pal.setColor(role, qcolour(c.back));
        for (auto role : {QPalette::WindowText, QPalette::ButtonText})
            pal.setColor(role, qcolour(c.fore));
        box->setPalette(pal);
        checkBoxBacks_[c.id] = qcolour(c.back);
        const QSignalBlocker quiet(box);
        box->setChecked(c.checked);
        break;
    }
    }
    w->setGeometry(c.position.x, c.position.y, c.size.width, c.size.height);
    w->setEnabled(c.enabled);
    w->setVisible(c.visible);
    if (!c.focusable) w->setFocusPolicy(Qt::NoFocus);
}

void FormWindow::watchWindowSystem() {
    if (QWindow* native = windowHandle()) {
        native->removeEventFilter(this);
        native->installEventFilter(this);
        return;
    }
    winId(); // makes the native window, which the window system reports on
    if (QWindow* native = windowHandle()) native->installEventFilter(this);
}

bool FormWindow::event(QEvent* event) {
    // A modal box took the mouse: its releases will not come here.
    if (event->type() == QEvent::WindowBlocked) host_.mouseCaptureLost();
    return QWidget::event(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched != windowHandle())
        if (const int id = idOf(qobject_cast<QWidget*>(watched)); id >= 0) host_.focusChanged(id);
    // Qt records a requested state at once; only the window system's own report is sent as a
    // spontaneous event to the native window.
    if (event->type() == QEvent::WindowStateChange && event->spontaneous() &&
        watched == windowHandle())
        reportedState_ = fromQt(windowHandle()->windowStates());
    return QWidget::eventFilter(watched, event);
}

void FormWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtCanvas canvas(painter, platform_);
    host_.paint(canvas);
    // A check box paints its own background colour. The box itself does not fill it (an opaque
    // child would punch a hole in this window's painting), so it is laid down here, under it.
    for (const auto& [id, back] : checkBoxBacks_)
        if (QWidget* w = child(id); w && w->isVisible()) painter.fillRect(w->geometry(), back);
}

MouseButton toButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::None; // buttons the handlers do not know
    }
}

MouseButton toButtons(Qt::MouseButtons buttons) {
    MouseButton mask = MouseButton::None;
    if (buttons & Qt::LeftButton) mask |= MouseButton::Left;
    if (buttons & Qt::RightButton) mask |= MouseButton::Right;
    if (buttons & Qt::MiddleButton) mask |= MouseButton::Middle;
    return mask;
}

int toShift(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier) mask |= keys::Shift;
    if (modifiers & Qt::ControlModifier) mask |= keys::Ctrl;
    if (modifiers & Qt::AltModifier) mask |= keys::Alt;
    return mask;
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    const MouseButton button = toButton(event->button());
    if (button == MouseButton::None) return;
    const QPointF p = event->position();
    host_.mouseDown(button, toShift(event->modifiers()), p.x(), p.y());
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    host_.mouseMove(toButtons(event->buttons()), toShift(event->modifiers()), p.x(), p.y());
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    const MouseButton button = toButton(event->button());
    if (button == MouseButton::None) return;
    const QPointF p = event->position();
    host_.mouseUp(button, toShift(event->modifiers()), p.x(), p.y());
}

// Arrives in place of the second press.
void FormWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const MouseButton button = toButton(event->button());
    if (button == MouseButton::None) return;
    const QPointF p = event->position();
    host_.doubleClick(button, toShift(event->modifiers()), p.x(), p.y());
}

namespace {

std::optional<Key> toKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: // the keypad's
        return Key::Enter;
    case Qt::Key_Space:
        return Key::Space;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    default:
        return std::nullopt;
    }
}

} // namespace

// Keys the window's children leave, and all keys while a painted control holds the focus.
void FormWindow::keyPressEvent(QKeyEvent* event) {
    const auto key = toKey(event->key());
    if (key && host_.keyDown(*key, toShift(event->modifiers()))) return;
    QWidget::keyPressEvent(event);
}

// Tab, from the window or any child: the core keeps the order.
bool FormWindow::focusNextPrevChild(bool next) {
    host_.keyDown(Key::Tab, next ? 0 : keys::Shift);
    return true;
}

void FormWindow::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // After Qt has told of the window itself, or a screen reader lands on a nameless object.
    QMetaObject::invokeMethod(
        this, [this] { focusReturned(*this); }, Qt::QueuedConnection);
}

void FormWindow::accessibleChanged() {
    if (changesDue_) return;
    changesDue_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            changesDue_ = false;
            forwardChanges(*this);
        },
        Qt::QueuedConnection);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->ignore(); // the unload hides and destroys the window
    host_.closeRequested();
}

} // namespace tk::qt

namespace {

// What Qt said about its platform plugins while the window system was being opened.
struct PluginReport {
    QByteArray program; // what each sentence begins with
    QByteArray display; // asked for, as the X plugin reports it
    bool waylandFailed = false;
    std::vector<QByteArray> missing;                           // asked for and not installed
    std::vector<std::pair<QByteArray, QByteArray>> unloadable; // found: name, folder
};
PluginReport report;

// Said in one line to the player, who gets exit status 1 and no core.
[[noreturn]] void refuse(const QByteArray& sentence) {
    std::fprintf(stderr, "%s %s\n", report.program.constData(), sentence.constData());
    std::fflush(stderr);
    std::_Exit(1);
}

// Qt takes any number here; zero, a negative, a huge or no number end in a crash or a window
// that never shows.
void checkScaleFactors() {
    const auto check = [](const char* variable, const QByteArray& text) {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0.1 || v > 10)
            refuse("cannot start: " + QByteArray(variable) + " is \"" + text +
                   "\", and it must be a number from 0.1 to 10.");
    };
    if (const QByteArray f = qgetenv("QT_SCALE_FACTOR"); !f.isEmpty()) check("QT_SCALE_FACTOR", f);
    // "2;1.5" or "name=2;other=1.5".
    for (const QByteArray& item : qgetenv("QT_SCREEN_SCALE_FACTORS").split(';'))
        if (!item.isEmpty()) check("QT_SCREEN_SCALE_FACTORS", item.mid(item.lastIndexOf('=') + 1));
}

// A game with its quit prompt holds about a dozen files open (measured: 10); with fewer, the
// prompt fails or freezes. Room to spare.
constexpr rlim_t kFilesNeeded = 32;

void checkFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= kFilesNeeded) return;
    if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= kFilesNeeded) {
        limit.rlim_cur = kFilesNeeded;
        if (setrlimit(RLIMIT_NOFILE, &limit) == 0) return;
    }
    refuse("cannot start: it needs " + QByteArray::number(quint64{kFilesNeeded}) +
           " open files and this process may have only " +
           QByteArray::number(quint64{limit.rlim_cur}) + " (ulimit -n).");
}

QByteArray quoted(const QString& message, int which) {
    const QStringList parts = message.split('"');
    return parts.size() > 2 * which + 1 ? parts[2 * which + 1].toLocal8Bit() : QByteArray();
}

// Why the dynamic linker refuses a plugin that Qt found: its own words.
QByteArray loadError(const QByteArray& name, QByteArray folder) {
    if (folder.isEmpty())
        folder = QLibraryInfo::path(QLibraryInfo::PluginsPath).toLocal8Bit() + "/platforms";
    const QByteArray file = folder + "/libq" + name + ".so";
    void* library = dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (library) {
        dlclose(library);
        return {};
    }
    const char* error = dlerror();
    return error ? QByteArray(error) : QByteArray("unknown");
}

void noDesktopSaid(const QString& fatal) {
    if (!report.display.isEmpty())
        refuse("needs a graphical desktop and could not open display \"" + report.display + "\".");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (report.waylandFailed && !wayland.isEmpty() && qgetenv("DISPLAY").isEmpty())
        refuse("needs a graphical desktop and could not open Wayland display \"" + wayland + "\".");
    for (const auto& [name, folder] : report.unloadable)
        if (const QByteArray cause = loadError(name, folder); !cause.isEmpty())
            refuse("could not load the platform plugin \"" + name + "\": " + cause + ".");
    if (!report.missing.empty() && report.unloadable.empty()) {
        const qsizetype at = fatal.indexOf("are: ");
        QByteArray list = at < 0 ? QByteArray() : fatal.mid(at + 5).trimmed().toLocal8Bit();
        if (list.endsWith('.')) list.chop(1);
        refuse("cannot use the platform \"" + report.missing.front() +
               "\": no such platform plugin is installed" +
               (list.isEmpty() ? QByteArray() : " (there are " + list + ")") + ".");
    }
    const QByteArray display = qgetenv("DISPLAY");
    if (!display.isEmpty())
        refuse("needs a graphical desktop and could not open display \"" + display + "\".");
    if (!wayland.isEmpty())
        refuse("needs a graphical desktop and could not open Wayland display \"" + wayland + "\".");
    refuse("needs a graphical desktop, and no display is set.");
}

// While the window system is being opened: Qt's account of a missing display or plugin is
// several lines that end in an abort and advice to reinstall. Say in one line what went wrong.
void noDesktop(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QByteArrayView category(context.category);
    if (type == QtFatalMsg) noDesktopSaid(message);
    if (category == "qt.qpa.xcb" && message.startsWith("could not connect to display"))
        report.display = message.mid(29).trimmed().toLocal8Bit();
    else if (category.startsWith("qt.qpa.wayland"))
        report.waylandFailed = true;
    else if (category == "qt.qpa.plugin" && message.startsWith("Could not find"))
        report.missing.push_back(quoted(message, 0));
    else if (category == "qt.qpa.plugin" && message.startsWith("Could not load"))
        report.unloadable.emplace_back(quoted(message, 0), quoted(message, 1));
    if (category.startsWith("qt.qpa.")) return; // told at the end, if it ends
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

QtMessageHandler ordinary = nullptr;

// A thread that cannot start leaves Qt waiting on it for ever (the session bus's, which the
// first window's accessibility opens): end with a sentence instead.
void noThreads(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("QThread::start: Thread creation error")) {
        const qsizetype open = message.indexOf('('), close = message.lastIndexOf(')');
        const QByteArray cause = open < 0 || close < open
                                     ? QByteArray("unknown")
                                     : message.mid(open + 1, close - open - 1).toLocal8Bit();
        refuse("cannot start a thread: " + cause + " (is ulimit -u or ulimit -v set too low?)");
    }
    ordinary(type, context, message);
}

} // namespace

int tk::runBackend(int argc, char** argv, std::string_view program,
                   const std::function<int(Backend&)>& body) {
    report.program = QByteArray(program.data(), static_cast<qsizetype>(program.size()));
    checkScaleFactors();
    checkFileLimit();
    // The forms place and move their own windows, which Wayland does not let a client do. No
    // invisible platform follows: a player would be left with a program that shows nothing.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    ordinary = qInstallMessageHandler(noDesktop);
    QApplication app(argc, argv);
    qInstallMessageHandler(noThreads);
    tk::qt::QtPlatform platform(program);
    return body(platform);
}
