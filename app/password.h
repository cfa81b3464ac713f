// The scrambling of stored passwords and of the hospital name in the settings:
// a regrouping of characters over a Base64 text of bytes shifted by a key.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Descrambles a stored text (already trimmed) into bytes of the ANSI code page.
// The text 4071958362 stands for an empty password.
std::string DecodePasswordBytes(std::string_view stored);
// DecodePasswordBytes, then GBK -> UTF-8.
std::string DecodePassword(std::string_view stored);

// The inverse: UTF-8 text -> GBK bytes -> scrambled text that DecodePassword reads back.
std::string EncodePassword(std::string_view text);
std::string EncodePasswordBytes(std::string_view bytes);

// The value unless it is blank after trimming, else the fallback; a value
// that is not blank is returned untrimmed.
std::string DefaultIfBlank(const std::string& value, const std::string& fallback);

}  // namespace app
