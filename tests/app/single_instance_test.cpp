#include "main_window.h"
#include "morvantide/instance_lock.h"
#include "piece_picture.h"
#include "program_setup.h"
#include "qt_user_dialogs.h"
#include "test_doubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <optional>
#include <string>
#include <vector>

using namespace morvantide;

namespace {

const QString kRefusal = QStringLiteral("Программа уже запущена! ");
const QString kCaption = QStringLiteral("Шахматы (альфа версия)");

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir runtime_;
    RecordingClipPlayer voice_;

private slots:
    void initTestCase() {
        // A runtime folder of this test only: it never meets a copy of the program that runs
        // for real. QTemporaryDir makes it private (0700).
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    void refusedOnlyWithoutTheSwitch_data() {
        QTest::addColumn<bool>("anotherCopyRuns");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("refused");
        QTest::newRow("first copy") << false << QStringList{} << false;
        QTest::newRow("second copy") << true << QStringList{} << true;
        QTest::newRow("second copy with x") << true << QStringList{"x"} << false;
    }

    void refusedOnlyWithoutTheSwitch() {
        QFETCH(bool, anotherCopyRuns);
        QFETCH(QStringList, arguments);
        QFETCH(bool, refused);
        std::optional<InstanceLock> running;
        if (anotherCopyRuns)
            running.emplace(kInstanceLockName);
        const std::unique_ptr<InstanceLock> lock = TakeInstanceLock();
        QVERIFY(lock);
        std::vector<std::string> args;
        for (const QString& argument : arguments)
            args.push_back(argument.toStdString());
        QCOMPARE(MustRefuseToStart(lock.get(), args), refused);
        // A copy whose lock could not be made runs as the first one.
        QVERIFY(!MustRefuseToStart(nullptr, {}));
    }

    // The box belongs to the main window, which exists but has never been shown.
    void theRefusalIsOwnedByTheUnshownMainWindow() {
        ScriptedDialogs dialogs;
        MainWindow frame(voice_, dialogs);
        ShowRefusal(dialogs, frame);
        QCOMPARE(dialogs.information, QStringList{kRefusal});
        QCOMPARE(dialogs.informationCaptions, QStringList{kCaption});
        QCOMPARE(dialogs.informationOwners, QList<QWidget*>{&frame});
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!frame.isVisible());
    }

    // The real box: the text, the caption, an information icon and one OK button.
    void refusalBoxLooksAsTheSystemsInformationBox() {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        // Reads the box from inside its own loop and closes it with its button, so a wrong
        // box fails the checks below instead of staying open.
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            if (box->standardButtons() == QMessageBox::Ok)
                box->button(QMessageBox::Ok)->click();
            else
                box->reject();
        });
        QtUserDialogs().showInformation(nullptr, kCaption, kRefusal);
        QCOMPARE(text, kRefusal);
        QCOMPARE(title, kCaption);
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(buttons.size(), 1);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
