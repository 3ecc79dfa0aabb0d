#include "frame.h"

#include "about_window.h"
#include "flat_button.h"
#include "morvantide/announcement.h"
#include "morvantide/instance_lock.h"
#include "morvantide/new_game.h"
#include "morvantide/piece_name.h"
#include "morvantide/saved_game.h"
#include "morvantide/saved_game_file.h"
#include "morvantide/settings.h"
#include "morvantide/settings_file.h"
#include "morvantide/slot.h"
#include "piece_picture.h"
#include "user_dialogs.h"
#include "voice/clip_player.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <climits>

namespace morvantide {

namespace {

constexpr int kBorderResizeStep = 1 << 14;

const QColor kTurnColour(0, 128, 0);
const QColor kWaitColour(255, 0, 0);

// The installed font families, each named once whatever its foundries. Looked up here rather
// than one by one with QFontDatabase::hasFamily(), which asks fontconfig to resolve each name.
const QStringList& installedFamilies() {
    static const QStringList families = [] {
        QStringList names;
        for (QString family : QFontDatabase::families()) {
            // A family offered by several foundries is listed as "Family [foundry]".
            if (const qsizetype foundry = family.indexOf(QLatin1String(" [")); foundry >= 0)
                family.truncate(foundry);
            names.append(family);
        }
        return names;
    }();
    return families;
}

// A layout font. Where the layout's family is not installed, its installed stand-ins
// (the program's font substitutions) are named directly, in their order, which spares Qt a
// search through all faces for the nearest match of a missing family. Without stand-ins the
// layout's family is named and Qt finds the nearest face itself.
QFont layoutFont(const char* family, int pixelSize, bool bold) {
    static QHash<QString, QStringList> standIns;
    const QString name = QString::fromLatin1(family);
    auto known = standIns.constFind(name);
    if (known == standIns.constEnd()) {
        // The layout's own family first, where a machine has it.
        QStringList installed;
        for (const QString& face : QStringList{name} + QFont::substitutes(name))
            if (installedFamilies().contains(face, Qt::CaseInsensitive))
                installed.append(face);
        if (installed.isEmpty())
            installed.append(name);
        known = standIns.insert(name, installed);
    }
    QFont font;
    font.setFamilies(*known);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont courierBold(int pixelSize) {
    return layoutFont("Courier", pixelSize, true);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

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

} // namespace

TFrame::TFrame(ClipPlayer& voice, UserDialogs& dialogs, QWidget* parent)
    : TFrame(voice, dialogs, nullptr, parent) {}

TFrame::TFrame(ClipPlayer& voice, UserDialogs& dialogs, std::unique_ptr<InstanceLock> instanceLock,
               QWidget* parent)
    : QWidget(parent), InstanceMutex(std::move(instanceLock)), voice_(voice), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Frame"));
    setWindowTitle(QStringLiteral("Шахматы (альфа версия)"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(courierBold(15));
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);

    buildControls();
    FormCreate();
}

TFrame::~TFrame() {
    FormDestroy();
}

void TFrame::buildControls() {
    buildBoardLayer();
    buildTurnLabels();
    // The standard controls, each drawn over the ones made before it.
    buildOptions();
    buildColumns();
    buildFileButtons();
    setTabOrderOfControls();
}

// The board, pieces, labels and flat buttons have no window of their own: they share one layer
// below the standard controls, which always stay on top of them. The layer covers the client
// area, so a piece dragged anywhere in the window stays visible.
void TFrame::buildBoardLayer() {
    graphics_ = new QWidget(this);
    graphics_->setObjectName(QStringLiteral("graphics"));
    graphics_->setGeometry(0, 0, kClientWidth, kClientHeight);
    graphics_->setCursor(Qt::PointingHandCursor);

    imBoard1 = new QLabel(graphics_);
    imBoard1->setObjectName(QStringLiteral("imBoard1"));
    imBoard1->setGeometry(0, 0, 385, 385);
    imBoard1->setPixmap(loadPicture(QStringLiteral(":/images/board.png"), false));
    imBoard1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imBoard1->setAccessibleName(QStringLiteral("Шахматная доска"));

    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const PieceLayout& layout = kPieceLayout[slot - 1];
        auto* picture = new PiecePicture(
            QStringLiteral(":/images/%1.png").arg(QLatin1String(layout.picture)), graphics_);
        picture->setObjectName(QStringLiteral("im%1").arg(slot));
        picture->setGeometry(layout.left, layout.top, layout.width, layout.height);
        if (layout.hint)
            picture->setToolTip(QString::fromUtf8(layout.hint));
        connect(picture, &PiecePicture::mousePressed, this, &TFrame::imMouseDown);
        connect(picture, &PiecePicture::mouseMoved, this, &TFrame::imMouseMove);
        connect(picture, &PiecePicture::mouseReleased, this, &TFrame::imMouseUp);
        PieceImages[slot] = picture;
    }
    for (int slot : kPieceStackingAtStart)
        PieceImages[slot]->raise();

    sbReset = new FlatButton(QStringLiteral("Новая игра"), graphics_);
    sbReset->setObjectName(QStringLiteral("sbReset"));
    sbReset->setGeometry(456, 70, 145, 27);
    sbReset->setFont(courierBold(17));
    sbReset->setToolTip(QStringLiteral("Расставить фигуры на доске в исходное положение"));
    connect(sbReset, &FlatButton::clicked, this, &TFrame::sbResetClick);

    SpeedButton1 = new FlatButton(QStringLiteral("?"), graphics_);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(392, 8, 41, 41);
    SpeedButton1->setFont(courierBold(29));
    SpeedButton1->setToolTip(QStringLiteral("О программе"));
    setTextColour(SpeedButton1, QColor(255, 255, 0));
    connect(SpeedButton1, &FlatButton::clicked, this, &TFrame::SpeedButton1Click);
}

// The side names and the two turn indicators, in the layer between the New game button and
// the "?" button.
void TFrame::buildTurnLabels() {
    auto makeLabel = [this](const char* name, const QString& text, QPoint place, int pixelSize,
                            const QColor& colour) {
        auto* label = new QLabel(text, graphics_);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(courierBold(pixelSize));
        label->move(place);
        setTextColour(label, colour);
        label->adjustSize();
        return label;
    };
    Label1 = makeLabel("Label1", QStringLiteral("Ход"), {432, 146}, 16, kTurnColour);
    Label2 = makeLabel("Label2", QStringLiteral("Ожидание"), {536, 144}, 15, kWaitColour);
    Label3 = makeLabel("Label3", QStringLiteral("Белые"), {432, 120}, 17,
                       palette().color(QPalette::Light));
    Label4 = makeLabel("Label4", QStringLiteral("Черные"), {536, 120}, 17,
                       palette().color(QPalette::ButtonText));
    SpeedButton1->raise();
}

void TFrame::buildOptions() {
    auto makeCheckBox = [this](const char* name, const QString& text, const QRect& geometry,
                               const QString& hint) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(geometry);
        box->setFont(courierBold(15));
        box->setToolTip(hint);
        box->setCursor(Qt::ArrowCursor);
        // The handler runs whenever the ticked state changes, by mouse or by Space.
        connect(box, &QCheckBox::toggled, this, &TFrame::cbInvertClick);
        return box;
    };
    cbInvert = makeCheckBox("cbInvert", QStringLiteral("Перевернуть доску"), {440, 8, 177, 17},
                            QStringLiteral("При игре чёрными лучше перевернуть доску"));
    sound = makeCheckBox("sound", QStringLiteral("Голос"), {440, 40, 137, 17},
                         QStringLiteral("Произношение ходов"));

