#pragma once
// What the backdrop shows, as the setup settings choose it: which title, and
// which colour gradients in which order (the picture: PictureFile of
// settings/SetupFile.h).
#include <cstdint>
#include <string>
#include <vector>

#include "settings/Globals.h"

namespace lumora::backdrop {

// ScreenSaverFile with UseFileNameTitle set, TitleText otherwise.
const std::string& Title(const SetupSettings& settings);

enum class Channel { Red, Green, Blue };

// The gradients to draw, in drawing order (red, green, blue), each only when
// its setting is above 0. A later one paints over an earlier one.
std::vector<Channel> Gradients(const SetupSettings& settings);

// The colour (0x00BBGGRR) of band `index` of a gradient: its own component
// 255 - 4 * index, the other two 0.
std::uint32_t BandColor(Channel channel, int index);

}  // namespace lumora::backdrop
