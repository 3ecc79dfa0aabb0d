#include "frame.h"
#include "morvantide/instance_lock.h"
#include "piece_picture.h"
#include "qt_user_dialogs.h"
#include "test_doubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

    void refusedWhileAnotherCopyHoldsTheName() {
        InstanceLock running(TFrame::kInstanceLockName);
        QVERIFY(running.isHeld());
        ScriptedDialogs dialogs;
        TFrame frame(voice_, dialogs);

        QVERIFY(frame.refusedToStart());
        QCOMPARE(dialogs.information, QStringList{kRefusal});
        QCOMPARE(dialogs.informationCaptions, QStringList{kCaption});
        QCOMPARE(dialogs.informationOwners, QList<QWidget*>{&frame});
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!frame.isVisible());
        QVERIFY(frame.InstanceMutex);
        QVERIFY(frame.InstanceMutex->alreadyExisted());
        // The rest of the creation ran: the refused window is complete, only never shown.
        QVERIFY(frame.IniFile);
        QCOMPARE(frame.PieceImages[32]->Tag, 32);
    }

    void firstCopyHoldsTheNameUntilItIsDestroyed() {
        {
            ScriptedDialogs dialogs;
            TFrame frame(voice_, dialogs);
            QVERIFY(!frame.refusedToStart());
            QVERIFY(dialogs.information.isEmpty());
            QVERIFY(frame.InstanceMutex);
            QVERIFY(!frame.InstanceMutex->alreadyExisted());

            InstanceLock later(TFrame::kInstanceLockName);
            QVERIFY(later.alreadyExisted());
        }
        InstanceLock afterwards(TFrame::kInstanceLockName);
        QVERIFY(!afterwards.alreadyExisted());
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
