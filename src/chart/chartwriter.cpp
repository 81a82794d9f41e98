#include "chart/chartwriter.h"

#include "chart/chartdraw.h"
#include "grid/sheetwriter.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace loto6 {

namespace {

// A coordinate with one decimal, written by hand: the thousands of points of a chart over the
// whole history made printf's formatting the larger part of writing its SVG.
void appendPx(std::string &s, double v)
{
    // Beyond any page, and not a number, are written as the edge and 0.
    const double scaled = std::isfinite(v) ? std::min(std::abs(v), 1e12) * 10 : 0;
    auto tenths = static_cast<unsigned long long>(scaled + 0.5);
    char buf[24];
    char *at = buf + sizeof buf;
    *--at = static_cast<char>('0' + tenths % 10);
    *--at = '.';
    tenths /= 10;
    do {
        *--at = static_cast<char>('0' + tenths % 10);
        tenths /= 10;
    } while (tenths != 0);
    if (v < 0 && scaled >= 0.5)
        *--at = '-';
    s.append(at, buf + sizeof buf);
}

std::string px(double v)
{
    std::string s;
    appendPx(s, v);
    return s;
}

std::string points(const std::vector<ChartPoint> &pts)
{
    std::string s;
    s.reserve(pts.size() * 14);
    for (const ChartPoint &p : pts) {
        if (!s.empty())
            s += ' ';
        appendPx(s, p.x);
        s += ',';
        appendPx(s, p.y);
    }
    return s;
}

// SVG elements, one per stroke.
class SvgCanvas : public ChartCanvas
{
public:
    explicit SvgCanvas(std::ostream &out)
        : m_out(out)
    {
    }
    void fillRect(const ChartRect &r, Rgb fill) override
    {
        m_out << "<rect x=\"" << px(r.x) << "\" y=\"" << px(r.y) << "\" width=\"" << px(r.width)
              << "\" height=\"" << px(r.height) << "\" fill=\"" << colorHex(fill) << "\"/>\n";
    }
    void polygon(const std::vector<ChartPoint> &pts, Rgb fill) override
    {
        m_out << "<polygon points=\"" << points(pts) << "\" fill=\"" << colorHex(fill) << "\"/>\n";
    }
    void polyline(const std::vector<ChartPoint> &pts, const Pen &pen) override
    {
        m_out << "<polyline points=\"" << points(pts) << "\" fill=\"none\" stroke=\""
              << colorHex(pen.color) << "\" stroke-width=\"" << px(pen.width) << '"'
              << (pen.dashed ? " stroke-dasharray=\"6,4\"" : "") << "/>\n";
    }
    void text(double x, double y, std::string_view text, double size, Rgb color, Anchor anchor,
        bool vertical, bool bold) override
    {
        m_out << "<text x=\"" << px(x) << "\" y=\"" << px(y) << "\" font-size=\"" << px(size)
              << "\" fill=\"" << colorHex(color) << '"';
        if (anchor != Anchor::Start)
            m_out << " text-anchor=\"" << (anchor == Anchor::Middle ? "middle" : "end") << '"';
        if (vertical)
            m_out << " transform=\"rotate(-90 " << px(x) << ' ' << px(y) << ")\"";
        if (bold)
            m_out << " font-weight=\"bold\"";
        m_out << '>' << htmlEscape(text) << "</text>\n";
    }

private:
    std::ostream &m_out;
};

std::string roleKey(ChartSeries::Role role)
{
    switch (role) {
    case ChartSeries::Role::Expected:
        return "expected";
    case ChartSeries::Role::Reference:
        return "reference";
    default:
        return "observed";
    }
}

std::string markKey(ChartSeries::Mark mark)
{
    switch (mark) {
    case ChartSeries::Mark::Bars:
        return "bars";
    case ChartSeries::Mark::Steps:
        return "steps";
    case ChartSeries::Mark::Points:
        return "points";
    default:
        return "line";
    }
}

void numbers(std::ostream &out, const std::vector<double> &values)
{
    out << '[';
    for (std::size_t i = 0; i < values.size(); ++i)
        out << (i ? ", " : "") << jsonNumber(values[i]);
    out << ']';
}

void axisJson(std::ostream &out, const ChartAxis &axis)
{
    out << "{\"label\": " << jsonString(axis.label) << ", \"unit\": " << jsonString(axis.unit)
        << ", \"min\": " << jsonNumber(axis.min) << ", \"max\": " << jsonNumber(axis.max);
    if (axis.isCategory()) {
        out << ", \"categories\": [";
        for (std::size_t i = 0; i < axis.categories.size(); ++i)
            out << (i ? ", " : "") << jsonString(axis.categories[i]);
        out << ']';
    }
    out << '}';
}

void panelJson(std::ostream &out, const ChartPanel &p)
{
    out << "{\"title\": " << jsonString(p.title) << ",\n   \"xAxis\": ";
    axisJson(out, p.xAxis);
    out << ",\n   \"yAxis\": ";
    axisJson(out, p.yAxis);
    out << ",\n   \"markedX\": " << jsonNumber(p.markedX) << ",\n   \"bands\": [";
    for (std::size_t i = 0; i < p.bands.size(); ++i) {
        const ChartBand &b = p.bands[i];
        out << (i ? ",\n    " : "\n    ") << "{\"name\": " << jsonString(b.name)
            << ", \"probability\": " << jsonNumber(b.probability) << ", \"color\": \""
            << colorHex(b.color) << "\",\n     \"x\": ";
        numbers(out, b.x);
        out << ",\n     \"low\": ";
        numbers(out, b.low);
        out << ",\n     \"high\": ";
        numbers(out, b.high);
        out << '}';
    }
    out << "],\n   \"series\": [";
    for (std::size_t i = 0; i < p.series.size(); ++i) {
        const ChartSeries &s = p.series[i];
        out << (i ? ",\n    " : "\n    ") << "{\"name\": " << jsonString(s.name) << ", \"role\": \""
            << roleKey(s.role) << "\", \"mark\": \"" << markKey(s.mark) << "\", \"color\": \""
            << colorHex(s.color) << "\",\n     \"x\": ";
        numbers(out, s.x);
        out << ",\n     \"y\": ";
        numbers(out, s.y);
        out << '}';
    }
    out << "]}";
}

std::string csvNumber(double v)
{
    if (!std::isfinite(v))
        return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

void panelCsv(std::ostream &out, const ChartPanel &p)
{
    // Every column's values by x, so that series with different x share the rows.
    std::map<double, std::vector<double>> rows;
    std::vector<std::string> header{p.xAxis.label.empty() ? "x" : axisTitle(p.xAxis)};
    const std::size_t columns = p.series.size() + 2 * p.bands.size();
    std::size_t column = 0;
    const auto add = [&](const std::vector<double> &x, const std::vector<double> &y) {
        for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
            auto &row = rows[x[i]];
            row.resize(columns, NAN);
            row[column] = y[i];
        }
        ++column;
    };
    for (const ChartSeries &s : p.series) {
        header.push_back(s.name);
        add(s.x, s.y);
    }
    for (const ChartBand &b : p.bands) {
        header.push_back(b.name + " 下限");
        add(b.x, b.low);
        header.push_back(b.name + " 上限");
        add(b.x, b.high);
    }
    for (std::size_t i = 0; i < header.size(); ++i)
        out << (i ? "," : "") << csvField(header[i]);
    out << '\n';
    for (const auto &[x, values] : rows) {
        const auto index = static_cast<std::size_t>(x);
        out << (p.xAxis.isCategory() && x >= 0 && index < p.xAxis.categories.size()
                ? csvField(p.xAxis.categories[index])
                : csvNumber(x));
        for (double v : values)
            out << ',' << csvNumber(v);
        out << '\n';
    }
}

} // namespace

