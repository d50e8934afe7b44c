// Per-module string tables: each module registers its texts (id -> English, and Korean where it has both) when it
// is loaded, through a static StringTableRegistrar; LoadString gives the text of the current UI language.
// Texts are copied on registration, so a table never points into a module that has been unloaded; the
// registrar's destructor withdraws its ids when the module unloads. Any thread.
#pragma once

#include "resources/Language.h"
#include "types/VistrelExport.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// One string of a module. A null (or empty) text means the module has no text in that language.
struct StringResource
{
    uint32_t id;
    const char* english;
    const char* korean = nullptr;
};

// Adds the entries to the table of `module`; ids are unique within a module (registering one again replaces it).
// Declare one at namespace scope in the module:
//   static const StringTableRegistrar kStrings("Figuron", {{131, "Too small!!"}, {22, "ENG", "KOR"}});
class VISTREL_EXPORT StringTableRegistrar
{
public:
    StringTableRegistrar(std::string module, std::initializer_list<StringResource> entries);
    ~StringTableRegistrar();
    StringTableRegistrar(const StringTableRegistrar&) = delete;
    StringTableRegistrar& operator=(const StringTableRegistrar&) = delete;

private:
    std::string m_module;
    std::vector<uint32_t> m_ids;
};

// Ids that two registrars of one module gave different texts, as "module:id", in the order they were met. The later
// text wins, so a clash silently changes what the user reads: the program's test suite asserts this stays empty.
VISTREL_EXPORT std::vector<std::string> StringTableClashes();

// The text of `id` in `module` in the UI language. A missing translation falls back to the English text, and a
// module that has only Korean text gives that; an unknown module or id gives "".
VISTREL_EXPORT std::string LoadString(const std::string& module, uint32_t id);
// The same in a language of the caller's choosing (a window that keeps its own language), with the same fallbacks.
VISTREL_EXPORT std::string LoadString(const std::string& module, uint32_t id, LANGID language);

// One registered text, as a walk over every table sees it.
struct RegisteredString
{
    std::string module;
    uint32_t id;
    std::string english;
    std::string korean;
};

// Every text of every module loaded now, by module and id.
VISTREL_EXPORT std::vector<RegisteredString> RegisteredStrings();