    auto makeRadio = [this](const char* name, const QString& text, const QRect& geometry) {
        auto* radio = new QRadioButton(text, this);
        radio->setObjectName(QString::fromLatin1(name));
        radio->setGeometry(geometry);
        radio->setFont(courierBold(15));
        radio->setCursor(Qt::ArrowCursor);
        return radio;
    };
    RadioButton1 = makeRadio("RadioButton1", QStringLiteral("Английский"), {511, 32, 110, 17});
    RadioButton2 = makeRadio("RadioButton2", QStringLiteral("Русский"), {511, 48, 90, 17});
    auto* language = new QButtonGroup(this);
    language->addButton(RadioButton1);
    language->addButton(RadioButton2);
    RadioButton2->setChecked(true);
    connect(RadioButton1, &QRadioButton::toggled, this, &TFrame::updateRadioTabStops);
    updateRadioTabStops();
}

void TFrame::buildColumns() {
    auto makeMemo = [this](const char* name, QPoint place) {
        auto* memo = new QPlainTextEdit(this);
        memo->setObjectName(QString::fromLatin1(name));
        memo->setGeometry(place.x(), place.y(), 74, 177);
        memo->setFont(layoutFont("Bastarda", 16, false));
        setTextColour(memo, QColor(0, 0, 255));
        memo->setReadOnly(true);
        memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        memo->setFocusPolicy(Qt::StrongFocus);
        memo->setTabChangesFocus(true);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setCursor(Qt::ArrowCursor);
        return memo;
    };
    Memo1 = makeMemo("Memo1", {431, 168});
    Memo2 = makeMemo("Memo2", {535, 168});
}

void TFrame::buildFileButtons() {
    auto makeButton = [this](const char* name, const QString& text, const QRect& geometry) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(geometry);
        button->setFont(layoutFont("Arial", 12, true));
        button->setCursor(Qt::ArrowCursor);
        // Return and keypad Enter press the focused button, as Space does.
        button->setAutoDefault(true);
        return button;
    };
    Button2 = makeButton("Button2", QStringLiteral("Открыть"), {432, 352, 75, 25});
    Button1 = makeButton("Button1", QStringLiteral("Сохранить"), {536, 352, 79, 25});
    connect(Button2, &QPushButton::clicked, this, &TFrame::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TFrame::Button1Click);
}

