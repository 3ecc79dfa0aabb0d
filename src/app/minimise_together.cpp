#include "minimise_together.h"

#include <QEvent>

namespace morvantide {

MinimiseTogether::MinimiseTogether(QWidget* modal) : QObject(modal), modal_(modal) {
    modal_->installEventFilter(this);
}

void MinimiseTogether::followOwner() {
    QWidget* owner = modal_->parentWidget() ? modal_->parentWidget()->window() : nullptr;
    if (owner == owner_)
        return;
    if (owner_ != nullptr)
        owner_->removeEventFilter(this);
    owner_ = owner;
    if (owner_ != nullptr)
        owner_->installEventFilter(this);
}

bool MinimiseTogether::eventFilter(QObject* watched, QEvent* event) {
    if (watched == modal_ && event->type() == QEvent::Show)
        followOwner();
    if (event->type() != QEvent::WindowStateChange || owner_ == nullptr || !modal_->isVisible())
        return false;
    const bool minimised = static_cast<QWidget*>(watched)->isMinimized();
    QWidget* other = watched == modal_ ? owner_.data() : modal_;
    if (other->isMinimized() == minimised)
        return false;
    if (minimised) {
        other->setWindowState(other->windowState() | Qt::WindowMinimized);
    } else {
        // A maximised owner comes back maximised; the modal window comes back on top, with the
        // focus.
        other->setWindowState(other->windowState() & ~Qt::WindowMinimized);
        modal_->raise();
        modal_->activateWindow();
    }
    return false;
}

} // namespace morvantide
