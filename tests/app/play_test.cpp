#include "flat_button.h"
#include "morvantide/position.h"
#include "window_driver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextCursor>
#include <QToolButton>
#include <functional>

using namespace morvantide;

namespace {

QColor TurnColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowDriver> driver_;
    MainWindow* frame_ = nullptr;
    QPlainTextEdit* whiteMoves_ = nullptr;
    QPlainTextEdit* blackMoves_ = nullptr;
    QLabel* whiteTurn_ = nullptr;
    QLabel* blackTurn_ = nullptr;
    QCheckBox* voiceBox_ = nullptr;
    QCheckBox* flipBox_ = nullptr;

    PiecePicture* picture(int slot) const { return driver_->picture(slot); }
    QPoint placeOf(const char* square) const { return driver_->placeOf(square); }

private slots:
    void init() {
        driver_ = std::make_unique<WindowDriver>();
        frame_ = driver_->window.get();
        QVERIFY(driver_->start());
        whiteMoves_ = driver_->child<QPlainTextEdit>("Memo1");
        blackMoves_ = driver_->child<QPlainTextEdit>("Memo2");
        whiteTurn_ = driver_->child<QLabel>("Label1");
        blackTurn_ = driver_->child<QLabel>("Label2");
        voiceBox_ = driver_->child<QCheckBox>("sound");
        flipBox_ = driver_->child<QCheckBox>("cbInvert");
        QCOMPARE(picture(5)->pos(), placeOf("e8"));
    }
    void cleanup() { driver_.reset(); }

    void whiteOpensWithE2E4() {
        voiceBox_->setChecked(true);
        QPoint pawnWhileBoxOpen;
        driver_->dialogs.onMessage = [&](const QString&) { pawnWhileBoxOpen = picture(21)->pos(); };
        driver_->move(21, "e4");
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 "));
        QCOMPARE(blackMoves_->toPlainText(), QString());
        QCOMPARE(whiteTurn_->text(), QStringLiteral("Ожидание"));
        QCOMPARE(TurnColour(whiteTurn_), kRed);
        QCOMPARE(blackTurn_->text(), QStringLiteral("Ход"));
        QCOMPARE(TurnColour(blackTurn_), kGreen);
        QCOMPARE(driver_->dialogs.messages, QStringList{"Я хожу"});
        QCOMPARE(pawnWhileBoxOpen, placeOf("e4"));
        // The pawn stays where it went after the box is closed.
        QCOMPARE(picture(21)->pos(), placeOf("e4"));
        QCOMPARE(driver_->voice.clips, (QStringList{"e_r", "a2_r", "e_r", "a4_r"}));
        // One phrase, spoken without pauses between its words.
        QCOMPARE(driver_->voice.phraseLengths, QList<int>{4});

        // The drop is over: a stray release on the pawn plays nothing again.
        WindowDriver::send(picture(21), QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton,
                           Qt::NoButton, Qt::NoModifier);
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 "));
        QVERIFY(blackMoves_->toPlainText().isEmpty());
        QCOMPARE(driver_->dialogs.messages.size(), 1);
    }

    void blackRepliesAndMovesAppendOnOneLine() {
        driver_->move(21, "e4");
        driver_->dialogs.messages.clear();
        driver_->move(13, "e5");
        QCOMPARE(blackMoves_->toPlainText(), QStringLiteral("e7-e5 "));
        QCOMPARE(whiteTurn_->text(), QStringLiteral("Ход"));
        QCOMPARE(TurnColour(whiteTurn_), kGreen);
        QCOMPARE(blackTurn_->text(), QStringLiteral("Ожидание"));
        QCOMPARE(TurnColour(blackTurn_), kRed);
        QCOMPARE(picture(13)->pos(), placeOf("e5"));
        QVERIFY(driver_->dialogs.messages.isEmpty());

        driver_->move(20, "d4");
        driver_->move(12, "d6");
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 d2-d4 "));
        QCOMPARE(blackMoves_->toPlainText(), QStringLiteral("e7-e5 d7-d6 "));
    }

