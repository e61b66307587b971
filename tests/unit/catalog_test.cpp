// vl4's Czech catalog as the program holds it: every text the code marks
// has its Czech form, with the same placeholders, and numbers and dates
// read as a Czech technician writes them.
#include "core/language.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace {

std::set<std::string> Placeholders(const std::string& text) {
    std::set<std::string> found;
    const std::regex placeholder("\\{[0-9]\\}");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
         it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

struct Speaking {
    explicit Speaking(Language language) { SetLanguage(language); }
    ~Speaking() { SetLanguage(Language::English); }
};

TEST(CzechCatalog, EveryMarkedTextHasItsCzechFormWithTheSamePlaceholders) {
    const Catalog& catalog = CzechCatalog();
    ASSERT_GT(catalog.MarkedCount, 100) << "the code marks its texts";
    std::set<std::string> english;
    for (int i = 0; i < catalog.Count; ++i) {
        const CatalogEntry& entry = catalog.Entries[i];
        english.insert(entry.English);
        const std::string original =
            std::string(entry.English) + (entry.EnglishPlural ? entry.EnglishPlural : "");
        const int forms = entry.EnglishPlural ? 3 : 1;
        for (int form = 0; form < forms; ++form) {
            ASSERT_NE(entry.Czech[form], nullptr) << entry.English;
            EXPECT_STRNE(entry.Czech[form], "") << entry.English;
            EXPECT_EQ(Placeholders(entry.Czech[form]), Placeholders(original)) << entry.English;
        }
        if (i > 0) {
            EXPECT_LE(std::string(catalog.Entries[i - 1].English), entry.English);
        }
    }
    for (int i = 0; i < catalog.MarkedCount; ++i)
        EXPECT_EQ(english.count(catalog.Marked[i]), 1u) << "no Czech for " << catalog.Marked[i];
}

TEST(CzechCatalog, TextsNumbersAndDatesAsTheLanguageWritesThem) {
    EXPECT_EQ(Format("{1} of {0}", {"a", "b"}), "b of a");
    EXPECT_EQ(Format("{0} {0}, {2}", {"x", "y"}), "x x, ");
    EXPECT_STREQ(Translated("a text nobody marked"), "a text nobody marked");
    EXPECT_EQ(Decimal(9.4907, 3), "9.491");
    EXPECT_EQ(PersonDate("2026-12-08"), "2026-12-08");
    {
        Speaking czech(Language::Czech);
        EXPECT_EQ(Decimal(9.4907, 3), "9,491");
        EXPECT_EQ(Decimal(-0.0004, 3), "0,000");
        EXPECT_EQ(SignedDecimal(0.012, 3), "+0,012");
        EXPECT_EQ(Celsius(15), "15,0 \xC2\xB0"
                               "C");
        EXPECT_EQ(PersonDate("2026-12-08"), "8. 12. 2026");
        EXPECT_EQ(PersonDate("2026-03-15 09:05"), "15. 3. 2026 09:05");
        EXPECT_EQ(PersonDate("0000-00-00"), "0000-00-00");
        // Czech has three forms: 1 bod, 2-4 body, 5 bodů.
        const Catalog& catalog = CzechCatalog();
        for (int i = 0; i < catalog.Count; ++i) {
            const CatalogEntry& entry = catalog.Entries[i];
            if (!entry.EnglishPlural) continue;
            EXPECT_STREQ(TranslatedPlural(entry.English, entry.EnglishPlural, 1), entry.Czech[0]);
            EXPECT_STREQ(TranslatedPlural(entry.English, entry.EnglishPlural, 3), entry.Czech[1]);
            EXPECT_STREQ(TranslatedPlural(entry.English, entry.EnglishPlural, 5), entry.Czech[2]);
            EXPECT_STREQ(TranslatedPlural(entry.English, entry.EnglishPlural, 0), entry.Czech[2]);
        }
    }
    EXPECT_STREQ(TranslatedPlural("a point", "points", 2), "points");
}

} // namespace
