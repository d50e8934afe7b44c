#include "resources/UiLanguage.h"

#include <atomic>

namespace {

std::atomic<LANGID> g_uiLanguage{UI_LANGUAGE_ENGLISH};

}  // namespace

void SetUiLanguage(LANGID language)
{
    g_uiLanguage.store(language);
}

LANGID GetUiLanguage()
{
    return g_uiLanguage.load();
}
