// While a clip plays the window takes no input, and input made meanwhile is dropped, not handed
// over once the clip has ended; painting goes on. Run under with-pulse.sh, so that clips really
// play and block.

#include "voice/audio_clip_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QShortcut>
#include <QWidget>
#include <QtTest>

using morvantide::AudioClipPlayer;

namespace {

// Counts the input it receives, and its paints.
class InputCounter : public QWidget {
public:
    InputCounter() {
        resize(200, 200);
        setFocusPolicy(Qt::StrongFocus);
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
        QObject::connect(shortcut, &QShortcut::activated, this, [this] { ++inputs; });
    }

    int inputs = 0;
    int paints = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++inputs; }
    void mouseReleaseEvent(QMouseEvent*) override { ++inputs; }
    void wheelEvent(QWheelEvent*) override { ++inputs; }
    void keyPressEvent(QKeyEvent*) override { ++inputs; }
    void paintEvent(QPaintEvent*) override { ++paints; }
};

enum class Input {
    PostedMouse,
    PostedKey,
    PostedWheel,
    WindowMouseClick,
    WindowKeyClick,
    Shortcut
};

void MakeInput(InputCounter& widget, Input input) {
    const QPointF inside(50, 50);
    switch (input) {
    case Input::PostedMouse:
        QCoreApplication::postEvent(
            &widget, new QMouseEvent(QEvent::MouseButtonPress, inside, widget.mapToGlobal(inside),
                                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            &widget, new QMouseEvent(QEvent::MouseButtonRelease, inside, widget.mapToGlobal(inside),
                                     Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        break;
    case Input::PostedKey:
        QCoreApplication::postEvent(&widget,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
        break;
    case Input::PostedWheel:
        QCoreApplication::postEvent(
            &widget, new QWheelEvent(inside, widget.mapToGlobal(inside), QPoint(), QPoint(0, 120),
                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false));
        break;
    case Input::WindowMouseClick:
        QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, inside.toPoint());
        break;
    case Input::WindowKeyClick:
        QTest::keyClick(&widget, Qt::Key_A);
        break;
    case Input::Shortcut:
        QTest::keyClick(&widget, Qt::Key_N, Qt::ControlModifier);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Input)

class InputDuringClipTest : public QObject {
    Q_OBJECT

private:
    AudioClipPlayer player_;

private slots:
    void initTestCase() {
        QVERIFY2(!QMediaDevices::defaultAudioOutput().isNull(),
                 "no audio output: run this test through with-pulse.sh");
    }

    void inputDuringAClipIsDropped_data() {
        QTest::addColumn<Input>("input");
        QTest::newRow("posted mouse click") << Input::PostedMouse;
        QTest::newRow("posted key") << Input::PostedKey;
        QTest::newRow("posted wheel") << Input::PostedWheel;
        QTest::newRow("window mouse click") << Input::WindowMouseClick;
        QTest::newRow("window key") << Input::WindowKeyClick;
        QTest::newRow("shortcut") << Input::Shortcut;
    }

    void inputDuringAClipIsDropped() {
        QFETCH(Input, input);
        InputCounter widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.activateWindow();
        widget.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&widget));

        bool made = false;
        QTimer::singleShot(150, &widget, [&] {
            MakeInput(widget, input);
            made = true;
        });
        player_.playClip("CASTLING_R");
        QVERIFY2(made, "the clip ended before the input was made");
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QCOMPARE(widget.inputs, 0);

        // The same input once the clip has ended arrives: the test's input is real, and the
        // window takes input again.
        MakeInput(widget, input);
        QTest::qWait(50);
        QVERIFY(widget.inputs > 0);
    }

    void paintingGoesOnDuringAClip() {
        InputCounter widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        int paintsBefore = -1;
        int paintsDuring = -1;
        QTimer::singleShot(100, &widget, [&] {
            paintsBefore = widget.paints;
            widget.update();
        });
        QTimer::singleShot(400, &widget, [&] { paintsDuring = widget.paints; });
        player_.playClip("CASTLING_R");
        QVERIFY(paintsBefore >= 0);
        QVERIFY2(paintsDuring > paintsBefore, "no paint while the clip played");
    }
};

QTEST_MAIN(InputDuringClipTest)
#include "input_during_clip_test.moc"
