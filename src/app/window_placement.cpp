#include "window_placement.h"

#include "morvantide/settings.h"
#include "morvantide/settings_file.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <climits>
#include <optional>

namespace morvantide {

namespace {

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(INT_MAX, INT_MAX);
}

// Waits for the window's first exposure, when the window manager has put it at its default
// place, moves it along the set coordinate, and deletes itself.
class PlacementBesideDefault : public QObject {
public:
    PlacementBesideDefault(QWidget& window, std::optional<int> top, std::optional<int> left)
        : QObject(&window), window_(window), top_(top), left_(left) {
        window_.winId(); // makes the native window, to watch its first exposure
        window_.windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_.windowHandle() && event->type() == QEvent::Expose &&
            window_.windowHandle()->isExposed()) {
            window_.windowHandle()->removeEventFilter(this);
            place();
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The default place stands in for the missing coordinate as that coordinate's setting
    // would.
    void place() {
        const QSize screen = ScreenSize();
        const QRect outer = window_.frameGeometry();
        const int top = top_ ? *top_ : WindowTopFromSetting(outer.y(), screen.height());
        const int left = left_ ? *left_ : WindowLeftFromSetting(outer.x(), screen.width());
        window_.move(left, top);
    }

    QWidget& window_;
    std::optional<int> top_;
    std::optional<int> left_;
};

} // namespace

void PlaceWindowFromSettings(QWidget& window, const SettingsFile& settings) {
    if (!QGuiApplication::primaryScreen())
        return;
    const QSize screen = ScreenSize();
    std::optional<int> top;
    if (const std::optional<std::int32_t> value = settings.readInteger("Settings", "WindowTop"))
        top = WindowTopFromSetting(*value, screen.height());
    std::optional<int> left;
    if (const std::optional<std::int32_t> value = settings.readInteger("Settings", "WindowLeft"))
        left = WindowLeftFromSetting(*value, screen.width());

    if (top && left)
        window.move(*left, *top);
    else if (top || left)
        new PlacementBesideDefault(window, top, left);
}

} // namespace morvantide