    void illegalMovesAreTakenBack() {
        voiceBox_->setChecked(true);
        driver_->move(21, "e5"); // three squares
        QCOMPARE(picture(21)->pos(), placeOf("e2"));
        QVERIFY(!driver_->blackToMove());
        QVERIFY(whiteMoves_->toPlainText().isEmpty());
        QVERIFY(driver_->dialogs.messages.isEmpty());
        QVERIFY(driver_->voice.clips.isEmpty());

        driver_->move(21, "e4");
        driver_->dialogs.messages.clear();
        driver_->voice.clips.clear();
        driver_->move(2, "b6"); // a knight cannot go there
        QCOMPARE(picture(2)->pos(), placeOf("b8"));
        QVERIFY(driver_->blackToMove());
        QCOMPARE(driver_->dialogs.messages, QStringList{"Я хожу"});
        QVERIFY(blackMoves_->toPlainText().isEmpty());
        QVERIFY(driver_->voice.clips.isEmpty());
    }

    void theWaitingSidesPiecesDoNotMove() {
        QWidget* board = driver_->child("imBoard1");
        driver_->move(13, "e5"); // Black piece while White is to move
        QCOMPARE(picture(13)->pos(), placeOf("e7"));
        QVERIFY(!driver_->blackToMove());
        QVERIFY(driver_->dialogs.messages.isEmpty());
        // The pressed picture now lies just above the board.
        const QObjectList layer = board->parentWidget()->children();
        QCOMPARE(layer.indexOf(picture(13)), layer.indexOf(board) + 1);
    }

