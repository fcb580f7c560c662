#pragma once

// Puts an ISO 8859-1 text (nullptr = empty) on the desktop's clipboard as plain text, converted
// to the clipboard's Unicode. 1 on success, 0 when the desktop has no clipboard.
int setClipboardText(const char* text);
