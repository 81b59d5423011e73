#include "launcher/BackdropPlan.h"

namespace lumora::backdrop {

const std::string& Title(const SetupSettings& settings)
{
    return IsSet(settings.UseFileNameTitle) ? settings.ScreenSaverFile : settings.TitleText;
}

std::vector<Channel> Gradients(const SetupSettings& settings)
{
    std::vector<Channel> gradients;
    if (settings.GradientRed > 0)
        gradients.push_back(Channel::Red);
    if (settings.GradientGreen > 0)
        gradients.push_back(Channel::Green);
    if (settings.GradientBlue > 0)
        gradients.push_back(Channel::Blue);
    return gradients;
}

std::uint32_t BandColor(Channel channel, int index)
{
    const std::uint32_t level = static_cast<std::uint32_t>(255 - 4 * index) & 0xFF;
    switch (channel) {
    case Channel::Red: return level;
    case Channel::Green: return level << 8;
    case Channel::Blue: return level << 16;
    }
    return 0;
}

}  // namespace lumora::backdrop
