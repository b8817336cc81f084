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

namespace {

// DejaVu Sans advances in font units (2048 to the em): ASCII from the space to the tilde, then
// the few other characters the pictures write.
constexpr int fontUnitsPerEm = 2048;
constexpr int asciiAdvance[95] = {
    651,  821,  942,  1716, 1303, 1946, 1597, 563,  799,  799,  1024, 1716, 651,  739,  651,  690,
    1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 690,  690,  1716, 1716, 1716, 1087,
    2048, 1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604,  604,  1343, 1141, 1767, 1532, 1612,
    1235, 1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403, 799,  690,  799,  1716, 1024,
    1024, 1255, 1300, 1126, 1300, 1260, 721,  1300, 1298, 569,  569,  1186, 569,  1995, 1298, 1253,
    1300, 1300, 842,  1067, 803,  1298, 1212, 1675, 1212, 1212, 1075, 1303, 690,  1303, 1716};
constexpr struct {
    char32_t code;
    int advance;
} otherAdvance[] = {{0xb2, 821},    {0xb7, 651},    {0x3b8, 1253},  {0x3c4, 1233},
                    {0x2026, 2048}, {0x2192, 1716}, {0x2212, 1716}, {0x2264, 1716}};

int advanceOf(char32_t code) {
    if (code >= 32 && code < 127) return asciiAdvance[code - 32];
    for (const auto& a : otherAdvance)
        if (a.code == code) return a.advance;
    return fontUnitsPerEm;
}

} // namespace

double svgTextWidth(const std::string& text, double fontSize) {
    long units = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7f >> length);
        for (int k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3f);
        units += advanceOf(code);
        i += length;
    }
    return units * fontSize / fontUnitsPerEm;
}

std::vector<std::string> svgWrapText(const std::string& text, double fontSize, double width) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (svgTextWidth(rest, fontSize) > width) {
        // The last space that leaves a first part that fits, the last after a comma if any.
        size_t cut = std::string::npos, commaCut = std::string::npos;
        for (size_t space = rest.find(' '); space != std::string::npos;
             space = rest.find(' ', space + 1)) {
            if (svgTextWidth(rest.substr(0, space), fontSize) > width) break;
            cut = space;
            if (space > 0 && rest[space - 1] == ',') commaCut = space;
        }
        if (commaCut != std::string::npos) cut = commaCut;
        if (cut == std::string::npos) cut = rest.find(' '); // a word too wide stands alone
        if (cut == std::string::npos) break;
        lines.push_back(rest.substr(0, cut));
        rest = rest.substr(cut + 1);
    }
    lines.push_back(rest);
    return lines;
}
