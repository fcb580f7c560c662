#pragma once

#include <optional>
#include <string>
#include <string_view>

// Base64 (RFC 4648, the standard alphabet with padding): bytes carried inside a text file.

[[nodiscard]] std::string encodeBase64(std::string_view bytes);
// The bytes of the text; none when it is not base64 as encodeBase64 writes it (a character
// outside the alphabet, a length that is not a multiple of four, padding inside the text or
// bits left over in the last character).
[[nodiscard]] std::optional<std::string> decodeBase64(std::string_view text);
