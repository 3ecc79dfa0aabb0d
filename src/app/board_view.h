#pragma once

#include "morvantide/board_geometry.h"
#include "morvantide/board_point.h"
#include "morvantide/position.h"
#include "morvantide/slot.h"

#include <QWidget>
#include <array>
#include <optional>

class QLabel;

namespace morvantide {

class PiecePicture;

// The board picture and the 32 piece pictures, in one layer that covers the window's client
// area, so a piece dragged anywhere in the window stays visible. The window lays its flat
// buttons and labels into the same layer, above the pieces.
//
// The view draws the position it is given and lets the side to move drag its pieces: each step
// moves the picture only, and the release reports the drop; the position itself changes only
// when the window shows a new one.
class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(QWidget* parent);

    // Where the pictures stand as the window is laid out, before the first new game.
    Position layoutPosition() const;

    // Draws every piece where the position puts it, flipped or not, and names each picture for
    // a screen reader. Whether a picture is shown is not changed.
    void showPosition(const Position& position);
    // Draws one piece at its place, as showPosition() does.
    void showPiece(Slot slot, BoardPoint place);
    // A hidden picture's piece has been taken.
    void setPieceShown(Slot slot, bool shown);
    void showAllPieces();

    // The board as Black sees it, its margin too; the next showPosition() draws the pieces so.
    void setFlipped(bool flipped);

    // Only this side's pieces follow the mouse.
    void setSideToMove(PieceColour side) { sideToMove_ = side; }

signals:
    // A piece has been pressed and its drag is about to begin.
    void pressReceived();
    // A pressed piece has been let go: `from` is its point when it was pressed, `dropped` the
    // point its picture was last dragged to (`from` when it never moved).
    void pieceDropped(morvantide::Slot slot, morvantide::BoardPoint from,
                      morvantide::BoardPoint dropped);

private:
    struct Drag {
        Slot slot;
        BoardPoint from;
        BoardPoint at;
        QPoint grab; // where the picture was pressed, in its own coordinates
    };

    void buildPictures();
    void press(PiecePicture* pressed, QPoint pos);
    void dragStep(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void release();
    void keepInside(PiecePicture* dropped);
    void namePiece(Slot slot, BoardPoint place);
    BoardMetrics metrics() const;

    QLabel* boardPicture_ = nullptr;
    PiecePicture* picture(Slot slot) const { return pictures_[std::size_t(slot.entry())]; }

    std::array<PiecePicture*, kSlotCount> pictures_{}; // slot 1 first
    Position shown_;
    bool flipped_ = false;
    PieceColour sideToMove_ = PieceColour::White;
    std::optional<Drag> drag_;
};

} // namespace morvantide
