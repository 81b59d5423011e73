#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>

#include "settings/ProductInfo.h"
#include "settings/SetupFile.h"

namespace lumora {
namespace {

std::string Lines(std::initializer_list<const char*> lines, const char* end = "\r\n")
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + end;
    return text;
}

const std::string kSample = Lines({"False", "Aurora Dreams", "Aurora.scr", "Lumora Demo 2026", "False",
                                   "NONE", "False", "True", "cd.jpg", "cd.jpg", "False", "255", "0",
                                   "0", "0"});

TEST(SetupFile, ReadsTheFifteenLinesInOrder)
{
    SetupSettings s;
    ASSERT_TRUE(ReadSetupSettings(kSample + "anything after line 15\r\n", s));
    EXPECT_EQ(s.UseFileNameTitle, "False");
    EXPECT_EQ(s.TitleText, "Aurora Dreams");
    EXPECT_EQ(s.ScreenSaverFile, "Aurora.scr");
    EXPECT_EQ(s.FooterText, "Lumora Demo 2026");
    EXPECT_EQ(s.ShowReadMe, "False");
    EXPECT_EQ(s.ReadMeFile, "NONE");
    EXPECT_EQ(s.RandomPlay, "False");
    EXPECT_EQ(s.UseCustomImage, "True");
    EXPECT_EQ(s.CustomImageFile, "cd.jpg");
    EXPECT_EQ(s.ImageFile, "cd.jpg");
    EXPECT_EQ(s.SolidBackground, "False");
    EXPECT_EQ(s.GradientRed, 255);
    EXPECT_EQ(s.GradientGreen, 0);
    EXPECT_EQ(s.GradientBlue, 0);
    EXPECT_EQ(s.SolidColor, 0);
}

TEST(SetupFile, AnInvalidNumberStopsTheReadingWithTheEarlierFieldsKept)
{
    SetupSettings s;
    EXPECT_FALSE(ReadSetupSettings(Lines({"True", "T", "s.scr", "F", "True", "r.txt", "True", "False",
                                          "c.jpg", "i.jpg", "TRUE", "7", "abc", "9", "$FF"}),
                                   s));
    EXPECT_EQ(s.SolidBackground, "TRUE");
    EXPECT_EQ(s.GradientRed, 7);
    EXPECT_EQ(s.GradientGreen, 0);
    EXPECT_EQ(s.GradientBlue, 0);
    EXPECT_EQ(s.SolidColor, 0);
}

TEST(SetupFile, TheEndOfTheFileIsNoFailure)
{
    SetupSettings eleven;
    EXPECT_TRUE(ReadSetupSettings(Lines({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}), eleven));
    EXPECT_EQ(eleven.SolidBackground, "k");
    EXPECT_EQ(eleven.GradientRed, 0);
    EXPECT_EQ(eleven.SolidColor, 0);

    SetupSettings empty;
    EXPECT_TRUE(ReadSetupSettings("", empty));
    EXPECT_EQ(empty.TitleText, "");
    EXPECT_EQ(empty.ImageFile, "");
    EXPECT_EQ(empty.GradientBlue, 0);
}

TEST(SetupFile, LineFeedsAloneBelongToTheFirstText)
{
    SetupSettings s;
    const std::string unixText = Lines({"False", "Title", "x.scr"}, "\n");
    EXPECT_TRUE(ReadSetupSettings(unixText, s));
    EXPECT_EQ(s.UseFileNameTitle, unixText);
    EXPECT_EQ(s.TitleText, "");
}

TEST(SetupFile, TheReadingTellsOnWhichLineItFoundEachValueAndWhereItStopped)
{
    using Lines15 = std::array<int, kSettingsFieldCount>;
    const Lines15 inOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::string eleven = Lines({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"});
    struct Case {
        const char* what;
        std::string content;
        Lines15 lines;
        std::optional<std::size_t> failedField;
        const char* failedText;
    };
    const Case cases[] = {
        {"fifteen lines", kSample, inOrder, std::nullopt, ""},
        {"a Ctrl-Z ends the file", eleven + "1\r\n\x1a" "2\r\n3\r\n4\r\n",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0}, std::nullopt, ""},
        // Empty lines before a number are passed over: the numbers slide up.
        {"an empty number line", eleven + "\r\n \r\n255\r\n0\r\n7\r\n",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 0}, std::nullopt, ""},
        {"no number", eleven + "7\r\nabc def\r\n9\r\n$FF\r\n",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 0}, 12, "abc"},
        {"line feeds alone", "False\nTitle\nx.scr\n", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         std::nullopt, ""},
        {"carriage returns alone", Lines({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "1", "2",
                                          "3", "4"}, "\r"),
         inOrder, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetupSettings s;
        SettingsReading reading;
        EXPECT_EQ(ReadSetupSettings(c.content, s, reading), !c.failedField);
        EXPECT_EQ(reading.lines, c.lines);
        EXPECT_EQ(reading.failedField, c.failedField);
        EXPECT_EQ(reading.failedText, c.failedText);
    }
}

TEST(SetupFile, PictureNames)
{
    const std::set<std::string> present = {"cd.jpg", "own.jpg"};
    const auto exists = [&](const std::string& name) { return present.count(name) > 0; };
    struct Case {
        const char* useCustom;
        const char* custom;
        const char* image;
        const char* expectedImage;
    };
    const Case cases[] = {
        {"True", "own.jpg", "cd.jpg", "own.jpg"},
        {"True", "gone.jpg", "cd.jpg", "nil"},
        {"true", "own.jpg", "cd.jpg", "cd.jpg"},  // only "True" sets a flag
        {"False", "own.jpg", "cd.jpg", "cd.jpg"},
        {"False", "own.jpg", "gone.jpg", "nil"},
    };
    for (const Case& c : cases) {
        SetupSettings s;
        s.UseCustomImage = c.useCustom;
        s.CustomImageFile = c.custom;
        s.ImageFile = c.image;
        CheckPictureNames(s, exists);
        EXPECT_EQ(s.ImageFile, c.expectedImage) << c.useCustom << " " << c.custom << " " << c.image;
        EXPECT_EQ(s.CustomImageFile, c.custom);
    }
}

TEST(SetupFile, PictureFileFollowsTheCustomImageFlagUnlessANameIsNil)
{
    SetupSettings s;
    s.ImageFile = "a.jpg";
    s.CustomImageFile = "b.jpg";
    EXPECT_EQ(PictureFile(s), "a.jpg");
    s.UseCustomImage = "true";  // flags are case-sensitive
    EXPECT_EQ(PictureFile(s), "a.jpg");
    s.UseCustomImage = "True";
    EXPECT_EQ(PictureFile(s), "b.jpg");
    s.ImageFile = "nil";
    EXPECT_EQ(PictureFile(s), std::nullopt);
    s.ImageFile = "a.jpg";
    s.CustomImageFile = "nil";
    s.UseCustomImage = "False";
    EXPECT_EQ(PictureFile(s), std::nullopt);
}

TEST(SetupFile, FlagsAndTheMessage)
{
    EXPECT_TRUE(IsSet("True"));
    EXPECT_FALSE(IsSet("true"));
    EXPECT_FALSE(IsSet("True "));
    SetupSettings s;
    for (const char* solid : {"true", "True", "TRUE", "tRuE"}) {
        s.SolidBackground = solid;
        EXPECT_TRUE(IsSolidBackground(s)) << solid;
    }
    for (const char* other : {"", "False", "TRUE ", "yes"}) {
        s.SolidBackground = other;
        EXPECT_FALSE(IsSolidBackground(s)) << other;
    }
}

TEST(SetupFile, FreshSettingsHoldTheirInitialValues)
{
    const SetupSettings s;
    for (const std::string* text : {&s.TitleText, &s.ScreenSaverFile, &s.FooterText, &s.ReadMeFile,
                                    &s.CustomImageFile, &s.ImageFile})
        EXPECT_EQ(*text, "NONE");
    for (const std::string* flag : {&s.UseFileNameTitle, &s.ShowReadMe, &s.RandomPlay,
                                    &s.UseCustomImage, &s.SolidBackground})
        EXPECT_EQ(*flag, "");
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

// Versions compare number by number, not as text; what is no version is
// never a downgrade, so nothing is asked.
TEST(ProductInfo, DowngradesAreToldNumberByNumber)
{
    const struct {
        const char* installed;
        const char* version;
        bool downgrade;
    } cases[] = {
        {"1.1.0", "1.0.0", true},     {"1.10.0", "1.9.0", true},   {"1.2.0", "1.10.0", false},
        {"1.2.0", "1.2.0", false},    {"1.2.0.1", "1.2.0", true},  {"1.2.0", "1.2.0.0", false},
        {"2.0.0", "10.0.0", false},   {"65535.0.0", "9.9.9", true}, {"1.1.0", "1.1.0.1", false},
        {"", "1.0.0", false},         {"1.1.0", "", false},        {"1.1", "1.0.0", false},
        {"1.1.0 beta", "1.0.0", false}, {"1..0", "1.0.0", false},  {"1.1.0.0.1", "1.0.0", false},
        {"123456.0.0", "1.0.0", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsDowngrade(c.installed, c.version), c.downgrade) << c.installed << " then " << c.version;
}

// An installer of an earlier tool has four lines: no identity, no icon.
TEST(ProductInfo, SixLinesAndTheFourOfEarlierInstallers)
{
    ProductInfo info;
    ReadProductInfo("Zorza\r\nSwietlik\r\n1.2.0\r\nhttps://x.example/\r\nswietlik.zorza\r\nLmunist.exe\r\nmore\r\n", info);
    EXPECT_EQ(info.ProductId, "swietlik.zorza");
    EXPECT_EQ(info.Icon, "Lmunist.exe");
    ProductInfo earlier;
    ReadProductInfo("Zorza\r\nSwietlik\r\n1.1.0\r\n\r\n", earlier);
    EXPECT_EQ(earlier.Version, "1.1.0");
    EXPECT_EQ(earlier.ProductId + earlier.Icon, "");
}

}  // namespace
}  // namespace lumora
