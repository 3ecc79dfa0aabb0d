#include "qt_user_dialogs.h"

#include "application_title.h"
#include "minimise_together.h"
#include "russian_file_columns.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace morvantide {

namespace {

// Frame buttons a window manager may put beside a box's caption: the window menu or icon,
// minimise, maximise and close.
constexpr int kFrameButtons = 4;

QRect ScreenArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void CentreOnScreen(QWidget* window) {
    const QRect area = ScreenArea();
    if (area.isValid())
        window->move(area.center() - window->rect().center());
}

// A message box that is never narrower than its caption needs. Qt sizes a box to its text
// whenever it is shown or laid out again; the caption's width is added after that.
class CaptionFittingBox : public QMessageBox {
public:
    CaptionFittingBox(Icon icon, const QString& caption, const QString& text, QWidget* owner)
        : QMessageBox(icon, caption, text, QMessageBox::Ok, owner) {
        setTextFormat(Qt::PlainText);
        // Qt asks the window manager for a caption and a close button only, as the system's
        // plain box has; a window manager that lets it be minimised all the same (Openbox does)
        // minimises the owner with it.
        new MinimiseTogether(this);
    }

protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest && isVisible())
            fitCaption();
        return handled;
    }

    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        fitCaption();
    }

private:
    void fitCaption() {
        int wanted = std::max(width(), BoxWidthForCaption(windowTitle()));
        if (const QRect area = ScreenArea(); area.isValid())
            wanted = std::min(wanted, area.width());
        if (wanted != width())
            setFixedSize(wanted, height());
        // Message boxes stand in the middle of the screen, not of the window.
        CentreOnScreen(this);
    }
};

void RunBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
            const QString& caption = ApplicationTitle()) {
    CaptionFittingBox box(icon, caption, text, owner);
    // Placed before it is shown too, so that the window never asks for another place.
    box.adjustSize();
    CentreOnScreen(&box);
    box.exec();
}

// Widens the folder listing's columns to their contents whenever a folder has been read, and
// the dialog with them as far as the screen allows, so that no size, type or date is cut.
void FitColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView* header = view->header();
    QList<int> before;
    for (int column = 0; column < header->count(); ++column)
        before << header->sectionSize(column);
    header->resizeSections(QHeaderView::ResizeToContents);
    for (int column = 0; column < header->count(); ++column)
        header->resizeSection(column, std::max(before[column], header->sectionSize(column)));
    const int missing = header->length() - view->viewport()->width();
    if (missing <= 0)
        return;
    const int limit = ScreenArea().isValid() ? ScreenArea().width() : dialog.width() + missing;
    // Grown to the right: the dialog keeps its place.
    dialog.setGeometry(QRect(dialog.geometry().topLeft(),
                             QSize(std::min(dialog.width() + missing, limit), dialog.height())));
}

QString RunFileDialog(QWidget* owner, const QString& filter, const QString& lastName,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, QString(), QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    new MinimiseTogether(&dialog);
    dialog.setAcceptMode(mode);
    dialog.setViewMode(QFileDialog::Detail);
    // The listing's sizes and dates in Russian, whatever locale the program was started in.
    dialog.setProxyModel(new RussianFileColumns(&dialog));
    // A typed name need not exist, for opening too: the command reports a missing file.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!lastName.isEmpty())
        dialog.selectFile(lastName);
    if (auto* files = dialog.findChild<QFileSystemModel*>())
        QObject::connect(
            files, &QFileSystemModel::directoryLoaded, &dialog, [&dialog] { FitColumns(dialog); },
            Qt::QueuedConnection);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QFont CaptionFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return font;
}

int BoxWidthForCaption(const QString& caption) {
    const QFontMetrics metrics(CaptionFont());
    // A frame button is about as wide as the title bar is high; a little more than a line of
    // the font.
    const int button = metrics.height() + 8;
    return metrics.horizontalAdvance(caption) + kFrameButtons * button + 2 * metrics.height();
}

void QtUserDialogs::showMessage(QWidget* owner, const QString& text) {
    RunBox(owner, QMessageBox::NoIcon, text);
}

void QtUserDialogs::showFileError(QWidget* owner, const QString& text) {
    RunBox(owner, QMessageBox::Critical, text);
}

void QtUserDialogs::showInformation(QWidget* owner, const QString& caption, const QString& text) {
    RunBox(owner, QMessageBox::Information, text, caption);
}

QString QtUserDialogs::chooseOpenFile(QWidget* owner, const QString& filter,
                                      const QString& lastName) {
    return RunFileDialog(owner, filter, lastName, QFileDialog::AcceptOpen);
}

QString QtUserDialogs::chooseSaveFile(QWidget* owner, const QString& filter,
                                      const QString& lastName) {
    return RunFileDialog(owner, filter, lastName, QFileDialog::AcceptSave);
}

} // namespace morvantide
