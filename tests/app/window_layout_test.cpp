#include "about_window.h"
#include "application_title.h"
#include "flat_button.h"
#include "program_setup.h"
#include "qt_user_dialogs.h"
#include "window_driver.h"

#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

using namespace morvantide;

namespace {

// Runs `action` on the modal window once it is up, from inside its own event loop.
void WhenModalShown(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

// A control of the About window, by its name.
template <class T> T* Part(const AboutWindow& about, const char* name) {
    T* found = about.findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

QStringList LayerStacking(const WindowDriver& driver) {
    QStringList names;
    for (const QObject* child : driver.child("imBoard1")->parentWidget()->children())
        if (child->isWidgetType())
            names << child->objectName();
    return names;
}

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetUpProgram(*qApp); }

    // First, before anything else in this process could load one: the pictures are read by
    // Qt's own PNG reader, which needs no image-format plugin.
    void noImageFormatPluginForThePictures() {
        WindowDriver driver;
        QVERIFY(driver.start());
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("plugins/imageformats/"));
    }

    void windowFrame() {
        WindowDriver driver;
        MainWindow& frame = *driver.window;
        QCOMPARE(frame.objectName(), QStringLiteral("Frame"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Шахматы (альфа версия)"));
        QCOMPARE(frame.size(), QSize(630, 386));
        QCOMPARE(frame.font().pixelSize(), 15);
        QVERIFY(frame.font().bold());
        QCOMPARE(driver.child<QLabel>("imBoard1")->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(driver.child<QCheckBox>("cbInvert")->cursor().shape(), Qt::ArrowCursor);
        // The window's own pointer is set when it is first activated.
        QVERIFY(driver.start());
        QCOMPARE(frame.cursor().shape(), Qt::PointingHandCursor);
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        // Labels size themselves to their text: only their place is fixed (width -1).
        const struct {
            const char* name;
            QRect geometry;
            const char* text;
            const char* hint;
            int pixelSize;
            bool bold;
        } rows[] = {
            {"sbReset",
             {456, 70, 145, 27},
             "Новая игра",
             "Расставить фигуры на доске в исходное положение",
             17,
             true},
            {"SpeedButton1", {392, 8, 41, 41}, "?", "О программе", 29, true},
            {"cbInvert",
             {440, 8, 177, 17},
             "Перевернуть доску",
             "При игре чёрными лучше перевернуть доску",
             15,
             true},
            {"sound", {440, 40, 137, 17}, "Голос", "Произношение ходов", 15, true},
            {"RadioButton1", {511, 32, 110, 17}, "Английский", "", 15, true},
            {"RadioButton2", {511, 48, 90, 17}, "Русский", "", 15, true},
            {"Label3", {432, 120, -1, -1}, "Белые", "", 17, true},
            {"Label4", {536, 120, -1, -1}, "Черные", "", 17, true},
            {"Label1", {432, 146, -1, -1}, "Ход", "", 16, true},
            {"Label2", {536, 144, -1, -1}, "Ожидание", "", 15, true},
            {"Memo1", {431, 168, 74, 177}, "", "", 16, false},
            {"Memo2", {535, 168, 74, 177}, "", "", 16, false},
            {"Button2", {432, 352, 75, 25}, "Открыть", "", 12, true},
            {"Button1", {536, 352, 79, 25}, "Сохранить", "", 12, true},
            {"imBoard1", {0, 0, 385, 385}, "", "", 15, true},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name)
                << QString::fromLatin1(row.name) << row.geometry << QString::fromUtf8(row.text)
                << QString::fromUtf8(row.hint) << row.pixelSize << row.bold;
    }

    void controls() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        WindowDriver driver;
        auto* control = driver.window->findChild<QWidget*>(name);
        QVERIFY(control);
        const QPoint place = control->mapTo(driver.window.get(), QPoint(0, 0));
        QCOMPARE(place, geometry.topLeft());
        if (geometry.width() > 0)
            QCOMPARE(control->size(), geometry.size());
        QString shown;
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            shown = button->text();
        else if (auto* label = qobject_cast<QLabel*>(control))
            shown = label->text();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            shown = memo->toPlainText();
        QCOMPARE(shown, text);
        QCOMPARE(control->toolTip(), hint);
        QCOMPARE(control->font().pixelSize(), pixelSize);
        QCOMPARE(control->font().bold(), bold);
        // The face shown is the one Qt itself finds for the layout's family.
        const char* family = qobject_cast<QPlainTextEdit*>(control) ? "Bastarda"
                             : qobject_cast<QPushButton*>(control)  ? "Arial"
                                                                    : "Courier";
        QFont layout(QString::fromLatin1(family));
        layout.setPixelSize(pixelSize);
        layout.setBold(bold);
        QCOMPARE(QFontInfo(control->font()).family(), QFontInfo(layout).family());
    }

    void controlStates() {
        WindowDriver driver;
        MainWindow& frame = *driver.window;
        QVERIFY(!driver.child<QCheckBox>("cbInvert")->isChecked());
        QVERIFY(!driver.child<QCheckBox>("sound")->isChecked());
        QVERIFY(!driver.child<QRadioButton>("RadioButton1")->isChecked());
        QVERIFY(driver.child<QRadioButton>("RadioButton2")->isChecked());
        driver.child<QRadioButton>("RadioButton1")->click();
        QVERIFY(driver.child<QRadioButton>("RadioButton1")->isChecked());
        QVERIFY(!driver.child<QRadioButton>("RadioButton2")->isChecked());
        for (QPlainTextEdit* memo :
             {driver.child<QPlainTextEdit>("Memo1"), driver.child<QPlainTextEdit>("Memo2")}) {
            QVERIFY(memo->isReadOnly());
            QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            QCOMPARE(memo->palette().color(QPalette::Text), QColor(0, 0, 255));
        }
        for (QToolButton* flat : frame.findChildren<QToolButton*>()) {
            QCOMPARE(flat->focusPolicy(), Qt::NoFocus);
            QVERIFY(flat->autoRaise());
        }
        QCOMPARE(driver.child<FlatButton>("SpeedButton1")->palette().color(QPalette::ButtonText),
                 QColor(255, 255, 0));
        QCOMPARE(driver.child<QLabel>("Label1")->palette().color(QPalette::WindowText),
                 QColor(0, 128, 0));
        QCOMPARE(driver.child<QLabel>("Label2")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
    }

    void windowsStandOnTheBoardMarginGrey() {
        WindowDriver driver;
        AboutWindow about;
        // The board picture's margin is the same grey: no seam where the picture ends.
        const QLabel* board = driver.child<QLabel>(QStringLiteral("imBoard1"));
        const QColor grey = board->pixmap().toImage().pixelColor(0, 0);
        QCOMPARE(grey, QColor(212, 208, 200));
        for (const QWidget* window : {static_cast<QWidget*>(driver.window.get()),
                                      board->parentWidget(), static_cast<QWidget*>(&about)})
            QCOMPARE(window->palette().color(QPalette::Window), grey);
    }

    // "Белые" and "Черные" are written in the desktop's light and button-text colours, whatever
    // the desktop's palette: here an unusual one.
    void sideNamesTakeTheDesktopColours() {
        const char* windowClass = MainWindow::staticMetaObject.className();
        const QPalette desktop = QApplication::palette(windowClass);
        QPalette unusual = desktop;
        unusual.setColor(QPalette::Light, QColor(10, 20, 30));
        unusual.setColor(QPalette::ButtonText, QColor(40, 50, 60));
        QApplication::setPalette(unusual, windowClass);
        WindowDriver driver;
        QApplication::setPalette(desktop, windowClass);
        QCOMPARE(driver.child<QLabel>("Label3")->palette().color(QPalette::WindowText),
                 QColor(10, 20, 30));
        QCOMPARE(driver.child<QLabel>("Label4")->palette().color(QPalette::WindowText),
                 QColor(40, 50, 60));
    }

    void boxesFitTheirCaption_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("Я хожу") << "message" << ApplicationTitle() << "Я хожу";
        QTest::newRow("Disk full.") << "error" << ApplicationTitle() << "Disk full.";
        QTest::newRow("refusal") << "information"
                                 << "Шахматы (альфа версия)"
                                 << "Программа уже запущена! ";
        QTest::newRow("text wider than caption") << "information"
                                                 << "M"
                                                 << "Партия восстановлена!";
    }

    void boxesFitTheirCaption() {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QRect shown;
        int textWidth = 0;
        Qt::WindowFlags flags;
        WhenModalShown([&](QWidget* modal) {
            shown = modal->frameGeometry();
            flags = modal->windowFlags();
            if (modal->windowTitle() == caption)
                if (auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
                    textWidth = label->fontMetrics().horizontalAdvance(label->text());
            modal->close();
        });
        QtUserDialogs real;
        if (kind == "message")
            real.showMessage(nullptr, text);
        else if (kind == "error")
            real.showFileError(nullptr, text);
        else
            real.showInformation(nullptr, caption, text);
        QVERIFY(textWidth > 0); // the box showed the text under the caption
        // A dialog with a caption and a close button, without minimise or maximise buttons.
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(flags.testFlags(Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        // The caption in the bold title font, with room for four frame buttons at least as
        // wide as a line of that font; the text whole.
        const QFontMetrics title(CaptionFont());
        QVERIFY2(shown.width() >= title.horizontalAdvance(caption) + 4 * title.height(),
                 qPrintable(QStringLiteral("%1 px").arg(shown.width())));
        QVERIFY(shown.width() > textWidth);
        // Centred on the screen, give or take the frame's border.
        const QPoint off =
            shown.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY(std::abs(off.x()) <= 3 && std::abs(off.y()) <= 3);
    }

    // A modal window and its owner are minimised and restored together.
    void modalWindowsMinimiseWithTheirOwner_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("minimiseOwner");
        QTest::addColumn<bool>("restoreOwner");
        QTest::newRow("About minimised, program restored") << "about" << false << true;
        QTest::newRow("About minimised and restored") << "about" << false << false;
        QTest::newRow("program minimised under About") << "about" << true << true;
        QTest::newRow("box minimised, program restored") << "box" << false << true;
        QTest::newRow("file dialog minimised, program restored") << "file" << false << true;
    }
    void modalWindowsMinimiseWithTheirOwner() {
        QFETCH(QString, kind);
        QFETCH(bool, minimiseOwner);
        QFETCH(bool, restoreOwner);
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        bool bothMinimised = false;
        bool bothBack = false;
        WhenModalShown([&](QWidget* modal) {
            (minimiseOwner ? &owner : modal)->showMinimized();
            bothMinimised = owner.isMinimized() && modal->isMinimized();
            QWidget* restored = restoreOwner ? &owner : modal;
            restored->setWindowState(restored->windowState() & ~Qt::WindowMinimized);
            bothBack = !owner.isMinimized() && !modal->isMinimized();
            modal->close();
        });
        if (kind == "about")
            AboutWindow(&owner).showModal();
        else if (kind == "box")
            QtUserDialogs().showMessage(&owner, QStringLiteral("Я хожу"));
        else
            QtUserDialogs().chooseOpenFile(&owner, QStringLiteral("(*.sav)"), QString());
        QVERIFY(bothMinimised);
        QVERIFY(bothBack);
    }

    void piecesAtTheirDesignPlaces() {
        WindowDriver driver; // not shown: no new game has run yet
        QCOMPARE(driver.picture(1)->geometry(), QRect(30, 30, 40, 40));
        QCOMPARE(driver.picture(18)->geometry(), QRect(76, 273, 41, 40));
        QCOMPARE(driver.picture(30)->geometry(), QRect(235, 311, 41, 41));
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            PiecePicture* picture = driver.picture(slot);
            QCOMPARE(picture->slot().number(), slot);
            const bool backRank = slot <= 8 || slot >= 25;
            QCOMPARE(picture->toolTip().isEmpty(), !backRank);
            QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(driver.picture(5)->toolTip(), QStringLiteral("Король"));
        QCOMPARE(driver.picture(26)->toolTip(), QStringLiteral("Лошадь"));
    }

    // What a screen reader says of the controls whose text alone does not tell what they are.
    void accessibleNames_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("White's column") << "Memo1"
                                        << "Ходы белых"
                                        << "";
        QTest::newRow("Black's column") << "Memo2"
                                        << "Ходы черных"
                                        << "";
        QTest::newRow("?") << "SpeedButton1"
                           << "О программе"
                           << "";
        QTest::newRow("White's turn") << "Label1"
                                      << ""
                                      << "Метка белых";
        QTest::newRow("Black's turn") << "Label2"
                                      << ""
                                      << "Метка черных";
    }

    void accessibleNames() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        WindowDriver driver;
        QWidget* widget = driver.child(control);
        QCOMPARE(widget->accessibleName(), name);
        QCOMPARE(widget->accessibleDescription(), description);
    }

    // Flipped, the margin names the files h ... a and the ranks 1 ... 8: the letter above the
    // first column is the unflipped one above the last, and so on.
    void theFlippedMarginNamesTheSquaresAsTheyStand_data() {
        QTest::addColumn<QRect>("flipped");
        QTest::addColumn<QRect>("unflipped");
        QTest::newRow("letter above the first column")
            << QRect(46, 8, 12, 16) << QRect(326, 8, 12, 16);
        QTest::newRow("letter below the last column")
            << QRect(326, 361, 12, 16) << QRect(46, 361, 12, 16);
        QTest::newRow("digit beside the top row")
            << QRect(11, 46, 10, 12) << QRect(11, 326, 10, 12);
        QTest::newRow("digit right of the bottom row")
            << QRect(364, 326, 10, 12) << QRect(364, 46, 10, 12);
    }

    void theFlippedMarginNamesTheSquaresAsTheyStand() {
        QFETCH(QRect, flipped);
        QFETCH(QRect, unflipped);
        WindowDriver driver;
        auto* board = driver.child<QLabel>("imBoard1");
        const QImage before = board->pixmap().toImage();
        driver.child<QCheckBox>("cbInvert")->setChecked(true);
        const QImage after = board->pixmap().toImage();
        QVERIFY(after.copy(flipped) != before.copy(flipped));
        QCOMPARE(after.copy(flipped), before.copy(unflipped));
        // The squares stay as they are.
        QCOMPARE(after.copy(32, 32, 320, 320), before.copy(32, 32, 320, 320));
        driver.child<QCheckBox>("cbInvert")->setChecked(false);
        QCOMPARE(board->pixmap().toImage(), before);
    }

    void tooltipsOnlyWhereListed() {
        WindowDriver driver;
        QStringList withHints;
        for (const QWidget* widget : driver.window->findChildren<QWidget*>())
            if (!widget->toolTip().isEmpty())
                withHints << widget->objectName();
        withHints.sort();
        QStringList expected = {"sbReset", "SpeedButton1", "cbInvert", "sound"};
        for (int slot : {1, 2, 3, 4, 5, 6, 7, 8, 25, 26, 27, 28, 29, 30, 31, 32})
            expected << QStringLiteral("im%1").arg(slot);
        expected.sort();
        QCOMPARE(withHints, expected);
    }

    void stackingAtStart() {
        WindowDriver driver;
        QStringList expected = {"imBoard1"};
        for (int slot : {9,  7,  5,  4,  6,  3,  8,  17, 31, 29, 28, 30, 32, 18, 19, 20,
                         21, 22, 23, 24, 25, 26, 27, 1,  2,  10, 12, 11, 16, 15, 14, 13})
            expected << QStringLiteral("im%1").arg(slot);
        expected << "sbReset"
                 << "Label1"
                 << "Label2"
                 << "Label3"
                 << "Label4"
                 << "SpeedButton1";
        QCOMPARE(LayerStacking(driver), expected);
        // The standard controls lie above the whole picture layer; the radio buttons above
        // the voice box they overlap.
        const QObjectList top = driver.window->children();
        const auto indexOf = [&top](const QObject* o) { return top.indexOf(o); };
        QVERIFY(indexOf(driver.child<QLabel>("imBoard1")->parentWidget()) <
                indexOf(driver.child<QCheckBox>("cbInvert")));
        QVERIFY(indexOf(driver.child<QCheckBox>("sound")) <
                indexOf(driver.child<QRadioButton>("RadioButton1")));
    }

    void tabOrder_data() {
        QTest::addColumn<bool>("englishSelected");
        QTest::newRow("Russian selected") << false;
        QTest::newRow("English selected") << true;
    }

    void tabOrder() {
        QFETCH(bool, englishSelected);
        WindowDriver driver;
        if (englishSelected)
            driver.child<QRadioButton>("RadioButton1")->setChecked(true);
        QVERIFY(driver.start());
        QCOMPARE(QApplication::focusWidget(), driver.child<QCheckBox>("cbInvert"));
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        const QString radio = englishSelected ? "RadioButton1" : "RadioButton2";
        QCOMPARE(visited, (QStringList{"cbInvert", "Memo1", "Memo2", "sound", radio, "Button2",
                                       "Button1", "cbInvert"}));
    }

    void newGameOnlyAtFirstActivation() {
        WindowDriver driver;
        // Each new game says "NEW" first.
        driver.child<QCheckBox>("sound")->setChecked(true);
        const auto newGames = [&driver] { return driver.voice.clips.filter("NEW").count(); };
        QVERIFY(driver.start());
        QCOMPARE(newGames(), 1);

        // The About window, opened and closed.
        WhenModalShown([](QWidget* modal) { modal->close(); });
        driver.child<FlatButton>("SpeedButton1")->click();
        driver.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver.window.get()));

        // A real message box, closed with Enter.
        QtUserDialogs realDialogs;
        WhenModalShown([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
        realDialogs.showMessage(driver.window.get(), QStringLiteral("Я хожу"));
        driver.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver.window.get()));

        // Another application's window takes the focus and gives it back.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        driver.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver.window.get()));

        // Minimised and restored.
        driver.window->showMinimized();
        QTest::qWait(20);
        driver.window->showNormal();
        driver.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver.window.get()));

        QCOMPARE(newGames(), 1);
    }

    void maximiseKeepsControlsInPlace() {
        WindowDriver driver;
        QVERIFY(driver.start());
        driver.window->showMaximized();
        QTRY_VERIFY(driver.window->isMaximized());
        QCOMPARE(driver.child<QPushButton>("Button1")->geometry(), QRect(536, 352, 79, 25));
        QCOMPARE(driver.child<QLabel>("imBoard1")->geometry(), QRect(0, 0, 385, 385));
    }

    // "?" makes the About window the first time, as a child of the main window, and shows
    // that same window every later time.
    void aboutWindowMadeOnFirstUse() {
        WindowDriver driver;
        QVERIFY(driver.start());
        QVERIFY(!driver.window->findChild<AboutWindow*>());
        QList<QWidget*> shown;
        for (int i = 0; i < 2; ++i) {
            WhenModalShown([&shown](QWidget* modal) {
                shown << modal;
                modal->close();
            });
            driver.child<QToolButton>(QStringLiteral("SpeedButton1"))->click();
        }
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], shown[1]);
        QCOMPARE(shown[0], driver.window->findChild<AboutWindow*>());
    }

    void aboutWindowTexts() {
        AboutWindow about;
        QCOMPARE(about.objectName(), QStringLiteral("Form1"));
        QCOMPARE(about.windowTitle(), QStringLiteral("О программе"));
        QCOMPARE(Part<QLabel>(about, "Label1")->text(), QStringLiteral("ШАХМАТЫ"));
        QCOMPARE(Part<QLabel>(about, "Label1")->font().pixelSize(), 20);
        QCOMPARE(Part<QLabel>(about, "Label3")->text(), QStringLiteral("(кодовое имя Morvantide)"));
        QVERIFY(Part<QLabel>(about, "Label5")
                    ->text()
                    .startsWith(QStringLiteral("(баги, замечания направлять на ")));
        QVERIFY(Part<QLabel>(about, "Label5")->text().endsWith(QLatin1Char(')')));
        QVERIFY(
            Part<QLabel>(about, "Label4")->text().startsWith(QStringLiteral("Программирование: ")));
        // Each address is a URI, the mailbox an e-mail address.
        for (QLabel* address : {Part<QLabel>(about, "Label4"), Part<QLabel>(about, "Label6")})
            QVERIFY2(address->text().contains(QRegularExpression(QStringLiteral("[a-z]+:[^ ]+$"))),
                     qPrintable(address->text()));
        const QString mailbox = Part<QLabel>(about, "Label5")->text();
        QVERIFY2(mailbox.contains(QRegularExpression(QStringLiteral("[^ @]+@[^ @]+[.][a-z]+[)]$"))),
                 qPrintable(mailbox));
        QCOMPARE(Part<QLabel>(about, "Label6")->palette().color(QPalette::WindowText),
                 QColor(0, 0, 255));
        QCOMPARE(Part<QLabel>(about, "Label5")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QCOMPARE(Part<QPushButton>(about, "Button1")->geometry(), QRect(96, 80, 75, 25));
        QCOMPARE(about.font().pixelSize(), 11);
        QVERIFY(about.width() >= 255 && about.height() >= 125);
    }

    void aboutWindowClosing_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"click OK", "Enter", "Space on OK", "title-bar close"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    void aboutWindowClosing() {
        QFETCH(QString, how);
        AboutWindow about;
        QPointer<AboutWindow> alive(&about);
        bool wasModal = false;
        bool escapeIgnored = false;
        QPoint shownAt;
        WhenModalShown([&](QWidget* modal) {
            wasModal = modal == &about && about.isModal();
            shownAt = about.pos();
            QTest::keyClick(&about, Qt::Key_Escape);
            escapeIgnored = about.isVisible();
            if (how == "click OK")
                QTest::mouseClick(Part<QPushButton>(about, "Button1"), Qt::LeftButton);
            else if (how == "Enter")
                QTest::keyClick(Part<QPushButton>(about, "Button1"), Qt::Key_Return);
            else if (how == "Space on OK")
                QTest::keyClick(Part<QPushButton>(about, "Button1"), Qt::Key_Space);
            else
                about.close();
        });
        about.showModal();
        QVERIFY(wasModal);
        QVERIFY(escapeIgnored);
        QCOMPARE(shownAt, AboutWindow::kFirstPlace);
        QVERIFY(!about.isVisible());
        QVERIFY(alive);
    }

    void aboutWindowKeepsWhereItWasLeft() {
        AboutWindow about;
        WhenModalShown([&](QWidget*) {
            about.move(400, 300);
            about.close();
        });
        about.showModal();
        QPoint secondPlace;
        QString secondTitle;
        WhenModalShown([&](QWidget*) {
            secondPlace = about.pos();
            secondTitle = about.windowTitle();
            about.close();
        });
        about.showModal();
        QCOMPARE(secondPlace, QPoint(400, 300));
        QCOMPARE(secondTitle, QStringLiteral("О программе"));
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
