#include "board_view.h"

#include "morvantide/piece_name.h"
#include "piece_picture.h"

#include <QLabel>

namespace morvantide {

namespace {

struct PieceLayout {
    const char* picture;
    int left, top, width, height;
    const char* hint;
};

// Design places of the 32 pictures, slot 1 first; the new game glides them onto their squares.
constexpr std::array<PieceLayout, kSlotCount> kPieceLayout = {{
    {"black-rook", 30, 30, 40, 40, "Тура"},       {"black-knight", 68, 30, 41, 40, "Лошадь"},
    {"black-bishop", 114, 30, 39, 40, "Офицер"},  {"black-queen", 152, 30, 39, 40, "Ферзь"},
    {"black-king", 189, 30, 41, 40, "Король"},    {"black-bishop", 235, 30, 40, 40, "Офицер"},
    {"black-knight", 273, 30, 40, 40, "Лошадь"},  {"black-rook", 311, 30, 40, 40, "Тура"},
    {"black-pawn", 30, 76, 40, 41, nullptr},      {"black-pawn", 68, 76, 41, 41, nullptr},
    {"black-pawn", 114, 76, 39, 41, nullptr},     {"black-pawn", 152, 76, 39, 41, nullptr},
    {"black-pawn", 189, 76, 41, 41, nullptr},     {"black-pawn", 235, 76, 40, 41, nullptr},
    {"black-pawn", 273, 76, 40, 41, nullptr},     {"black-pawn", 311, 76, 40, 41, nullptr},
    {"white-pawn", 30, 273, 40, 40, nullptr},     {"white-pawn", 76, 273, 41, 40, nullptr},
    {"white-pawn", 114, 273, 39, 40, nullptr},    {"white-pawn", 152, 273, 39, 40, nullptr},
    {"white-pawn", 189, 273, 41, 40, nullptr},    {"white-pawn", 227, 273, 40, 40, nullptr},
    {"white-pawn", 273, 273, 40, 40, nullptr},    {"white-pawn", 311, 273, 40, 40, nullptr},
    {"white-rook", 30, 311, 40, 40, "Тура"},      {"white-knight", 76, 311, 41, 40, "Лошадь"},
    {"white-bishop", 114, 311, 39, 40, "Офицер"}, {"white-queen", 152, 311, 39, 40, "Ферзь"},
    {"white-king", 189, 311, 41, 40, "Король"},   {"white-bishop", 235, 311, 41, 41, "Офицер"},
    {"white-knight", 273, 311, 40, 40, "Лошадь"}, {"white-rook", 311, 311, 40, 40, "Тура"},
}};

// Drawing order of the pictures at start, lowest first (the board lies below all of them).
constexpr std::array<int, kSlotCount> kPieceStackingAtStart = {
    9,  7,  5,  4,  6,  3,  8,  17, 31, 29, 28, 30, 32, 18, 19, 20,
    21, 22, 23, 24, 25, 26, 27, 1,  2,  10, 12, 11, 16, 15, 14, 13};

const PieceLayout& LayoutOf(Slot slot) {
    return kPieceLayout[std::size_t(slot.entry())];
}

} // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("boardView"));
    setCursor(Qt::PointingHandCursor);
    boardPicture_ = new QLabel(this);
    boardPicture_->setObjectName(QStringLiteral("imBoard1"));
    boardPicture_->setGeometry(0, 0, kBoardSize, kBoardSize);
    boardPicture_->setPixmap(LoadPicture(kBoardPicture, false));
    boardPicture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    boardPicture_->setAccessibleName(QStringLiteral("Шахматная доска"));
    buildPictures();
    shown_ = layoutPosition();
}

