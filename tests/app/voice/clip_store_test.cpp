// The built-in clip set and the clip store: the set, formats, lookup, the report of a broken file,
// and the WAV reader's rejection of anything but 16-bit mono PCM.

#include "voice/clip_store.h"
#include "voice/wav_decoder.h"
#include "wav_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using morvantide::ClipStore;
using morvantide::DecodeWav;
using morvantide::PcmClip;

namespace {

const QStringList kWords = {"A",  "B",  "C",     "D",     "E",   "F",        "G",
                            "H",  "A8", "A7",    "A6",    "A5",  "A4",       "A3",
                            "A2", "A1", "TAKES", "CHECK", "MAT", "CASTLING", "NEW"};

QByteArray Samples(std::initializer_list<qint16> values) {
    QByteArray bytes;
    for (qint16 value : values) {
        bytes += LittleEndian16(quint16(value));
    }
    return bytes;
}

const QByteArray kSamples = Samples({0, 1, -1, 32767, -32768, 1234});

QStringList messages;

void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    messages.append(text);
}

} // namespace

class ClipStoreTest : public QObject {
    Q_OBJECT

private slots:
    // Each of them is looked up and decoded by the table below; no other file comes with them.
    void theBuiltInSetHoldsThe42ClipsAndNoOthers() {
        QStringList expected;
        for (const QString& word : kWords) {
            expected << word + ".wav" << word + "_R.wav";
        }
        expected.sort();
        QCOMPARE(QDir(QStringLiteral(":/clips")).entryList(QDir::AllEntries, QDir::Name), expected);
    }

