#include "about_window.h"

#include "layout_fonts.h"
#include "minimise_together.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace morvantide {

namespace {

// The project has no web site of its own: the addresses lead to what the package installs, and
// the mailbox is the one its changelog and commits carry (debian/changelog).
constexpr auto kProductPage = "man:morvantide(6)";
constexpr auto kMakerPage = "file:///usr/share/doc/morvantide/";
constexpr auto kBugMailbox = "maintainers@users.noreply.c-seed-ff38805b.example";

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, QPoint place,
                 const QColor& colour = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(place);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    label->adjustSize();
    return label;
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // Minimising it minimises the program with it; restoring either brings both back.
    new MinimiseTogether(this);
    setFont(LayoutFont("MS Sans Serif", 11));
    resize(255, 125);

    QLabel* title = AddLabel(this, "Label1", QStringLiteral("ШАХМАТЫ"), {80, 0});
    title->setFont(LayoutFont("MS Sans Serif", 20));
    title->adjustSize();
    AddLabel(this, "Label6", QString::fromLatin1(kProductPage), {72, 24}, QColor(0, 0, 255));
    AddLabel(this, "Label5",
             QStringLiteral("(баги, замечания направлять на ") + QString::fromLatin1(kBugMailbox) +
                 QLatin1Char(')'),
             {0, 40}, QColor(255, 0, 0));
    AddLabel(this, "Label3", QStringLiteral("(кодовое имя Morvantide)"), {64, 56});
    AddLabel(this, "Label4", QStringLiteral("Программирование: ") + QString::fromLatin1(kMakerPage),
             {40, 112}, QColor(0, 0, 255));

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    okButton_->setGeometry(96, 80, 75, 25);
    okButton_->setDefault(true);
    okButton_->setAutoDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QWidget::close);

    // The labels may have grown a little with the installed font; keep them all in view.
    resize(childrenRect().united(QRect(0, 0, 255, 125)).size());
}

void AboutWindow::showModal() {
    if (!shownBefore_) {
        shownBefore_ = true;
        move(kFirstPlace);
    }
    okButton_->setFocus();
    exec();
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    // Escape does nothing here; Enter reaches the default button OK.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace morvantide
