#include "flat_button.h"

namespace morvantide {

FlatButton::FlatButton(const QString& text, QWidget* parent) : QToolButton(parent) {
    setText(text);
    setAccessibleName(text);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

} // namespace morvantide
