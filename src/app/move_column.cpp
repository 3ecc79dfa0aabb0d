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

void MoveColumn::showMoves(const std::vector<std::string>& moves) {
    if (moves.size() < shownMoves_) {
        clear();
        shownMoves_ = 0;
    }
    if (moves.size() == shownMoves_)
        return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    for (; shownMoves_ < moves.size(); ++shownMoves_)
        end.insertText(QString::fromStdString(moves[shownMoves_]));
    setTextCursor(end);
    ensureCursorVisible();
}

} // namespace morvantide
