#include "main_window.h"

#include "about_window.h"
#include "board_view.h"
#include "flat_button.h"
#include "layout_fonts.h"
#include "morvantide/announcement.h"
#include "morvantide/new_game.h"
#include "morvantide/saved_game_file.h"
#include "move_column.h"
#include "user_dialogs.h"
#include "voice/clip_player.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QWindow>
#include <optional>

namespace morvantide {

namespace {

constexpr int kBorderResizeStep = 1 << 14;

const QColor kTurnColour(0, 128, 0);
const QColor kWaitColour(255, 0, 0);

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(ClipPlayer& voice, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), voice_(voice), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Frame"));
    setWindowTitle(QStringLiteral("Шахматы (альфа версия)"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(CourierBold(15));
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);

    buildBoard();
    buildTurnLabels();
    // The standard controls, each drawn over the ones made before it.
    buildOptions();
    buildColumns();
    buildFileButtons();
    setTabOrderOfControls();
    game_ = Game(board_->layoutPosition());
}

// The board and its pieces, with the flat buttons and the labels in the same layer above them;
// the standard controls always stay on top of that layer.
void MainWindow::buildBoard() {
    board_ = new BoardView(this);
    board_->setGeometry(0, 0, kClientWidth, kClientHeight);
    connect(board_, &BoardView::pressReceived, this, &MainWindow::startFirstGame);
    connect(board_, &BoardView::pieceDropped, this, &MainWindow::playDrop);

    newGameButton_ = new FlatButton(QStringLiteral("Новая игра"), board_);
    newGameButton_->setObjectName(QStringLiteral("sbReset"));
    newGameButton_->setGeometry(456, 70, 145, 27);
    newGameButton_->setFont(CourierBold(17));
    newGameButton_->setToolTip(QStringLiteral("Расставить фигуры на доске в исходное положение"));
    connect(newGameButton_, &FlatButton::clicked, this, &MainWindow::startNewGame);

    aboutButton_ = new FlatButton(QStringLiteral("?"), board_);
    aboutButton_->setObjectName(QStringLiteral("SpeedButton1"));
    aboutButton_->setGeometry(392, 8, 41, 41);
    aboutButton_->setFont(CourierBold(29));
    aboutButton_->setToolTip(QStringLiteral("О программе"));
    aboutButton_->setAccessibleName(QStringLiteral("О программе"));
    SetTextColour(aboutButton_, QColor(255, 255, 0));
    connect(aboutButton_, &FlatButton::clicked, this, &MainWindow::showAbout);
}

// The side names and the two turn indicators, between the New game button and "?".
void MainWindow::buildTurnLabels() {
    auto makeLabel = [this](const char* name, const QString& text, QPoint place, int pixelSize,
                            const QColor& colour) {
        auto* label = new QLabel(text, board_);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(CourierBold(pixelSize));
        label->move(place);
        SetTextColour(label, colour);
        label->adjustSize();
        return label;
    };
    whiteTurn_ = makeLabel("Label1", QStringLiteral("Ход"), {432, 146}, 16, kTurnColour);
    blackTurn_ = makeLabel("Label2", QStringLiteral("Ожидание"), {536, 144}, 15, kWaitColour);
    // A screen reader reads a label's text ("Ход", "Ожидание"); the description says only whose
    // label it is, so that the two never disagree about whose turn it is.
    whiteTurn_->setAccessibleDescription(QStringLiteral("Метка белых"));
    blackTurn_->setAccessibleDescription(QStringLiteral("Метка черных"));
    makeLabel("Label3", QStringLiteral("Белые"), {432, 120}, 17, palette().color(QPalette::Light));
    makeLabel("Label4", QStringLiteral("Черные"), {536, 120}, 17,
              palette().color(QPalette::ButtonText));
    aboutButton_->raise();
}

void MainWindow::buildOptions() {
    auto makeCheckBox = [this](const char* name, const QString& text, const QRect& geometry,
                               const QString& hint) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(geometry);
        box->setFont(CourierBold(15));
        box->setToolTip(hint);
        box->setCursor(Qt::ArrowCursor);
        return box;
    };
    flipBox_ = makeCheckBox("cbInvert", QStringLiteral("Перевернуть доску"), {440, 8, 177, 17},
                            QStringLiteral("При игре чёрными лучше перевернуть доску"));
    voiceBox_ = makeCheckBox("sound", QStringLiteral("Голос"), {440, 40, 137, 17},
                             QStringLiteral("Произношение ходов"));
    // Each runs whenever its box's ticked state changes, by mouse or by Space.
    connect(flipBox_, &QCheckBox::toggled, this, &MainWindow::flipBoard);
    connect(voiceBox_, &QCheckBox::toggled, this, &MainWindow::switchVoice);

