#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/PathEncoding.h"
#include "base/TextTables.h"
#include "base/UiTexts.h"

namespace lumora {
namespace {

// A table whose texts are the tag and the text's number: "de 0", "de 1", ...
struct FakeTable {
    explicit FakeTable(const std::string& tag)
    {
        for (std::size_t i = 0; i < kTextCount; ++i) {
            strings[i] = tag + " " + std::to_string(i);
            texts[i] = strings[i].c_str();
        }
    }
    std::array<std::string, kTextCount> strings;
    std::array<const char*, kTextCount> texts;
};

TEST(UiTexts, EnglishAsEveryInstallerShowsIt)
{
    UseEnglishTexts();
    EXPECT_FALSE(Translated());
    EXPECT_STREQ(Text(TextId::ButtonNext), "&Next >");
    // The texts keep their blanks and their spelling.
    EXPECT_EQ(std::string(Text(TextId::MessageLeave)).substr(0, 7), " Setup ");
    EXPECT_EQ(std::string(Text(TextId::WizardFinishText)).substr(76), "compleate it is recomended you re-start your "
                                                                      "computer but this is not necessary ");
    EXPECT_NE(std::string(Text(TextId::MessageActivexCaution)).find("to work  correctly"), std::string::npos);
    const std::string missing = Text(TextId::MessageSettingsMissing);
    EXPECT_EQ(missing.size(), 78u);
    EXPECT_EQ(missing.substr(60), "\"SelfExtractErr 1\"");
    EXPECT_EQ(std::string(Text(TextId::SwitchesHelp)).substr(0, 35), "Lumora Install Program switches:\n\n/");
}

TEST(UiTexts, TheUsersLanguageThenItsPrimaryLanguageElseEnglish)
{
    const FakeTable de("de"), swiss("de-CH"), brazil("pt-BR"), ja("ja");
    const std::string tables = WriteTextTables(
        {{0x0807, swiss.texts.data()}, {0x0407, de.texts.data()}, {0x0416, brazil.texts.data()},
         {0x0411, ja.texts.data()}});
    const struct {
        std::uint16_t user;
        const char* chosen;  // nullptr: English
    } cases[] = {
        {0x0407, "de"},     // the very language, though another German comes first
        {0x0807, "de-CH"},
        {0x0C07, "de-CH"},  // Austrian German: the first German table
        {0x0816, "pt-BR"},  // Portugal's Portuguese
        {0x0411, "ja"},
        {0x0409, nullptr},
        {0x0419, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        EXPECT_EQ(UseTextTables(tables, c.user), c.chosen != nullptr);
        EXPECT_EQ(Translated(), c.chosen != nullptr);
        const std::string last = std::to_string(kTextCount - 1);
        EXPECT_EQ(Text(TextId::MainCaption), c.chosen ? std::string(c.chosen) + " 0" : "Setup Program");
        EXPECT_EQ(Text(TextId::UninstallAtRestart), c.chosen ? std::string(c.chosen) + " " + last
                                                             : EnglishText(TextId::UninstallAtRestart));
        EXPECT_STREQ(EnglishText(TextId::ButtonNext), "&Next >");
        UseEnglishTexts();
    }
}

TEST(UiTexts, LanguageTagsByTheirLanguageThenTheirPrimaryLanguage)
{
    const struct {
        const char* tag;
        std::optional<std::uint16_t> language;
    } cases[] = {
        {"de", 0x0407}, {"PT-br", 0x0416}, {"pt", 0x0416}, {"de-AT", 0x0407}, {"zh-cn", 0x0804},
        {"en", 0x0409}, {"xx", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}, {"d", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(LanguageOfTag(c.tag), c.language);
    }
}

TEST(CodePageRecord, DigitsOfAnEightBitCodePageOnly)
{
    EXPECT_EQ(ParseCodePageRecord("1250"), 1250u);
    EXPECT_EQ(ParseCodePageRecord("932"), 932u);
    EXPECT_EQ(ParseCodePageRecord("65535"), 65535u);
    for (const char* bad : {"", "0", "65001", "65536", "99999", "125O", " 1250", "1250\n", "-1", "001250"})
        EXPECT_EQ(ParseCodePageRecord(bad), std::nullopt) << bad;
}

TEST(UiTexts, TablesOfOtherKeysOrCutShortAreNotTaken)
{
    const FakeTable de("de"), ja("ja");
    const std::string tables = WriteTextTables({{0x0407, de.texts.data()}, {0x0411, ja.texts.data()}});
    std::string otherKeys = tables;
    otherKeys[10] ^= 1;
    EXPECT_FALSE(UseTextTables(otherKeys, 0x0407));
    EXPECT_FALSE(UseTextTables({}, 0x0407));
    // A cut in the second table leaves the first whole.
    const std::string cut = tables.substr(0, tables.size() - 3);
    EXPECT_FALSE(UseTextTables(cut, 0x0411));
    EXPECT_TRUE(UseTextTables(cut, 0x0407));
    EXPECT_STREQ(Text(TextId::MainCaption), "de 0");
    UseEnglishTexts();
    EXPECT_FALSE(UseTextTables(tables.substr(0, 20), 0x0407));
    EXPECT_STREQ(Text(TextId::MainCaption), "Setup Program");
}

TEST(UiTexts, FormatPutsTheValuesInOrder)
{
    EXPECT_EQ(FormatText("Replaces version %s with %s", {"1.0.0", "1.2.3"}), "Replaces version 1.0.0 with 1.2.3");
    EXPECT_EQ(FormatText("%s%s", {"%s", "x"}), "%sx");
    EXPECT_EQ(FormatText("a %s b %s", {"1"}), "a 1 b ");
    EXPECT_EQ(FormatText("100% %d", {"1"}), "100% %d");
}

}  // namespace
}  // namespace lumora
