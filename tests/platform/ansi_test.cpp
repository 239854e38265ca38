#include "platform/Ansi.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

namespace {

std::string TousLesOctets() {
  std::string s;
  for (int c = 0; c < 256; ++c) s += static_cast<char>(c);
  return s;
}

TEST(Ansi, LesDeuxCentCinquanteSixOctetsFontLAllerRetour) {
  const std::string tous = TousLesOctets();
  bool valide = true;
  EXPECT_EQ(ansi::Utf8VersAnsi(ansi::AnsiVersUtf8(tous), &valide), tous);
  EXPECT_TRUE(valide);
  EXPECT_EQ(ansi::DepuisQString(ansi::VersQString(tous)), tous);
  // Qt's UTF-8 codec agrees with ours on every byte.
  EXPECT_EQ(ansi::VersQString(tous).toUtf8().toStdString(), ansi::AnsiVersUtf8(tous));
}

TEST(Ansi, PointsDeCodeDesOctets) {
  struct Cas {
    unsigned char octet;
    char16_t unicode;
  };
  const Cas cas[] = {
      {0x41, u'A'},     {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F},
      {0x90, 0x0090},   {0x9D, 0x009D}, {0x92, 0x2019}, {0x9C, 0x0153}, {0x9F, 0x0178},
      {0xA0, 0x00A0},   {0xE9, 0x00E9}, {0xFF, 0x00FF}, {0x00, 0x0000}, {0x85, 0x2026},
  };
  for (const auto& c : cas) {
    const std::string octet(1, static_cast<char>(c.octet));
    const QString q = ansi::VersQString(octet);
    ASSERT_EQ(q.size(), 1);
    EXPECT_EQ(q.at(0).unicode(), c.unicode) << int(c.octet);
    EXPECT_EQ(ansi::DepuisQString(QString(QChar(c.unicode))), octet) << int(c.octet);
  }
}

TEST(Ansi, Utf8DUnPointDeCodeDeUnAQuatreOctets) {
  const std::pair<char32_t, std::string> cas[] = {
      {U'A', "A"},           {0x7F, "\x7F"},        {0x80, "\xC2\x80"},     {0xE9, "\xC3\xA9"},
      {0x7FF, "\xDF\xBF"},   {0x800, "\xE0\xA0\x80"}, {0x20AC, "\xE2\x82\xAC"}, {0xFFFD, "\xEF\xBF\xBD"},
      {0x10000, "\xF0\x90\x80\x80"}, {0x1F600, "\xF0\x9F\x98\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
  for (const auto& [u, utf8] : cas) {
    std::string s = "x";
    ansi::AjouteUtf8(s, u);
    EXPECT_EQ(s, "x" + utf8) << static_cast<unsigned long>(u);
    // Qt decodes the same character back.
    EXPECT_EQ(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUcs4().value(0), u);
  }
}

TEST(Ansi, CaracteresHorsDe1252DeviennentPointDInterrogation) {
  struct Cas {
    const char* utf8;
    std::string attendu;
  };
  const Cas cas[] = {
      {"\u2192", "?"},                  // arrow
      {"a\u0100b", "a?b"},              // Latin Extended-A, not in 1252
      {"\u0080", "?"},                  // a C1 control 1252 does not keep
      {"\u0082", "?"},
      {"\U0001F600!", "?!"},            // outside the BMP: one '?', not two
      {"\u4E2D\u6587", "??"},
      {"\u20AC\u0152\u2122", "\x80\x8C\x99"},
  };
  for (const auto& c : cas) {
    bool valide = true;
    EXPECT_EQ(ansi::Utf8VersAnsi(c.utf8, &valide), c.attendu) << c.utf8;
    EXPECT_TRUE(valide) << "well-formed UTF-8 is valid even when 1252 lacks a character";
    EXPECT_EQ(ansi::DepuisQString(QString::fromUtf8(c.utf8)), c.attendu) << c.utf8;
  }
  // Lone surrogates from the GUI.
  EXPECT_EQ(ansi::DepuisQString(QString(QChar(0xD800)) + QChar(u'x') + QChar(0xDC00)), "?x?");
}

TEST(Ansi, Utf8MalFormeDevientPointDInterrogationEtInvalide) {
  struct Cas {
    std::string utf8;
    std::string attendu;
  };
  const Cas cas[] = {
      {"\x80", "?"},                        // continuation byte alone
      {"a\xBF" "b", "a?b"},
      {"\xC3", "?"},                        // cut short at the end
      {"\xC3" "A", "?A"},                   // cut short before ASCII: the ASCII survives
      {"\xE2\x82", "?"},                    // one '?' for the whole truncated sequence
      {"\xE2\x82" "A", "?A"},
      {"\xF0\x9F\x98", "?"},
      {"\xC0\xAF", "??"},                   // overlong '/'
      {"\xC1\xBF", "??"},
      {"\xE0\x80\xAF", "???"},              // overlong in three bytes
      {"\xED\xA0\x80", "???"},              // encoded surrogate
      {"\xF4\x90\x80\x80", "????"},         // past U+10FFFF
      {"\xF5\x80", "??"},
      {"\xFF\xFE", "??"},
      {"\xC3\xA9\xC3", "\xE9?"},
  };
  for (const auto& c : cas) {
    bool valide = true;
    EXPECT_EQ(ansi::Utf8VersAnsi(c.utf8, &valide), c.attendu) << testing::PrintToString(c.utf8);
    EXPECT_FALSE(valide) << testing::PrintToString(c.utf8);
  }
  bool valide = true;
  EXPECT_EQ(ansi::Utf8VersAnsi("R\xC3\xA9ponse", &valide), "R\xE9ponse");
  EXPECT_TRUE(valide);
  EXPECT_EQ(ansi::Utf8VersAnsi("", &valide), "");
}

TEST(Ansi, LitteralConvertiALaCompilation) {
  EXPECT_EQ("Réponse"_a, "R\xE9ponse");
  EXPECT_EQ("€"_a, "\x80");
  EXPECT_EQ("Œuvre « à » côté…"_a, "\x8Cuvre \xAB \xE0 \xBB c\xF4t\xE9\x85");
  EXPECT_EQ("ÿŸ"_a, "\xFF\x9F");
  EXPECT_EQ(""_a, "");
  EXPECT_EQ("a\0b"_a, std::string("a\0b", 3));
  static_assert(ansi::Litteral("é").taille == 1);
  static_assert(ansi::Litteral("é").octets[0] == '\xE9');
}

TEST(Ansi, Oem850Vers1252) {
  struct Cas {
    unsigned char oem;
    char ansi;
  };
  const Cas cas[] = {
      {0x82, '\xE9'},  // é
      {0x80, '\xC7'},  // Ç
      {0x87, '\xE7'},  // ç
      {0x85, '\xE0'},  // à
      {0x8A, '\xE8'},  // è
      {0x88, '\xEA'},  // ê
      {0x90, '\xC9'},  // É
      {0xE1, '\xDF'},  // ß
      {0x9C, '\xA3'},  // £
      {0x9F, '\x83'},  // ƒ
      {0xFF, '\xA0'},  // no-break space
      {0xF0, '\xAD'},  // soft hyphen
      {0xC4, '?'},     // box drawing: 1252 has none
      {0xB0, '?'},     // shade
      {0xDB, '?'},     // full block
      {0xD5, '?'},     // dotless i
      {0x41, 'A'},
      {0x00, '\0'},
  };
  for (const auto& c : cas)
    EXPECT_EQ(ansi::OemVersAnsi(std::string(1, static_cast<char>(c.oem))), std::string(1, c.ansi))
        << std::hex << int(c.oem);
  EXPECT_EQ(ansi::OemVersAnsi("\x80Q caf\x82"), "\xC7Q caf\xE9");
  EXPECT_EQ(ansi::GetACP(), 1252);
}

}  // namespace