void TFrame::setTabOrderOfControls() {
    QWidget* tabOrder[] = {cbInvert,     Memo1,        Memo2,   sound,
                           RadioButton1, RadioButton2, Button2, Button1};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    cbInvert->setFocus();
}

// A radio button takes part in tabbing only while it is selected.
void TFrame::updateRadioTabStops() {
    for (QRadioButton* radio : {RadioButton1, RadioButton2})
        radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TFrame::FormCreate() {
    IniFile = std::make_unique<SettingsFile>(
        SettingsPathFor(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString()));

    DragSlot = 0;
    BoardLeft = imBoard1->x();
    BoardWidth = imBoard1->width();
    for (int slot = 1; slot <= kSlotCount; ++slot)
        PieceImages[slot]->Tag = slot;
    ReadPositionsFromImages(Positions);

    placeFromSettings();
}

void TFrame::FormDestroy() {
    IniFile.reset();
    InstanceMutex.reset();
}

// The top first, then the left, each against the primary screen's size; moving a window moves
// its outer frame and keeps its size.
//
// A missing key keeps the window system's default place for that coordinate. On X11 that place
// is chosen by the window manager when the window is first mapped, so it is unknown here. With
// both keys the window is moved before it is shown and appears where they say; with neither it
// is left alone. With one key the window is shown at its default place and, as soon as the
// window manager has put it there, moved along the set coordinate only.
void TFrame::placeFromSettings() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize screenSize = screen->geometry().size();
    std::optional<int> top;
    if (const std::optional<std::int32_t> value = IniFile->ReadInteger("Settings", "WindowTop"))
        top = WindowTopFromSetting(*value, screenSize.height());
    std::optional<int> left;
    if (const std::optional<std::int32_t> value = IniFile->ReadInteger("Settings", "WindowLeft"))
        left = WindowLeftFromSetting(*value, screenSize.width());

    if (top && left) {
        move(*left, *top);
    } else if (top || left) {
        pendingTop_ = top;
        pendingLeft_ = left;
        create();
        windowHandle()->installEventFilter(this);
    }
}

// The window is on the screen at the window system's default place, which stands in for the
// missing coordinate as that coordinate's setting would.
void TFrame::placeBesideDefault() {
    windowHandle()->removeEventFilter(this);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(INT_MAX, INT_MAX);
    const QRect outer = frameGeometry();
    const int top =
        pendingTop_ ? *pendingTop_ : WindowTopFromSetting(outer.y(), screenSize.height());
    const int left =
        pendingLeft_ ? *pendingLeft_ : WindowLeftFromSetting(outer.x(), screenSize.width());
    pendingTop_.reset();
    pendingLeft_.reset();
    move(left, top);
}

bool TFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed() && (pendingTop_ || pendingLeft_))
        placeBesideDefault();
    return QWidget::eventFilter(watched, event);
}

bool TFrame::event(QEvent* event) {
    // New game runs at the first activation only; closing a modal window, switching
    // applications or restoring the window activate it again and must not start a game.
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        // Set only now: the window's own pointer makes Qt load the cursor theme, which the
        // first frame does not need; the pictures and labels carry theirs from the start.
        setCursor(Qt::PointingHandCursor);
        const bool handled = QWidget::event(event);
        sbResetClick();
        return handled;
    }
    return QWidget::event(event);
}

void TFrame::showEvent(QShowEvent* event) {
    // The border does not resize the window, yet maximising works: the window manager may change
    // the size only in steps larger than any screen, which maximising ignores. (Set on the
    // window itself: Qt does not pass a widget's steps on when it makes the window.)
    if (QWindow* window = windowHandle()) {
        window->setBaseSize(QSize(kClientWidth, kClientHeight));
        window->setSizeIncrement(QSize(kBorderResizeStep, kBorderResizeStep));
    }
    QWidget::showEvent(event);
}

