#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvantide {

// True when an argument equals the lower-cased switch exactly and in full ("x" counts;
// "X", "/x", "-x" and "x1" do not). The program name is not an argument.
bool HasCommandLineSwitch(const std::vector<std::string>& arguments, std::string_view switchText);

} // namespace morvantide
