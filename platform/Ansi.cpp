#include "platform/Ansi.h"

#include <QString>

#include <cstring>

namespace ansi {

namespace {

// Unicode code point of each byte 0x80-0xFF of code page 850 (the bytes below 0x80 are ASCII).
constexpr std::array<char16_t, 128> Haut850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

constexpr std::array<char, 256> TableOem = [] {
  std::array<char, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[c] = c < 0x80 ? static_cast<char>(c) : DepuisUnicode(Haut850[c - 0x80]);
  return t;
}();

// The UTF-8 of each 1252 byte.
struct TUtf8 {
  std::array<char, 3> Octets{};
  std::uint8_t Longueur = 0;
};
constexpr std::array<TUtf8, 256> Utf8Des1252 = [] {
  std::array<TUtf8, 256> t{};
  for (int b = 0; b < 256; ++b) {
    char o[4]{};
    TUtf8& e = t[static_cast<std::size_t>(b)];
    e.Longueur = static_cast<std::uint8_t>(EncodeUtf8(VersUnicode(static_cast<unsigned char>(b)), o));
    for (std::size_t i = 0; i < e.Octets.size(); ++i) e.Octets[i] = o[i];  // 1252 lies in the BMP
  }
  return t;
}();

// For each byte: 1 when it is not ASCII, 2 when it is a line break.
constexpr std::array<std::uint8_t, 256> GenresOctets = [] {
  std::array<std::uint8_t, 256> t{};
  for (int b = 0x80; b < 0x100; ++b) t[static_cast<std::size_t>(b)] = 1;
  t['\r'] = t['\n'] = 2;
  return t;
}();

// A slice of UTF-8 into 1252 at q; returns the end of what was written. Line breaks (CR LF, CR
// or LF) are made CR LF when retours. The letters of U+00A0 to U+00FF, two bytes each in UTF-8,
// are their own code in 1252; any other run of bytes outside ASCII is decoded on its own (a
// sequence of UTF-8 never spans an ASCII byte).
char* VersAnsi(const unsigned char* p, std::size_t n, bool retours, char* q) {
  const std::uint8_t arrets = retours ? 3 : 1;
  constexpr std::uint64_t Uns = 0x0101010101010101ull, Hauts = 0x8080808080808080ull;
  std::size_t i = 0;
  while (i < n) {
    // Eight bytes at a time while none is outside ASCII (nor CR or LF when retours).
    for (; i + 8 <= n; i += 8, q += 8) {
      std::uint64_t mot;
      std::memcpy(&mot, p + i, 8);
      std::uint64_t arret = mot & Hauts;
      if (retours) {
        const std::uint64_t cr = mot ^ (Uns * '\r'), lf = mot ^ (Uns * '\n');
        arret |= ((cr - Uns) & ~cr & Hauts) | ((lf - Uns) & ~lf & Hauts);
      }
      if (arret) break;
      std::memcpy(q, &mot, 8);
    }
    while (i < n && !(GenresOctets[p[i]] & arrets)) *q++ = static_cast<char>(p[i++]);
    if (i == n) break;
    const unsigned char b = p[i];
    if (b < 0x80) {  // a line break
      *q++ = '\r';
      *q++ = '\n';
      i += b == '\r' && i + 1 < n && p[i + 1] == '\n' ? 2 : 1;
    } else if (i + 1 < n && (p[i + 1] & 0xC0) == 0x80 && (b == 0xC3 || (b == 0xC2 && p[i + 1] >= 0xA0))) {
      *q++ = static_cast<char>(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
      i += 2;
    } else {
      std::size_t k = i;
      while (k < n && p[k] >= 0x80) ++k;
      q += Utf8VersAnsiDans(std::string_view(reinterpret_cast<const char*>(p + i), k - i), q, nullptr);
      i = k;
    }
  }
  return q;
}

}  // namespace

// UTF-8 into 1252, appended, through the scratch buffer: 1252 is never longer than UTF-8 and
// CR LF at most doubles a line break, so a slice of n bytes needs 2n bytes of room. A long text
// goes in slices that end between two characters and never between CR and LF.
void AjouteUtf8EnAnsi(std::string& sortie, std::string_view utf8, bool retours, std::string& brouillon) {
  constexpr std::size_t Tranche = 64 * 1024;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  if (n > Tranche) sortie.reserve(sortie.size() + n);
  std::size_t i = 0;
  while (i < n) {
    std::size_t fin = n - i > Tranche ? i + Tranche : n;
    if (fin < n) {
      std::size_t f = fin;  // back to the start of a character (not far in well-formed UTF-8)
      while (f > i + 1 && f > fin - 3 && (p[f] & 0xC0) == 0x80) --f;
      if ((p[f] & 0xC0) != 0x80) fin = f;
      if (p[fin - 1] == '\r' && p[fin] == '\n') ++fin;
    }
    const std::size_t place = 2 * (fin - i);
    if (brouillon.size() < place) brouillon.resize(place);
    const char* ecrit = VersAnsi(p + i, fin - i, retours, brouillon.data());
    sortie.append(brouillon.data(), static_cast<std::size_t>(ecrit - brouillon.data()));
    i = fin;
  }
}

void AjouteUtf8(std::string& s, char32_t u) {
  char o[4];
  s.append(o, EncodeUtf8(u, o));
}

std::string Utf8VersAnsi(std::string_view utf8, bool* valide) {
  std::string s(utf8.size(), '\0');
  s.resize(Utf8VersAnsiDans(utf8, s.data(), valide));
  return s;
}

std::string AnsiVersUtf8(std::string_view ansi) {
  // Sized first, then filled in place: runs of ASCII are copied as they stand.
  std::size_t taille = ansi.size();
  for (char c : ansi) taille += Utf8Des1252[static_cast<unsigned char>(c)].Longueur - 1;
  std::string s(taille, '\0');
  char* q = s.data();
  const char* p = ansi.data();
  const char* const fin = p + ansi.size();
  while (p < fin) {
    const char* a = p;
    while (a < fin && static_cast<unsigned char>(*a) < 0x80) ++a;
    std::memcpy(q, p, static_cast<std::size_t>(a - p));
    q += a - p;
    if (a == fin) break;
    const TUtf8& u = Utf8Des1252[static_cast<unsigned char>(*a)];
    std::memcpy(q, u.Octets.data(), u.Longueur);
    q += u.Longueur;
    p = a + 1;
  }
  return s;
}

QString VersQString(std::string_view ansi) {
  QString s(static_cast<qsizetype>(ansi.size()), Qt::Uninitialized);
  QChar* d = s.data();
  for (std::size_t i = 0; i < ansi.size(); ++i)
    d[i] = QChar(static_cast<char16_t>(VersUnicode(static_cast<unsigned char>(ansi[i]))));
  return s;
}

std::string DepuisQString(const QString& texte) {
  std::string s;
  s.reserve(static_cast<std::size_t>(texte.size()));
  const qsizetype n = texte.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t u = texte.at(i).unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(texte.at(i + 1).unicode())) {
      s += '?';  // one character outside the BMP, hence outside 1252
      ++i;
    } else if (QChar::isSurrogate(u)) {
      s += '?';
    } else {
      s += DepuisUnicode(u);
    }
  }
  return s;
}

QString VersMemo(std::string_view ansi) {
  QString q = VersQString(ansi);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}

std::string DepuisMemo(const QString& texte) {
  QString q = texte;
  q.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return DepuisQString(q);
}

std::string OemVersAnsi(std::string_view oem) {
  std::string s(oem.size(), '\0');
  for (std::size_t i = 0; i < oem.size(); ++i) s[i] = TableOem[static_cast<unsigned char>(oem[i])];
  return s;
}

std::uint16_t GetACP() { return 1252; }

}  // namespace ansi