void TFrame::resizeEvent(QResizeEvent* event) {
    // A window manager that resizes the window from its border anyway gets the size back;
    // maximising still enlarges it, and the controls keep their places. The picture layer
    // always covers the whole client area.
    QWidget::resizeEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) &&
        size() != QSize(kClientWidth, kClientHeight))
        resize(kClientWidth, kClientHeight);
    graphics_->resize(size());
}

// --- The board and its pictures ------------------------------------------------------------

void TFrame::PlacePieceImages(const morvantide::Position& table) {
    const PicturePlaces places =
        PicturePlacesFor(table, cbInvert->isChecked(), {BoardLeft, BoardWidth});
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const PicturePlace& place = places[slot - 1];
        PieceImages[slot]->move(place.left, place.top);
    }
    namePiecePictures(table);
}

void TFrame::ReadPositionsFromImages(morvantide::Position& table) const {
    for (Slot slot : allSlots()) {
        const QWidget* picture = PieceImages[slot.number()];
        table[slot] = PointOfPicture({picture->x(), picture->y()}, cbInvert->isChecked(),
                                     {BoardLeft, BoardWidth});
    }
    namePiecePictures(table);
}

// Each picture tells a screen reader which piece it shows and where that piece stands; a
// hidden picture's piece is off the board.
void TFrame::namePiecePictures(const morvantide::Position& table) const {
    for (Slot slot : allSlots()) {
        PiecePicture* picture = PieceImages[slot.number()];
        const BoardPoint place = picture->isHidden() ? BoardPoint{} : table[slot];
        const QString name = QString::fromStdString(PieceAccessibleName(slot, place));
        if (picture->accessibleName() != name)
            picture->setAccessibleName(name);
    }
}

void TFrame::showPosition(const morvantide::Position& table) {
    Positions = table;
    for (Slot slot : allSlots())
        PieceImages[slot.number()]->setVisible(!Positions[slot].isOffBoard());
    PlacePieceImages(Positions);
}

void TFrame::CapturePiece(morvantide::Position& table, Slot slot) {
    if (!slot.isValid())
        return;
    PieceImages[slot.number()]->hide();
    table[slot] = {};
}

void TFrame::cbInvertClick() {
    PlacePieceImages(Positions);
}

void TFrame::ShowTurn() {
    setTextColour(Label1, BlackToMove ? kWaitColour : kTurnColour);
    setTextColour(Label2, BlackToMove ? kTurnColour : kWaitColour);
    Label1->setText(BlackToMove ? QStringLiteral("Ожидание") : QStringLiteral("Ход"));
    Label2->setText(BlackToMove ? QStringLiteral("Ход") : QStringLiteral("Ожидание"));
    Label1->adjustSize();
    Label2->adjustSize();
}

void TFrame::sbResetClick() {
    emit newGameStarted();
    SpeakClip("NEW");
    for (int slot = 1; slot <= kSlotCount; ++slot)
        PieceImages[slot]->show();
    Memo1->clear();
    Memo2->clear();
    BlackToMove = false;
    ShowTurn();
    for (int frame = 0; frame < kNewGameFrames; ++frame) {
        GlideTowardsInitialPositions(Positions);
        PlacePieceImages(Positions);
        repaint();
    }
    SetInitialPositions(Positions);
    PlacePieceImages(Positions);
}

void TFrame::SpeedButton1Click() {
    // Made on first use: the first frame does not need it.
    if (!aboutWindow_)
        aboutWindow_ = new TForm1(this);
    aboutWindow_->ShowModal();
}

// --- Voice ---------------------------------------------------------------------------------

void TFrame::SpeakClip(std::string_view name) {
    if (!sound->isChecked())
        return;
    voice_.playClip(QString::fromStdString(LocalisedClipName(name, RadioButton1->isChecked())));
}

void TFrame::AnnounceMove(const DropResult& drop) {
    for (const std::string& clip : drop.clips)
        SpeakClip(clip);
}

// --- A move --------------------------------------------------------------------------------

void TFrame::imMouseDown(PiecePicture* sender, Qt::MouseButton, Qt::MouseButtons,
                         Qt::KeyboardModifiers, QPoint pos) {
    DragSlot = sender->Tag;
    const BoardPoint from = Positions[Slot(DragSlot)];
    FromX = from.x;
    FromY = from.y;
    sender->raise();
    DragOffsetX = pos.x();
    DragOffsetY = pos.y();
}

