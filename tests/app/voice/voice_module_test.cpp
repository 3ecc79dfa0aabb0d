// The program loads the voice module, and with it Qt Multimedia, only when the first clip is
// played; a module that cannot be loaded leaves the voice silent.

#include "voice/loaded_clip_player.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

using morvantide::LoadedClipPlayer;

namespace {

QStringList messages;

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    messages.append(text);
}

bool multimediaIsMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

const QString kModule = QStringLiteral(MORVANTIDE_VOICE_MODULE);
// A shared library that loads but has no entry of the voice module.
const QString kOtherLibrary = QStringLiteral(MORVANTIDE_OTHER_LIBRARY);

} // namespace

class VoiceModuleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!multimediaIsMapped()); }

    void unusableCandidatesLeaveTheVoiceSilent_data() {
        QTest::addColumn<QStringList>("candidates");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("missing file") << QStringList{QStringLiteral("/nonexistent/voice.so")};
        QTest::newRow("no entry") << QStringList{kOtherLibrary};
        QTest::newRow("not a library") << QStringList{QStringLiteral(__FILE__)};
    }
    void unusableCandidatesLeaveTheVoiceSilent() {
        QFETCH(QStringList, candidates);
        messages.clear();
        qInstallMessageHandler(recordMessage);
        LoadedClipPlayer player(candidates);
        QElapsedTimer timer;
        timer.start();
        for (const char* clip : {"NEW", "A_R", "TAKES"})
            player.playClip(QString::fromLatin1(clip));
        qInstallMessageHandler(nullptr);
        QVERIFY(timer.elapsed() < 500);
        QVERIFY(!player.load());
        QCOMPARE(messages.size(), 1);
        QVERIFY(!multimediaIsMapped());
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
        QVERIFY(player.load());
        QVERIFY(multimediaIsMapped());
    }

    void theProgramLooksBesideItselfThenInItsLibraryFolder() {
        const QStringList candidates = LoadedClipPlayer::installedCandidates();
        const QString folder = QCoreApplication::applicationDirPath();
        QCOMPARE(candidates,
                 (QStringList{folder + "/libmorvantide-voice.so",
                              folder + "/../lib/games/morvantide/libmorvantide-voice.so"}));
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
