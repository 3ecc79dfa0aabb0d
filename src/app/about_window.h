#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace morvantide {

// The About window: created hidden once at start, shown modally from "?", only ever hidden.
// It opens first at screen place (355, 238) and later where the user left it.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    // Runs the window modally and returns when it has been closed.
    void ShowModal();

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Button1 = nullptr;

    static constexpr QPoint kFirstPlace{355, 238};

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Button1Click();

    bool shownBefore_ = false;
};

} // namespace morvantide
