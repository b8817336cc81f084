// A small SVG writer: elements with attributes, escaped text, and numbers in a fixed format, so
// that the same picture is always the same text.
//
// Offers: svgNumber, svgEscape, SvgAttr, Svg, svgBegin, svgOpen, svgElement, svgText, svgClose,
// svgEnd; svgTextWidth, svgWrapText (text laid out in the font svgBegin names).
#pragma once

#include <string>
#include <vector>

// x with `decimals` digits after the point, trailing zeros and the minus of a zero dropped, "."
// as the point whatever the locale. Non-finite x is written as printf writes it ("nan", "inf"),
// which no SVG reader takes for a number: the pictures' tests look for it.
std::string svgNumber(double x, int decimals);

// s with &, <, >, " and ' written as character references.
std::string svgEscape(const std::string& s);

struct SvgAttr {
    const char* name;
    std::string value; // as written, already formatted
};

struct Svg {
    std::string text;              // the document so far
    std::vector<std::string> open; // names of the elements still open, outermost first
};

// Attribute with a number, formatted with svgNumber.
SvgAttr svgAttr(const char* name, double x, int decimals = 2);
// Attribute with text, escaped.
SvgAttr svgAttr(const char* name, const std::string& value);

// Starts the document: the XML declaration and an open <svg> of width x height pixels.
void svgBegin(Svg& svg, double width, double height);
// Opens <name attrs...>; close it with svgClose.
void svgOpen(Svg& svg, const char* name, const std::vector<SvgAttr>& attrs);
// Writes the empty element <name attrs.../>.
void svgElement(Svg& svg, const char* name, const std::vector<SvgAttr>& attrs);
// Writes <text attrs...>content</text>, content escaped.
void svgText(Svg& svg, const std::vector<SvgAttr>& attrs, const std::string& content);
// Closes the innermost open element.
void svgClose(Svg& svg);
// Closes every open element, <svg> last, and returns the document.
std::string svgEnd(Svg& svg);

// Width in pixels of UTF-8 text at fontSize in DejaVu Sans, the font svgBegin names: the sum of
// its characters' advances (a character the table does not know counts as one em).
double svgTextWidth(const std::string& text, double fontSize);
// text cut at spaces into lines no wider than width: each line ends at the last comma that
// leaves a line that fits, else at the last space; a word wider than width stands alone.
std::vector<std::string> svgWrapText(const std::string& text, double fontSize, double width);
