#include "platform/win/rc/emit.h"

#include <cstdio>

namespace rc {

namespace {

constexpr uint16_t versionType = 16;

std::string literal(const std::string& text)
{
    std::string out = "\"";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7f) {
            char octal[8];
            snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string nameexpression(const NameOrId& name)
{
    return name.text.empty() ? "MAKEINTRESOURCEA(" + std::to_string(name.id) + ")" : literal(name.text);
}

std::string escapemake(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#')
            out += '\\';
        else if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}

} // namespace

std::string emitcpp(const Compiled& compiled, const std::string& sourcename)
{
    std::string out = "// Compiled from " + sourcename
        + " by the resource compiler; edit the source instead.\n"
          "#include \"platform/win/resources.h\"\n\nnamespace {\n\n";
    for (size_t i = 0; i < compiled.resources.size(); ++i) {
        const Resource& resource = compiled.resources[i];
        if (resource.data.empty())
            continue;
        if (resource.type.text.empty() && resource.type.id == versionType)
            out += "__attribute__((section(\"vkt_version\"), used)) ";
        out += "const unsigned char resource" + std::to_string(i) + "[] = {";
        for (size_t b = 0; b < resource.data.size(); ++b) {
            char byte[8];
            snprintf(byte, sizeof byte, "0x%02x,", resource.data[b]);
            out += (b % 16 ? " " : "\n    ") + std::string(byte);
        }
        out += "\n};\n\n";
    }
    out += "const RESOURCEENTRY entries[] = {\n";
    for (size_t i = 0; i < compiled.resources.size(); ++i) {
        const Resource& resource = compiled.resources[i];
        std::string array = "resource" + std::to_string(i);
        out += "    {" + nameexpression(resource.type) + ", " + nameexpression(resource.name) + ", "
            + (resource.data.empty() ? "nullptr, 0" : array + ", sizeof " + array) + "},\n";
    }
    if (compiled.resources.empty())
        out += "    {nullptr, nullptr, nullptr, 0},\n";
    out += "};\n\nconst RESOURCEMODULE registration(entries, " + std::to_string(compiled.resources.size())
        + ");\n\n}  // namespace\n";
    return out;
}

std::string emitdepfile(const Compiled& compiled, const std::string& output)
{
    std::string out = escapemake(output) + ":";
    for (const auto& input : compiled.inputs)
        out += " " + escapemake(input);
    return out + "\n";
}

} // namespace rc
