// The cost of one drag step (the mouse-move handling plus the immediate repaint of what it
// changed) and of a whole New game glide (70 frames, each a repaint of the whole window),
// under the offscreen platform.
// Run: build/bench/play/bench_drag_step
#include "app_test_seam.h"
#include "piece_picture.h"
#include "test_doubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace morvantide;

namespace {

// Shows the window and waits until it can be painted, so that every repaint really paints.
void ShowExposed(QWidget& window) {
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Counts the paintings of the board, so the figures can be trusted to include them.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

void Send(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void DragStep(benchmark::State& state) {
    RecordingClipPlayer voice;
    ScriptedDialogs dialogs;
    MainWindow frame(voice, dialogs);
    ShowExposed(frame);
    PaintCounter counter;
    frame.findChild<QWidget*>(QStringLiteral("imBoard1"))->installEventFilter(&counter);
    auto* pawn = frame.findChild<PiecePicture*>(QStringLiteral("im21"));
    Send(pawn, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    int step = 1;
    for (auto _ : state) {
        const QRect before = pawn->geometry();
        Send(pawn, QEvent::MouseMove, {20, 20 + step}, Qt::NoButton, Qt::LeftButton);
        // What the window system is asked to show again: where the piece was and where it is.
        frame.repaint(before.united(pawn->geometry()));
        step = -step;
    }
    state.counters["board paints per step"] =
        double(counter.paints) / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    Send(pawn, QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(DragStep)->Unit(benchmark::kMicrosecond);

void NewGame(benchmark::State& state) {
    RecordingClipPlayer voice;
    ScriptedDialogs dialogs;
    MainWindow frame(voice, dialogs);
    ShowExposed(frame);
    auto* newGame = frame.findChild<QAbstractButton*>(QStringLiteral("sbReset"));
    for (auto _ : state) {
        state.PauseTiming();
        // Scatter the pieces so that every frame of the glide moves them.
        Position scattered;
        for (Slot slot : AllSlots())
            scattered[slot] = {std::int16_t(20 + 11 * slot.number()), 370};
        AppTestSeam::setUpPosition(frame, scattered);
        state.ResumeTiming();
        newGame->click();
    }
}
BENCHMARK(NewGame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
