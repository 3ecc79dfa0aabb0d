// How quickly the voice gets going and how closely the clips of a move's phrase follow each
// other. Run under tests/app/voice/with-pulse.sh: its sink records what it plays, in real time
// (MORVANTIDE_PULSE_SINK=null: a null sink with 2 s of latency, as a network speaker has).
//
// Reports
//   - start: building the clip store, the first phrase's overhead (its blocking time beyond the
//     clip's length, with the sound server connection made on the way), and the cost of decoding
//     all 42 clips at once (what decoding them at start would add);
//   - per phrase, for e2-e4 (four clips) and a capture that takes a king (seven): how long the
//     call blocked beyond the clips' length; in the sink's recording, the time from the first
//     clip's first sound to the last clip's end beyond what the clips themselves hold there; and
//     the silence put between two clips (0 when each starts where the one before ends). The
//     recording is read for the language whose clips have the sink's rate and so reach it sample
//     for sample (Russian by default; MORVANTIDE_PULSE_RATE=11025 for English).
#include "voice/audio_clip_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

using morvantide::AudioClipPlayer;
using morvantide::ClipStore;
using morvantide::PcmClip;

namespace {

struct Stats {
    double mean = 0, median = 0, p90 = 0, min = 0, max = 0;
};

Stats StatsOf(std::vector<double> values) {
    Stats s;
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    s.median = values[values.size() / 2];
    s.p90 = values[std::min(values.size() - 1, values.size() * 9 / 10)];
    s.min = values.front();
    s.max = values.back();
    return s;
}

void Print(const char* what, const Stats& s, std::size_t count) {
    std::printf("%-34s n=%-4zu mean %7.2f  median %7.2f  p90 %7.2f  min %7.2f  max %7.2f ms\n",
                what, count, s.mean, s.median, s.p90, s.min, s.max);
}

std::vector<qint16> SamplesOf(const PcmClip& clip) {
    const auto* pcm = reinterpret_cast<const qint16*>(clip.samples.constData());
    return {pcm, pcm + clip.frameCount()};
}

// The sink's recording from `firstFrame` on, first channel, back at 16 bits.
std::vector<qint16> Captured(const QString& path, int channels, qint64 firstFrame) {
    std::vector<qint16> samples;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(firstFrame * 4 * channels)) {
        return samples;
    }
    const QByteArray bytes = file.readAll();
    for (qsizetype at = 0; at + 4 * channels <= bytes.size(); at += 4 * channels) {
        const qint64 wide = qFromLittleEndian<qint32>(bytes.constData() + at);
        samples.push_back(qint16(std::clamp<qint64>((wide + 0x8000) >> 16, -32768, 32767)));
    }
    return samples;
}

// Where the clip's first sample lies in `played`, found by its audible part at or after `from`;
// -1 if it is not there. `audibleFrom` and `audibleTo` give that part's bounds in the clip.
struct Found {
    qsizetype at = -1;
    qsizetype audibleFrom = 0;
    qsizetype audibleTo = 0;
};

Found FindClip(const std::vector<qint16>& played, qsizetype from, const std::vector<qint16>& clip) {
    Found found;
    while (found.audibleFrom < qsizetype(clip.size()) && clip[found.audibleFrom] == 0)
        ++found.audibleFrom;
    found.audibleTo = qsizetype(clip.size());
    while (found.audibleTo > found.audibleFrom && clip[found.audibleTo - 1] == 0)
        --found.audibleTo;
    const qsizetype length = found.audibleTo - found.audibleFrom;
    for (qsizetype at = std::max(from, found.audibleFrom); at + length <= qsizetype(played.size());
         ++at) {
        if (played[at] == 0)
            continue;
        qsizetype k = 0;
        while (k < length && std::abs(played[at + k] - clip[found.audibleFrom + k]) <= 1)
            ++k;
        if (k == length) {
            found.at = at - found.audibleFrom;
            return found;
        }
    }
    return found;
}

struct Capture {
    QString path;
    int rate = 0;
    int channels = 0;
    int settleMs = 0;

    qint64 frameCount() const { return QFileInfo(path).size() / (4 * channels); }
};

// Figures over many phrases, in milliseconds.
struct PhraseFigures {
    std::vector<double> blockedBeyondLength;
    std::vector<double> spanBeyondClips;
    std::vector<double> gaps;
    std::vector<double> spans;
};

