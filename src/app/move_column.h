#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace morvantide {

// A side's column of moves: read-only text that the user may select and scroll, each move
// written at its end.
class MoveColumn : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MoveColumn(QWidget* parent);

    // Shows a side's record: the moves not shown yet are written at the end, whatever the caret
    // or selection, and kept in view; a shorter record (a new game, an opened one) starts the
    // column afresh.
    void showMoves(const std::vector<std::string>& moves);

private:
    std::size_t shownMoves_ = 0;
};

} // namespace morvantide
