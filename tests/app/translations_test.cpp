#include "app/app_state.h"
#include "app/translation_data.h"
#include "app/translations.h"

#include "runtime/text_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

class Translations : public ::testing::Test {
protected:
    void SetUp() override
    {
        language = 0;
        createTranslations();
    }
    void TearDown() override
    {
        destroyMap(translations);
        language = 0;
    }
};

template <std::size_t N> std::string_view block(const char (&data)[N])
{
    return std::string_view(data, N);
}

TEST_F(Translations, GermanTextsAreTheStoredIso88591Bytes)
{
    buildTranslations(LANGUAGE_GERMAN);
    struct Case {
        const char* key;
        const char* text;
    };
    const Case cases[] = {
        { "Set Origin", "Ursprung w\xE4hlen" },
        { "Column ", "Spalte " },
        { "Height", "H\xF6he" },
        { "Open Diagram File (PNG, JPG)",
            "\xD6"
            "ffne Diagramm (PNG, JPG)" },
        { "Please click for setting a Data Point.", "Biite setzen Sie durch Klicken einen Datenpunkt." },
        { "Please load a file to begin. Then select 'Set Frame' from menu 'Measure Diagram' or press ALT-S.",
            "Bitte laden Sie ein Bild zum beginnen. Dann w\xE4hlen Sie 'Alle ermitteln' oder dr\xFC"
            "cken ALT-S." },
        { "Add Column", "Spalte hinzuf\xFCgen" },
        { "Your data was not saved. Do you want to Exit?",
            "Ihre Daten wurden nicht gespeichert. Trotzdem beenden?" },
        { "Start", "Start" },
        // Keys without an entry, and keys that differ from one only in case, come back unchanged.
        { "Set References.", "Set References." },
        { "Start now fetching data. Select 'Catch Points' from menu 'Data'.",
            "Start now fetching data. Select 'Catch Points' from menu 'Data'." },
        { "set origin", "set origin" },
        { "", "" },
    };
    for (const Case& c : cases)
        EXPECT_STREQ(translate(c.key), c.text) << c.key;

    String status;
    storeText(status, translate("Column "), 2);
    EXPECT_STREQ(status, "Spalte 2");
}

TEST_F(Translations, EnglishMapsEveryKeyToItself)
{
    buildTranslations(LANGUAGE_ENGLISH);
    for (const char* key : { "Set Origin", "Column ", "Quit", "set origin", "Set References." })
        EXPECT_STREQ(translate(key), key);
    EXPECT_NE(translate("Quit"), "Quit"); // found in the map, not the fallback
}

TEST_F(Translations, HoldsTheFortySixEntriesAndTheEndEntry)
{
    for (int languageNumber : { LANGUAGE_ENGLISH, LANGUAGE_GERMAN }) {
        createTranslations();
        buildTranslations(languageNumber, std::string_view(TRANSLATION_DATA, TRANSLATION_DATA_SIZE));
        EXPECT_EQ(translations->count(), 47) << languageNumber;
        EXPECT_STREQ(translate("-1"), "-1");
        EXPECT_EQ(translations->slotCount(), 512);
    }
}

TEST_F(Translations, TheSupplementaryTextsFollowTheListedOnes)
{
    buildTranslations(LANGUAGE_GERMAN);
    EXPECT_GT(translations->count(), 47);
    EXPECT_STREQ(translate("Your data was not saved. Do you want to continue?"),
        "Ihre Daten wurden nicht gespeichert. Trotzdem fortfahren?");
    EXPECT_STREQ(translate("Set Origin"), "Ursprung w\xE4hlen") << "the listed texts stay";
    for (const char* english : { "This file holds no table: a quote is never closed. It opens in line",
             "A cell in this file is longer than 10,000 characters: line", "column" })
        EXPECT_STRNE(translate(english), english) << english;
    EXPECT_STREQ(
        translate("This is not a number that can be read:"), "Diese Zahl l\xE4sst sich nicht lesen:");
    EXPECT_STREQ(translate("The picture is incomplete: %1 of %2 rows"),
        "Das Bild ist unvollst\xE4ndig: %1 von %2 Zeilen");
}