// Plays the phrase and adds its figures; the recording is read when its clips have the sink's
// rate.
void MeasurePhrase(AudioClipPlayer& player, ClipStore& clips, const Capture& capture,
                   const QStringList& names, PhraseFigures& figures) {
    QThread::msleep(300);
    const qint64 before = capture.frameCount();
    double lengthMs = 0;
    for (const QString& name : names)
        lengthMs += double(clips.clip(name)->durationUs()) / 1e3;
    QElapsedTimer timer;
    timer.start();
    player.playPhrase(names);
    figures.blockedBeyondLength.push_back(double(timer.nsecsElapsed()) / 1e6 - lengthMs);
    if (clips.clip(names.front())->sampleRate != capture.rate)
        return;
    QThread::msleep(capture.settleMs);
    const std::vector<qint16> played = Captured(capture.path, capture.channels, before);
    const auto ms = [&capture](qsizetype frames) { return 1000.0 * double(frames) / capture.rate; };
    qsizetype next = 0;        // where the next clip's first sample belongs
    qsizetype firstSound = -1; // the first clip's first audible sample
    qsizetype lastEnd = 0;     // the last clip's end of sound
    qsizetype own = 0;         // what the clips hold from the first sound to the last
    for (const QString& name : names) {
        const std::vector<qint16> clip = SamplesOf(*clips.clip(name));
        const Found found = FindClip(played, next, clip);
        if (found.at < 0) {
            std::fprintf(stderr, "%s not found in the recording\n", qPrintable(name));
            return;
        }
        if (firstSound < 0) {
            firstSound = found.at + found.audibleFrom;
            own -= found.audibleFrom;
        } else {
            figures.gaps.push_back(ms(found.at - next));
        }
        own += qsizetype(clip.size());
        lastEnd = found.at + found.audibleTo;
        next = found.at + qsizetype(clip.size());
        if (&name == &names.back())
            own -= qsizetype(clip.size()) - found.audibleTo;
    }
    figures.spans.push_back(ms(lastEnd - firstSound));
    figures.spanBeyondClips.push_back(ms(lastEnd - firstSound - own));
}

// Times building the store, the first phrase (with the connection to the sound server) and
// decoding every clip.
void ReportStart(AudioClipPlayer& player, ClipStore& clips) {
    QElapsedTimer timer;
    timer.start();
    const ClipStore store;
    const double storeMs = double(timer.nsecsElapsed()) / 1e6;

    const QString firstName = QStringLiteral("E_R");
    timer.restart();
    player.playClip(firstName);
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    const double firstLengthMs = double(clips.clip(firstName)->durationUs()) / 1e3;

    timer.restart();
    ClipStore fresh;
    for (const QString& file : QDir(QStringLiteral(":/clips")).entryList())
        fresh.clip(QFileInfo(file).completeBaseName());
    const double decodeAllMs = double(timer.nsecsElapsed()) / 1e6;

    std::printf("clip store built (42 names listed)   %7.2f ms\n", storeMs);
    std::printf("first phrase, cold: %.2f ms for a clip of %.2f ms -> overhead %.2f ms\n", firstMs,
                firstLengthMs, firstMs - firstLengthMs);
    std::printf("decode all 42 clips                  %7.2f ms\n", decodeAllMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const Capture capture = {qEnvironmentVariable("MORVANTIDE_SINK_CAPTURE"),
                             qEnvironmentVariableIntValue("MORVANTIDE_SINK_RATE"),
                             qEnvironmentVariableIntValue("MORVANTIDE_SINK_CHANNELS"),
                             qEnvironmentVariableIntValue("MORVANTIDE_SINK_SETTLE_MS")};
    if (capture.path.isEmpty()) {
        std::fprintf(stderr, "run me through tests/app/voice/with-pulse.sh\n");
        return 2;
    }

    AudioClipPlayer player;
    // The same clips, for their lengths and samples.
    ClipStore clips;
    ReportStart(player, clips);

    // --- Phrases ---
    const bool russian = capture.rate == 22050;
    const QString suffix = russian ? QStringLiteral("_R") : QString();
    QStringList move;
    for (const char* name : {"E", "A2", "E", "A4"})
        move << QLatin1String(name) + suffix;
    QStringList kingTaken;
    for (const char* name : {"D", "A4", "TAKES", "E", "A5", "CHECK", "MAT"})
        kingTaken << QLatin1String(name) + suffix;
    PhraseFigures moveFigures;
    PhraseFigures kingTakenFigures;
    for (int round = 0; round < rounds; ++round) {
        MeasurePhrase(player, clips, capture, move, moveFigures);
        MeasurePhrase(player, clips, capture, kingTaken, kingTakenFigures);
    }
    double moveLengthMs = 0;
    for (const QString& name : move)
        moveLengthMs += double(clips.clip(name)->durationUs()) / 1e3;
    std::printf("e2-e4 in %s: 4 clips, %.2f ms of sound\n", russian ? "Russian" : "English",
                moveLengthMs);
    Print("e2-e4: blocked beyond the clips", StatsOf(moveFigures.blockedBeyondLength),
          moveFigures.blockedBeyondLength.size());
    Print("e2-e4: first sound to last end", StatsOf(moveFigures.spans), moveFigures.spans.size());
    Print("e2-e4: that beyond the clips' own", StatsOf(moveFigures.spanBeyondClips),
          moveFigures.spanBeyondClips.size());
    Print("e2-e4: gap between clips", StatsOf(moveFigures.gaps), moveFigures.gaps.size());
    Print("7 clips: blocked beyond the clips", StatsOf(kingTakenFigures.blockedBeyondLength),
          kingTakenFigures.blockedBeyondLength.size());
    Print("7 clips: gap between clips", StatsOf(kingTakenFigures.gaps),
          kingTakenFigures.gaps.size());
    std::printf("(a FIFO sink records in blocks of %.1f ms, which bounds the gaps' resolution)\n",
                4096.0 / (4.0 * capture.channels) / capture.rate * 1000.0);
    return 0;
}
