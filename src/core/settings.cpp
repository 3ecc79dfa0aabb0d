#include "morvantide/settings.h"

#include "integer_text.h"

#include <algorithm>

namespace morvantide {

namespace {

constexpr std::size_t kMaxProfileValue = 2047;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Takes the next line off the text, without its LF or a CR before it.
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// "[name]" with anything up to the last "]"; nothing when the line is no section header.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == 0 || close == std::string_view::npos)
        return std::nullopt;
    return Trimmed(line.substr(1, close - 1));
}

std::string ProfileValue(std::string_view raw) {
    std::string_view value = Trimmed(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxProfileValue));
}

} // namespace

std::string SettingsPathFor(std::string_view executablePath) {
    const std::size_t slash = executablePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = executablePath.rfind('.');
    // A dot in a folder name is no extension, and neither is the leading dot of a hidden
    // file's name such as ".morvantide".
    const bool hasExtension = dot != std::string_view::npos && dot > nameStart;
    std::string path(executablePath.substr(0, hasExtension ? dot : executablePath.size()));
    path += ".ini";
    return path;
}

std::optional<std::string> ReadProfileString(std::string_view iniText, std::string_view section,
                                             std::string_view key) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (iniText.starts_with(kBom))
        iniText.remove_prefix(kBom.size());
    section = Trimmed(section);
    key = Trimmed(key);

    // Lines before the first header form a section without a name. Only the first section of
    // the name is searched, and in it only the first such key.
    bool inSection = section.empty();
    while (!iniText.empty()) {
        const std::string_view line = Trimmed(NextLine(iniText));
        if (line.empty() || line.front() == ';')
            continue;
        if (const std::optional<std::string_view> name = SectionName(line)) {
            if (inSection)
                return std::nullopt;
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        if (SameName(Trimmed(line.substr(0, equals)), key))
            return ProfileValue(line.substr(equals + 1));
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
    std::string converted(text);
    if (converted.size() > 2 && converted[0] == '0' && (converted[1] == 'x' || converted[1] == 'X'))
        converted.replace(0, 2, "$");
    std::string_view rest = converted;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    return ParseIntegerText(rest);
}

int WindowTopFromSetting(std::int32_t value, int screenHeight) {
    return value > screenHeight - 27 ? 0 : value;
}

int WindowLeftFromSetting(std::int32_t value, int screenWidth) {
    return value > screenWidth - 19 ? 0 : value;
}

} // namespace morvantide
