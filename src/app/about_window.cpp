#include "about_window.h"

#include "minimise_together.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace morvantide {

namespace {

constexpr auto kProductPage = "https://example.org/morvantide/";
constexpr auto kMakerPage = "https://example.org/";
constexpr auto kBugMailbox = "bugs@example.org";

QFont msSansSerif(int pixelSize) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    return font;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QPoint place,
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

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // Minimising it minimises the program with it; restoring either brings both back.
    new MinimiseTogether(this);
    setFont(msSansSerif(11));
    resize(255, 125);

    Label1 = addLabel(this, "Label1", QStringLiteral("ШАХМАТЫ"), {80, 0});
    Label1->setFont(msSansSerif(20));
    Label1->adjustSize();
    Label6 =
        addLabel(this, "Label6", QString::fromLatin1(kProductPage), {72, 24}, QColor(0, 0, 255));
    Label5 = addLabel(this, "Label5",
                      QStringLiteral("(баги, замечания направлять на ") +
                          QString::fromLatin1(kBugMailbox) + QLatin1Char(')'),
                      {0, 40}, QColor(255, 0, 0));
    Label3 = addLabel(this, "Label3", QStringLiteral("(кодовое имя Morvantide)"), {64, 56});
    Label4 = addLabel(this, "Label4",
                      QStringLiteral("Программирование: ") + QString::fromLatin1(kMakerPage),
                      {40, 112}, QColor(0, 0, 255));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(96, 80, 75, 25);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

    // The labels may have grown a little with the installed font; keep them all in view.
    resize(childrenRect().united(QRect(0, 0, 255, 125)).size());
}

void TForm1::ShowModal() {
    if (!shownBefore_) {
        shownBefore_ = true;
        move(kFirstPlace);
    }
    Button1->setFocus();
    exec();
}

void TForm1::Button1Click() {
    close();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Escape does nothing here; Enter reaches the default button OK.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace morvantide
