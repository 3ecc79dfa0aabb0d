#include "morvantide/saved_game.h"

#include "integer_text.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace morvantide {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kMaxNumberText = 32;
// Blanks, tabs and line ends allowed before one number. No file this program or a person
// writes comes near it; past it a file is taken for something else (a huge or sparse file of
// blanks) and refused at once instead of being read to its end.
constexpr std::size_t kMaxBlanksBeforeNumber = 1024 * 1024;

// Hands out the file's bytes one at a time, pulling a chunk from the source only when the
// previous one is used up. A Ctrl-Z ends the data for good: nothing behind it is pulled.
class ByteStream {
public:
    explicit ByteStream(const ChunkSource& source) : source_(source) {}

    // The next byte, or nothing at the end of the data (or after a read failure).
    std::optional<unsigned char> peek() {
        if (position_ == length_ && !refill())
            return std::nullopt;
        return static_cast<unsigned char>(buffer_[position_]);
    }

    void advance() { ++position_; }
    bool atEnd() { return !peek().has_value(); }

    // Passes over the rest of the line up to and including its LF; a lone CR ends nothing.
    // Whole chunks are searched at once: a line may be as long as the file.
    void skipLine() {
        while (peek()) {
            const char* at = buffer_.data() + position_;
            const void* lf = std::memchr(at, '\n', length_ - position_);
            if (lf != nullptr) {
                position_ += static_cast<std::size_t>(static_cast<const char*>(lf) - at) + 1;
                return;
            }
            position_ = length_;
        }
    }
    // A read failure, or a file that goes on past the bound where the reader needs more.
    IoError error() const {
        if (failed_)
            return IoError::FileAccessDenied;
        return tooLong_ ? IoError::InvalidNumericInput : IoError::None;
    }

private:
    bool refill() {
        if (ended_)
            return false;
        if (pulled_ == kMaxSavedGameBytes) {
            // One byte more tells a file that ends at the bound from a longer one.
            char next = 0;
            const std::ptrdiff_t more = source_(&next, 1);
            failed_ = more < 0;
            tooLong_ = more > 0;
            ended_ = true;
            return false;
        }
        const std::size_t room = std::min(buffer_.size(), kMaxSavedGameBytes - pulled_);
        const std::ptrdiff_t count = source_(buffer_.data(), room);
        if (count <= 0) {
            failed_ = count < 0;
            ended_ = true;
            return false;
        }
        position_ = 0;
        length_ = std::min(static_cast<std::size_t>(count), room);
        pulled_ += length_;
        if (const void* stop = std::memchr(buffer_.data(), kCtrlZ, length_)) {
            length_ = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer_.data());
            ended_ = true;
            return length_ > 0;
        }
        return true;
    }

    const ChunkSource& source_;
    std::array<char, 4096> buffer_{};
    std::size_t position_ = 0;
    std::size_t length_ = 0;
    std::size_t pulled_ = 0;
    bool ended_ = false;
    bool failed_ = false;
    bool tooLong_ = false;
};

struct NumberRead {
    IoError error = IoError::None;
    std::int32_t value = 0;
    bool present = false; // false when the end of the data stood in for the number
};

bool IsSeparator(unsigned char c) {
    return c <= ' ';
}

NumberRead ReadNumber(ByteStream& stream) {
    std::optional<unsigned char> c;
    for (std::size_t blanks = 0; (c = stream.peek()) && IsSeparator(*c); ++blanks) {
        if (blanks == kMaxBlanksBeforeNumber)
            return {IoError::InvalidNumericInput};
        stream.advance();
    }
    if (!c)
        return {};

    std::string text;
    while ((c = stream.peek()) && !IsSeparator(*c)) {
        if (text.size() == kMaxNumberText)
            return {IoError::InvalidNumericInput};
        text.push_back(static_cast<char>(*c));
        stream.advance();
    }
    const std::optional<std::int32_t> value = ParseIntegerText(text);
    if (!value)
        return {IoError::InvalidNumericInput};
    return {IoError::None, *value, true};
}

BoardPoint PointOf(const NumberRead& x, const NumberRead& y) {
    return {ToInt16(x.value), ToInt16(y.value)};
}

void WriteLine(std::string& out, int value) {
    out += std::to_string(value);
    out += "\r\n";
}

} // namespace

std::string WriteSavedGame(const Position& position) {
    std::string out;
    out.reserve(8 * (kSlotCount + 1) * 2);
    for (int number = 2; number <= kSlotCount; ++number) {
        WriteLine(out, position[Slot(number)].x);
        WriteLine(out, position[Slot(number)].y);
    }
    // The spare pair keeps its place in the file but is never carried over.
    WriteLine(out, 0);
    WriteLine(out, 0);
    WriteLine(out, position[Slot(1)].x);
    WriteLine(out, position[Slot(1)].y);
    return out;
}

SavedGameResult ReadSavedGame(const ChunkSource& source) {
    ByteStream stream(source);
    SavedGame game;
    const auto failure = [](IoError error) { return SavedGameResult{error, SavedGame{}}; };

    // Pairs 1..32 are slots 2..32 and the spare; a 33rd pair is slot 1's place. The end of the data
    // is tested only before a pair, so a pair cut short reads its missing numbers as 0.
    for (int pair = 1; pair <= kSlotCount + 1; ++pair) {
        if (stream.atEnd())
            break;
        const NumberRead x = ReadNumber(stream);
        if (x.error != IoError::None)
            return failure(x.error);
        stream.skipLine();
        const NumberRead y = ReadNumber(stream);
        if (y.error != IoError::None)
            return failure(y.error);
        if (stream.error() != IoError::None)
            return failure(stream.error());

        if (pair <= kSlotCount) {
            stream.skipLine();
            game.pairs[static_cast<std::size_t>(pair - 1)] = PointOf(x, y);
            game.pairCount = pair;
        } else if (x.present && y.present) {
            // Zeros that only stand for the end of the data (a trailing blank line in an older
            // 64-line file) must not move slot 1.
            game.slot1 = PointOf(x, y);
            game.hasSlot1 = true;
        }
    }
    if (stream.error() != IoError::None)
        return failure(stream.error());
    return {IoError::None, game};
}

SavedGameResult ReadSavedGame(std::string_view bytes) {
    return ReadSavedGame([&bytes](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        const std::size_t count = std::min(capacity, bytes.size());
        if (count > 0)
            std::memcpy(buffer, bytes.data(), count);
        bytes.remove_prefix(count);
        return static_cast<std::ptrdiff_t>(count);
    });
}

void ApplySavedGame(Position& position, const SavedGame& game) {
    // The spare pair, the file's 32nd, is never applied.
    const int last = std::min(game.pairCount, kSlotCount - 1);
    for (int pair = 1; pair <= last; ++pair)
        position[Slot(pair + 1)] = game.pairs[static_cast<std::size_t>(pair - 1)];
    if (game.hasSlot1)
        position[Slot(1)] = game.slot1;
}

std::string SavedGameFileName(std::string_view chosen) {
    constexpr std::string_view kExtension = ".sav";
    std::string name(chosen);
    if (!chosen.ends_with(kExtension))
        name += kExtension;
    return name;
}

} // namespace morvantide
