#include "app_state.h"

String localeString;
String languageCode;
int language = 0;
MapHandle<String> translations;
const char* translationCursor = nullptr;
