// Cardfile files: the bytes of the writer, the reader's checks, and the card file's state
// after a read or a save.
#include "exchange/KorCrd.h"

#include "Outils.h"
#include "platform/Ansi.h"

namespace {
// The settings as they are by default, for what a test here does not set itself.
const TReglages Defauts;
}  // namespace

namespace {

const std::string MessageInvalide = "Pas un fichier Cardfile valide !";

std::string Octets(std::initializer_list<int> l) {
  std::string s;
  for (int b : l) s += static_cast<char>(b);
  return s;
}

std::string Mot16(int v) { return Octets({v & 0xFF, (v >> 8) & 0xFF}); }
std::string Mot32(std::uint32_t v) { return Octets({int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)}); }

// One 52-byte index entry.
std::string Entree(std::uint32_t position, const std::string& ligne) {
  std::string e(6, '\0');
  e += Mot32(position);
  e += '\0';
  std::string l = ligne;
  l.resize(40, '\0');
  e += l;
  e += '\0';
  return e;
}

std::string Bloc(const std::string& texte, int image = 0) { return Mot16(image) + Mot16(int(texte.size())) + texte; }

std::string LeFichierAbcXy() {
  return "MGC" + Mot16(1) + Entree(57, "abc") + Bloc("xy");
}

void AttendInvalide(const std::string& octets, const std::string& message = MessageInvalide) {
  try {
    LitFichierCrdOctets(octets, Defauts);
    ADD_FAILURE() << "accepted: " << Visible(octets.substr(0, 80));
  } catch (const ErreurIdInvalide& e) {
    EXPECT_EQ(e.Message(), message) << Visible(octets.substr(0, 80));
  }
}

TEST(Crd, GoldenBytesOfTheEmptyAndTheOneCardFile) {
  TFichierX vide('R', 'x', EVarianteModele::Complet, Defauts);
  EXPECT_EQ(OctetsFichierCrd(vide), Octets({0x4D, 0x47, 0x43, 0, 0}));

  TFichierX un('R', 'x', EVarianteModele::Complet, Defauts);
  un.AjouteFicheDeuxChamps("abc", "xy");
  const std::string o = OctetsFichierCrd(un);
  ASSERT_EQ(o.size(), 63u);
  EXPECT_EQ(o, LeFichierAbcXy());
  EXPECT_EQ(o.substr(5, 6), std::string(6, '\0'));
  EXPECT_EQ(o.substr(11, 4), Octets({0x39, 0, 0, 0}));

  auto lu = LitFichierCrdOctets(o, Defauts);
  EXPECT_EQ(lu->FType, 'R');
  EXPECT_EQ(lu->FFormat, 'c');
  EXPECT_FALSE(lu->FModifie);
  ASSERT_EQ(lu->GetNombreFiches(), 1);
  EXPECT_EQ(lu->Fiche(0).Champ1, "abc");
  EXPECT_EQ(lu->Fiche(0).Champ2, "xy");
  EXPECT_EQ(LitFichierCrdOctets(Octets({0x4D, 0x47, 0x43, 0, 0}), Defauts)->GetNombreFiches(), 0);
}

TEST(Crd, RoundTripKeepsIndexLinesTextsAndLineBreaksButNotField0) {
  TFichierX f('Q', 'x', EVarianteModele::Complet, Defauts);  // any type is written; field 0 is not part of the format
  const std::string quarante(40, 'i');
  f.AjouteFiche("titre", quarante, "ligne 1\r\nligne 2\r\n\r\nfin");
  f.AjouteFiche("", quarante + "coupé"_a, "");
  f.AjouteFiche("", "", std::string(65535, 'z'));
  f.AjouteFiche("", "é"_a + "\x80\xFF", std::string("a\0b", 3));
  auto lu = LitFichierCrdOctets(OctetsFichierCrd(f), Defauts);
  ASSERT_EQ(lu->GetNombreFiches(), 4);
  EXPECT_EQ(lu->Fiche(0).Champ0, "");
  EXPECT_EQ(lu->Fiche(0).Champ1, quarante);
  EXPECT_EQ(lu->Fiche(0).Champ2, "ligne 1\r\nligne 2\r\n\r\nfin");
  EXPECT_EQ(lu->Fiche(1).Champ1, quarante);  // cut to 40 bytes
  EXPECT_EQ(lu->Fiche(1).Champ2, "");
  EXPECT_EQ(lu->Fiche(2).Champ2, std::string(65535, 'z'));
  EXPECT_EQ(lu->Fiche(3).Champ1, "é"_a + "\x80\xFF");
  EXPECT_EQ(lu->Fiche(3).Champ2, std::string("a\0b", 3));
}

