#pragma once
// What the backdrop shows, as the setup settings choose it: which picture
// file, which title, and which colour gradients in which order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/Globals.h"

namespace lumora::backdrop {

// The picture's file name in the extraction folder, or none when ImageFile
// or CustomImageFile is "nil": CustomImageFile with UseCustomImage set,
// ImageFile otherwise.
std::optional<std::string> PictureFile(const SetupSettings& settings);

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
