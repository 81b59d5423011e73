#pragma once
// The setup settings: one process-wide record, filled once from Setup.ins
// by loadSetupFile and read by the main window and the wizard. Flags are
// text: "True" sets them, compared exactly (SolidBackground alone is compared
// in upper case).
#include <cstdint>
#include <string>

namespace lumora {

struct SetupSettings {
    std::string UseFileNameTitle;         // "True": the title is ScreenSaverFile
    std::string TitleText = "NONE";       // the backdrop's large title
    std::string ScreenSaverFile = "NONE"; // e.g. "name.scr", in the payload
    std::string FooterText = "NONE";      // small text at the bottom right
    std::string ShowReadMe;               // "True", "False" or anything else
    std::string ReadMeFile = "NONE";      // read-me text in the extraction folder
    std::string RandomPlay;               // the screensaver's Rand flag
    std::string UseCustomImage;           // "True": the picture is CustomImageFile
    std::string CustomImageFile = "NONE";
    std::string ImageFile = "NONE";       // "nil": no picture
    std::string SolidBackground;          // "TRUE" in any case: one solid colour
    std::int32_t GradientRed = 0;         // > 0: the red gradient is drawn
    std::int32_t GradientGreen = 0;
    std::int32_t GradientBlue = 0;
    std::int32_t SolidColor = 0;          // 0x00BBGGRR
};

extern SetupSettings Globals;

// The value of ImageFile that means "no picture".
inline constexpr const char* kNoPicture = "nil";

// "True" sets a flag and "False" clears it, both compared exactly; any other
// text is neither (ShowReadMe tells the three apart).
inline bool IsSet(const std::string& flag) { return flag == "True"; }
inline bool IsCleared(const std::string& flag) { return flag == "False"; }
bool IsSolidBackground(const SetupSettings& settings);

}  // namespace lumora