    auto makeRadio = [this](const char* name, const QString& text, const QRect& geometry) {
        auto* radio = new QRadioButton(text, this);
        radio->setObjectName(QString::fromLatin1(name));
        radio->setGeometry(geometry);
        radio->setFont(CourierBold(15));
        radio->setCursor(Qt::ArrowCursor);
        return radio;
    };
    englishButton_ = makeRadio("RadioButton1", QStringLiteral("Английский"), {511, 32, 110, 17});
    russianButton_ = makeRadio("RadioButton2", QStringLiteral("Русский"), {511, 48, 90, 17});
    auto* language = new QButtonGroup(this);
    language->addButton(englishButton_);
    language->addButton(russianButton_);
    russianButton_->setChecked(true);
    connect(englishButton_, &QRadioButton::toggled, this, &MainWindow::updateRadioTabStops);
    updateRadioTabStops();
}

void MainWindow::buildColumns() {
    whiteMoves_ = new MoveColumn(this);
    whiteMoves_->setObjectName(QStringLiteral("Memo1"));
    whiteMoves_->setGeometry(431, 168, 74, 177);
    whiteMoves_->setAccessibleName(QStringLiteral("Ходы белых"));
    blackMoves_ = new MoveColumn(this);
    blackMoves_->setObjectName(QStringLiteral("Memo2"));
    blackMoves_->setGeometry(535, 168, 74, 177);
    blackMoves_->setAccessibleName(QStringLiteral("Ходы черных"));
}

void MainWindow::buildFileButtons() {
    auto makeButton = [this](const char* name, const QString& text, const QRect& geometry) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(geometry);
        button->setFont(LayoutFont("Arial", 12, true));
        button->setCursor(Qt::ArrowCursor);
        // Return and keypad Enter press the focused button, as Space does.
        button->setAutoDefault(true);
        return button;
    };
    openButton_ = makeButton("Button2", QStringLiteral("Открыть"), {432, 352, 75, 25});
    saveButton_ = makeButton("Button1", QStringLiteral("Сохранить"), {536, 352, 79, 25});
    connect(openButton_, &QPushButton::clicked, this, &MainWindow::open);
    connect(saveButton_, &QPushButton::clicked, this, &MainWindow::save);
}

void MainWindow::setTabOrderOfControls() {
    QWidget* tabOrder[] = {flipBox_,       whiteMoves_,    blackMoves_, voiceBox_,
                           englishButton_, russianButton_, openButton_, saveButton_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    flipBox_->setFocus();
}

// A radio button takes part in tabbing only while it is selected.
void MainWindow::updateRadioTabStops() {
    for (QRadioButton* radio : {englishButton_, russianButton_})
        radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

bool MainWindow::event(QEvent* event) {
    // The first activation starts the first game; closing a modal window, switching
    // applications or restoring the window activate it again and start nothing.
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        // Set only now: the window's own pointer makes Qt load the cursor theme, which the
        // first frame does not need; the pictures and labels carry theirs from the start.
        setCursor(Qt::PointingHandCursor);
        const bool handled = QWidget::event(event);
        startFirstGame();
        return handled;
    }
    return QWidget::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    // The border does not resize the window, yet maximising works: the window manager may change
    // the size only in steps larger than any screen, which maximising ignores. (Set on the
    // window itself: Qt does not pass a widget's steps on when it makes the window.)
    if (QWindow* window = windowHandle()) {
        window->setBaseSize(QSize(kClientWidth, kClientHeight));
        window->setSizeIncrement(QSize(kBorderResizeStep, kBorderResizeStep));
    }
    QWidget::showEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    // A window manager that resizes the window from its border anyway gets the size back;
    // maximising still enlarges it, and the controls keep their places. The board's layer
    // always covers the whole client area.
    QWidget::resizeEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) &&
        size() != QSize(kClientWidth, kClientHeight))
        resize(kClientWidth, kClientHeight);
    board_->resize(size());
}

// --- Commands ------------------------------------------------------------------------------

// The first game starts when the window is first activated, or with the first press on a piece
// where the window system never activates the window by itself.
void MainWindow::startFirstGame() {
    if (!gameStarted_)
        startNewGame();
}

void MainWindow::startNewGame() {
    gameStarted_ = true;
    speakClip("NEW");
    board_->showAllPieces();
    game_.startNew();
    showRecord();
    showTurn();
    for (int frame = 0; frame < kNewGameFrames; ++frame) {
        game_.glideFrame();
        board_->showPosition(game_.position());
        repaint();
    }
    game_.endGlide();
    board_->showPosition(game_.position());
}

void MainWindow::flipBoard() {
    board_->setFlipped(flipBox_->isChecked());
    board_->showPosition(game_.position());
}

// The pieces are drawn again where they stand, as the flip box does. Each time the voice is
// switched on, a box tells when it cannot be heard; play goes on without it.
void MainWindow::switchVoice() {
    board_->showPosition(game_.position());
    if (!voiceBox_->isChecked())
        return;
    if (const std::optional<QString> reason = voice_.unavailableReason())
        dialogs_.showMessage(this, VoiceUnavailableText(*reason));
}

