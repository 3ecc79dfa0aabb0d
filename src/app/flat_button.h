#pragma once

#include <QToolButton>

namespace morvantide {

// A push button without a window of its own: it never takes the keyboard focus and shows
// its border only while the mouse is over it.
class FlatButton : public QToolButton {
    Q_OBJECT
public:
    FlatButton(const QString& text, QWidget* parent);
};

} // namespace morvantide
