#pragma once

#include <QString>

namespace morvantide {

// The caption of message boxes: the executable's file name without its folder, cut at its
// first ".", with every letter after the first in lower case; the first is left as it is.
QString ApplicationTitle(const QString& executablePath);
QString ApplicationTitle();

} // namespace morvantide
