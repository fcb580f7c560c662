#include "translations.h"

#include "app_state.h"
#include "translation_data.h"

#include <cstring>

namespace {

// The languages an entry may hold besides English, in the order of their texts in an entry. The
// language numbers 1 to 3 select the first three; Spanish is read only to keep the cursor in step.
constexpr const char* FURTHER_LANGUAGES[] = { "de", "fr", "it", "es" };
constexpr int FURTHER_LANGUAGE_COUNT = 4;

// The string at the cursor, moving the cursor past its NUL; nullptr when the block is used up or
// its last string lacks the NUL, so that malformed data ends the reading instead of overrunning.
const char* readTranslationString(const char* end)
{
    if (!translationCursor || translationCursor >= end)
        return nullptr;
    const void* nul = std::memchr(translationCursor, '\0', static_cast<std::size_t>(end - translationCursor));
    if (!nul) {
        translationCursor = end;
        return nullptr;
    }
    const char* text = translationCursor;
    translationCursor = static_cast<const char*>(nul) + 1;
    return text;
}

} // namespace

void createTranslations()
{
    destroyMap(translations);
    createMap(translations, TRANSLATION_SLOTS);
}

void buildTranslations(int languageIndex)
{
    buildTranslations(languageIndex, std::string_view(TRANSLATION_DATA, TRANSLATION_DATA_SIZE));
    buildTranslations(
        languageIndex, std::string_view(SUPPLEMENTARY_TRANSLATION_DATA, SUPPLEMENTARY_TRANSLATION_DATA_SIZE));
}

void buildTranslations(int languageIndex, std::string_view data)
{
    if (languageIndex == LANGUAGE_DETECTED)
        languageIndex = language;
    if (!translations)
        createTranslations();
    if (!translations)
        return;

    const char* end = data.data() + data.size();
    translationCursor = data.data();
    const char* header = readTranslationString(end);
    if (!header)
        return;
    // The header lists the languages present, e.g. "en,de"; a language counts as present when its
    // code occurs anywhere in it.
    bool present[FURTHER_LANGUAGE_COUNT];
    for (int i = 0; i < FURTHER_LANGUAGE_COUNT; ++i)
        present[i] = std::strstr(header, FURTHER_LANGUAGES[i]) != nullptr;

    const char* key = "";
    while (std::strcmp(key, "-1") != 0) {
        key = readTranslationString(end);
        if (!key)
            return;
        // A language that the header does not name has no text in the entry: it reads as empty.
        const char* texts[FURTHER_LANGUAGE_COUNT] = {};
        for (int i = 0; i < FURTHER_LANGUAGE_COUNT; ++i) {
            if (present[i])
                texts[i] = readTranslationString(end);
        }
        if (languageIndex < LANGUAGE_ENGLISH || languageIndex > LANGUAGE_ITALIAN)
            continue;
        const char* text = languageIndex == LANGUAGE_ENGLISH ? key : texts[languageIndex - 1];
        if (String* element = translations->mapEntry(key))
            assignString(*element, text);
    }
}

const char* translate(const char* key)
{
    if (translations) {
        if (const String* text = translations->lookupMapEntry(key))
            return text->c_str();
    }
    return key ? key : "";
}
