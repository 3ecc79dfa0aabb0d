// The program loads the voice module, and with it Qt Multimedia, only when the first clip is
// played or the voice is asked whether it can be heard; a module that cannot be loaded leaves
// the voice silent and says why.

#include "voice/loaded_clip_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

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

} // namespace

class VoiceModuleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!MultimediaIsMapped()); }

    void unusableCandidatesLeaveTheVoiceSilent_data() {
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<QString>("reason");
        const QString notFound = QStringLiteral("не найден модуль голоса");
        const QString notLoading = QStringLiteral("модуль голоса не загружается");
        QTest::newRow("none") << QStringList{} << notFound;
        QTest::newRow("missing file")
            << QStringList{QStringLiteral("/nonexistent/voice.so")} << notFound;
        QTest::newRow("no entry") << QStringList{kOtherLibrary} << notLoading;
        QTest::newRow("not a library") << QStringList{kNotALibrary} << notLoading;
        QTest::newRow("missing file, then no entry")
            << QStringList{QStringLiteral("/nonexistent/voice.so"), kOtherLibrary} << notLoading;
    }
    void unusableCandidatesLeaveTheVoiceSilent() {
        QFETCH(QStringList, candidates);
        QFETCH(QString, reason);
        messages.clear();
        qInstallMessageHandler(RecordMessage);
        LoadedClipPlayer player(candidates);
        QElapsedTimer timer;
        timer.start();
        for (const char* clip : {"NEW", "A_R", "TAKES"})
            player.playClip(QString::fromLatin1(clip));
        qInstallMessageHandler(nullptr);
        QVERIFY(timer.elapsed() < 500);
        QCOMPARE(player.unavailableReason().value_or(QString()), reason);
        const QString text = VoiceUnavailableText(reason);
        QVERIFY2(text.startsWith(QStringLiteral("Голос недоступен")) && text.contains(reason),
                 qPrintable(text));
        QCOMPARE(messages.size(), 1);
        QVERIFY(!MultimediaIsMapped());
    }

    // The first candidate that loads and has the entry is used; Qt Multimedia comes with it.
    void theModuleIsLoadedOnFirstUse_data() {
        QTest::addColumn<QStringList>("candidates");
        QTest::newRow("after a missing file")
            << QStringList{QStringLiteral("/nonexistent/voice.so"), kModule};
        QTest::newRow("after a library without the entry") << QStringList{kOtherLibrary, kModule};
    }
    void theModuleIsLoadedOnFirstUse() {
        QFETCH(QStringList, candidates);
        LoadedClipPlayer player(candidates);
        // The module answers for the sound output, and there is no sound server here.
        QCOMPARE(player.unavailableReason().value_or(QString()),
                 QStringLiteral("нет вывода звука"));
        QVERIFY(MultimediaIsMapped());
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
    VoiceModuleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "voice_module_test.moc"
