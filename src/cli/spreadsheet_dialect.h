#pragma once

#include "core/machine_text.h"

// The CSV a spreadsheet opens in columns on a double-click: the list
// separator and the decimal symbol of the Windows locale (";" and "," for
// Czech or German, "," and "." for English), a UTF-8 byte-order mark and
// CRLF. Null names the user's locale; tests name one ("cs-CZ"). A locale the
// system does not know keeps the form for programs' separator and point.
CsvDialect SpreadsheetDialect(const wchar_t* localeName = nullptr);
