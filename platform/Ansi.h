#pragma once
// Texts in memory are 8-bit ANSI: std::string of Windows-1252 bytes. These are the only
// conversions to and from other encodings; call them at the boundaries (GUI, XML, settings, CSV).
//
// The mapping is total for the 256 bytes: the five bytes that 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081, U+008D, U+008F, U+0090, U+009D and back.
// A character that 1252 cannot hold becomes '?'.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class QString;

namespace ansi {

// Unicode code point of each byte 0x80-0x9F; the other bytes are their own code point.
inline constexpr std::array<char16_t, 32> Haut1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t VersUnicode(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? char32_t(Haut1252[c - 0x80]) : char32_t(c);
}

// The 1252 byte of a code point, or '?' when 1252 has none.
constexpr char DepuisUnicode(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (std::size_t i = 0; i < Haut1252.size(); ++i)
    if (Haut1252[i] == u) return static_cast<char>(0x80 + i);
  return '?';
}

// Decodes UTF-8 into 1252. Each malformed sequence becomes '?' and clears *valide.
constexpr std::string::size_type Utf8VersAnsiDans(std::string_view utf8, char* sortie, bool* valide) {
  std::string::size_type n = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    char32_t u = 0;
    std::size_t suite = 0;
    if (b < 0x80) { u = b; }
    else if ((b & 0xE0) == 0xC0) { u = b & 0x1F; suite = 1; }
    else if ((b & 0xF0) == 0xE0) { u = b & 0x0F; suite = 2; }
    else if ((b & 0xF8) == 0xF0) { u = b & 0x07; suite = 3; }
    else { if (valide) *valide = false; if (sortie) sortie[n] = '?'; ++n; ++i; continue; }
    bool bon = i + suite < utf8.size();
    for (std::size_t k = 1; bon && k <= suite; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) bon = false; else u = (u << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    if (bon && ((suite == 1 && u < 0x80) || (suite == 2 && u < 0x800) || (suite == 3 && u < 0x10000) ||
                (u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF))
      bon = false;
    if (!bon) { if (valide) *valide = false; if (sortie) sortie[n] = '?'; ++n; ++i; continue; }
    if (sortie) sortie[n] = DepuisUnicode(u);
    ++n;
    i += suite + 1;
  }
  return n;
}

std::string Utf8VersAnsi(std::string_view utf8, bool* valide = nullptr);
std::string AnsiVersUtf8(std::string_view ansi);
QString VersQString(std::string_view ansi);
std::string DepuisQString(const QString& texte);
// Old native files hold their texts in the OEM code page 850.
std::string OemVersAnsi(std::string_view oem);
// The system's ANSI code page: always 1252 here.
std::uint16_t GetACP();

// A UTF-8 literal turned into 1252 bytes at compile time: "Réponse"_a.
template <std::size_t N>
struct Litteral {
  char octets[N]{};
  std::size_t taille = 0;
  constexpr Litteral(const char (&utf8)[N]) {
    taille = Utf8VersAnsiDans(std::string_view(utf8, N - 1), octets, nullptr);
  }
};

}  // namespace ansi

template <ansi::Litteral L>
inline std::string operator""_a() {
  return std::string(L.octets, L.taille);
}
