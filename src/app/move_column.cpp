#include "move_column.h"

#include "layout_fonts.h"

#include <QTextCursor>

namespace morvantide {

MoveColumn::MoveColumn(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(LayoutFont("Bastarda", 16));
    QPalette blueText = palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        blueText.setColor(role, QColor(0, 0, 255));
    setPalette(blueText);
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCursor(Qt::ArrowCursor);
}

void MoveColumn::appendMove(const std::string& text) {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromStdString(text));
    setTextCursor(end);
    ensureCursorVisible();
}

} // namespace morvantide
