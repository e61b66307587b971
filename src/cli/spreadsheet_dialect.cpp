#include "cli/spreadsheet_dialect.h"

#include "core/text_encoding.h"

#include <windows.h>

namespace {

// A locale's text (at most four characters for these two); `fallback` when
// the system has none.
std::string LocaleText(const wchar_t* localeName, LCTYPE what, const char* fallback) {
    wchar_t text[8] = {};
    if (GetLocaleInfoEx(localeName, what, text, 8) <= 1) return fallback;
    return Utf8FromWide(text);
}

} // namespace

CsvDialect SpreadsheetDialect(const wchar_t* localeName) {
    CsvDialect dialect;
    dialect.Separator = LocaleText(localeName, LOCALE_SLIST, ",");
    dialect.DecimalSymbol = LocaleText(localeName, LOCALE_SDECIMAL, ".");
    dialect.LineEnd = "\r\n";
    dialect.ByteOrderMark = true;
    return dialect;
}
