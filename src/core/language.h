#pragma once

#include <initializer_list>
#include <string>

// The language vl4 speaks to a person: English, which is the texts in the
// code, or Czech from its catalog (po/cs.po), compiled into the program.
// What programs read (JSON, CSV, records, settings files, traces, exit
// statuses) never goes through here.

enum class Language { English, Czech };

void SetLanguage(Language language);
Language CurrentLanguage();
// Czech when the user's Windows display language is Czech or Slovak.
Language SystemLanguage();
// "cs", "en": as HTML's lang and --lang name it.
const char* LanguageCode(Language language);
bool ParseLanguageCode(const std::string& code, Language& language);

// A text for a person in the current language; `text` is its English form
// and the catalog's key. `_("...")` marks it for xgettext.
const char* Translated(const char* text);
// The form for `count` of a text with a plural: "1 point", "3 points";
// Czech has three forms (1 bod, 2-4 body, 5 bodů). Marked by `Q_(...)`.
const char* TranslatedPlural(const char* singular, const char* plural, long count);

#define _(text) Translated(text)
#define Q_(singular, plural, count) TranslatedPlural(singular, plural, count)
// A text kept as it is where it is written (a record's outcome, a probe's
// health words: what programs read), marked for the catalog so that
// Translated() finds it when a person reads it.
#define N_(text) text

// The text with {0}, {1}, ... replaced by the arguments, in whatever order
// the translation puts them.
std::string Format(const char* pattern, std::initializer_list<std::string> arguments);

// A number for a person: fixed point with `decimals` digits, a decimal comma
// in Czech ("9,491"), never "-0.000".
std::string Decimal(double value, int decimals);
// "+0,012", "-0.080": a difference with its sign always shown.
std::string SignedDecimal(double value, int decimals);
// "15.0 °C", "15,0 °C"
std::string Celsius(double temperature);
// A day as a person reads it: "2026-12-08", in Czech "8. 12. 2026"; `iso`
// is "YYYY-MM-DD" (a time after it is kept: "8. 12. 2026 15:03").
std::string PersonDate(const std::string& iso);
// A number already written with a point ("0.1", "-59.16", as the window or a
// file writes it), with the language's decimal symbol instead: "0,1".
std::string PersonNumber(const std::string& text);

// The catalog as compiled: each English text with its Czech forms (one, or
// three for a plural), for the program and for the test of its completeness.
struct CatalogEntry {
    const char* English;
    const char* EnglishPlural; // null: no plural
    const char* Czech[3];      // [0] only, unless a plural
};
struct Catalog {
    const CatalogEntry* Entries; // sorted by English, then EnglishPlural
    int Count;
    // The texts the code marks, as xgettext found them, to check that each
    // has its entry.
    const char* const* Marked;
    int MarkedCount;
};
const Catalog& CzechCatalog();
