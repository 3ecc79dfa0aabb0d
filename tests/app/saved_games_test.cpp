#include "application_title.h"
#include "flat_button.h"
#include "morvantide/position.h"
#include "qt_user_dialogs.h"
#include "russian_file_columns.h"
#include "window_driver.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace morvantide;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The file a save writes right after a new game, line by line.
QByteArray NewGameFile() {
    QByteArray text;
    for (int slot = 2; slot <= kSlotCount; ++slot) {
        const BoardPoint p = Slot(slot).startingPoint();
        text += QByteArray::number(p.x) + "\r\n" + QByteArray::number(p.y) + "\r\n";
    }
    text += "0\r\n0\r\n";   // the spare pair
    text += "52\r\n52\r\n"; // slot 1, after the older 64 lines
    return text;
}

} // namespace

class SavedGamesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowDriver> driver_;
    MainWindow* frame_ = nullptr;
    std::unique_ptr<QTemporaryDir> folder_;

    QPlainTextEdit* memo(const char* name) const { return driver_->child<QPlainTextEdit>(name); }
    QString path(const char* name) const { return folder_->filePath(QString::fromLatin1(name)); }
    void save(const QString& name) {
        driver_->dialogs.fileNames.push_back(name);
        driver_->child<QPushButton>("Button1")->click();
    }
    void open(const QString& name) {
        driver_->dialogs.fileNames.push_back(name);
        driver_->child<QPushButton>("Button2")->click();
    }

