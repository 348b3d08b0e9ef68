// The texts of the status panels and the Connect caption. The link compares some of them to
// decide what to do ("COM Reset" asks for a reconnection, "COM Retry" makes it try again), and
// the windows, the command line and the tests read them, so each is written here once.
#pragma once

#include <string_view>

namespace quelm::status_text {

// Panel 1: what the link is doing.
inline constexpr std::string_view kInitializing = "Initializing";
inline constexpr std::string_view kMonitoring = "Monitoring";
// Eleven polls in a row timed out; the loop reconnects. Not panel 2's "COM Fail".
inline constexpr std::string_view kComFailTimeouts = "COM FAIL";
// Set by the Communications Setup window: the running loop reconnects with the new settings.
inline constexpr std::string_view kComReset = "COM Reset";
inline constexpr std::string_view kLogPlayback = "Log Playback";
// While frames are being written to a log.
inline constexpr std::string_view kRecording = "Recording";

// Panel 2: the state of the connection.
inline constexpr std::string_view kResetting = "Resetting";
inline constexpr std::string_view kConnecting = "Connecting";
inline constexpr std::string_view kConnected = "Connected";
// Followed by the negotiated rate: "Ready @ 115200".
inline constexpr std::string_view kReadyAt = "Ready @ ";
// The device did not identify itself; a reconnection tries again while panel 2 says so.
inline constexpr std::string_view kComRetry = "COM Retry";
// Three reconnections ended in "COM Retry". Not panel 1's "COM FAIL".
inline constexpr std::string_view kComFailReconnects = "COM Fail";
inline constexpr std::string_view kComStopped = "COM Stopped";

// The Connect button's caption.
inline constexpr std::string_view kConnectCaption = "Connect";
inline constexpr std::string_view kDisconnectCaption = "Disconnect";

}  // namespace quelm::status_text
