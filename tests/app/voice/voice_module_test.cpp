// The program loads the voice module, and with it Qt Multimedia, only when the first clip is
// played or the voice is asked whether it can be heard; a module that cannot be loaded leaves
// the voice silent and says why, and is looked for again at the next question.
//
// Whether Qt Multimedia is mapped is a fact about the whole process, and a loaded module stays
// loaded: so each case runs in a child process of its own (this program started with "--child"),
// whatever ran before it.

#include "voice/loaded_clip_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

using morvantide::LoadedClipPlayer;
using morvantide::VoiceUnavailableText;

namespace {

QStringList messages;

void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    messages.append(text);
}

bool MultimediaIsMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

const QString kModule = QStringLiteral(MORVANTIDE_VOICE_MODULE);
// A shared library that loads but has no entry of the voice module.
const QString kOtherLibrary = QStringLiteral(MORVANTIDE_OTHER_LIBRARY);
// A file that exists but is no library: this test's source.
const QString kNotALibrary = QStringLiteral(MORVANTIDE_NOT_A_LIBRARY);
const QString kNotFound = QStringLiteral("не найден модуль голоса");
const QString kNotLoading = QStringLiteral("модуль голоса не загружается");
const QString kNoOutput = QStringLiteral("нет вывода звука");

QString ReasonText(const std::optional<QString>& reason) {
    return reason.value_or(QStringLiteral("-"));
}

// The child's side: makes a player with these candidates (nothing is loaded yet), asks it why it
// cannot be heard, plays three clips, copies the module to `installAt` (when given) and asks
// again. Prints one line per fact.
int RunChild(const QStringList& candidates, const QString& installAt) {
    qInstallMessageHandler(RecordMessage);
    LoadedClipPlayer player(candidates);
    const bool mappedBefore = MultimediaIsMapped();
    const QString first = ReasonText(player.unavailableReason());
    QElapsedTimer timer;
    timer.start();
    for (const char* clip : {"NEW", "A_R", "TAKES"})
        player.playClip(QString::fromLatin1(clip));
    const qint64 playedMs = timer.elapsed();
    const qsizetype messagesAfterFirst = messages.size();
    if (!installAt.isEmpty() && !QFile::copy(kModule, installAt))
        return 3;
    const QString second = ReasonText(player.unavailableReason());
    qInstallMessageHandler(nullptr);
    const QStringList facts = {
        QStringLiteral("mapped before: %1").arg(mappedBefore),
        QStringLiteral("first reason: %1").arg(first),
        QStringLiteral("messages: %1").arg(messagesAfterFirst),
        QStringLiteral("clips took under 500 ms: %1").arg(playedMs < 500),
        QStringLiteral("second reason: %1").arg(second),
        QStringLiteral("mapped after: %1").arg(MultimediaIsMapped()),
    };
    std::fputs(qPrintable(facts.join('\n') + '\n'), stdout);
    return 0;
}

// Runs the child with these arguments; its lines of facts.
QStringList ChildFacts(const QStringList& arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + arguments);
    if (!child.waitForFinished(30'000) || child.exitCode() != 0)
        return {QStringLiteral("child failed with %1").arg(child.exitCode())};
    return QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// What the child should print; with `messages` left out when negative, as from the facts by
// WithoutMessages(): Qt Multimedia may or may not warn about the missing sound server.
QStringList ExpectedFacts(const QString& first, int messages, const QString& second, bool mapped) {
    QStringList facts = {
        QStringLiteral("mapped before: 0"),
        QStringLiteral("first reason: ") + first,
        QStringLiteral("clips took under 500 ms: 1"),
        QStringLiteral("second reason: ") + second,
        QStringLiteral("mapped after: %1").arg(mapped),
    };
    if (messages >= 0)
        facts.insert(2, QStringLiteral("messages: %1").arg(messages));
    return facts;
}

QStringList WithoutMessages(QStringList facts) {
    facts.removeIf([](const QString& fact) { return fact.startsWith("messages: "); });
    return facts;
}

} // namespace

class VoiceModuleTest : public QObject {
    Q_OBJECT

private slots:
    // Silent and quick; one line on standard error says why, and the box's text names the cause.
    void unusableCandidatesLeaveTheVoiceSilent_data() {
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<QString>("reason");
        QTest::newRow("none") << QStringList{} << kNotFound;
        QTest::newRow("missing file")
            << QStringList{QStringLiteral("/nonexistent/voice.so")} << kNotFound;
        QTest::newRow("no entry") << QStringList{kOtherLibrary} << kNotLoading;
        QTest::newRow("not a library") << QStringList{kNotALibrary} << kNotLoading;
        QTest::newRow("missing file, then no entry")
            << QStringList{QStringLiteral("/nonexistent/voice.so"), kOtherLibrary} << kNotLoading;
    }
    void unusableCandidatesLeaveTheVoiceSilent() {
        QFETCH(QStringList, candidates);
        QFETCH(QString, reason);
        QCOMPARE(ChildFacts(QStringList{"--candidates"} + candidates),
                 ExpectedFacts(reason, 1, reason, false));
        const QString text = VoiceUnavailableText(reason);
        QVERIFY2(text.startsWith(QStringLiteral("Голос недоступен")) && text.contains(reason),
                 qPrintable(text));
    }

    // The first candidate that loads and has the entry is used; Qt Multimedia comes with it, and
    // the module answers for the sound output, which is missing here.
    void theModuleIsLoadedOnFirstUse_data() {
        QTest::addColumn<QStringList>("candidates");
        QTest::newRow("after a missing file")
            << QStringList{QStringLiteral("/nonexistent/voice.so"), kModule};
        QTest::newRow("after a library without the entry") << QStringList{kOtherLibrary, kModule};
    }
    void theModuleIsLoadedOnFirstUse() {
        QFETCH(QStringList, candidates);
        QCOMPARE(WithoutMessages(ChildFacts(QStringList{"--candidates"} + candidates)),
                 ExpectedFacts(kNoOutput, -1, kNoOutput, true));
    }

    // A module installed after a question that did not find it is found at the next question.
    void aModuleInstalledLaterIsFoundAtTheNextQuestion() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString place = dir.filePath(QStringLiteral("libmorvantide-voice.so"));
        QCOMPARE(ChildFacts({"--install-at", place, "--candidates", place}),
                 ExpectedFacts(kNotFound, 1, kNoOutput, true));
    }

    // Then where the package installs it, for a program copied elsewhere. The paths are clean,
    // as the warning shows them.
    void theProgramLooksBesideItselfThenInItsLibraryFolder() {
        const QStringList candidates = LoadedClipPlayer::installedCandidates();
        const QString folder = QCoreApplication::applicationDirPath();
        QCOMPARE(candidates.mid(0, 2),
                 (QStringList{
                     folder + "/libmorvantide-voice.so",
                     QDir::cleanPath(folder + "/../lib/games/morvantide/libmorvantide-voice.so")}));
        QVERIFY(candidates.contains("/usr/lib/games/morvantide/libmorvantide-voice.so"));
        for (const QString& candidate : candidates)
            QCOMPARE(candidate, QDir::cleanPath(candidate));
    }
};

int main(int argc, char** argv) {
    // No sound server: the module is only loaded, nothing is heard.
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse");
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--child")) {
        const qsizetype install = arguments.indexOf(QStringLiteral("--install-at"));
        const QString installAt = install >= 0 ? arguments.value(install + 1) : QString();
        const qsizetype listed = arguments.indexOf(QStringLiteral("--candidates"));
        return RunChild(arguments.mid(listed + 1), installAt);
    }
    VoiceModuleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "voice_module_test.moc"
