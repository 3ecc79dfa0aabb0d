#pragma once

#include "morvantide/board_point.h"
#include "morvantide/drop.h"
#include "morvantide/position.h"

#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace morvantide {

class AboutWindow;
class BoardView;
class ClipPlayer;
class FlatButton;
class MoveColumn;
class UserDialogs;

// The main window: the board, a move column for each side, the turn labels, the options and the
// file buttons. It wires each command to the core and shows the result; the game is the position
// table and the side to move, and the board view only draws the table.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(ClipPlayer& voice, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows a position: each piece stands where the position puts it and is on the board
    // exactly when it has a place there. The turn and the columns stay as they are. Open shows a
    // loaded game this way.
    void showPosition(const Position& position);

    static constexpr int kClientWidth = 630;
    static constexpr int kClientHeight = 386;

signals:
    // A new game has begun (the button, the window's first activation or the first press).
    void newGameStarted();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildBoard();
    void buildTurnLabels();
    void buildOptions();
    void buildColumns();
    void buildFileButtons();
    void setTabOrderOfControls();
    void updateRadioTabStops();

    // Commands.
    void startFirstGame();
    void startNewGame();
    void flipBoard();
    void switchVoice();
    void showAbout();
    void save();
    void open();

    // A move.
    void playDrop(Slot slot, BoardPoint from, BoardPoint dropped);
    void showCastlingRook(const DropResult& drop);
    void completeMove(const DropResult& drop);
    void showTurn();
    void speakClip(std::string_view name);
    void announceMove(const DropResult& drop);

    BoardView* board_ = nullptr;
    FlatButton* newGameButton_ = nullptr;
    FlatButton* aboutButton_ = nullptr;
    QCheckBox* flipBox_ = nullptr;
    QCheckBox* voiceBox_ = nullptr;
    QRadioButton* englishButton_ = nullptr;
    QRadioButton* russianButton_ = nullptr;
    QLabel* whiteTurn_ = nullptr;
    QLabel* blackTurn_ = nullptr;
    MoveColumn* whiteMoves_ = nullptr;
    MoveColumn* blackMoves_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    AboutWindow* aboutWindow_ = nullptr; // made the first time "?" is pressed

    // The game.
    Position position_;
    bool blackToMove_ = false;
    bool gameStarted_ = false;
    bool activated_ = false;

    ClipPlayer& voice_;
    UserDialogs& dialogs_;
    QString openDialogLastName_;
    QString saveDialogLastName_;
};

} // namespace morvantide
