#pragma once

#include <QEvent>
#include <QObject>

namespace morvantide {

// While it exists, the whole application takes no mouse, wheel, key, shortcut, touch or tablet
// input: such events are swallowed, not queued, so input made meanwhile is lost rather than acted
// on later. Everything else (painting, timers) goes on. Lives on the stack of the code that
// blocks; needs the application object to exist.
class InputBlocker final : public QObject {
public:
    InputBlocker();
    ~InputBlocker() override;

    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace morvantide
