#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nerith {

// Whether two names are equal without regard to ASCII case.
bool sameletters(std::string_view a, std::string_view b);
// The name in lower case (ASCII only), the key of look-ups without case.
std::string folded(std::string_view name);

// Names of one kind of object (nodes, instances, models): found by exact spelling first, then
// without regard to case, where the earliest entered of several candidates wins. Not owning.
template <class T> class NameIndex {
public:
    // The item of that name; null when none.
    T* find(std::string_view name) const
    {
        if (T* item = exactly(name))
            return item;
        auto it = byletters.find(folded(name));
        return it == byletters.end() || it->second.empty() ? nullptr : it->second.front();
    }
    // The item of exactly that spelling; null when none.
    T* exactly(std::string_view name) const
    {
        auto it = exact.find(std::string(name));
        return it == exact.end() ? nullptr : it->second;
    }
    void insert(const std::string& name, T* item)
    {
        exact.emplace(name, item);
        byletters[folded(name)].push_back(item);
    }
    void erase(const std::string& name, T* item)
    {
        if (auto it = exact.find(name); it != exact.end() && it->second == item)
            exact.erase(it);
        auto it = byletters.find(folded(name));
        if (it == byletters.end())
            return;
        std::erase(it->second, item);
        if (it->second.empty())
            byletters.erase(it);
    }

private:
    std::unordered_map<std::string, T*> exact;
    std::unordered_map<std::string, std::vector<T*>> byletters;
};

} // namespace nerith
