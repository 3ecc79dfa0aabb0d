#pragma once

#include <QPlainTextEdit>
#include <string>

namespace morvantide {

// A side's column of moves: read-only text that the user may select and scroll, each move
// written at its end.
class MoveColumn : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MoveColumn(QWidget* parent);

    // Writes at the end, whatever the caret or selection, and keeps it in view.
    void appendMove(const std::string& text);
};

} // namespace morvantide
