#pragma once

#include "morvantide/slot.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>

namespace morvantide {

// A picture control that draws its bitmap unscaled at its top-left corner, leaving out the
// bitmap's key colour (the colour of its bottom-left pixel), and reports the mouse. After a
// press, Qt's implicit grab sends the moves and the release of that press here even when the
// mouse has left the picture.
class PiecePicture : public QWidget {
    Q_OBJECT
public:
    PiecePicture(const QString& picturePath, Slot slot, QWidget* parent);

    // The piece this picture shows.
    Slot slot() const { return slot_; }

signals:
    // Points are in the picture's own coordinates.
    void pressed(QPoint pos);
    void moved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    Slot slot_;
};

// The board picture, and the same board with its margin naming the files h to a and the ranks
// 1 to 8 from the top, for the flipped view; both have a double-size twin.
inline const QString kBoardPicture = QStringLiteral(":/images/board.png");
inline const QString kFlippedBoardPicture = QStringLiteral(":/images/board-flipped.png");

// Loads a picture from the resources, the double-size one on a high-density screen, with the
// colour of its bottom-left pixel made transparent when `keyed`.
QPixmap LoadPicture(const QString& path, bool keyed);

// Decodes the pictures at `paths` for LoadPicture() to take instead of reading them again. May
// run on another thread, even before the application object exists, as long as it has ended
// before the first LoadPicture() call.
void DecodePicturesAhead(const QStringList& paths);

} // namespace morvantide
