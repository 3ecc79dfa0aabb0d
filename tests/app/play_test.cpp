#include "frame_driver.h"
#include "morvantide/piece_set.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <utility>

using namespace morvantide;

namespace {

BoardPoint square(const char* name) {
    return {std::int16_t(52 + 40 * (name[0] - 'a')), std::int16_t(52 + 40 * ('8' - name[1]))};
}

// Starts a window and stands the listed pieces on their squares; every other piece is off the
// board, as if it had been taken.
void arrange(FrameDriver& driver, std::initializer_list<std::pair<int, const char*>> pieces,
             bool blackToMove = false) {
    TFrame& frame = *driver.frame;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        frame.Positions[std::size_t(slot - 1)] = {};
        frame.PieceImages[std::size_t(slot)]->hide();
    }
    for (const auto& [slot, name] : pieces) {
        frame.Positions[std::size_t(slot - 1)] = square(name);
        frame.PieceImages[std::size_t(slot)]->show();
    }
    frame.BlackToMove = blackToMove;
    frame.PlacePieceImages(frame.Positions);
}

QString turnText(const QLabel* label) {
    return label->text();
}
QColor turnColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FrameDriver> driver;
    TFrame* frame = nullptr;

private slots:
    void init() {
        driver = std::make_unique<FrameDriver>();
        frame = driver->frame.get();
        QVERIFY(driver->start());
        QCOMPARE(frame->Positions[4], square("e8"));
    }
    void cleanup() { driver.reset(); }

    void whiteOpensWithE2E4() {
        frame->sound->setChecked(true);
        QPoint pawnWhileBoxOpen;
        driver->dialogs.onMessage = [&](const QString&) {
            pawnWhileBoxOpen = frame->PieceImages[21]->pos();
        };
        driver->move(21, "e4");
        QCOMPARE(frame->Memo1->toPlainText(), QStringLiteral("e2-e4 "));
        QCOMPARE(frame->Memo2->toPlainText(), QString());
        QVERIFY(frame->BlackToMove);
        QCOMPARE(turnText(frame->Label1), QStringLiteral("Ожидание"));
        QCOMPARE(turnColour(frame->Label1), kRed);
        QCOMPARE(turnText(frame->Label2), QStringLiteral("Ход"));
        QCOMPARE(turnColour(frame->Label2), kGreen);
        QCOMPARE(driver->dialogs.messages, QStringList{"Я хожу"});
        QCOMPARE(pawnWhileBoxOpen, QPoint(192, 192));
        // The pawn stays where it went after the box is closed.
        QCOMPARE(frame->Positions[20], square("e4"));
        QCOMPARE(frame->PieceImages[21]->pos(), QPoint(192, 192));
        QCOMPARE(frame->DragSlot, 0);
        QCOMPARE(driver->voice.clips, (QStringList{"e_r", "a2_r", "e_r", "a4_r"}));
    }

    void blackRepliesAndMovesAppendOnOneLine() {
        driver->move(21, "e4");
        driver->dialogs.messages.clear();
        driver->move(13, "e5");
        QCOMPARE(frame->Memo2->toPlainText(), QStringLiteral("e7-e5 "));
        QVERIFY(!frame->BlackToMove);
        QCOMPARE(turnText(frame->Label1), QStringLiteral("Ход"));
        QCOMPARE(turnColour(frame->Label1), kGreen);
        QCOMPARE(turnText(frame->Label2), QStringLiteral("Ожидание"));
        QCOMPARE(turnColour(frame->Label2), kRed);
        QCOMPARE(frame->Positions[12], square("e5"));
        QVERIFY(driver->dialogs.messages.isEmpty());

        driver->move(20, "d4");
        driver->move(12, "d6");
        QCOMPARE(frame->Memo1->toPlainText(), QStringLiteral("e2-e4 d2-d4 "));
        QCOMPARE(frame->Memo2->toPlainText(), QStringLiteral("e7-e5 d7-d6 "));
    }

    void illegalMovesAreTakenBack() {
        frame->sound->setChecked(true);
        driver->move(21, "e5"); // three squares
        QCOMPARE(frame->Positions[20], square("e2"));
        QCOMPARE(frame->PieceImages[21]->pos(), QPoint(192, 272));
        QVERIFY(!frame->BlackToMove);
        QVERIFY(frame->Memo1->toPlainText().isEmpty());
        QVERIFY(driver->dialogs.messages.isEmpty());
        QVERIFY(driver->voice.clips.isEmpty());
        QCOMPARE(frame->DragSlot, 0);

        driver->move(21, "e4");
        driver->dialogs.messages.clear();
        driver->voice.clips.clear();
        driver->move(2, "b6"); // a knight cannot go there
        QCOMPARE(frame->Positions[1], square("b8"));
        QVERIFY(frame->BlackToMove);
        QCOMPARE(driver->dialogs.messages, QStringList{"Я хожу"});
        QVERIFY(frame->Memo2->toPlainText().isEmpty());
        QVERIFY(driver->voice.clips.isEmpty());
    }

    void theWaitingSidesPiecesDoNotMove() {
        QWidget* board = frame->imBoard1;
        driver->move(13, "e5"); // Black piece while White is to move
        QCOMPARE(frame->Positions[12], square("e7"));
        QCOMPARE(frame->PieceImages[13]->pos(), QPoint(192, 72));
        QVERIFY(!frame->BlackToMove);
        QVERIFY(driver->dialogs.messages.isEmpty());
        QCOMPARE(frame->DragSlot, 13); // a drop on its own square keeps the pressed slot
        // The pressed picture now lies just above the board.
        const QObjectList layer = board->parentWidget()->children();
        QCOMPARE(layer.indexOf(frame->PieceImages[13]), layer.indexOf(board) + 1);
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
        PiecePicture* pawn = driver->picture(21);
        const auto buttons = Qt::MouseButtons(button);
        const auto held = Qt::KeyboardModifiers(modifiers);
        const auto first = buttons & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton;
        FrameDriver::send(pawn, QEvent::MouseButtonPress, {20, 20}, first, buttons, held);
        FrameDriver::send(pawn, QEvent::MouseMove, {20, -60}, Qt::NoButton, buttons, held);
        FrameDriver::send(pawn, QEvent::MouseButtonRelease, {20, -60}, first, buttons & ~first,
                          held);
        QCOMPARE(frame->Positions[20], square("e2"));
        QCOMPARE(pawn->pos(), QPoint(192, 272));
        QVERIFY(frame->Memo1->toPlainText().isEmpty());
    }

    void aDropOutsideTheWindowIsPulledBack() {
        arrange(*driver, {{5, "e8"}, {29, "e1"}, {25, "a4"}});
        driver->drag(25, {700, 0}); // far past the right edge of the window
        QCOMPARE(frame->Positions[24], square("h4"));
        QCOMPARE(frame->Memo1->toPlainText(), QStringLiteral("a4-h4 "));
        const QRect client = frame->rect();
        QVERIFY(client.intersects(frame->PieceImages[25]->geometry()));
    }

    void dropsInTheFlippedView() {
        frame->cbInvert->setChecked(true);
        // e2 is drawn mirrored: 385 - 212 = 173, 385 - 292 = 93.
        QCOMPARE(frame->PieceImages[21]->pos(), QPoint(153, 73));
        driver->move(21, "e4");
        QCOMPARE(frame->Positions[20], square("e4"));
        QCOMPARE(frame->Memo1->toPlainText(), QStringLiteral("e2-e4 "));
        QCOMPARE(frame->PieceImages[21]->pos(), QPoint(153, 153));
        frame->cbInvert->setChecked(false);
        QCOMPARE(frame->PieceImages[21]->pos(), QPoint(192, 192));
    }

    void aCaptureHidesTheTakenPiece() {
        frame->sound->setChecked(true);
        frame->RadioButton1->setChecked(true);
        driver->move(21, "e4");
        driver->move(12, "d5");
        driver->voice.clips.clear();
        driver->move(21, "d5");
        QVERIFY(frame->PieceImages[12]->isHidden());
        QCOMPARE(frame->Positions[11], BoardPoint{});
        QCOMPARE(frame->Positions[20], square("d5"));
        QCOMPARE(frame->Memo1->toPlainText(), QStringLiteral("e2-e4 e4-d5 "));
        QCOMPARE(driver->voice.clips, (QStringList{"e", "a4", "TAKES", "d", "a5"}));
    }

    void castling_data() {
        QTest::addColumn<int>("king");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("rook");
        QTest::addColumn<QString>("rookTarget");
        QTest::addColumn<QString>("text");
        QTest::newRow("White, king side") << 29 << "g1" << 32 << "f1"
                                          << "e1-g1 ";
        QTest::newRow("White, queen side") << 29 << "c1" << 25 << "d1"
                                           << "e1-c1 ";
        QTest::newRow("Black, king side") << 5 << "g8" << 8 << "f8"
                                          << "e8-g8 ";
        QTest::newRow("Black, queen side") << 5 << "c8" << 1 << "d8"
                                           << "e8-c8 ";
    }

    void castling() {
        QFETCH(int, king);
        QFETCH(QString, target);
        QFETCH(int, rook);
        QFETCH(QString, rookTarget);
        QFETCH(QString, text);
        const bool black = king == kBlackKingSlot;
        arrange(*driver, {{5, "e8"}, {1, "a8"}, {8, "h8"}, {29, "e1"}, {25, "a1"}, {32, "h1"}},
                black);
        frame->sound->setChecked(true);
        driver->move(king, qPrintable(target));
        QCOMPARE(frame->Positions[std::size_t(king - 1)], square(qPrintable(target)));
        QCOMPARE(frame->Positions[std::size_t(rook - 1)], square(qPrintable(rookTarget)));
        const QPoint rookCentre = frame->PieceImages[std::size_t(rook)]->pos() + QPoint(20, 20);
        QCOMPARE(rookCentre, driver->squareCentre(qPrintable(rookTarget)));
        QCOMPARE((black ? frame->Memo2 : frame->Memo1)->toPlainText(), text);
        QCOMPARE(driver->voice.clips, QStringList{"CASTLING_r"});
        QCOMPARE(frame->BlackToMove, !black);
    }

    void takingAKingEndsTheGameUntilNewGame() {
        arrange(*driver, {{5, "e3"}, {29, "e1"}, {20, "d2"}, {13, "e7"}});
        frame->sound->setChecked(true);
        frame->RadioButton1->setChecked(true);
        driver->move(20, "e3");
        QVERIFY(frame->PieceImages[5]->isHidden());
        QCOMPARE(driver->dialogs.messages, (QStringList{"Я хожу", "Белые победили!"}));
        QCOMPARE(driver->voice.clips, (QStringList{"d", "a2", "TAKES", "e", "a3", "CHECK", "MAT"}));

        // Every later release that reaches the rules says it again, legal or not.
        driver->dialogs.messages.clear();
        driver->move(13, "e4"); // illegal for Black's pawn
        QCOMPARE(driver->dialogs.messages, (QStringList{"Я хожу", "Белые победили!"}));

        driver->dialogs.messages.clear();
        frame->sbReset->click();
        driver->move(21, "e4");
        QCOMPARE(driver->dialogs.messages, QStringList{"Я хожу"});
    }

    void blackTakesTheWhiteKing() {
        arrange(*driver, {{5, "e8"}, {29, "d6"}, {13, "e7"}}, true);
        driver->move(13, "d6");
        QVERIFY(frame->PieceImages[29]->isHidden());
        QCOMPARE(frame->Positions[12], square("d6"));
        QCOMPARE(frame->Memo2->toPlainText(), QStringLiteral("e7-d6 "));
        QCOMPARE(driver->dialogs.messages, QStringList{"Черные победили!"});
    }

    void bothKingsTakenSayBothWinnersBlackFirst() {
        arrange(*driver, {{29, "e1"}, {5, "e3"}, {20, "d2"}});
        frame->Positions[28] = {}; // the white king is gone as well
        frame->PieceImages[29]->hide();
        frame->sound->setChecked(true);
        driver->move(20, "e3");
        QCOMPARE(driver->dialogs.messages,
                 (QStringList{"Я хожу", "Белые победили!", "Черные победили!"}));
        QCOMPARE(driver->voice.clips.mid(5), (QStringList{"CHECK_r", "MAT_r", "CHECK_r", "MAT_r"}));
    }

    void aSelectionInAColumnDoesNotDisturbTheRecord() {
        driver->move(21, "e4");
        // The player selects the start of White's column and puts the caret there.
        QTextCursor cursor(frame->Memo1->document());
        cursor.setPosition(0);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        frame->Memo1->setTextCursor(cursor);
        QTest::mouseClick(frame->Memo1->viewport(), Qt::LeftButton, {}, {5, 5});
        driver->move(13, "e5");
        driver->move(20, "d4");
        QCOMPARE(frame->Memo1->toPlainText(), QStringLiteral("e2-e4 d2-d4 "));
    }

    void newGameRestoresEverything() {
        driver->move(21, "e4");
        driver->move(12, "d5");
        driver->move(21, "d5");
        frame->sound->setChecked(true);
        frame->Positions[0] = {50, 50};
        frame->PlacePieceImages(frame->Positions);

        // Sample slot 1's entry at every painted frame of the glide.
        QList<BoardPoint> samples;
        struct Sampler : QObject {
            std::function<void()> onPaint;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    onPaint();
                return false;
            }
        } sampler;
        sampler.onPaint = [&] { samples << frame->Positions[0]; };
        frame->installEventFilter(&sampler);
        driver->voice.clips.clear();
        frame->sbReset->click();
        frame->removeEventFilter(&sampler);

        QCOMPARE(driver->voice.clips, QStringList{"NEW_r"});
        QCOMPARE(samples.size(), 70); // one painted frame each, seventy frames
        for (const BoardPoint& p : samples)
            QCOMPARE(p, (BoardPoint{50, 50}));
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            QCOMPARE(frame->Positions[std::size_t(slot - 1)], initialPoint(slot));
            QVERIFY(frame->PieceImages[std::size_t(slot)]->isVisible());
        }
        QCOMPARE(frame->Positions[kSpareEntry], BoardPoint{});
        QVERIFY(frame->Memo1->toPlainText().isEmpty());
        QVERIFY(frame->Memo2->toPlainText().isEmpty());
        QVERIFY(!frame->BlackToMove);
        QCOMPARE(turnText(frame->Label1), QStringLiteral("Ход"));
        QCOMPARE(turnText(frame->Label2), QStringLiteral("Ожидание"));
    }

    void voiceOffPlaysNothing() {
        driver->move(21, "e4");
        frame->sbReset->click();
        QVERIFY(driver->voice.clips.isEmpty());
    }

    void theVoiceBoxReplacesPiecesWhereTheyStand() {
        const QPoint before = frame->PieceImages[21]->pos();
        frame->sound->setChecked(true);
        QCOMPARE(frame->PieceImages[21]->pos(), before);
        QCOMPARE(frame->Positions[20], square("e2"));
    }
};

QTEST_MAIN(PlayTest)
#include "play_test.moc"