void MainWindow::showAbout() {
    // Made on first use: the first frame does not need it.
    if (!aboutWindow_)
        aboutWindow_ = new AboutWindow(this);
    aboutWindow_->showModal();
}

void MainWindow::save() {
    const QString chosen =
        dialogs_.chooseSaveFile(this, QStringLiteral("(*.sav)"), saveDialogLastName_);
    if (chosen.isEmpty())
        return;
    saveDialogLastName_ = chosen;
    const std::string path = SavedGameFileName(chosen.toStdString());
    const IoError error = WriteFileReplacing(path, game_.savedText());
    if (error != IoError::None) {
        dialogs_.showFileError(this,
                               QString::fromStdString(IoErrorMessage(error)) + QLatin1Char('.'));
        return;
    }
    dialogs_.showMessage(this, QStringLiteral("Партия сохранена!"));
}

void MainWindow::open() {
    const QString chosen = dialogs_.chooseOpenFile(this, QStringLiteral("Сохраненная игра (*.sav)"),
                                                   openDialogLastName_);
    if (chosen.isEmpty())
        return;
    openDialogLastName_ = chosen;
    const SavedGameResult read = ReadSavedGameFile(chosen.toStdString());
    if (!read.ok()) {
        dialogs_.showFileError(this, QString::fromStdString(IoErrorMessage(read.error)) +
                                         QLatin1Char('.'));
        return;
    }
    game_.load(read.game);
    showGame();
    showRecord();
    // A short pause before the box, so the loaded position is seen on its own first.
    QThread::msleep(100);
    dialogs_.showMessage(this, QStringLiteral("Партия восстановлена!"));
}

void MainWindow::showGame() {
    for (Slot slot : AllSlots())
        board_->setPieceShown(slot, !game_.position()[slot].isOffBoard());
    board_->showPosition(game_.position());
}

void MainWindow::setUpPosition(const Position& position) {
    game_.setUp(position);
    showGame();
}

// --- A move --------------------------------------------------------------------------------

// The game decides everything a drop does; the window shows it step by step.
void MainWindow::playDrop(Slot slot, BoardPoint from, BoardPoint dropped) {
    const DropResult drop = game_.play(slot, from, dropped);
    if (drop.ownSquare) {
        board_->showPosition(game_.position());
        repaint();
        return;
    }
    if (drop.rook)
        showCastlingRook(drop);
    if (drop.captured)
        board_->setPieceShown(*drop.captured, false);
    completeMove(drop);
}

// While the castling clip plays the king stays where it was let go; then the rook jumps.
void MainWindow::showCastlingRook(const DropResult& drop) {
    speakClip("CASTLING");
    board_->showPiece(drop.rook->slot, game_.position()[drop.rook->slot]);
    repaint();
}

void MainWindow::completeMove(const DropResult& drop) {
    if (drop.turnPasses) {
        showTurn();
        showRecord();
    }
    // The mover on its target after a legal move, back on its square after an illegal one.
    board_->showPosition(game_.position());
    if (game_.sideToMove() == PieceColour::Black)
        dialogs_.showMessage(this, QStringLiteral("Я хожу"));
    repaint();
    announceMove(drop);
    if (drop.kingsTaken.black)
        dialogs_.showMessage(this, QStringLiteral("Белые победили!"));
    if (drop.kingsTaken.white)
        dialogs_.showMessage(this, QStringLiteral("Черные победили!"));
}

void MainWindow::showTurn() {
    const bool blackToMove = game_.sideToMove() == PieceColour::Black;
    SetTextColour(whiteTurn_, blackToMove ? kWaitColour : kTurnColour);
    SetTextColour(blackTurn_, blackToMove ? kTurnColour : kWaitColour);
    whiteTurn_->setText(blackToMove ? QStringLiteral("Ожидание") : QStringLiteral("Ход"));
    blackTurn_->setText(blackToMove ? QStringLiteral("Ход") : QStringLiteral("Ожидание"));
    whiteTurn_->adjustSize();
    blackTurn_->adjustSize();
    board_->setSideToMove(game_.sideToMove());
}

void MainWindow::showRecord() {
    whiteMoves_->showMoves(game_.moves(PieceColour::White));
    blackMoves_->showMoves(game_.moves(PieceColour::Black));
}

// --- Voice ---------------------------------------------------------------------------------

void MainWindow::speakClip(std::string_view name) {
    if (!voiceBox_->isChecked())
        return;
    voice_.playClip(QString::fromStdString(LocalisedClipName(name, englishButton_->isChecked())));
}

// The move's clips are one phrase, spoken without a pause between them.
void MainWindow::announceMove(const DropResult& drop) {
    if (!voiceBox_->isChecked())
        return;
    QStringList phrase;
    for (const std::string& clip : drop.clips)
        phrase << QString::fromStdString(LocalisedClipName(clip, englishButton_->isChecked()));
    voice_.playPhrase(phrase);
}

} // namespace morvantide
