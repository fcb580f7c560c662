#include "app_state.h"

int language = 0;
MapHandle<String> translations;
const char* translationCursor = nullptr;