    void onlyTheLeftButtonAloneDrags_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Shift held") << int(Qt::LeftButton) << int(Qt::ShiftModifier);
        QTest::newRow("Ctrl held") << int(Qt::LeftButton) << int(Qt::ControlModifier);
        QTest::newRow("right button") << int(Qt::RightButton) << 0;
        QTest::newRow("left and right") << int(Qt::LeftButton | Qt::RightButton) << 0;
    }

    void onlyTheLeftButtonAloneDrags() {
        QFETCH(int, button);
        QFETCH(int, modifiers);
        PiecePicture* pawn = picture(21);
        const auto buttons = Qt::MouseButtons(button);
        const auto held = Qt::KeyboardModifiers(modifiers);
        const auto first = buttons & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton;
        WindowDriver::send(pawn, QEvent::MouseButtonPress, {20, 20}, first, buttons, held);
        WindowDriver::send(pawn, QEvent::MouseMove, {20, -60}, Qt::NoButton, buttons, held);
        WindowDriver::send(pawn, QEvent::MouseButtonRelease, {20, -60}, first, buttons & ~first,
                           held);
        QCOMPARE(pawn->pos(), placeOf("e2"));
        QVERIFY(whiteMoves_->toPlainText().isEmpty());
    }

    // A castling, dragged out of the window: while the clip plays the king's picture stays
    // where it was let go, pulled back into the client area; then the rook jumps.
    void aDropOutsideTheWindowIsPulledBack_data() {
        QTest::addColumn<bool>("flip");
        QTest::addColumn<bool>("maximise");
        QTest::addColumn<int>("dropTop"); // where the king's picture is let go
        QTest::addColumn<int>("keptTop"); // -1: the client height less 30
        QTest::newRow("below the window") << false << false << 700 << 356;
        QTest::newRow("above the window, flipped") << true << false << -300 << -20;
        QTest::newRow("inside a maximised window") << false << true << 480 << 480;
        QTest::newRow("below a maximised window") << false << true << 2000 << -1;
    }

    void aDropOutsideTheWindowIsPulledBack() {
        QFETCH(bool, flip);
        QFETCH(bool, maximise);
        QFETCH(int, dropTop);
        QFETCH(int, keptTop);
        if (maximise) {
            frame_->showMaximized();
            QTRY_VERIFY(frame_->isMaximized());
            QTRY_VERIFY(frame_->height() > 500);
        }
        flipBox_->setChecked(flip);
        voiceBox_->setChecked(true);
        driver_->arrange({{5, "e8"}, {29, "e1"}, {32, "h1"}});
        PiecePicture* king = picture(29);
        QPoint kingDuringClip;
        driver_->voice.onClip = [&](const QString&) { kingDuringClip = king->pos(); };

        // The king goes from e1 to g1 by way of a point beyond the board's bottom (or, flipped,
        // its top): the drop still snaps to rank 1, so the king castles.
        const int gFileLeft = placeOf("g1").x();
        const QPoint grab(20, 20);
        QTest::mousePress(king, Qt::LeftButton, {}, grab);
        QTest::mouseMove(king, grab + QPoint(gFileLeft - king->x(), dropTop - king->y()));
        QTest::mouseRelease(king, Qt::LeftButton, {}, grab);

        QCOMPARE(driver_->voice.clips, QStringList{"CASTLING_r"});
        QCOMPARE(kingDuringClip,
                 QPoint(gFileLeft, keptTop == -1 ? frame_->height() - 30 : keptTop));
        QCOMPARE(king->pos(), placeOf("g1"));
        QCOMPARE(picture(32)->pos(), placeOf("f1"));
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e1-g1 "));
        QVERIFY(driver_->blackToMove());
    }

    void aPieceDraggedAcrossAMaximisedWindowStaysInSight() {
        frame_->showMaximized();
        QTRY_VERIFY(frame_->isMaximized());
        QTRY_VERIFY(frame_->width() > 700);
        PiecePicture* pawn = picture(21);
        const QPoint grab(20, 20);
        QTest::mousePress(pawn, Qt::LeftButton, {}, grab);
        QTest::mouseMove(pawn, grab + QPoint(660 - pawn->x(), 0));
        QCOMPARE(pawn->x(), 660);
        QVERIFY(!pawn->visibleRegion().isEmpty());
        QTest::mouseRelease(pawn, Qt::LeftButton, {}, grab);
    }

    void dropsInTheFlippedView() {
        flipBox_->setChecked(true);
        // e2 is drawn mirrored: 385 - 212 = 173, 385 - 292 = 93.
        QCOMPARE(picture(21)->pos(), QPoint(153, 73));
        driver_->move(21, "e4");
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 "));
        QCOMPARE(picture(21)->pos(), QPoint(153, 153));
        flipBox_->setChecked(false);
        QCOMPARE(picture(21)->pos(), QPoint(192, 192));
    }

    void aCaptureHidesTheTakenPiece() {
        voiceBox_->setChecked(true);
        driver_->child<QRadioButton>("RadioButton1")->setChecked(true);
        driver_->move(21, "e4");
        driver_->move(12, "d5");
        driver_->voice.clips.clear();
        driver_->move(21, "d5");
        QVERIFY(picture(12)->isHidden());
        QCOMPARE(picture(21)->pos(), placeOf("d5"));
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 e4-d5 "));
        QCOMPARE(driver_->voice.clips, (QStringList{"e", "a4", "TAKES", "d", "a5"}));
    }

    void takingAKingEndsTheGameUntilNewGame() {
        driver_->arrange({{5, "e3"}, {29, "e1"}, {20, "d2"}, {13, "e7"}});
        voiceBox_->setChecked(true);
        driver_->child<QRadioButton>("RadioButton1")->setChecked(true);
        driver_->move(20, "e3");
        QVERIFY(picture(5)->isHidden());
        QCOMPARE(driver_->dialogs.messages, (QStringList{"Я хожу", "Белые победили!"}));
        QCOMPARE(driver_->voice.clips,
                 (QStringList{"d", "a2", "TAKES", "e", "a3", "CHECK", "MAT"}));

        driver_->dialogs.messages.clear();
        driver_->child<FlatButton>("sbReset")->click();
        driver_->move(21, "e4");
        QCOMPARE(driver_->dialogs.messages, QStringList{"Я хожу"});
    }

    void winnerBoxes_data() {
        QTest::addColumn<bool>("whiteKingOnBoard");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("Black takes the white king")
            << true << "d6" << QStringList{"Черные победили!"};
        QTest::newRow("both kings gone, Black's box first")
            << false << "e6" << QStringList{"Белые победили!", "Черные победили!"};
    }

    void winnerBoxes() {
        QFETCH(bool, whiteKingOnBoard);
        QFETCH(QString, target);
        QFETCH(QStringList, messages);
        if (whiteKingOnBoard)
            driver_->arrange({{5, "e8"}, {29, "d6"}, {13, "e7"}}, true);
        else
            driver_->arrange({{13, "e7"}}, true);
        driver_->move(13, qPrintable(target));
        QVERIFY(picture(29)->isHidden());
        QCOMPARE(picture(13)->pos(), placeOf(qPrintable(target)));
        QCOMPARE(blackMoves_->toPlainText(), QStringLiteral("e7-%1 ").arg(target));
        QCOMPARE(driver_->dialogs.messages, messages);
    }

    void aSelectionInAColumnDoesNotDisturbTheRecord() {
        driver_->move(21, "e4");
        // The player selects the start of White's column and puts the caret there.
        QTextCursor cursor(whiteMoves_->document());
        cursor.setPosition(0);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        whiteMoves_->setTextCursor(cursor);
        QTest::mouseClick(whiteMoves_->viewport(), Qt::LeftButton, {}, {5, 5});
        driver_->move(13, "e5");
        driver_->move(20, "d4");
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 d2-d4 "));
    }

    void newGameRestoresEverything() {
        driver_->move(21, "e4");
        driver_->move(12, "d5");
        driver_->move(21, "d5");
        voiceBox_->setChecked(true);
        Position scattered;
        for (Slot slot : AllSlots())
            scattered[slot] = slot.startingPoint();
        scattered[Slot(1)] = {50, 50};
        scattered[Slot(12)] = {}; // the taken d7 pawn stays taken until the new game
        driver_->setUp(scattered);

        // Sample slot 1's picture at every painted frame_ of the glide.
        QList<QPoint> samples;
        struct Sampler : QObject {
            std::function<void()> onPaint;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    onPaint();
                return false;
            }
        } sampler;
        sampler.onPaint = [&] { samples << picture(1)->pos(); };
        frame_->installEventFilter(&sampler);
        driver_->voice.clips.clear();
        driver_->child<FlatButton>("sbReset")->click();
        frame_->removeEventFilter(&sampler);

        QCOMPARE(driver_->voice.clips, QStringList{"NEW_r"});
        QCOMPARE(samples.size(), 70); // one painted frame_ each, seventy frames
        for (const QPoint& p : samples)
            QCOMPARE(p, QPoint(30, 30)); // (50, 50) rounds back onto itself every frame_
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const BoardPoint start = Slot(slot).startingPoint();
            QCOMPARE(picture(slot)->pos(), QPoint(start.x - 20, start.y - 20));
            QVERIFY(picture(slot)->isVisible());
        }
        QVERIFY(whiteMoves_->toPlainText().isEmpty());
        QVERIFY(blackMoves_->toPlainText().isEmpty());
        QVERIFY(!driver_->blackToMove());
        QCOMPARE(whiteTurn_->text(), QStringLiteral("Ход"));
        QCOMPARE(blackTurn_->text(), QStringLiteral("Ожидание"));
    }

    void voiceOffPlaysNothing() {
        driver_->move(21, "e4");
        driver_->child<FlatButton>("sbReset")->click();
        QVERIFY(driver_->voice.clips.isEmpty());
    }

    // Both boxes put every picture back on its place in the table, the voice box without
    // moving any piece that stands there.
    void theVoiceBoxReplacesPiecesWhereTheyStand_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QPoint>("pawnPlace");
        QTest::newRow("voice") << "sound" << QPoint(192, 272);
        QTest::newRow("flip") << "cbInvert" << QPoint(153, 73);
    }

    void theVoiceBoxReplacesPiecesWhereTheyStand() {
        QFETCH(QString, box);
        QFETCH(QPoint, pawnPlace);
        const QPoint knight = picture(2)->pos();
        picture(21)->move(300, 300); // a picture out of step with the table
        driver_->child<QCheckBox>(box)->setChecked(true);
        QCOMPARE(picture(21)->pos(), pawnPlace);
        if (box == "sound")
            QCOMPARE(picture(2)->pos(), knight);
    }

    // Each time the voice is switched on and cannot be heard, one box says why; play goes on.
    void aVoiceThatCannotBeHeardSaysWhy_data() {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("boxes");
        const QString module = QStringLiteral("не найден модуль голоса");
        const QString output = QStringLiteral("нет вывода звука");
        QTest::newRow("heard") << QString() << QStringList{"Я хожу"};
        QTest::newRow("no module") << module
                                   << QStringList{"Голос недоступен: " + module + ".", "Я хожу",
                                                  "Голос недоступен: " + module + "."};
        QTest::newRow("no voiceBox_ output")
            << output
            << QStringList{"Голос недоступен: " + output + ".", "Я хожу",
                           "Голос недоступен: " + output + "."};
    }

    void aVoiceThatCannotBeHeardSaysWhy() {
        QFETCH(QString, reason);
        QFETCH(QStringList, boxes);
        if (!reason.isEmpty())
            driver_->voice.reason = reason;
        voiceBox_->setChecked(true);
        driver_->move(21, "e4");
        voiceBox_->setChecked(false);
        voiceBox_->setChecked(true);
        QCOMPARE(driver_->dialogs.messages, boxes);
        QCOMPARE(driver_->voice.reasonQuestions, 2);
        QCOMPARE(whiteMoves_->toPlainText(), QStringLiteral("e2-e4 "));
        QCOMPARE(driver_->voice.clips, (QStringList{"e_r", "a2_r", "e_r", "a4_r"}));
    }
};

QTEST_MAIN(PlayTest)
#include "play_test.moc"
