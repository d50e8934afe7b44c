#include "profile/RegistryTree.h"

#include <algorithm>
#include <iterator>

namespace {

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Folded(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldCase);
    return folded;
}

} // namespace

bool SameRegistryName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

std::vector<std::string> SplitRegistryPath(std::string_view path)
{
    std::vector<std::string> parts;
    while (!path.empty()) {
        const size_t separator = path.find('\\');
        const std::string_view part = path.substr(0, separator);
        if (!part.empty())
            parts.emplace_back(part);
        path.remove_prefix(separator == std::string_view::npos ? path.size() : separator + 1);
    }
    return parts;
}

RegistryKey* RegistryKey::Child(std::string_view name) const
{
    const auto found = children_.find(Folded(name));
    return found == children_.end() ? nullptr : found->second.get();
}

RegistryKey& RegistryKey::ChildOrCreate(std::string_view name, bool* created)
{
    auto& slot = children_[Folded(name)];
    if (created)
        *created = !slot;
    if (!slot)
        slot = std::make_unique<RegistryKey>(std::string(name));
    return *slot;
}

bool RegistryKey::RemoveChild(std::string_view name)
{
    return children_.erase(Folded(name)) > 0;
}

const RegistryKey* RegistryKey::ChildAt(size_t index) const
{
    if (index >= children_.size())
        return nullptr;
    return std::next(children_.begin(), static_cast<std::ptrdiff_t>(index))->second.get();
}

const RegistryValue* RegistryKey::Value(std::string_view name) const
{
    for (const RegistryValue& value : values_)
        if (SameRegistryName(value.name, name))
            return &value;
    return nullptr;
}

bool RegistryKey::SetValue(std::string_view name, DWORD type, std::vector<BYTE> data)
{
    for (RegistryValue& value : values_) {
        if (SameRegistryName(value.name, name)) {
            if (value.type == type && value.data == data)
                return false;
            value.type = type;
            value.data = std::move(data);
            return true;
        }
    }
    values_.push_back(RegistryValue{std::string(name), type, std::move(data)});
    return true;
}

bool RegistryKey::RemoveValue(std::string_view name)
{
    return std::erase_if(values_, [name](const RegistryValue& v) { return SameRegistryName(v.name, name); }) > 0;
}

void RegistryKey::Clear()
{
    children_.clear();
    values_.clear();
}