TEST(Crd, BlocksOutOfIndexOrderAreFollowed) {
  // Index: card 0 then card 1; data: card 1's block first.
  const std::uint32_t debut = 5 + 2 * 52;
  const std::string b1 = Bloc("deux"), b0 = Bloc("un");
  const std::string o = "MGC" + Mot16(2) + Entree(debut + std::uint32_t(b1.size()), "A") + Entree(debut, "B") + b1 + b0;
  auto lu = LitFichierCrdOctets(o, Defauts);
  ASSERT_EQ(lu->GetNombreFiches(), 2);
  EXPECT_EQ(lu->Fiche(0).Champ1, "A");
  EXPECT_EQ(lu->Fiche(0).Champ2, "un");
  EXPECT_EQ(lu->Fiche(1).Champ1, "B");
  EXPECT_EQ(lu->Fiche(1).Champ2, "deux");
}

TEST(Crd, EveryCutOfAValidFileIsRefused) {
  const std::string o = LeFichierAbcXy();
  for (std::size_t n = 0; n < o.size(); ++n) AttendInvalide(o.substr(0, n));
}

TEST(Crd, BadHeadersOffsetsAndLengthsAreRefused) {
  const std::uint32_t debut = 57;
  struct Cas {
    const char* quoi;
    std::string octets;
  };
  const Cas cas[] = {
      {"lower-case signature", "mgc" + Mot16(0)},
      {"RRG form", "RRG" + Mot16(0)},
      {"DKO form", "DKO" + Mot16(0)},
      {"count past the index", "MGC" + Mot16(2) + Entree(debut, "a") + Bloc("xy")},
      {"count of 65535 in a small file", "MGC" + Mot16(65535) + Entree(debut, "a") + Bloc("xy")},
      {"offset inside the header", "MGC" + Mot16(1) + Entree(0, "a") + Bloc("xy")},
      {"offset inside the index", "MGC" + Mot16(1) + Entree(debut - 1, "a") + Bloc("xy")},
      {"negative offset", "MGC" + Mot16(1) + Entree(0xFFFFFFF0u, "a") + Bloc("xy")},
      {"offset past the end", "MGC" + Mot16(1) + Entree(1000, "a") + Bloc("xy")},
      {"block header cut by the end", "MGC" + Mot16(1) + Entree(debut + 3, "a") + Bloc("xy")},
      {"text length past the end", "MGC" + Mot16(1) + Entree(debut, "a") + Mot16(0) + Mot16(3) + "xy"},
      {"two entries on one block", "MGC" + Mot16(2) + Entree(5 + 104, "a") + Entree(5 + 104, "b") + Bloc("xyz")},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.quoi);
    AttendInvalide(c.octets);
  }
  AttendInvalide("MGC" + Mot16(1) + Entree(debut, "a") + Bloc("xy", 12),
                 "Les fiches de ce fichier Cardfile contiennent des images, qui ne peuvent pas être lues !"_a);
}

TEST(Crd, IndexLineEndsAtItsFirstZeroByte) {
  std::string o = LeFichierAbcXy();
  o[11 + 4 + 1 + 1] = '\0';  // "abc" -> "a" then zero
  EXPECT_EQ(LitFichierCrdOctets(o, Defauts)->Fiche(0).Champ1, "a");
}

class CrdFichiers : public DossierTemporaire {};

