#pragma once

#include "morvantide/game.h"

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
// file buttons. It hands each command to the game and shows what comes back; the board view
// draws the game's position and the columns show its record.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(ClipPlayer& voice, UserDialogs& dialogs, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 630;
    static constexpr int kClientHeight = 386;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The tests' way in: they set up a position without playing up to it.
    friend class AppTestSeam;

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

    // Shows the game: each piece stands where the position puts it and is on the board exactly
    // when it has a place there.
    void showGame();
    // Sets the game's position up and shows it; the turn and the columns stay as they are.
    void setUpPosition(const Position& position);

    // A move.
    void playDrop(Slot slot, BoardPoint from, BoardPoint dropped);
    void showCastlingRook(const DropResult& drop);
    void completeMove(const DropResult& drop);
    void showTurn();
    void showRecord();
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

    Game game_;
    bool gameStarted_ = false;
    bool activated_ = false;

    ClipPlayer& voice_;
    UserDialogs& dialogs_;
    QString openDialogLastName_;
    QString saveDialogLastName_;
};

} // namespace morvantide