TEST_F(Translations, DetectedLanguageIsTheLanguageVariable)
{
    language = 1;
    buildTranslations(LANGUAGE_DETECTED);
    EXPECT_STREQ(translate("Quit"), "Beenden");
}

TEST_F(Translations, HeaderDecidesHowManyTextsAnEntryHolds)
{
    // With fr named, every entry is English, German, French.
    constexpr char threeLanguages[] = "en,de,fr\0"
                                      "Yes\0"
                                      "Ja\0"
                                      "Oui\0"
                                      "No\0"
                                      "Nein\0"
                                      "Non\0"
                                      "-1\0"
                                      "-1\0"
                                      "-1";
    static_assert(sizeof(threeLanguages) == 41);
    buildTranslations(LANGUAGE_FRENCH, block(threeLanguages));
    EXPECT_STREQ(translate("Yes"), "Oui");
    EXPECT_STREQ(translate("No"), "Non");
    EXPECT_EQ(translations->count(), 3);
    buildTranslations(LANGUAGE_GERMAN, block(threeLanguages));
    EXPECT_STREQ(translate("No"), "Nein");

    // Without de, the French text follows the English one directly; German reads as empty.
    constexpr char frenchOnly[] = "en,fr\0"
                                  "Yes\0"
                                  "Oui\0"
                                  "No\0"
                                  "Non\0"
                                  "-1\0"
                                  "-1";
    createTranslations();
    buildTranslations(LANGUAGE_FRENCH, block(frenchOnly));
    EXPECT_STREQ(translate("No"), "Non");
    EXPECT_EQ(translations->count(), 3);
    buildTranslations(LANGUAGE_GERMAN, block(frenchOnly));
    EXPECT_STREQ(translate("No"), "");

    // Spanish is read to keep in step but no language number selects it; a later entry wins.
    constexpr char withSpanish[] = "de,it,es\0"
                                   "Yes\0"
                                   "Ja\0"
                                   "Si\0"
                                   "S\xED\0"
                                   "Yes\0"
                                   "Jawohl\0"
                                   "Certo\0"
                                   "Claro\0"
                                   "-1\0"
                                   "-1\0"
                                   "-1\0"
                                   "-1";
    createTranslations();
    buildTranslations(LANGUAGE_ITALIAN, block(withSpanish));
    EXPECT_STREQ(translate("Yes"), "Certo");
    EXPECT_EQ(translations->count(), 2);
    buildTranslations(LANGUAGE_GERMAN, block(withSpanish));
    EXPECT_STREQ(translate("Yes"), "Jawohl");
}

TEST_F(Translations, UnknownLanguageNumberStoresNothing)
{
    buildTranslations(7);
    EXPECT_EQ(translations->count(), 0);
    EXPECT_STREQ(translate("Set Origin"), "Set Origin");
}

TEST_F(Translations, MalformedDataEndsTheReadingWithoutOverrun)
{
    // No end entry: reading stops at the end of the block.
    constexpr char noEnd[] = "en,de\0"
                             "Yes\0"
                             "Ja";
    buildTranslations(LANGUAGE_GERMAN, block(noEnd));
    EXPECT_STREQ(translate("Yes"), "Ja");

    // The last text lacks its NUL: it is not read.
    const char unterminated[] = { 'e', 'n', ',', 'd', 'e', '\0', 'N', 'o', '\0', 'N', 'e', 'i', 'n' };
    createTranslations();
    buildTranslations(LANGUAGE_GERMAN, std::string_view(unterminated, sizeof(unterminated)));
    EXPECT_STREQ(translate("No"), "");
    EXPECT_EQ(translations->count(), 1);

    buildTranslations(LANGUAGE_GERMAN, std::string_view());
    EXPECT_EQ(translations->count(), 1);
}

TEST_F(Translations, TranslateWithoutAMapGivesTheKey)
{
    destroyMap(translations);
    EXPECT_STREQ(translate("Set Origin"), "Set Origin");
    EXPECT_STREQ(translate(nullptr), "");
    buildTranslations(LANGUAGE_GERMAN); // creates the map it needs
    EXPECT_STREQ(translate("Quit"), "Beenden");
}

} // namespace
