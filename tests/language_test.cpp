// The user's language and the terminal's encoding, as the locale variables give them.
#include "frontend/language.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

namespace {

struct LocaleCase {
  const char* name;
  std::map<std::string, std::string> variables;
  Language language;
  bool utf8;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.name; }

class ChooseFromLocaleTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(ChooseFromLocaleTest, AsGnuProgramsReadTheVariables) {
  const LocaleCase& c = GetParam();
  const LocaleChoice choice = ChooseFromLocale([&c](const char* name) -> const char* {
    auto found = c.variables.find(name);
    return found != c.variables.end() ? found->second.c_str() : nullptr;
  });
  EXPECT_EQ(c.language, choice.language);
  EXPECT_EQ(c.utf8, choice.utf8);
}

constexpr Language en = Language::kEnglish;
constexpr Language ja = Language::kJapanese;

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseFromLocaleTest,
    ::testing::Values(
        LocaleCase{"NothingSet", {}, en, false},
        LocaleCase{"JapaneseUtf8", {{"LANG", "ja_JP.UTF-8"}}, ja, true},
        LocaleCase{"JapaneseUtf8LowerCase", {{"LANG", "ja_JP.utf8"}}, ja, true},
        LocaleCase{"JapaneseWithModifier", {{"LANG", "ja_JP.UTF-8@mod"}}, ja, true},
        LocaleCase{"EnglishUtf8", {{"LANG", "en_US.UTF-8"}}, en, true},
        // A terminal in EUC-JP would garble UTF-8 Japanese.
        LocaleCase{"JapaneseEucJp", {{"LANG", "ja_JP.eucJP"}}, en, false},
        LocaleCase{"JapaneseWithoutCodeset", {{"LANG", "ja_JP"}}, en, false},
        LocaleCase{"CUtf8", {{"LANG", "C.UTF-8"}}, en, true},
        // The order: LC_ALL, then LC_MESSAGES (language) or LC_CTYPE (encoding), then LANG.
        LocaleCase{"LcAllCOverJapanese", {{"LC_ALL", "C"}, {"LANG", "ja_JP.UTF-8"}}, en, false},
        LocaleCase{"LcAllJapaneseOverLang", {{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "C"}}, ja, true},
        LocaleCase{"LcMessagesJapanese", {{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}}, ja, true},
        LocaleCase{"LcMessagesJapaneseCtypeNotUtf8",
                   {{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_CTYPE", "ja_JP.eucJP"}, {"LANG", "en_US.UTF-8"}},
                   en,
                   false},
        LocaleCase{"LcCtypeUtf8UnderJapaneseLang", {{"LC_CTYPE", "C.UTF-8"}, {"LANG", "ja_JP"}}, ja, true},
        LocaleCase{
            "EmptyCountsAsUnset", {{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "ja_JP.UTF-8"}}, ja, true},
        // LANGUAGE: its first entry that the tool speaks, unless the messages locale is C.
        LocaleCase{"LanguageUnderEnglish", {{"LANGUAGE", "ja"}, {"LANG", "en_US.UTF-8"}}, ja, true},
        LocaleCase{"LanguageUnderCUtf8", {{"LANGUAGE", "ja"}, {"LANG", "C.UTF-8"}}, ja, true},
        LocaleCase{"LanguageUnderC", {{"LANGUAGE", "ja"}, {"LC_ALL", "C"}}, en, false},
        LocaleCase{"LanguageUnderPosix", {{"LANGUAGE", "ja"}, {"LANG", "POSIX"}}, en, false},
        LocaleCase{"LanguageWithNothingElseSet", {{"LANGUAGE", "ja"}}, en, false},
        LocaleCase{"LanguageEnglishFirst", {{"LANGUAGE", "en:ja"}, {"LANG", "ja_JP.UTF-8"}}, en, true},
        LocaleCase{
            "LanguageSkipsOthers", {{"LANGUAGE", "fr:de_DE:ja_JP"}, {"LANG", "en_US.UTF-8"}}, ja, true},
        LocaleCase{"LanguageSpeaksNoneOfThem", {{"LANGUAGE", "fr:de"}, {"LANG", "ja_JP.UTF-8"}}, en, true},
        LocaleCase{"LanguageEmpty", {{"LANGUAGE", ""}, {"LANG", "ja_JP.UTF-8"}}, ja, true},
        LocaleCase{"LanguageJapaneseButEncodingNotUtf8",
                   {{"LANGUAGE", "ja"}, {"LANG", "en_US.ISO-8859-1"}},
                   en,
                   false}),
    [](const ::testing::TestParamInfo<LocaleCase>& info) { return std::string(info.param.name); });

}  // namespace
