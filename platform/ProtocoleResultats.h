#pragma once
// What both sides of the results protocol agree on: the score sheet's TCP port and its one
// command word. The player and the score sheet each build their side on these.

#include <cstdint>
#include <string_view>

inline constexpr std::uint16_t PortFeuilleNotes = 6784;
inline constexpr std::string_view MotSendData = "SENDDATA";
