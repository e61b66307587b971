#include "documents/html_document.h"

#include "core/language.h"

namespace {

// Nothing a page holds is fetched, even should a fault let a reference in.
const char Head[] = "<head>\n<meta charset=\"utf-8\">\n"
                    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                    "style-src 'unsafe-inline'\">\n";

const char CommonStyle[] = R"(@page { size: A4 portrait; margin: 15mm 14mm 15mm 14mm; }
html { font-family: sans-serif; font-size: 10pt; color: #000; background: #fff; }
body { margin: 0 auto; max-width: 182mm; line-height: 1.3; }
h1 { font-size: 17pt; margin: 0 0 2mm 0; }
h2 { font-size: 13pt; margin: 0 0 2mm 0; padding-bottom: 1mm; border-bottom: 1.5pt solid #000; }
h3 { font-size: 11pt; margin: 4mm 0 1.5mm 0; }
p { margin: 1.5mm 0; }
.note { font-size: 8.5pt; color: #333; }
table { border-collapse: collapse; width: 100%; margin: 2mm 0; }
th, td { border: 0.75pt solid #666; padding: 0.8mm 1.5mm; text-align: left; vertical-align: top; }
thead th { border-bottom: 1.5pt solid #000; vertical-align: bottom; }
thead { display: table-header-group; }
tr { break-inside: avoid; }
.number { text-align: right; font-variant-numeric: tabular-nums; }
td.number, td.unbroken { white-space: nowrap; }
table.data { font-size: 9pt; }
tr.marked td { font-weight: bold; }
table.fields th { width: 1%; white-space: nowrap; font-weight: normal; color: #333; }
table.fields td { font-weight: bold; }
.marking { display: inline-block; border: 1.5pt solid #000; padding: 0 1.2mm; font-weight: bold;
  text-transform: uppercase; letter-spacing: 0.04em; }
figure { margin: 3mm 0; break-inside: avoid; }
figure svg { display: block; width: 100%; height: auto; }
figcaption { font-size: 8.5pt; color: #333; margin-top: 1mm; }
.signatures { display: flex; gap: 12mm; margin-top: 14mm; }
.signatures div { flex: 1; border-top: 0.75pt solid #000; padding-top: 1mm; font-size: 8.5pt; }
section + section { break-before: page; }
@media screen {
  body { padding: 8mm; }
  section + section { margin-top: 10mm; padding-top: 6mm; border-top: 1pt dashed #999; }
}
)";

std::string Attribute(const char* cssClass) {
    return cssClass ? std::string(" class=\"") + cssClass + "\"" : std::string();
}

} // namespace

std::string HtmlEscaped(const std::string& text) {
    std::string html;
    html.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\'':
            html += "&#39;";
            break;
        default:
            html += c;
        }
    }
    return html;
}

Html Html::Trusted(const std::string& markup) {
    Html html;
    html.Text = markup;
    return html;
}

Html& Html::operator+=(const Html& more) {
    Text += more.Text;
    return *this;
}

Html operator+(Html left, const Html& right) {
    return left += right;
}

Html Formatted(const char* pattern, const Html& first, const Html& second, const Html& third) {
    return Html::Trusted(
        Format(HtmlEscaped(pattern).c_str(), {first.Markup(), second.Markup(), third.Markup()}));
}

Html Element(const char* tag, const Html& content, const char* cssClass) {
    return Html::Trusted(std::string("<") + tag + Attribute(cssClass) + ">" + content.Markup() +
                         "</" + tag + ">");
}

Html Strong(const Html& content) {
    return Element("strong", content);
}

Html Marking(const Html& content) {
    return Element("span", content, "marking");
}

Html Heading(int level, const Html& content) {
    static const char* const Tags[] = {"h1", "h2", "h3"};
    return Element(Tags[level < 1 ? 0 : level > 3 ? 2 : level - 1], content) + Html::Trusted("\n");
}

Html Paragraph(const Html& content) {
    return Element("p", content) + Html::Trusted("\n");
}

Html Note(const Html& content) {
    return Element("p", content, "note") + Html::Trusted("\n");
}

Html Figure(const Html& picture, const Html& caption) {
    return Element("figure", picture + Element("figcaption", caption)) + Html::Trusted("\n");
}

Html FieldTable(const std::vector<HtmlField>& fields, int perLine) {
    if (perLine < 1) perLine = 1;
    Html rows;
    for (size_t i = 0; i < fields.size(); i += perLine) {
        Html row;
        for (size_t j = i; j < i + perLine; ++j)
            row += j < fields.size()
                       ? Element("th", fields[j].Label) + Element("td", fields[j].Value)
                       : Element("th", "") + Element("td", "");
        rows += Element("tr", row) + Html::Trusted("\n");
    }
    return Element("table", rows, "fields") + Html::Trusted("\n");
}

Html SignatureLines(const std::vector<Html>& purposes) {
    Html lines;
    for (const Html& purpose : purposes) lines += Element("div", purpose);
    return Element("div", lines, "signatures") + Html::Trusted("\n");
}

HtmlTable::HtmlTable(const std::vector<Html>& headings)
    : Headings(headings), Classes(headings.size(), nullptr) {}

HtmlTable& HtmlTable::Style(int column, const char* cssClass) {
    if (column >= 0 && column < static_cast<int>(Classes.size())) Classes[column] = cssClass;
    return *this;
}

HtmlTable& HtmlTable::Numeric(int column) {
    return Style(column, "number");
}

HtmlTable& HtmlTable::Unbroken(int column) {
    return Style(column, "unbroken");
}

HtmlTable& HtmlTable::Row(const std::vector<Html>& cells, bool marked) {
    Html row;
    for (size_t i = 0; i < cells.size(); ++i)
        row += Element("td", cells[i], i < Classes.size() ? Classes[i] : nullptr);
    Rows += Element("tr", row, marked ? "marked" : nullptr).Markup() + "\n";
    return *this;
}

Html HtmlTable::Markup() const {
    Html heading;
    for (size_t i = 0; i < Headings.size(); ++i) heading += Element("th", Headings[i], Classes[i]);
    return Element("table",
                   Html::Trusted("\n") + Element("thead", Element("tr", heading)) +
                       Html::Trusted("\n") + Element("tbody", Html::Trusted("\n" + Rows)),
                   "data") +
           Html::Trusted("\n");
}

void HtmlPage::NewSection() {
    Sections.emplace_back();
}

void HtmlPage::Add(const Html& block) {
    if (Sections.empty()) NewSection();
    Sections.back() += block.Markup();
}

std::string HtmlPage::Text() const {
    std::string page = std::string("<!DOCTYPE html>\n<html lang=\"") +
                       LanguageCode(CurrentLanguage()) + "\">\n" + Head + "<title>" +
                       HtmlEscaped(Title) + "</title>\n<style>\n" + CommonStyle + Style +
                       "</style>\n</head>\n<body>\n";
    for (const std::string& section : Sections) page += "<section>\n" + section + "</section>\n";
    return page + "</body>\n</html>\n";
}
