#pragma once

#include <string>
#include <vector>

// Documents for people, such as a calibration certificate or a history
// report: one HTML file with its styles inline and its pictures as inline
// SVG, no script and nothing fetched, which any browser opens offline and
// prints on A4 portrait, readable in black and white.

// & < > " ' as character references, so that a text shows as typed.
std::string HtmlEscaped(const std::string& text);

// A piece of a page's markup. Made from a text it is that text escaped, so
// that no text from outside (a technician's name, a tag, a file name) can
// add markup; markup comes only from the helpers below, and from Trusted
// for what this program draws itself (a chart's <svg>).
class Html {
public:
    Html() = default;
    Html(const std::string& text) : Text(HtmlEscaped(text)) {}
    Html(const char* text) : Text(HtmlEscaped(text)) {}
    static Html Trusted(const std::string& markup);

    const std::string& Markup() const { return Text; }
    bool Empty() const { return Text.empty(); }
    Html& operator+=(const Html& more);

private:
    std::string Text;
};
Html operator+(Html left, const Html& right);

// A translated sentence with pieces of markup in its {0}, {1}, {2} (a
// marking in a sentence): the pattern is escaped, the pieces are not.
Html Formatted(const char* pattern, const Html& first, const Html& second = Html(),
               const Html& third = Html());

// <tag class="cssClass">content</tag>; no class when it is null.
Html Element(const char* tag, const Html& content, const char* cssClass = nullptr);
Html Strong(const Html& content);
// A word that must catch the eye on paper as well: bold capitals in a box
// ("OVERDUE", "NOT CALIBRATED").
Html Marking(const Html& content);

Html Heading(int level, const Html& content); // 1 to 3
Html Paragraph(const Html& content);
// Small print under a table or a form.
Html Note(const Html& content);
// A picture (a chart) with its caption under it, never split over two sheets.
Html Figure(const Html& picture, const Html& caption);

// Labelled values laid out as a form, `perLine` of them side by side.
struct HtmlField {
    Html Label;
    Html Value;
};
Html FieldTable(const std::vector<HtmlField>& fields, int perLine = 2);

// Lines to sign on, each with what it is for under it ("technician").
Html SignatureLines(const std::vector<Html>& purposes);

// A table whose heading row a printout repeats on each sheet; a row never
// splits over two.
class HtmlTable {
public:
    explicit HtmlTable(const std::vector<Html>& headings);
    // Numbers stand right-aligned in this column, each on one line.
    HtmlTable& Numeric(int column);
    // A date or a time is never broken over two lines.
    HtmlTable& Unbroken(int column);
    // A marked row stands out in bold: a line that needs attention.
    HtmlTable& Row(const std::vector<Html>& cells, bool marked = false);
    Html Markup() const;

private:
    std::vector<Html> Headings;
    std::vector<const char*> Classes; // of each column's cells
    HtmlTable& Style(int column, const char* cssClass);
    std::string Rows;
};

// A whole page: UTF-8, in the language vl4 speaks (its lang), A4 portrait
// margins, a sans-serif face the browser has, black on white. Its blocks go
// into sections; each section after the first starts on a new sheet when
// printed.
class HtmlPage {
public:
    explicit HtmlPage(const std::string& title) : Title(title) {}
    // Rules of this document beside the common ones (a one-page form can
    // make its text smaller).
    void AddStyle(const std::string& css) { Style += css; }
    void NewSection();
    void Add(const Html& block);
    // The file's text.
    std::string Text() const;

private:
    std::string Title;
    std::string Style;
    std::vector<std::string> Sections;
};