private slots:
    void init() {
        driver_ = std::make_unique<WindowDriver>();
        frame_ = driver_->window.get();
        QVERIFY(driver_->start());
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
    }
    void cleanup() {
        driver_.reset();
        folder_.reset();
    }

    void saveAfterNewGame() {
        save(path("game.sav"));
        QCOMPARE(ReadAll(path("game.sav")), NewGameFile());
        QCOMPARE(driver_->dialogs.messages, QStringList{"Партия сохранена!"});
        QCOMPARE(driver_->dialogs.filters, QStringList{"(*.sav)"});
        save(QString());
        QCOMPARE(driver_->dialogs.offeredNames.last(), path("game.sav"));
    }

    void saveNameRule_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "game"
                                      << "game.sav";
        QTest::newRow(".sav kept") << "game.sav"
                                   << "game.sav";
        QTest::newRow("upper case is another extension") << "x.SAV"
                                                         << "x.SAV.sav";
        QTest::newRow("other extension") << "game.txt"
                                         << "game.txt.sav";
    }

    void saveNameRule() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        save(folder_->filePath(chosen));
        QVERIFY(QFile::exists(folder_->filePath(written)));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{written});
    }

    void saveReplacesAnExistingFileWithoutAsking() {
        WriteAll(path("game.sav"), "old\r\n");
        save(path("game.sav"));
        QCOMPARE(ReadAll(path("game.sav")), NewGameFile());
    }

    void cancelledDialogsChangeNothing() {
        driver_->move(21, "e4");
        const auto before = driver_->places();
        save(QString());
        open(QString());
        QVERIFY(QDir(folder_->path()).isEmpty());
        QCOMPARE(driver_->places(), before);
        QCOMPARE(memo("Memo1")->toPlainText(), QStringLiteral("e2-e4 "));
        QCOMPARE(driver_->dialogs.messages, QStringList{"Я хожу"});
    }

    void openRestoresEveryPieceIncludingSlot1() {
        arrangeMiddleGame();
        const auto places = driver_->places();
        const auto shown = driver_->shown();
        QVERIFY(!driver_->blackToMove());
        save(path("middle.sav"));
        driver_->child<FlatButton>("sbReset")->click();
        driver_->move(21, "e4");
        QVERIFY(driver_->blackToMove());
        driver_->dialogs.messages.clear();

        open(path("middle.sav"));
        QCOMPARE(driver_->places(), places);
        QCOMPARE(driver_->shown(), shown);
        QCOMPARE(driver_->picture(1)->pos(), QPoint(32, 72)); // the rook back on a7
        QVERIFY(memo("Memo1")->toPlainText().isEmpty());
        QVERIFY(memo("Memo2")->toPlainText().isEmpty());
        QCOMPARE(driver_->dialogs.messages, QStringList{"Партия восстановлена!"});
        // Open keeps the side to move: Black, after White's e2-e4 in the new game.
        QVERIFY(driver_->blackToMove());
        QCOMPARE(driver_->dialogs.filters.last(), QStringLiteral("Сохраненная игра (*.sav)"));
        // The table holds what the file held: saved again, it gives the same file.
        save(path("again.sav"));
        QCOMPARE(ReadAll(path("again.sav")), ReadAll(path("middle.sav")));
    }

    void anOlderFileLeavesSlot1WhereItIs() {
        QByteArray text = NewGameFile();
        text.chop(8); // drop the "52\r\n52\r\n" of slot 1
        WriteAll(path("old.sav"), text);
        Position table;
        for (Slot slot : AllSlots())
            table[slot] = slot.startingPoint();
        table[Slot(1)] = {92, 92};
        driver_->setUp(table);
        open(path("old.sav"));
        QCOMPARE(driver_->picture(1)->pos(), driver_->placeOf("b7"));
        QCOMPARE(driver_->picture(2)->pos(), driver_->placeOf("b8"));
    }

    void theSpareEntryIsNeverLoaded() {
        QByteArray text = NewGameFile();
        text.replace("0\r\n0\r\n52\r\n52\r\n", "212\r\n212\r\n52\r\n52\r\n");
        WriteAll(path("blocker.sav"), text);
        open(path("blocker.sav"));
        driver_->move(21, "e4"); // e4 is not blocked by an invisible piece
        QCOMPARE(driver_->picture(21)->pos(), driver_->placeOf("e4"));
        QCOMPARE(memo("Memo1")->toPlainText(), QStringLiteral("e2-e4 "));
    }

    // A point right of the board is drawn off the left edge; moving other pieces does not
    // change it, and a save writes it back as the file had it.
    void aPointRightOfTheBoardStaysAsLoaded() {
        QByteArray text = NewGameFile();
        text.replace(text.size() - 8, 8, "447\r\n52\r\n"); // slot 1, far right
        WriteAll(path("far.sav"), text);
        open(path("far.sav"));
        driver_->move(21, "e4");
        QCOMPARE(memo("Memo1")->toPlainText(), QStringLiteral("e2-e4 "));
        save(path("again.sav"));
        QList<QByteArray> lines = text.split('\n');
        lines[39] = "212\r"; // slot 21's y: the pawn on e4
        QCOMPARE(ReadAll(path("again.sav")), lines.join('\n'));
    }

    void openShowsCapturedPiecesOnlyWhenTheFilePlacesThem() {
        driver_->move(21, "e4");
        driver_->move(12, "d5");
        driver_->move(21, "d5"); // the d7 pawn is taken and hidden
        QVERIFY(driver_->picture(12)->isHidden());
        QByteArray text = NewGameFile();
        // Slot 13's pair (entry 12, lines 23 and 24) says "taken".
        QList<QByteArray> lines = text.split('\n');
        lines[22] = "0\r";
        lines[23] = "0\r";
        WriteAll(path("mixed.sav"), lines.join('\n'));
        open(path("mixed.sav"));
        QVERIFY(driver_->picture(12)->isVisible());
        QVERIFY(driver_->picture(13)->isHidden());
    }

    void readErrorsChangeNothing_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("error");
        QByteArray joined = NewGameFile();
        joined.replace("132\r\n52\r\n", "132\r\n52abc\r\n");
        QTest::newRow("number joined to text") << joined << "Invalid numeric input.";
        QTest::newRow("too large")
            << QByteArray("92\r\n2147483648\r\n") << "Invalid numeric input.";
    }

    void readErrorsChangeNothing() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, error);
        driver_->move(21, "e4");
        const auto before = driver_->places();
        WriteAll(path("bad.sav"), contents);
        driver_->dialogs.messages.clear();
        open(path("bad.sav"));
        QCOMPARE(driver_->dialogs.errors, QStringList{error});
        QCOMPARE(driver_->places(), before);
        QCOMPARE(memo("Memo1")->toPlainText(), QStringLiteral("e2-e4 "));
        QVERIFY(driver_->dialogs.messages.isEmpty());
    }

    void openRefusesWhatIsNotAFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "missing"
                                 << "File not found.";
        QTest::newRow("folder") << "folder"
                                << "File access denied.";
        QTest::newRow("pipe") << "pipe"
                              << "File access denied.";
        QTest::newRow("device") << "device"
                                << "File access denied.";
    }

    void openRefusesWhatIsNotAFile() {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        QString target = path("thing.sav");
        if (kind == "folder")
            QVERIFY(QDir(folder_->path()).mkdir("thing.sav"));
        else if (kind == "pipe")
            QCOMPARE(::mkfifo(qPrintable(target), 0600), 0);
        else if (kind == "device")
            target = QStringLiteral("/dev/zero");
        const auto before = driver_->places();
        open(target);
        QCOMPARE(driver_->dialogs.errors, QStringList{error});
        QCOMPARE(driver_->places(), before);
    }

    void aFailedWriteKeepsTheOldFile() {
        const QByteArray old = "92\r\n52\r\n";
        WriteAll(path("keep.sav"), old);
        // Files may not grow past 100 bytes: the save's write really fails part way.
        rlimit previous{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &previous), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = 100;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        save(path("keep.sav"));
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(driver_->dialogs.errors, QStringList{"Disk full."});
        QVERIFY(driver_->dialogs.messages.isEmpty());
        QCOMPARE(ReadAll(path("keep.sav")), old);
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{"keep.sav"});
    }

    void saveIntoAMissingFolder() {
        save(path("no-such-folder/game.sav"));
        QCOMPARE(driver_->dialogs.errors, QStringList{"Invalid filename."});
        QVERIFY(driver_->dialogs.messages.isEmpty());
    }

    void theErrorBoxShowsAStopIconAndTheTitle() {
        QtUserDialogs real;
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->accept();
        });
        real.showFileError(frame_, QStringLiteral("File not found."));
        QCOMPARE(text, QStringLiteral("File not found."));
        QCOMPARE(title, ApplicationTitle());
        QCOMPARE(icon, QMessageBox::Critical);
    }

    void keysPressTheFocusedButton_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("dialogs");
        const QStringList open{"Сохраненная игра (*.sav)"}, save{"(*.sav)"};
        QTest::newRow("Открыть, Return") << "Button2" << int(Qt::Key_Return) << open;
        QTest::newRow("Открыть, keypad Enter") << "Button2" << int(Qt::Key_Enter) << open;
        QTest::newRow("Открыть, Space") << "Button2" << int(Qt::Key_Space) << open;
        QTest::newRow("Сохранить, Return") << "Button1" << int(Qt::Key_Return) << save;
        QTest::newRow("Сохранить, keypad Enter") << "Button1" << int(Qt::Key_Enter) << save;
        QTest::newRow("check box, Return") << "cbInvert" << int(Qt::Key_Return) << QStringList();
    }

    void keysPressTheFocusedButton() {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(QStringList, dialogs);
        auto* widget = frame_->findChild<QWidget*>(control);
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
        const auto keypad = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(widget, Qt::Key(key), keypad);
        QCOMPARE(driver_->dialogs.filters, dialogs);
        QVERIFY(!frame_->findChild<QCheckBox*>(QStringLiteral("cbInvert"))->isChecked());
    }

    void sizesInRussian() {
        const std::pair<qint64, const char*> rows[] = {
            {1, "1 байт"},    {2, "2 байта"},        {5, "5 байт"},    {12, "12 байт"},
            {22, "22 байта"}, {1023, "1 023 байта"}, {1536, "1,5 кБ"}, {5 << 20, "5,0 МБ"}};
        for (const auto& [bytes, text] : rows) // thousands grouped with a no-break space
            QCOMPARE(RussianFileColumns::sizeText(bytes).replace(QChar(0xA0), u' '),
                     QString::fromUtf8(text));
    }

    void theFileDialogListsEveryColumnInRussianAndWhole() {
        WriteAll(path("game.sav"), QByteArray(305, '7'));
        WriteAll(path("notes.txt"), "not a saved game");
        QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("партии")));
        QMap<QString, QStringList> rows; // name: size, type, date
        QStringList cut;
        QString filter;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            QAbstractItemModel* model = view->model();
            QVERIFY(QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == 2; }));
            QTest::qWait(50); // the columns are fitted once the folder has been read
            filter = dialog->selectedNameFilter();
            for (int row = 0; row < 2; ++row) {
                QStringList texts;
                for (int column = 0; column < 4; ++column) {
                    const QModelIndex index = model->index(row, column, view->rootIndex());
                    texts << index.data().toString();
                    if (column > 0 && view->visualRect(index).width() <
                                          view->fontMetrics().horizontalAdvance(texts.last()))
                        cut << texts.last();
                }
                rows[texts.takeFirst()] = texts;
            }
            if (view->header()->length() > view->viewport()->width())
                cut << QStringLiteral("the columns are wider than the list");
            dialog->reject();
        });
        QtUserDialogs real;
        real.chooseOpenFile(frame_, QStringLiteral("Сохраненная игра (*.sav)"), path("game.sav"));
        QCOMPARE(filter, QStringLiteral("Сохраненная игра (*.sav)"));
        QCOMPARE(rows.keys(), (QStringList{"game.sav", "партии"}));
        QCOMPARE(rows["game.sav"][0], QStringLiteral("305 байт"));
        QCOMPARE(rows["game.sav"][1], QStringLiteral("Сохраненная игра"));
        QCOMPARE(rows["партии"][1], QStringLiteral("Папка"));
        const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"));
        for (const QStringList& columns : rows)
            QVERIFY2(date.match(columns[2]).hasMatch(), qPrintable(columns[2]));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    }

    void applicationTitleFromTheExecutable_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << "/usr/bin/morvantide"
                               << "morvantide";
        QTest::newRow("extension") << "/opt/Chess.EXE"
                                   << "Chess";
        QTest::newRow("first dot cuts") << "/x/MORV.tar.gz"
                                        << "Morv";
    }

    void applicationTitleFromTheExecutable() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(ApplicationTitle(path), title);
    }

private:
    // A few moves by both sides, slot 1's rook among them.
    void arrangeMiddleGame() {
        driver_->move(17, "a4");
        driver_->move(9, "a5");
        driver_->move(25, "a3");
        driver_->move(1, "a6");
        driver_->move(21, "e4");
        driver_->move(12, "d5");
        driver_->move(21, "d5");
        driver_->move(1, "a7");
    }
};

QTEST_MAIN(SavedGamesTest)
#include "saved_games_test.moc"
