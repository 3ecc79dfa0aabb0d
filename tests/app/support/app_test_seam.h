#pragma once

#include "main_window.h"

namespace morvantide {

// The tests' one way into the window besides its controls: a position set up without playing
// up to it, drawn as an opened file is drawn. The turn and the columns stay as they are.
class AppTestSeam {
public:
    static void setUpPosition(MainWindow& window, const Position& position) {
        window.setUpPosition(position);
    }
};

} // namespace morvantide
