#pragma once

namespace morvantide {

class ClipPlayer;

// The voice module (libmorvantide-voice.so) holds the clips and their playback through the sound
// server (and Qt Multimedia). The program loads it when the first clip is to be played, so that a
// start with the voice off maps none of the sound libraries. The module exports one C function with
// this name and type; it returns a new player that the caller owns. The name carries the version of
// the ClipPlayer interface: a module built for another version lacks it and is refused, not
// called through the wrong table of functions.
inline constexpr const char kCreateClipPlayerSymbol[] = "morvantide_create_clip_player_3";
using CreateClipPlayerFunction = ClipPlayer* (*)();

} // namespace morvantide
