// The keys of playback in the logging window and on the dashboard, and where each one takes the
// playback. Key names are spelt as the window toolkit writes key sequences ("Space", "PgUp").
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/playback.h"

namespace quelm {

enum class PlaybackKey {
    PlayPause,
    StepBack,
    StepForward,
    BackTen,
    ForwardTen,
    ToStart,
    ToEnd,
    Mark
};

struct PlaybackKeyBinding {
    std::string_view name;
    PlaybackKey key;
};

inline constexpr std::array<PlaybackKeyBinding, 8> kPlaybackKeys{{
    {"Space", PlaybackKey::PlayPause},
    {"Left", PlaybackKey::StepBack},
    {"Right", PlaybackKey::StepForward},
    {"PgUp", PlaybackKey::BackTen},
    {"PgDown", PlaybackKey::ForwardTen},
    {"Home", PlaybackKey::ToStart},
    {"End", PlaybackKey::ToEnd},
    {"M", PlaybackKey::Mark},
}};

// How far Page Up and Page Down move, in log seconds.
inline constexpr double kPageSeconds = 10.0;

struct PlaybackKeyAction {
    // Mark: drop a marker, in any state (whether one can be dropped is the link's matter).
    enum class Kind { None, Play, Pause, Move, Mark };
    Kind kind = Kind::None;
    std::uint64_t record = 0;  // Kind::Move: the record to go to
    friend bool operator==(const PlaybackKeyAction&, const PlaybackKeyAction&) = default;
};

// What the key named `keyName` does in `state` with record `position` of `count` in hand. Space
// presses whichever of Play and Pause is enabled; the arrows step one record while paused;
// Page Up/Down, Home and End move while playing or paused. Page Up goes to the last record
// stamped at least ten seconds before the one in hand (or the first), Page Down to the first
// stamped at least ten seconds after it (or the last); `stampOf(n)` gives a record's stamp,
// which must not decrease along the log. A key that would not move does nothing. M marks.
PlaybackKeyAction ActionForKey(std::string_view keyName, LoggingState state, std::uint64_t position,
                               std::uint64_t count,
                               const std::function<double(std::uint64_t)>& stampOf);
bool IsMarkKey(std::string_view keyName);

// "h:mm:ss.cc", the seconds cut to hundredths: 3723.456 gives "1:02:03.45".
std::string ClockText(double seconds);

}  // namespace quelm
