// Paths shown as text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tamsel {

// The path's native bytes as UTF-8 text: valid UTF-8 stands unchanged, and
// every maximal invalid subsequence (a Shift_JIS name from an old archive,
// say) becomes one U+FFFD. The file is always opened by its native bytes,
// never by this text.
std::string DisplayPath(const std::filesystem::path& path);

// The same repair for any byte string.
std::string ToValidUtf8(std::string_view bytes);

// Whether bytes are valid UTF-8 already.
bool IsValidUtf8(std::string_view bytes);

}  // namespace tamsel
