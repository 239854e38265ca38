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

// Decodes UTF-8 into 1252, handing each byte to sortie(index, byte), and returns how many there
// are (at most utf8.size()). Each ill-formed sequence (a lead byte with the continuation
// bytes that fit it, as far as they go; overlong forms, surrogates and values past U+10FFFF
// included) becomes one '?' and clears *valide. A well-formed character that 1252 lacks becomes
// '?' and sets *hors1252.
template <class Produit>
constexpr std::string::size_type DecodeUtf8(std::string_view utf8, Produit&& sortie, bool* valide,
                                            bool* hors1252) {
  std::string::size_type n = 0;
  std::size_t i = 0;
  const std::size_t fin = utf8.size();
  auto produit = [&](char c) {
    sortie(n, c);
    ++n;
  };
  while (i < fin) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      produit(static_cast<char>(b));
      ++i;
      continue;
    }
    std::size_t suite = 0;
    char32_t u = 0;
    // Range of the first continuation byte: it rules out overlong forms, surrogates and
    // values past U+10FFFF before they are decoded.
    unsigned char bas = 0x80, haut = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      suite = 1;
      u = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      suite = 2;
      u = b & 0x0F;
      if (b == 0xE0) bas = 0xA0;
      if (b == 0xED) haut = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      suite = 3;
      u = b & 0x07;
      if (b == 0xF0) bas = 0x90;
      if (b == 0xF4) haut = 0x8F;
    } else {
      if (valide) *valide = false;
      produit('?');
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k <= suite && i + k < fin; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if (c < bas || c > haut) break;
      bas = 0x80;
      haut = 0xBF;
      u = (u << 6) | (c & 0x3F);
    }
    if (k <= suite) {
      if (valide) *valide = false;
      produit('?');
      i += k;
      continue;
    }
    const char a = DepuisUnicode(u);
    if (a == '?' && hors1252) *hors1252 = true;
    produit(a);
    i += suite + 1;
  }
  return n;
}

// The same into a buffer of at least utf8.size() bytes; sortie may be null to count only.
constexpr std::string::size_type Utf8VersAnsiDans(std::string_view utf8, char* sortie, bool* valide,
                                                  bool* hors1252 = nullptr) {
  return DecodeUtf8(
      utf8, [sortie](std::size_t n, char c) { if (sortie) sortie[n] = c; }, valide, hors1252);
}

std::string Utf8VersAnsi(std::string_view utf8, bool* valide = nullptr);
// UTF-8 appended to a 1252 text, every line break (CR LF, CR or LF) made CR LF when retours;
// brouillon is scratch room the caller keeps from one call to the next. Ill-formed bytes give
// '?' as Utf8VersAnsi does.
void AjouteUtf8EnAnsi(std::string& sortie, std::string_view utf8, bool retours, std::string& brouillon);
std::string AnsiVersUtf8(std::string_view ansi);
// The UTF-8 of one code point (up to U+10FFFF, four bytes past the BMP) into o; its length.
constexpr std::size_t EncodeUtf8(char32_t u, char* o) {
  if (u < 0x80) {
    o[0] = static_cast<char>(u);
    return 1;
  }
  if (u < 0x800) {
    o[0] = static_cast<char>(0xC0 | (u >> 6));
    o[1] = static_cast<char>(0x80 | (u & 0x3F));
    return 2;
  }
  if (u < 0x10000) {
    o[0] = static_cast<char>(0xE0 | (u >> 12));
    o[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    o[2] = static_cast<char>(0x80 | (u & 0x3F));
    return 3;
  }
  o[0] = static_cast<char>(0xF0 | (u >> 18));
  o[1] = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
  o[2] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
  o[3] = static_cast<char>(0x80 | (u & 0x3F));
  return 4;
}
// The same appended to a text.
void AjouteUtf8(std::string& s, char32_t u);
QString VersQString(std::string_view ansi);
std::string DepuisQString(const QString& texte);
// Texts of multi-line controls: CR LF in memory, a line feed in the control (a lone CR too).
QString VersMemo(std::string_view ansi);
std::string DepuisMemo(const QString& texte);
// Old native files hold their texts in the OEM code page 850.
std::string OemVersAnsi(std::string_view oem);
// The system's ANSI code page: always 1252 here.
std::uint16_t GetACP();

// A UTF-8 literal turned into 1252 bytes at compile time: "Réponse"_a. A literal that is not
// well-formed UTF-8, or holds a character 1252 lacks, does not compile.
template <std::size_t N>
struct Litteral {
  char octets[N]{};
  std::size_t taille = 0;
  constexpr Litteral(const char (&utf8)[N]) {
    bool valide = true, hors1252 = false;
    // Written through this rather than a pointer to octets: g++ cannot test such a pointer
    // against null while a namespace-scope constant is being built.
    taille = DecodeUtf8(
        std::string_view(utf8, N - 1), [this](std::size_t n, char c) { octets[n] = c; }, &valide,
        &hors1252);
    if (!valide || hors1252) throw "literal: not well-formed UTF-8, or a character outside 1252";
  }
};

}  // namespace ansi

template <ansi::Litteral L>
inline std::string operator""_a() {
  return std::string(L.octets, L.taille);
}
