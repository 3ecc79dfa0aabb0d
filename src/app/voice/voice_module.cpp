#include "voice/voice_module.h"

#include "voice/audio_clip_player.h"

#include <QtGlobal>

// The name is the module's entry point, fixed by kCreateClipPlayerSymbol.
extern "C" Q_DECL_EXPORT morvantide::ClipPlayer*
morvantide_create_clip_player_3() { // NOLINT(readability-identifier-naming)
    return new morvantide::AudioClipPlayer();
}

// A change of the entry's type breaks the build here, not the first clip.
[[maybe_unused]] static constexpr morvantide::CreateClipPlayerFunction kEntryHasTheRightType =
    &morvantide_create_clip_player_3;
