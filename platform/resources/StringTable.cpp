#include "resources/StringTable.h"

#include "resources/UiLanguage.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

struct Texts
{
    std::string english;
    std::string korean;
};

using Table = std::map<uint32_t, Texts>;

struct Registry
{
    std::mutex mutex;
    std::map<std::string, Table> modules;
    std::vector<std::string> clashes;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

StringTableRegistrar::StringTableRegistrar(std::string module, std::initializer_list<StringResource> entries)
    : m_module(std::move(module))
{
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    Table& table = registry.modules[m_module];
    for (const StringResource& entry : entries) {
        Texts texts{entry.english ? entry.english : "", entry.korean ? entry.korean : ""};
        const auto known = table.find(entry.id);
        if (known != table.end() && (known->second.english != texts.english || known->second.korean != texts.korean))
            registry.clashes.push_back(m_module + ":" + std::to_string(entry.id));
        table[entry.id] = std::move(texts);
        m_ids.push_back(entry.id);
    }
}

StringTableRegistrar::~StringTableRegistrar()
{
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    const auto module = registry.modules.find(m_module);
    if (module == registry.modules.end())
        return;
    for (uint32_t id : m_ids)
        module->second.erase(id);
    if (module->second.empty())
        registry.modules.erase(module);
}

std::vector<std::string> StringTableClashes()
{
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    return registry.clashes;
}

std::string LoadString(const std::string& module, uint32_t id)
{
    return LoadString(module, id, GetUiLanguage());
}

std::string LoadString(const std::string& module, uint32_t id, LANGID language)
{
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    const auto table = registry.modules.find(module);
    if (table == registry.modules.end())
        return std::string();
    const auto entry = table->second.find(id);
    if (entry == table->second.end())
        return std::string();
    const Texts& texts = entry->second;
    if (language == UI_LANGUAGE_KOREAN && !texts.korean.empty())
        return texts.korean;
    return texts.english.empty() ? texts.korean : texts.english;
}

std::vector<RegisteredString> RegisteredStrings()
{
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    std::vector<RegisteredString> strings;
    for (const auto& [module, table] : registry.modules)
        for (const auto& [id, texts] : table)
            strings.push_back({module, id, texts.english, texts.korean});
    return strings;
}
