// Playback through a real sound server: run under with-pulse.sh, whose private PulseAudio daemon
// plays in real time into a capture file. A call must block for about the clip's length, and the
// server must have received the whole clip.

#include "sink_capture.h"
#include "voice/audio_clip_player.h"
#include "wav_bytes.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cmath>

using morvantide::AudioClipPlayer;
using morvantide::ClipStore;
using morvantide::PcmClip;

namespace {

// Time for the sink's last block to pass through the FIFO into the capture.
constexpr int kSettleMs = 250;
// Below this a captured sample counts as silence (about -54 dBFS); resampling leaves faint
// ringing around the clip's edges.
constexpr int kSilence = 64;

QVector<qint16> SamplesOf(const PcmClip& clip) {
    const auto* pcm = reinterpret_cast<const qint16*>(clip.samples.constData());
    return QVector<qint16>(pcm, pcm + clip.frameCount());
}

qsizetype LeadingSilence(const QVector<qint16>& clip) {
    qsizetype first = 0;
    while (first < clip.size() && clip[first] == 0)
        ++first;
    return first;
}

// Where the clip's audible part starts in `played`, sample for sample (give or take one step
// of rounding), at or after `from`; -1 when it is not there whole.
qsizetype FindExact(const QVector<qint16>& played, qsizetype from, const QVector<qint16>& clip) {
    const qsizetype first = LeadingSilence(clip);
    qsizetype last = clip.size() - 1;
    while (last > first && clip[last] == 0) {
        --last;
    }
    const qsizetype length = last - first + 1;
    for (qsizetype at = from; at + length <= played.size(); ++at) {
        if (played[at] == 0) {
            continue;
        }
        qsizetype k = 0;
        while (k < length && qAbs(played[at + k] - clip[first + k]) <= 1) {
            ++k;
        }
        if (k == length) {
            return at;
        }
    }
    return -1;
}

struct Span {
    qsizetype first = -1;
    qsizetype last = -1;
    double energy = 0;
    qsizetype length() const { return first < 0 ? 0 : last - first + 1; }
};

Span AudibleSpan(const QVector<qint16>& samples) {
    Span span;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (qAbs(samples[i]) > kSilence) {
            if (span.first < 0) {
                span.first = i;
            }
            span.last = i;
        }
        span.energy += double(samples[i]) * samples[i];
    }
    return span;
}

// A 16-bit mono WAV file of a 440 Hz tone.
QByteArray ToneWav(int rate, int frames) {
    QByteArray data(frames * 2, '\0');
    for (int i = 0; i < frames; ++i) {
        const auto value = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
        qToLittleEndian(value, data.data() + 2 * i);
    }
    return MonoWav(quint32(rate), data);
}

bool AllSilent(const QVector<qint16>& samples, qsizetype from = 0) {
    return std::all_of(samples.begin() + std::min(from, samples.size()), samples.end(),
                       [](qint16 s) { return qAbs(s) <= kSilence; });
}

} // namespace

class PlaybackTest : public QObject {
    Q_OBJECT

public:
    PlaybackTest() = default;

private:
    SinkCapture capture_;
    AudioClipPlayer player_;
    // The same built-in clips, to compare with what was heard.
    ClipStore clips_;

    // Plays `name` and checks that the call blocked for the clip's length, within 15 %.
    void playTimed(const QString& name, qint64* blockedUs = nullptr) {
        const PcmClip* clip = clips_.clip(name);
        QVERIFY2(clip != nullptr, qPrintable(name));
        QElapsedTimer timer;
        timer.start();
        player_.playClip(name);
        const qint64 elapsed = timer.nsecsElapsed() / 1000;
        if (blockedUs != nullptr) {
            *blockedUs = elapsed;
        }
        const double ratio = double(elapsed) / double(clip->durationUs());
        QVERIFY2(ratio > 0.85 && ratio < 1.15,
                 qPrintable(QStringLiteral("%1: blocked %2 ms for a clip of %3 ms")
                                .arg(name)
                                .arg(elapsed / 1000.0)
                                .arg(clip->durationUs() / 1000.0)));
    }

private slots:
    void initTestCase() {
        QVERIFY2(capture_.isValid(), "run this test through with-pulse.sh");
        QVERIFY2(!QMediaDevices::defaultAudioOutput().isNull(),
                 "no audio output: the private PulseAudio daemon is not reachable");
        // The voice counts as available: the probe's stream opens.
        const std::optional<QString> reason = player_.unavailableReason();
        QVERIFY2(!reason.has_value(), qPrintable(reason.value_or(QString())));
    }

    void init() { QTest::qWait(100); }

