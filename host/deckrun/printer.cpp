#include "host/deckrun/printer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>

namespace deckrun {

namespace {

// The entry of the vector of that name in the plot's names; -1 when absent.
int32_t namedcolumn(const std::string& name, int32_t count, IFuid* names)
{
    for (int32_t i = 0; i < count; ++i) {
        if (names[i] && name == names[i])
            return i;
    }
    return -1;
}

} // namespace

Printer::Printer(
    IFsimulator* engine, IFcircuit* ckt, const Controls& controls, std::FILE* out, std::FILE* err)
    : engine(engine)
    , ckt(ckt)
    , controls(controls)
    , out(out)
    , err(err)
    , printed(controls.prints.size(), false)
{
}

// The data entry of the node of that name in the plot's names; -1 for ground, -2 when absent.
int32_t Printer::nodecolumn(const std::string& name, int32_t count, IFuid* names) const
{
    if (name == "0")
        return -1;
    IFnode* node = nullptr;
    if (engine->findNode(ckt, &node, name.c_str()) != 0 || node->number == 0)
        return node && node->number == 0 ? -1 : -2;
    for (int32_t i = 0; i < count; ++i) {
        if (names[i] == node->name)
            return i;
    }
    return -2;
}

int Printer::begin(const char* analysis, IFuid reference, int32_t count, IFuid* names, int32_t type)
{
    const std::string kind = analysis ? analysis : "";
    // Noise and transfer-function plots hold vectors of their own names, the others node voltages
    // and branch currents.
    const bool named = kind == "noise" || kind == "tf";
    sweep = reference != nullptr;
    equations = count;
    complex = type == IF_COMPLEX;
    roots = kind == "noise";
    columns.clear();
    std::string header = sweep ? reference : "";
    auto add = [&](const std::string& text, const Column& column) {
        columns.push_back(column);
        header += header.empty() ? text : " " + text;
    };
    bool carded = false; // a .print card applies to the plot
    for (std::size_t k = 0; k < controls.prints.size(); ++k) {
        const Vector& v = controls.prints[k];
        if ((!v.analysis.empty() && v.analysis != kind) || named != (v.kind == 'n'))
            continue;
        carded = true;
        Column column;
        column.form = v.form;
        if (v.kind == 'n') {
            // A plot of several holds some of its analysis's vectors.
            if ((column.plus = namedcolumn(v.first, count, names)) < 0)
                continue;
        } else {
            if (v.kind == 'i') {
                const int32_t branch = namedcolumn(v.first + "#branch", count, names);
                column.plus = branch < 0 ? -2 : branch;
            } else {
                column.plus = nodecolumn(v.first, count, names);
            }
            if (!v.second.empty())
                column.minus = nodecolumn(v.second, count, names);
            if (column.plus == -2 || column.minus == -2) {
                std::fprintf(err, "error: %s: %s\n", v.name.c_str(),
                    v.kind == 'i' ? "no device of that name with a branch current" : "no node of that name");
                return E_NOTFOUND;
            }
        }
        printed[k] = true;
        add(v.name, column);
    }
    if (!carded) {
        for (int32_t i = 0; i < count; ++i) {
            IFnode* node = nullptr;
            if (named)
                add(names[i], { Form::Value, i, -1 });
            // Devices' internal nodes are left out, as the reference leaves them unsaved.
            else if (names[i] && !std::strchr(names[i], '#') && engine->findNode(ckt, &node, names[i]) == 0
                && node->name == names[i])
                add("v(" + std::string(names[i]) + ")", { Form::Value, i, -1 });
        }
    }
    shown = !columns.empty();
    if (!shown)
        return 0;
    if (blocks++ > 0)
        std::fputc('\n', out);
    std::fprintf(out, "%s\n", header.c_str());
    return 0;
}

double Printer::value(const Column& column, const IFvalue& data) const
{
    auto at = [&](int32_t entry) -> std::complex<double> {
        if (entry < 0)
            return 0;
        const auto k = static_cast<std::size_t>(entry);
        return complex ? std::complex<double>(data.v.vec.cVec[k].real, data.v.vec.cVec[k].imag)
                       : data.v.vec.rVec[k];
    };
    std::complex<double> x = at(column.plus) - at(column.minus);
    if (roots)
        x = std::sqrt(x.real());
    switch (column.form) {
    case Form::Value:
        return complex ? std::abs(x) : x.real();
    case Form::Magnitude:
        return std::abs(x);
    case Form::Decibel:
        return 20 * std::log10(std::abs(x));
    case Form::Phase:
        return std::arg(x) * 180 / std::numbers::pi;
    case Form::Real:
        return x.real();
    case Form::Imaginary:
        return x.imag();
    }
    return 0;
}

int Printer::add(double reference, const IFvalue& data)
{
    ++points;
    if (!shown)
        return 0;
    // A line is formatted in place and written at once: on a long run the printing would otherwise
    // cost as much as a tenth of the simulation. The form is printf's %.9e.
    line.clear();
    auto put = [&](double x) {
        if (!line.empty())
            line += ' ';
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, 9).ptr;
        line.append(text, end);
    };
    if (sweep)
        put(reference);
    for (const Column& column : columns)
        put(value(column, data));
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
    if (stop > 0) {
        const int percent = static_cast<int>(100 * reference / stop);
        if (percent != progress)
            std::fprintf(err, "\r%3d %%", percent);
        progress = percent;
    }
    return 0;
}

int Printer::end()
{
    if (progress >= 0)
        std::fputs("\r      \r", err);
    progress = -1;
    return 0;
}

std::vector<std::string> Printer::unprinted(const std::string& analysis) const
{
    std::vector<std::string> list;
    for (std::size_t k = 0; k < controls.prints.size(); ++k) {
        const Vector& v = controls.prints[k];
        if (v.kind == 'n' && v.analysis == analysis && !printed[k])
            list.push_back(v.name);
    }
    return list;
}

} // namespace deckrun
