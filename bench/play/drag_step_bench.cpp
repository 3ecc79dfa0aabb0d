// The cost of one drag step (the mouse-move handling plus the immediate repaint that shows
// it) and of a whole New game glide, under the offscreen platform.
// Run: build/bench/play/bench_drag_step
#include "frame.h"
#include "piece_picture.h"
#include "test_doubles.h"

#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

using namespace morvantide;

namespace {

void send(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void DragStep(benchmark::State& state) {
    RecordingClipPlayer voice;
    ScriptedDialogs dialogs;
    TFrame frame(voice, dialogs);
    frame.show();
    frame.sbResetClick();
    PiecePicture* pawn = frame.PieceImages[21];
    send(pawn, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    int step = 1;
    for (auto _ : state) {
        send(pawn, QEvent::MouseMove, {20, 20 + step}, Qt::NoButton, Qt::LeftButton);
        frame.repaint();
        step = -step;
    }
    send(pawn, QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(DragStep)->Unit(benchmark::kMicrosecond);

void NewGame(benchmark::State& state) {
    RecordingClipPlayer voice;
    ScriptedDialogs dialogs;
    TFrame frame(voice, dialogs);
    frame.show();
    for (auto _ : state) {
        state.PauseTiming();
        // Scatter the pieces so that every frame of the glide moves them.
        for (int slot = 1; slot <= kSlotCount; ++slot)
            frame.Positions[std::size_t(slot - 1)] = {std::int16_t(20 + 11 * slot), 370};
        state.ResumeTiming();
        frame.sbResetClick();
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