void TFrame::imMouseMove(PiecePicture*, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                         QPoint pos) {
    // A piece moves only with the left button alone held, and only for the side to move.
    const bool leftAlone =
        buttons == Qt::LeftButton &&
        !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (!leftAlone || DragSlot <= 0)
        return;
    if (BlackToMove != (Slot(DragSlot).colour() == PieceColour::Black))
        return;
    PiecePicture* picture = PieceImages[DragSlot];
    picture->move(picture->x() + pos.x() - DragOffsetX, picture->y() + pos.y() - DragOffsetY);
    ReadPositionsFromImages(Positions);
}

void TFrame::imMouseUp(PiecePicture*, Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers,
                       QPoint) {
    if (DragSlot == 0)
        return;
    keepDroppedPictureInside(PieceImages[DragSlot]);
    const DropResult drop =
        PlayDrop(Positions, {Slot(DragSlot), {toInt16(FromX), toInt16(FromY)}, BlackToMove});

    if (drop.ownSquare) {
        Positions[Slot(DragSlot)] = drop.mover;
        PlacePieceImages(Positions);
        repaint();
        return;
    }
    if (drop.rook) {
        // The rook jumps to its square once the clip has ended.
        Positions[drop.rook->slot].x = drop.rook->newX;
        SpeakClip("CASTLING");
        PlacePieceImages(Positions);
        repaint();
    }
    if (drop.captured)
        CapturePiece(Positions, *drop.captured);
    CompleteMove(drop);
}

// The dropped picture is pulled back so that part of it stays inside the client area, and is
// laid just above the board, below every other piece.
void TFrame::keepDroppedPictureInside(PiecePicture* picture) {
    const PicturePlace kept = ClampDroppedPicture({picture->x(), picture->y()}, width(), height());
    picture->move(kept.left, kept.top);
    picture->lower();
    if (imBoard1->isVisible())
        imBoard1->lower();
}

void TFrame::appendMoveText(QPlainTextEdit* column, const std::string& text) {
    // Always at the end, whatever the caret or selection in the column, and kept in view.
    QTextCursor end(column->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromStdString(text));
    column->setTextCursor(end);
    column->ensureCursorVisible();
}

void TFrame::CompleteMove(const DropResult& drop) {
    if (drop.turnPasses) {
        QPlainTextEdit* column = BlackToMove ? Memo2 : Memo1;
        BlackToMove = drop.blackToMove;
        ShowTurn();
        appendMoveText(column, drop.moveText);
    }
    // On its target after a legal move, back on its square after an illegal one.
    Positions[Slot(DragSlot)] = drop.mover;
    PlacePieceImages(Positions);
    if (BlackToMove)
        dialogs_.showMessage(this, QStringLiteral("Я хожу"));
    DragSlot = 0;
    ReadPositionsFromImages(Positions);
    repaint();
    AnnounceMove(drop);
    if (drop.kingsTaken.black)
        dialogs_.showMessage(this, QStringLiteral("Белые победили!"));
    if (drop.kingsTaken.white)
        dialogs_.showMessage(this, QStringLiteral("Черные победили!"));
}

// --- Saved games ---------------------------------------------------------------------------

void TFrame::Button1Click() {
    const QString chosen =
        dialogs_.chooseSaveFile(this, QStringLiteral("(*.sav)"), saveDialogLastName_);
    if (chosen.isEmpty())
        return;
    saveDialogLastName_ = chosen;
    const std::string path = SavedGameFileName(chosen.toStdString());
    const IoError error = writeFileReplacing(path, WriteSavedGame(Positions));
    if (error != IoError::None) {
        dialogs_.showFileError(this,
                               QString::fromStdString(IoErrorMessage(error)) + QLatin1Char('.'));
        return;
    }
    dialogs_.showMessage(this, QStringLiteral("Партия сохранена!"));
}

void TFrame::Button2Click() {
    const QString chosen = dialogs_.chooseOpenFile(this, QStringLiteral("Сохраненная игра (*.sav)"),
                                                   openDialogLastName_);
    if (chosen.isEmpty())
        return;
    openDialogLastName_ = chosen;
    const SavedGameResult read = readSavedGameFile(chosen.toStdString());
    if (!read.ok()) {
        dialogs_.showFileError(this, QString::fromStdString(IoErrorMessage(read.error)) +
                                         QLatin1Char('.'));
        return;
    }
    morvantide::Position loaded = Positions;
    ApplySavedGame(loaded, read.game);
    showPosition(loaded);
    Memo1->clear();
    Memo2->clear();
    QThread::msleep(100);
    dialogs_.showMessage(this, QStringLiteral("Партия восстановлена!"));
}

} // namespace morvantide
