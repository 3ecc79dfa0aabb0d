#pragma once

#include <QDialog>

class QPushButton;

namespace morvantide {

// The About window: made the first time "?" is pressed, shown modally from then on and only ever
// hidden. It opens first at screen place (355, 238) and later where the user left it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // Runs the window modally and returns when it has been closed.
    void showModal();

    static constexpr QPoint kFirstPlace{355, 238};

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* okButton_ = nullptr;
    bool shownBefore_ = false;
};

} // namespace morvantide
