// Which language the user reads, and whether the terminal takes UTF-8.
#ifndef QUORVEL_FRONTEND_LANGUAGE_H
#define QUORVEL_FRONTEND_LANGUAGE_H

#include <functional>

#include "romimage/messages.h"

// What the POSIX locale variables ask for, decided from the variables alone,
// as GNU programs read them, so that a static executable needs no locale
// data on the machine.
struct LocaleChoice {
  Language language;
  bool utf8;  // the character-type locale's encoding, the one the terminal shows
};

// variable(NAME) is the variable's value, or nullptr when it is unset.
LocaleChoice ChooseFromLocale(const std::function<const char*(const char*)>& variable);

// The language of this process's user: the locale variables on POSIX, the
// display language on Windows.
Language UserLanguage();

// Whether the banner's Japanese lines go out in UTF-8: only to a POSIX
// terminal that shows UTF-8. Anything that reads standard output (a file, a
// pipe, the page) gets the Shift_JIS bytes, and so does Windows.
bool BannerInUtf8();

#endif
