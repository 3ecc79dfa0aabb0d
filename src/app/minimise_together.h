#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace morvantide {

// Keeps a modal window and the window it belongs to (its parent's window, looked up whenever it
// is shown) minimised and restored together while the modal window is shown: minimising either
// minimises both, restoring either restores both. A modal window minimised alone would leave
// its owner refusing every click with nothing in sight to close. Lives as a child of the modal
// window; does nothing for a window without a parent.
class MinimiseTogether final : public QObject {
public:
    explicit MinimiseTogether(QWidget* modal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followOwner();

    QWidget* modal_;
    QPointer<QWidget> owner_;
};

} // namespace morvantide