void BoardView::buildPictures() {
    for (Slot slot : AllSlots()) {
        const PieceLayout& layout = LayoutOf(slot);
        auto* picture = new PiecePicture(
            QStringLiteral(":/images/%1.png").arg(QLatin1String(layout.picture)), slot, this);
        picture->setObjectName(QStringLiteral("im%1").arg(slot.number()));
        picture->setGeometry(layout.left, layout.top, layout.width, layout.height);
        if (layout.hint)
            picture->setToolTip(QString::fromUtf8(layout.hint));
        connect(picture, &PiecePicture::pressed, this,
                [this, picture](QPoint pos) { press(picture, pos); });
        connect(picture, &PiecePicture::moved, this, &BoardView::dragStep);
        connect(picture, &PiecePicture::released, this, &BoardView::release);
        pictures_[std::size_t(slot.entry())] = picture;
    }
    for (int number : kPieceStackingAtStart)
        picture(Slot(number))->raise();
}

BoardMetrics BoardView::metrics() const {
    return {boardPicture_->x(), boardPicture_->width()};
}

Position BoardView::layoutPosition() const {
    Position position;
    for (Slot slot : AllSlots())
        position[slot] =
            PointOfPicture({LayoutOf(slot).left, LayoutOf(slot).top}, false, metrics());
    return position;
}

void BoardView::showPosition(const Position& position) {
    for (Slot slot : AllSlots())
        showPiece(slot, position[slot]);
}

void BoardView::showPiece(Slot slot, BoardPoint place) {
    shown_[slot] = place;
    const PicturePlace drawn = PicturePlaceFor(place, flipped_, metrics());
    picture(slot)->move(drawn.left, drawn.top);
    namePiece(slot, place);
}

void BoardView::setPieceShown(Slot slot, bool shown) {
    picture(slot)->setVisible(shown);
}

void BoardView::showAllPieces() {
    for (PiecePicture* picture : pictures_)
        picture->show();
}

// The margin's letters and digits name the files and ranks as the flipped pieces stand.
void BoardView::setFlipped(bool flipped) {
    flipped_ = flipped;
    boardPicture_->setPixmap(LoadPicture(flipped ? kFlippedBoardPicture : kBoardPicture, false));
}

// Each picture tells a screen reader which piece it shows and where that piece stands; a
// hidden picture's piece is off the board. A name is set only when it changes, so a drag step
// sends no needless events.
void BoardView::namePiece(Slot slot, BoardPoint place) {
    PiecePicture* named = picture(slot);
    const QString name =
        QString::fromStdString(PieceAccessibleName(slot, named->isHidden() ? BoardPoint{} : place));
    if (named->accessibleName() != name)
        named->setAccessibleName(name);
}

void BoardView::press(PiecePicture* pressed, QPoint pos) {
    emit pressReceived();
    const Slot slot = pressed->slot();
    drag_ = Drag{slot, shown_[slot], shown_[slot], pos};
    pressed->raise();
}

void BoardView::dragStep(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos) {
    // A piece moves only with the left button alone held, and only for the side to move.
    const bool leftAlone =
        buttons == Qt::LeftButton &&
        !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (!leftAlone || !drag_ || drag_->slot.colour() != sideToMove_)
        return;
    PiecePicture* dragged = picture(drag_->slot);
    dragged->move(dragged->pos() + pos - drag_->grab);
    drag_->at = PointOfPicture({dragged->x(), dragged->y()}, flipped_, metrics());
    namePiece(drag_->slot, drag_->at);
}

void BoardView::release() {
    if (!drag_)
        return;
    const Drag drag = *drag_;
    drag_.reset();
    keepInside(picture(drag.slot));
    emit pieceDropped(drag.slot, drag.from, drag.at);
}

// The dropped picture is pulled back so that part of it stays inside the client area, and is
// laid just above the board, below every other piece.
void BoardView::keepInside(PiecePicture* dropped) {
    const PicturePlace kept = ClampDroppedPicture({dropped->x(), dropped->y()}, width(), height());
    dropped->move(kept.left, kept.top);
    dropped->lower();
    if (boardPicture_->isVisible())
        boardPicture_->lower();
}

} // namespace morvantide