    void eachBuiltInClipHasItsFormatAndLength_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rate");
        for (const QString& word : kWords) {
            QTest::newRow(qPrintable(word)) << word << 11025;
            QTest::newRow(qPrintable(word + "_R")) << word + "_R" << 22050;
        }
    }

    void eachBuiltInClipHasItsFormatAndLength() {
        QFETCH(QString, name);
        QFETCH(int, rate);
        ClipStore store;
        const PcmClip* clip = store.clip(name);
        QVERIFY2(clip != nullptr, qPrintable(name));
        QCOMPARE(clip->sampleRate, rate);
        QCOMPARE(clip->channelCount, 1);
        QCOMPARE(clip->bitsPerSample, 16);
        QVERIFY2(clip->durationUs() >= 300'000 && clip->durationUs() <= 1'400'000,
                 qPrintable(QString::number(clip->durationUs()) + " us"));
        // Not silence: a trimmed, normalised recording peaks well above the noise.
        const auto* pcm = reinterpret_cast<const qint16*>(clip->samples.constData());
        const qint16 peak = *std::max_element(pcm, pcm + clip->frameCount(),
                                              [](qint16 a, qint16 b) { return qAbs(a) < qAbs(b); });
        QVERIFY(qAbs(peak) > 3000);
    }

    void namesAreFoundWithoutRegardToCase_data() {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lower rank") << "a8_r"
                                    << "A8_R";
        QTest::newRow("mixed rank") << "A8_r"
                                    << "A8_R";
        QTest::newRow("lower letter") << "h"
                                      << "H";
        QTest::newRow("lower word") << "takes"
                                    << "TAKES";
        QTest::newRow("mixed word") << "Castling_R"
                                    << "CASTLING_R";
        QTest::newRow("as the window asks") << "MAT_r"
                                            << "MAT_R";
    }

    void namesAreFoundWithoutRegardToCase() {
        QFETCH(QString, asked);
        QFETCH(QString, stored);
        ClipStore store;
        const PcmClip* clip = store.clip(asked);
        QVERIFY(clip != nullptr);
        // The same decoded clip, kept from the first lookup.
        QCOMPARE(store.clip(stored), clip);
    }

    void unknownNamesAreNotFound_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("no such letter") << "I";
        QTest::newRow("no such rank") << "A9";
        QTest::newRow("suffix twice") << "A8_R_R";
        QTest::newRow("suffix alone") << "_R";
        QTest::newRow("with extension") << "A.wav";
        QTest::newRow("with folder") << "clips/A";
        QTest::newRow("path escape") << "../clips/A";
        QTest::newRow("padded") << " A";
    }

    void unknownNamesAreNotFound() {
        QFETCH(QString, name);
        QVERIFY(ClipStore().clip(name) == nullptr);
    }

    void wellFormedWavIsDecoded_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rate");
        QTest::newRow("plain") << MonoWav(11025, kSamples) << 11025;
        QTest::newRow("other chunks between")
            << Riff(Chunk("LIST", "INFOISFT" + LittleEndian32(4) + QByteArray("sox", 4)) +
                    FmtChunk(1, 1, 22050) + Chunk("fact", LittleEndian32(6)) +
                    Chunk("data", kSamples))
            << 22050;
        QTest::newRow("odd chunk padded")
            << Riff(FmtChunk() + Chunk("junk", "abc") + Chunk("data", kSamples)) << 11025;
        QTest::newRow("data before fmt") << Riff(Chunk("data", kSamples) + FmtChunk()) << 11025;
        QTest::newRow("trailing bytes after the RIFF")
            << Riff(FmtChunk() + Chunk("data", kSamples)) + "tail" << 11025;
        QTest::newRow("fmt with extension bytes")
            << Riff(Chunk("fmt ", FmtChunk().mid(8) + LittleEndian16(0)) + Chunk("data", kSamples))
            << 11025;
    }

    void wellFormedWavIsDecoded() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rate);
        QString error;
        const std::optional<PcmClip> clip = DecodeWav(bytes, &error);
        QVERIFY2(clip.has_value(), qPrintable(error));
        QCOMPARE(clip->sampleRate, rate);
        QCOMPARE(clip->channelCount, 1);
        QCOMPARE(clip->bitsPerSample, 16);
        QCOMPARE(clip->frameCount(), 6);
        const auto* pcm = reinterpret_cast<const qint16*>(clip->samples.constData());
        QCOMPARE(QList<qint16>(pcm, pcm + 6), QList<qint16>({0, 1, -1, 32767, -32768, 1234}));
    }

    void malformedWavIsRejected_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray data = Chunk("data", kSamples);
        const QByteArray good = Riff(FmtChunk() + data);

        QTest::newRow("empty") << QByteArray() << "too short";
        QTest::newRow("header cut") << good.left(11) << "too short";
        QTest::newRow("not RIFF") << "RIFX" + good.mid(4) << "not a RIFF file";
        QTest::newRow("not WAVE") << Riff(FmtChunk() + data, "AVI ") << "not a WAVE file";
        QTest::newRow("file cut short") << good.left(good.size() - 3) << "cut short";
        QTest::newRow("chunk past the end")
            << Riff(FmtChunk() + "data" + LittleEndian32(1000) + kSamples) << "runs past the end";
        QTest::newRow("no fmt") << Riff(data) << "no fmt chunk";
        QTest::newRow("fmt too short")
            << Riff(Chunk("fmt ", FmtChunk().mid(8, 14)) + data) << "fmt chunk is too short";
        QTest::newRow("float samples") << Riff(FmtChunk(3, 1, 11025, 32) + data) << "format tag 3";
        QTest::newRow("extensible") << Riff(FmtChunk(0xFFFE) + data) << "format tag 65534";
        QTest::newRow("stereo") << Riff(FmtChunk(1, 2) + data) << "2 channels";
        QTest::newRow("8-bit") << Riff(FmtChunk(1, 1, 11025, 8) + data) << "8 bits";
        QTest::newRow("24-bit") << Riff(FmtChunk(1, 1, 11025, 24) + data) << "24 bits";
        QTest::newRow("rate zero") << Riff(FmtChunk(1, 1, 0) + data) << "sample rate of 0";
        QByteArray wrongByteRate = FmtChunk();
        wrongByteRate.replace(16, 4, LittleEndian32(12345));
        QTest::newRow("byte rate wrong") << Riff(wrongByteRate + data) << "inconsistent";
        QTest::newRow("no data") << Riff(FmtChunk()) << "no data chunk";
        QTest::newRow("empty data") << Riff(FmtChunk() + Chunk("data", {})) << "no samples";
        QTest::newRow("half a sample")
            << Riff(FmtChunk() + Chunk("data", kSamples + 'x')) << "inside a sample";
    }

    void malformedWavIsRejected() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(!DecodeWav(bytes, &error).has_value());
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    // The broken file is named once with the reason; the store still serves the others.
    void aMalformedFileIsRejectedAndTheOthersStillLoad() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        auto write = [&dir](const QString& name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write("good.wav", MonoWav(11025, kSamples));
        write("bad.wav", "this is no wave file");
        write("notes.txt", "not a clip");

        messages.clear();
        qInstallMessageHandler(RecordMessage);
        ClipStore store(dir.path());
        const bool badRejected = store.clip("bad") == nullptr && store.clip("BAD") == nullptr;
        const PcmClip* good = store.clip("good");
        const bool notesIgnored = store.clip("notes") == nullptr;
        qInstallMessageHandler(nullptr);
        QVERIFY(badRejected);
        QVERIFY(notesIgnored);
        QVERIFY(good != nullptr);
        QCOMPARE(good->frameCount(), 6);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(dir.filePath("bad.wav") + ": not a RIFF file"),
                 qPrintable(messages[0]));
    }
};

QTEST_GUILESS_MAIN(ClipStoreTest)
#include "clip_store_test.moc"
