# What the browser tests share: a page vl4 wrote is checked to run and fetch
# nothing, printed by Chromium (scripts/lib/print-pdf) on A4, and its
# printout read back sheet by sheet. Sourced with `lib` naming scripts/lib.

fail() { echo "FAIL: $*" >&2; exit 1; }

# self_contained PAGE: no script, and nothing that a browser would fetch.
self_contained() {
  local markup
  for markup in '<script' ' src=' ' href=' 'url(' '@import'; do
    ! grep -qiF -- "$markup" "$1" || fail "$1 fetches or runs something: $markup"
  done
}

# print_page PAGE PDF [PICTURE.png]: prints the page, which must come out on
# A4; the printout is what `sheets` and `expect` read.
print_page() {
  printout=$2
  "$lib/print-pdf" "$@"
  pdfinfo "$printout" | grep -q 'Page size:.*(A4)' ||
    fail "not A4: $(pdfinfo "$printout" | grep 'Page size')"
}

sheets() { pdfinfo "$printout" | sed -n 's/^Pages: *//p'; }

# A sheet's text on one line, its words one space apart: in reading order,
# or, with form_lines set, line by line as the sheet shows them (a form's
# label then stands beside its value, whatever the columns around them).
sheet() {
  pdftotext ${form_lines:+-layout} -f "$1" -l "$1" "$printout" - | tr -s ' \n' '  '
}

expect() { # SHEET TEXT...
  local n=$1 text
  shift
  for text; do sheet "$n" | grep -qF -- "$text" || fail "sheet $n lacks '$text': $(sheet "$n")"; done
}
