#pragma once

#include "morvantide/board_geometry.h"
#include "morvantide/drop.h"
#include "morvantide/position.h"

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace morvantide {

class ClipPlayer;
class FlatButton;
class InstanceLock;
class PiecePicture;
class SettingsFile;
class TForm1;
class UserDialogs;

// The main window. Its handlers carry out the steps of each command and ask the core for
// every decision; the board state is the table `Positions` and the places of the pictures.
class TFrame : public QWidget {
    Q_OBJECT
public:
    TFrame(ClipPlayer& voice, UserDialogs& dialogs, QWidget* parent = nullptr);
    // `instanceLock` is this copy's part of the single-instance lock (null when it could not
    // be made); the window holds it until it is destroyed.
    TFrame(ClipPlayer& voice, UserDialogs& dialogs, std::unique_ptr<InstanceLock> instanceLock,
           QWidget* parent = nullptr);
    ~TFrame() override;

    // Shows a position: each piece stands where the table puts it and is on the board exactly
    // when the table gives it a place. The spare entry, the turn and the columns stay as they
    // are. Open shows a loaded game this way.
    void showPosition(const morvantide::Position& table);

    static constexpr int kClientWidth = 630;
    static constexpr int kClientHeight = 386;

signals:
    // A new game has begun (the button, or the window's first activation).
    void newGameStarted();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildBoardLayer();
    void buildOptions();
    void buildTurnLabels();
    void buildColumns();
    void buildFileButtons();
    void setTabOrderOfControls();
    void updateRadioTabStops();

    void FormCreate();
    void FormDestroy();
    void placeFromSettings();
    void placeBesideDefault();

    // Commands, as the controls run them.
    void sbResetClick();
    void cbInvertClick();
    void SpeedButton1Click();
    void Button1Click(); // Save
    void Button2Click(); // Open

    void imMouseDown(PiecePicture* sender, Qt::MouseButton button, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers, QPoint pos);
    void imMouseMove(PiecePicture* sender, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers, QPoint pos);
    void imMouseUp(PiecePicture* sender, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers, QPoint pos);
    void keepDroppedPictureInside(PiecePicture* picture);
    void CompleteMove(const DropResult& drop);
    void ShowTurn();
    void appendMoveText(QPlainTextEdit* column, const std::string& text);

    void PlacePieceImages(const morvantide::Position& table);
    void ReadPositionsFromImages(morvantide::Position& table) const;
    void namePiecePictures(const morvantide::Position& table) const;
    void CapturePiece(morvantide::Position& table, Slot slot);
    void SpeakClip(std::string_view name);
    void AnnounceMove(const DropResult& drop);

    // Controls, by their names on the window.
    QLabel* imBoard1 = nullptr;
    FlatButton* sbReset = nullptr;
    FlatButton* SpeedButton1 = nullptr;
    QCheckBox* cbInvert = nullptr;
    QCheckBox* sound = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    std::array<PiecePicture*, kSlotCount + 1> PieceImages{}; // by slot; [0] unused

    // Board state.
    morvantide::Position Positions{};
    int BoardLeft = 0;
    int BoardWidth = 0;
    bool BlackToMove = false;

    // Drag state.
    int DragSlot = 0;
    int FromX = 0;
    int FromY = 0;
    int DragOffsetX = 0;
    int DragOffsetY = 0;

    // The settings file and this copy's part of the single-instance lock, both held from
    // creation to destruction.
    std::unique_ptr<SettingsFile> IniFile;
    std::unique_ptr<InstanceLock> InstanceMutex;

    ClipPlayer& voice_;
    UserDialogs& dialogs_;
    TForm1* aboutWindow_ = nullptr; // made the first time "?" is pressed
    QWidget* graphics_ = nullptr;   // holds the board, pieces, labels and flat buttons
    bool activated_ = false;
    // A place with only one of its coordinates set waits for the window system's default
    // place to supply the other one.
    std::optional<int> pendingTop_;
    std::optional<int> pendingLeft_;
    QString openDialogLastName_;
    QString saveDialogLastName_;
};

} // namespace morvantide
