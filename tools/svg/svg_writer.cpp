#include "tools/svg/svg_writer.h"

#include <cmath>
#include <cstdio>

std::string svgNumber(double x, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, x);
    std::string s = buffer;
    // A locale may have written a comma for the point.
    for (char& ch : s)
        if (ch == ',') ch = '.';
    if (std::isfinite(x) && s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string svgEscape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

SvgAttr svgAttr(const char* name, double x, int decimals) {
    return SvgAttr{name, svgNumber(x, decimals)};
}

SvgAttr svgAttr(const char* name, const std::string& value) {
    return SvgAttr{name, svgEscape(value)};
}

namespace {

void writeTag(Svg& svg, const char* name, const std::vector<SvgAttr>& attrs) {
    svg.text += '<';
    svg.text += name;
    for (const SvgAttr& a : attrs) {
        svg.text += ' ';
        svg.text += a.name;
        svg.text += "=\"";
        svg.text += a.value;
        svg.text += '"';
    }
}

} // namespace

void svgBegin(Svg& svg, double width, double height) {
    svg.text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string w = svgNumber(width, 2), h = svgNumber(height, 2);
    svgOpen(svg, "svg",
            {{"xmlns", "http://www.w3.org/2000/svg"},
             {"width", w},
             {"height", h},
             {"viewBox", "0 0 " + w + " " + h},
             {"font-family", "DejaVu Sans, sans-serif"}});
}

void svgOpen(Svg& svg, const char* name, const std::vector<SvgAttr>& attrs) {
    writeTag(svg, name, attrs);
    svg.text += ">\n";
    svg.open.push_back(name);
}

void svgElement(Svg& svg, const char* name, const std::vector<SvgAttr>& attrs) {
    writeTag(svg, name, attrs);
    svg.text += "/>\n";
}

void svgText(Svg& svg, const std::vector<SvgAttr>& attrs, const std::string& content) {
    writeTag(svg, "text", attrs);
    svg.text += '>';
    svg.text += svgEscape(content);
    svg.text += "</text>\n";
}

void svgClose(Svg& svg) {
    if (svg.open.empty()) return;
    svg.text += "</" + svg.open.back() + ">\n";
    svg.open.pop_back();
}

std::string svgEnd(Svg& svg) {
    while (!svg.open.empty()) svgClose(svg);
    return svg.text;
}