TEST_F(CrdFichiers, WriterRefusesWhatSixteenBitFieldsCannotHoldBeforeTouchingTheFile) {
  const std::string cible = Chemin("cartes.crd");
  EcritOctets(cible, "ancien contenu");
  TFichierX trop('R', 'x', EVarianteModele::Complet, Defauts);
  for (int i = 0; i < 65536; ++i) trop.AjouteFicheDeuxChamps("", "");
  trop.FModifie = true;
  try {
    EcritFichierCrd(trop, cible, true);
    ADD_FAILURE() << "65536 cards accepted";
  } catch (const EErreur& e) {
    EXPECT_EQ(e.Message(), "Un fichier Cardfile ne peut pas contenir plus de 65535 fiches !"_a);
  }
  EXPECT_EQ(LitOctets(cible), "ancien contenu");
  EXPECT_EQ(trop.FFormat, 'x');
  EXPECT_TRUE(trop.FModifie);
  EXPECT_EQ(trop.FNomFichier, "");

  TFichierX long_('R', 'x', EVarianteModele::Complet, Defauts);
  long_.AjouteFicheDeuxChamps("a", "b");
  long_.AjouteFicheDeuxChamps("a", std::string(65536, 't'));
  try {
    EcritFichierCrd(long_, cible, true);
    ADD_FAILURE() << "a text of 65536 bytes accepted";
  } catch (const EErreur& e) {
    EXPECT_EQ(e.Message(), "Le texte de la fiche 2 est trop long pour un fichier Cardfile (65535 caractères au plus) !"_a);
  }
  EXPECT_EQ(LitOctets(cible), "ancien contenu");
  EXPECT_EQ(long_.FFormat, 'x');
}

TEST_F(CrdFichiers, ReadKeepsTheStreamAndSavesTakeTheNewOne) {
  const std::string nom = Chemin("carnet.crd");
  EcritOctets(nom, LeFichierAbcXy());
  {
    auto lecture = LitFichierCrd(nom, false, Defauts);
    EXPECT_FALSE(lecture->FModifiable);
    ASSERT_TRUE(lecture->FFlux);
    EXPECT_EQ(lecture->FFlux->Mode(), EModeOuverture::Lecture);
  }
  auto f = LitFichierCrd(nom, true, Defauts);
  EXPECT_EQ(f->FNomFichier, nom);
  EXPECT_TRUE(f->FModifiable);
  EXPECT_FALSE(f->FModifie);
  ASSERT_TRUE(f->FFlux);
  EXPECT_EQ(f->FFlux->Mode(), EModeOuverture::LectureEcriture);

  // Rewriting the card file's own file.
  f->SetFiche(0, "", "def", "uvw");
  ASSERT_TRUE(f->FModifie);
  EcritFichierCrd(*f, nom, false);
  EXPECT_FALSE(f->FModifie);
  EXPECT_EQ(f->FFormat, 'c');
  ASSERT_TRUE(f->FFlux);
  EXPECT_EQ(f->FFlux->Chemin(), nom);
  f.reset();
  EXPECT_EQ(LitFichierCrdOctets(LitOctets(nom), Defauts)->Fiche(0).Champ2, "uvw");

  // Saving a card file of another format as a new Cardfile.
  TFichierX x('R', 'x', EVarianteModele::Complet, Defauts);
  x.AjouteFicheDeuxChamps("k", "v");
  const std::string autre = Chemin("autre.crd");
  EcritFichierCrd(x, autre, true);
  EXPECT_EQ(x.FFormat, 'c');
  EXPECT_EQ(x.FNomFichier, autre);
  EXPECT_FALSE(x.FModifie);
  EXPECT_TRUE(x.FModifiable);
  ASSERT_TRUE(x.FFlux);
  EXPECT_EQ(LitOctets(autre), OctetsFichierCrd(x));

  EXPECT_THROW(LitFichierCrd(Chemin("absent.crd"), false, Defauts), EFOpenError);
  EcritOctets(Chemin("faux.crd"), "MGC\x01");
  EXPECT_THROW(LitFichierCrd(Chemin("faux.crd"), true, Defauts), ErreurIdInvalide);
}

}  // namespace
