#include "morvantide/command_line.h"

#include <algorithm>

namespace morvantide {

bool HasCommandLineSwitch(const std::vector<std::string>& arguments, std::string_view switchText) {
    std::string lowered(switchText);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return std::find(arguments.begin(), arguments.end(), lowered) != arguments.end();
}

} // namespace morvantide