bool parseChartFormat(std::string_view name, ChartFormat &format)
{
    if (name == "svg")
        format = ChartFormat::Svg;
    else if (name == "csv")
        format = ChartFormat::Csv;
    else if (name == "json")
        format = ChartFormat::Json;
    else
        return false;
    return true;
}

void writeChartSvg(std::ostream &out, const Chart &chart, double width, double height)
{
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        << "width=\"" << px(width) << "\" height=\"" << px(height) << "\" viewBox=\"0 0 "
        << px(width) << ' ' << px(height) << "\" font-family=\"sans-serif\">\n<title>"
        << htmlEscape(chart.caption) << "</title>\n";
    SvgCanvas canvas(out);
    drawChart(chart, canvas, width, height);
    out << "</svg>\n";
}

void writeChartCsv(std::ostream &out, const Chart &chart)
{
    for (std::size_t i = 0; i < chart.panels.size(); ++i) {
        const ChartPanel &p = chart.panels[i];
        out << (i ? "\n" : "") << csvField(p.title.empty() ? chart.caption : p.title) << '\n';
        panelCsv(out, p);
    }
}

void writeChartJson(std::ostream &out, const Chart &chart)
{
    out << "{\"name\": " << jsonString(chart.name) << ", \"caption\": " << jsonString(chart.caption)
        << ",\n \"title\": " << jsonString(chart.title)
        << ",\n \"note\": " << jsonString(chart.note) << ",\n \"panels\": [";
    for (std::size_t i = 0; i < chart.panels.size(); ++i) {
        out << (i ? ",\n  " : "\n  ");
        panelJson(out, chart.panels[i]);
    }
    out << "\n]}\n";
}

void writeChart(std::ostream &out, const Chart &chart, ChartFormat format)
{
    switch (format) {
    case ChartFormat::Svg:
        writeChartSvg(out, chart);
        break;
    case ChartFormat::Csv:
        writeChartCsv(out, chart);
        break;
    case ChartFormat::Json:
        writeChartJson(out, chart);
        break;
    }
}

} // namespace loto6
