// The user's language and the terminal's encoding, from the platform.
#include "frontend/language.h"

#include <cstdlib>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <unistd.h>
#endif

namespace {

// The first of the variables that is set and not empty.
std::string FirstSet(const std::function<const char*(const char*)>& variable,
                     std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = variable(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

bool IsCOrPosix(const std::string& locale) { return locale.empty() || locale == "C" || locale == "POSIX"; }

// The language part of a locale name: "ja" of "ja_JP.UTF-8@mod".
std::string LanguageOf(const std::string& locale) { return locale.substr(0, locale.find_first_of("_.@")); }

// Whether a locale name's codeset, between '.' and '@', is UTF-8.
bool IsUtf8(const std::string& locale) {
  const std::size_t dot = locale.find('.');
  if (dot == std::string::npos) return false;
  std::string codeset = locale.substr(dot + 1, locale.find('@', dot) - dot - 1);
  for (char& c : codeset)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return codeset == "utf-8" || codeset == "utf8";
}

// Under LANGUAGE, the first entry that names a language the tool speaks;
// "C" counts as English, as gettext takes it.
bool SpeaksFromList(const std::string& list, std::string* language) {
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string entry = list.substr(start, end - start);
    const std::string name = LanguageOf(entry);
    if (name == "ja" || name == "en" || (!entry.empty() && IsCOrPosix(entry))) {
      *language = name;
      return true;
    }
    start = end + 1;
  }
  return false;
}

#if !defined(_WIN32)
// This process's own locale variables.
LocaleChoice FromEnvironment() {
  return ChooseFromLocale([](const char* name) -> const char* { return std::getenv(name); });
}
#endif

}  // namespace

LocaleChoice ChooseFromLocale(const std::function<const char*(const char*)>& variable) {
  const std::string messages = FirstSet(variable, {"LC_ALL", "LC_MESSAGES", "LANG"});
  const std::string ctype = FirstSet(variable, {"LC_ALL", "LC_CTYPE", "LANG"});
  std::string language = LanguageOf(messages);
  // LANGUAGE counts only where the messages locale is not C: "LC_ALL=C" is
  // English whatever LANGUAGE says. When none of its entries is a language
  // spoken here, gettext falls back on the untranslated English.
  const std::string list = FirstSet(variable, {"LANGUAGE"});
  if (!IsCOrPosix(messages) && !list.empty() && !SpeaksFromList(list, &language)) language = "en";
  const bool utf8 = IsUtf8(ctype);
  // Japanese in another encoding would reach the terminal as bytes it garbles.
  return {language == "ja" && utf8 ? Language::kJapanese : Language::kEnglish, utf8};
}

Language UserLanguage() {
#ifdef _WIN32
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::kJapanese
                                                                    : Language::kEnglish;
#else
  return FromEnvironment().language;
#endif
}

bool BannerInUtf8() {
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
  // Emscripten says that every stream is a terminal.
  return false;
#else
  return FromEnvironment().utf8 && isatty(STDOUT_FILENO) == 1;
#endif
}
