#pragma once

#include "runtime/runtime_string.h"

#include <string>
#include <vector>

// The result of a file requester: the first chosen path is its result, the others wait in the
// extra-selection list for nextSelectedFile (requesters.h), in the order chosen.

// Empties the extra-selection list (every file requester, when it starts).
void clearFileSelection();

// Keeps paths 2 to N for nextSelectedFile and returns the first (empty for none).
String takeFileSelection(std::vector<std::string> paths);
