#include "platform/kelmar/proptool.h"

#include <cstring>
#include <strings.h>

namespace {

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isaction(int action)
{
    return action == PA_SET || action == PA_DELETE || action == PA_SHOW || action == PA_HIDE;
}

// Splits the assignment into name and value; false when there is no '=' where one is needed.
bool split(const char* assignment, PATACTIONS action, std::string& name, std::string& value)
{
    std::string text = assignment ? assignment : "";
    size_t equals = text.find('=');
    if (action == PA_SET) {
        if (equals == std::string::npos) {
            return false;
        }
        name = trimmed(text.substr(0, equals));
        value = text.substr(equals + 1);
        return true;
    }
    name = trimmed(text.substr(0, equals));
    value.clear();
    return true;
}

} // namespace

const char* PROPTOOL::check(const char* assignment, PATACTIONS action)
{
    if (!isaction(action)) {
        return "Unknown assignment action.";
    }
    std::string name;
    std::string value;
    if (!split(assignment, action, name, value)) {
        return "An assignment sets a property as NAME=VALUE.";
    }
    if (name.empty()) {
        return "The assignment names no property.";
    }
    for (unsigned char c : name) {
        if (c < ' ' || c == '{' || c == '}') {
            return "A property name holds no braces or control characters.";
        }
    }
    if (value.find_first_of("\r\n") != std::string::npos) {
        return "A value fits on one line.";
    }
    return nullptr;
}

int PROPTOOL::define(const char* text, PATACTIONS todo, int first, int by)
{
    if (check(text, todo)) {
        return 0;
    }
    split(text, todo, name, value);
    assignment = text;
    action = todo;
    count = first;
    step = by;
    armed = true;
    return 1;
}

int PROPTOOL::test(PATACTIONS todo, const char* property) const
{
    return armed && todo == action && property && strcasecmp(property, name.c_str()) == 0;
}

const char* PROPTOOL::nextvalue()
{
    next.clear();
    bool counted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '#') {
            next += value[i];
        } else if (i + 1 < value.size() && value[i + 1] == '#') {
            next += '#';
            ++i;
        } else {
            next += std::to_string(count);
            counted = true;
        }
    }
    if (counted) {
        count += step;
    }
    return next.c_str();
}
