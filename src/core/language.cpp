#include "core/language.h"

#include "core/machine_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

Language Current = Language::English;

const CatalogEntry* Find(const char* english, const char* plural) {
    const Catalog& catalog = CzechCatalog();
    const CatalogEntry* end = catalog.Entries + catalog.Count;
    const auto before = [](const CatalogEntry& entry,
                           const std::pair<const char*, const char*>& key) {
        const int order = std::strcmp(entry.English, key.first);
        if (order != 0) return order < 0;
        return std::strcmp(entry.EnglishPlural ? entry.EnglishPlural : "",
                           key.second ? key.second : "") < 0;
    };
    const CatalogEntry* found =
        std::lower_bound(catalog.Entries, end, std::make_pair(english, plural), before);
    if (found == end || std::strcmp(found->English, english) != 0) return nullptr;
    if ((found->EnglishPlural == nullptr) != (plural == nullptr)) return nullptr;
    if (plural && std::strcmp(found->EnglishPlural, plural) != 0) return nullptr;
    return found;
}

// Czech plural forms: 1 bod, 2-4 body, 5 bodů (and 0 bodů).
int CzechForm(long count) {
    return count == 1 ? 0 : count >= 2 && count <= 4 ? 1 : 2;
}

} // namespace

void SetLanguage(Language language) {
    Current = language;
}

Language CurrentLanguage() {
    return Current;
}

Language SystemLanguage() {
    const LANGID language = PRIMARYLANGID(GetUserDefaultUILanguage());
    return language == LANG_CZECH || language == LANG_SLOVAK ? Language::Czech : Language::English;
}

const char* LanguageCode(Language language) {
    return language == Language::Czech ? "cs" : "en";
}

bool ParseLanguageCode(const std::string& code, Language& language) {
    if (code == "cs") {
        language = Language::Czech;
        return true;
    }
    if (code == "en") {
        language = Language::English;
        return true;
    }
    return false;
}

const char* Translated(const char* text) {
    if (Current == Language::English) return text;
    const CatalogEntry* entry = Find(text, nullptr);
    return entry ? entry->Czech[0] : text;
}

const char* TranslatedPlural(const char* singular, const char* plural, long count) {
    if (Current == Language::Czech)
        if (const CatalogEntry* entry = Find(singular, plural))
            return entry->Czech[CzechForm(count)];
    return count == 1 ? singular : plural;
}

std::string Format(const char* pattern, std::initializer_list<std::string> arguments) {
    std::string text;
    for (const char* at = pattern; *at; ++at) {
        if (at[0] == '{' && at[1] >= '0' && at[1] <= '9' && at[2] == '}') {
            const size_t index = static_cast<size_t>(at[1] - '0');
            if (index < arguments.size()) text += *(arguments.begin() + index);
            at += 2;
            continue;
        }
        text += *at;
    }
    return text;
}

std::string Decimal(double value, int decimals) {
    return FixedText(value, decimals, Current == Language::Czech ? "," : ".");
}

std::string SignedDecimal(double value, int decimals) {
    const std::string text = Decimal(value, decimals);
    return text[0] == '-' ? text : "+" + text;
}

std::string Celsius(double temperature) {
    return Decimal(temperature, 1) + " \xC2\xB0"
                                     "C";
}

std::string PersonDate(const std::string& iso) {
    // "0000-00-00" is the transmitter's "no date", not a day.
    if (Current != Language::Czech || iso.size() < 10 || iso[4] != '-' || iso[7] != '-' ||
        iso.compare(0, 4, "0000") == 0)
        return iso;
    const auto number = [&iso](size_t at, size_t length) {
        const std::string digits = iso.substr(at, length);
        const size_t first = digits.find_first_not_of('0');
        return first == std::string::npos ? std::string("0") : digits.substr(first);
    };
    return number(8, 2) + ". " + number(5, 2) + ". " + iso.substr(0, 4) + iso.substr(10);
}

std::string PersonNumber(const std::string& text) {
    std::string number = text;
    const size_t point = number.find('.');
    if (Current == Language::Czech && point != std::string::npos) number[point] = ',';
    return number;
}