    void aClipBlocksForItsLengthAndReachesTheSinkWhole_data() {
        QTest::addColumn<QString>("name");
        // The shortest and the longest of each language, and a few between.
        for (const char* name : {"A_R", "F_R", "A3_R", "A8_R", "CHECK_R", "NEW_R", "CASTLING_R",
                                 "E", "F", "A5", "TAKES", "CASTLING"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void aClipBlocksForItsLengthAndReachesTheSinkWhole() {
        QFETCH(QString, name);
        const PcmClip& clip = *clips_.clip(name);
        const qint64 before = capture_.frameCount();
        playTimed(name);
        if (QTest::currentTestFailed()) {
            return;
        }
        QTest::qWait(kSettleMs);
        const QVector<qint16> played = capture_.samplesFrom(before);

        if (clip.sampleRate == capture_.sampleRate()) {
            // Same rate as the sink: the server passes the samples through unchanged.
            QVERIFY2(FindExact(played, 0, SamplesOf(clip)) >= 0,
                     "the capture does not hold the whole clip sample for sample");
        } else {
            // Resampled by the server: compare how long the clip is audible, and its energy.
            const Span want = AudibleSpan(SamplesOf(clip));
            const Span got = AudibleSpan(played);
            const double wantMs = 1000.0 * double(want.length()) / clip.sampleRate;
            const double gotMs = 1000.0 * double(got.length()) / capture_.sampleRate();
            QVERIFY2(
                qAbs(gotMs - wantMs) <= 10.0,
                qPrintable(
                    QStringLiteral("audible for %1 ms, expected %2 ms").arg(gotMs).arg(wantMs)));
            const double energyRatio =
                (got.energy / capture_.sampleRate()) / (want.energy / clip.sampleRate);
            QVERIFY2(energyRatio > 0.7 && energyRatio < 1.4,
                     qPrintable(QStringLiteral("energy ratio %1").arg(energyRatio)));
        }
    }

    // A phrase is one stream: each clip starts where the one before ends, give or take 10 ms,
    // and the call returns when the last clip has been heard, so the castling clip has ended
    // before the rook steps.
    void aPhraseIsHeardWithoutGapsAndToItsEndWhenTheCallReturns_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("e2-e4") << QStringList{"E_R", "A2_R", "E_R", "A4_R"};
        QTest::newRow("a capture that takes a king")
            << QStringList{"E_R", "A2_R", "TAKES_R", "E_R", "A4_R", "CHECK_R", "MAT_R"};
        QTest::newRow("castling") << QStringList{"CASTLING_R"};
    }

    void aPhraseIsHeardWithoutGapsAndToItsEndWhenTheCallReturns() {
        QFETCH(QStringList, names);
        qint64 lengthUs = 0;
        for (const QString& name : names)
            lengthUs += clips_.clip(name)->durationUs();
        const qint64 before = capture_.frameCount();
        QElapsedTimer timer;
        timer.start();
        player_.playPhrase(names);
        const qint64 blockedUs = timer.nsecsElapsed() / 1000;
        QVERIFY2(blockedUs > lengthUs * 0.95 && blockedUs < lengthUs + 150'000,
                 qPrintable(QStringLiteral("blocked %1 ms for %2 ms of clips")
                                .arg(blockedUs / 1000)
                                .arg(lengthUs / 1000)));
        // Only the sink's last block (6 ms) and the copy out of the FIFO may still be on the way.
        QTest::qWait(40);
        const QVector<qint16> played = capture_.samplesFrom(before);
        const qsizetype tenMs = capture_.sampleRate() / 100;
        qsizetype expected = -1; // where the next clip's first sample belongs
        for (const QString& name : names) {
            const QVector<qint16> clip = SamplesOf(*clips_.clip(name));
            const qsizetype lead = LeadingSilence(clip);
            const qsizetype found = FindExact(played, std::max<qsizetype>(expected, 0), clip);
            QVERIFY2(found >= 0, qPrintable(name + " is missing or cut"));
            if (expected >= 0) {
                QVERIFY2(qAbs(found - lead - expected) <= tenMs,
                         qPrintable(QStringLiteral("%1 starts %2 ms after the clip before ends")
                                        .arg(name)
                                        .arg(1000.0 * double(found - lead - expected) /
                                             capture_.sampleRate())));
            }
            expected = found - lead + clip.size();
        }
    }

    void aCallWhileAClipPlaysIsDropped() {
        qint64 nestedUs = -1;
        QTimer::singleShot(150, this, [this, &nestedUs] {
            QElapsedTimer timer;
            timer.start();
            player_.playClip("A_R");
            nestedUs = timer.nsecsElapsed() / 1000;
        });
        const qint64 before = capture_.frameCount();
        playTimed("CASTLING_R");
        QVERIFY2(nestedUs >= 0, "the nested call was never made");
        QVERIFY2(nestedUs < 20'000, qPrintable(QString::number(nestedUs) + " us"));

        QTest::qWait(kSettleMs);
        const QVector<qint16> played = capture_.samplesFrom(before);
        const QVector<qint16> clip = SamplesOf(*clips_.clip("CASTLING_R"));
        const qsizetype found = FindExact(played, 0, clip);
        QVERIFY(found >= 0);
        QVERIFY2(AllSilent(played, found + clip.size()), "something played after the clip");
        QVERIFY(FindExact(played, 0, SamplesOf(*clips_.clip("A_R"))) < 0);
    }

    void aClipShorterThanTheServersBufferIsHeardWhole() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath("BEEP.wav"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ToneWav(capture_.sampleRate(), capture_.sampleRate() / 20));
        file.close();
        ClipStore clips(dir.path());
        const PcmClip* clip = clips.clip("beep");
        QVERIFY(clip != nullptr);
        AudioClipPlayer player{ClipStore(dir.path())};

        const qint64 before = capture_.frameCount();
        QElapsedTimer timer;
        timer.start();
        player.playClip("beep");
        // Well inside the guard of any output.
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed()) + " ms"));
        QTest::qWait(kSettleMs);
        QVERIFY(FindExact(capture_.samplesFrom(before), 0, SamplesOf(*clip)) >= 0);
    }

    void anUnknownClipReturnsAtOnceAndPlaysNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("no such clip") << "A9";
        QTest::newRow("empty name") << "";
    }

    void anUnknownClipReturnsAtOnceAndPlaysNothing() {
        QFETCH(QString, name);
        const qint64 before = capture_.frameCount();
        QElapsedTimer timer;
        timer.start();
        player_.playClip(name);
        QVERIFY(timer.elapsed() < 20);
        QTest::qWait(kSettleMs);
        QVERIFY(AllSilent(capture_.samplesFrom(before)));
    }
};

QTEST_GUILESS_MAIN(PlaybackTest)
#include "playback_test.moc"
