// How quickly the voice gets going and how closely the clips of an announcement follow each
// other. Run under tests/app/voice/with-pulse.sh: its sink records what it plays, in real time.
//
// Reports
//   - start: building the clip store, the first playClip's overhead (its blocking time beyond
//     the clip's length, with the sound server connection made on the way), and the cost of
//     decoding all 42 clips at once (what decoding them at start would add);
//   - per call: blocking time minus the clip's length, over many announcement clips;
//   - gaps: the silence between the end of one clip's audio and the start of the next one's,
//     measured in the sink's recording, for the language whose clips have the sink's rate and
//     so reach it sample for sample (Russian by default; MORVANTIDE_PULSE_RATE=11025 for
//     English).

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

// Start of the clip's audible part in `played`, at or after `from`; -1 if it is not there.
qsizetype FindAudible(const std::vector<qint16>& played, qsizetype from,
                      const std::vector<qint16>& clip, qsizetype* audibleLength) {
    qsizetype first = 0;
    while (first < qsizetype(clip.size()) && clip[first] == 0) {
        ++first;
    }
    qsizetype last = qsizetype(clip.size()) - 1;
    while (last > first && clip[last] == 0) {
        --last;
    }
    const qsizetype length = last - first + 1;
    *audibleLength = length;
    for (qsizetype at = from; at + length <= qsizetype(played.size()); ++at) {
        if (played[at] == 0) {
            continue;
        }
        qsizetype k = 0;
        while (k < length && std::abs(played[at + k] - clip[first + k]) <= 1) {
            ++k;
        }
        if (k == length) {
            return at;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString capturePath = qEnvironmentVariable("MORVANTIDE_SINK_CAPTURE");
    const int captureRate = qEnvironmentVariableIntValue("MORVANTIDE_SINK_RATE");
    const int captureChannels = qEnvironmentVariableIntValue("MORVANTIDE_SINK_CHANNELS");
    if (capturePath.isEmpty()) {
        std::fprintf(stderr, "run me through tests/app/voice/with-pulse.sh\n");
        return 2;
    }

    // --- Start ---
    QElapsedTimer timer;
    timer.start();
    AudioClipPlayer player;
    const double storeMs = double(timer.nsecsElapsed()) / 1e6;
    // The same clips, for their lengths and samples.
    ClipStore clips;

    const QString firstName = QStringLiteral("E_R");
    timer.restart();
    player.playClip(firstName);
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    const double firstLengthMs = double(clips.clip(firstName)->durationUs()) / 1e3;

    timer.restart();
    ClipStore fresh;
    for (const QString& file : QDir(QStringLiteral(":/clips")).entryList()) {
        fresh.clip(QFileInfo(file).completeBaseName());
    }
    const double decodeAllMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    ClipStore single;
    single.clip(QStringLiteral("NEW_R"));
    const double decodeOneMs = double(timer.nsecsElapsed()) / 1e6;

    std::printf("clip store built (42 names listed)   %7.2f ms\n", storeMs);
    std::printf("first playClip, cold: %.2f ms for a clip of %.2f ms -> overhead %.2f ms\n",
                firstMs, firstLengthMs, firstMs - firstLengthMs);
    std::printf("decode one clip (NEW_R)              %7.2f ms\n", decodeOneMs);
    std::printf("decode all 42 clips                  %7.2f ms\n", decodeAllMs);

    // --- Announcements ---
    const QStringList russian = {"E_R", "A2_R", "TAKES_R", "E_R", "A4_R", "CHECK_R", "MAT_R"};
    const QStringList english = {"D", "A4", "TAKES", "E", "A5", "CHECK", "MAT"};
    std::vector<double> overheadRu, overheadEn, gaps;
    // Plays the announcement; when its clips have the sink's rate, finds them in the recording
    // and measures the silence between them.
    auto announce = [&](const QStringList& names, std::vector<double>& overhead) {
        QThread::msleep(300);
        const qint64 before = QFileInfo(capturePath).size() / (4 * captureChannels);
        for (const QString& name : names) {
            timer.restart();
            player.playClip(name);
            const double blockedMs = double(timer.nsecsElapsed()) / 1e6;
            overhead.push_back(blockedMs - double(clips.clip(name)->durationUs()) / 1e3);
        }
        if (clips.clip(names.front())->sampleRate != captureRate) {
            return;
        }
        QThread::msleep(300);
        const std::vector<qint16> played = Captured(capturePath, captureChannels, before);
        qsizetype at = 0;
        qsizetype previousEnd = -1;
        for (const QString& name : names) {
            qsizetype audible = 0;
            const qsizetype found = FindAudible(played, at, SamplesOf(*clips.clip(name)), &audible);
            if (found < 0) {
                std::fprintf(stderr, "%s not found in the recording\n", qPrintable(name));
                return;
            }
            if (previousEnd >= 0) {
                gaps.push_back(1000.0 * double(found - previousEnd) / captureRate);
            }
            previousEnd = found + audible;
            at = previousEnd;
        }
    };
    for (int round = 0; round < rounds; ++round) {
        announce(russian, overheadRu);
        announce(english, overheadEn);
    }
    Print("per call, Russian (blocked - length)", StatsOf(overheadRu), overheadRu.size());
    Print("per call, English (blocked - length)", StatsOf(overheadEn), overheadEn.size());
    Print(captureRate == 22050 ? "gap between Russian clips (recorded)"
                               : "gap between English clips (recorded)",
          StatsOf(gaps), gaps.size());
    std::printf("(the sink records in blocks of %.1f ms, which bounds the gaps' resolution)\n",
                4096.0 / (4.0 * captureChannels) / captureRate * 1000.0);
    return 0;
}
