// The native card file: exact bytes, round trips, hostile headers, the player's variant and
// safe saving.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cards/KorNatif.h"
#include "cards/KorXml.h"
#include "cards/KorOutils.h"
#include "platform/Ansi.h"
#include "platform/Fichier.h"
#include "tests/Outils.h"

namespace fs = std::filesystem;

namespace {

const std::string Donnees = std::string(ORVALINE_SOURCE_DIR) + "/tests/cards/donnees/";

// Builders of the expected bytes, from the layout of the format.
std::string Ligne(std::string_view texte) {
  std::string l(61, '\0');
  l[0] = static_cast<char>(texte.size());
  std::memcpy(&l[1], texte.data(), texte.size());
  return l;
}

std::string Mot(std::int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

std::string Pied(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) { return Mot(a) + Mot(b) + Mot(c) + Mot(d); }

// The header of a questionnaire with the settings' defaults, signature "Moi".
std::string EnteteQuestionnaire(int c1, int c2) {
  std::string e(61, '\0');
  e[0] = 60;
  e[1] = static_cast<char>(0xC7);
  e[2] = 'Q';
  e[3] = 7;
  e[4] = 8;
  e[5] = 'Q';
  e[6] = 'Q';
  e[7] = 'R';
  const std::string ou = "ou !\"',-.:;?";
  e[8] = static_cast<char>(ou.size());
  std::memcpy(&e[9], ou.data(), ou.size());
  e[24] = 'N';  // ask wrong answers again
  e[25] = 'O';  // no phonetic comparison
  e[26] = 'O';  // no forced correction
  e[27] = 0;
  e[28] = 'N';
  e[29] = 'N';
  e[30] = ';';
  e[31] = 'N';
  e[32] = static_cast<char>(c1);
  e[33] = static_cast<char>(c2);
  e[34] = 3;
  std::memcpy(&e[35], "Moi", 3);
  e[53] = '/';
  e[54] = 'N';
  e[55] = 10;  // 50 %
  e[56] = 0;
  e[57] = static_cast<char>(0xE4);  // 1252
  e[58] = 0x04;
  e[59] = '(';
  e[60] = '*';
  return e;
}

class FormatNatif : public DossierTemporaire {
 protected:
  std::unique_ptr<TFichierX> Questionnaire() {
    auto f = std::make_unique<TFichierX>('Q', 'n', EVarianteModele::Complet, R);
    f->FVersionCreation = "7.8";
    f->FSignature = "Moi";
    f->SetTitre("Capitales");
    return f;
  }

  // The golden file holds the expected bytes; ORVALINE_GOLDEN=1 writes it instead.
  void CompareAuFichier(const std::string& nom, const std::string& octets) {
    if (std::getenv("ORVALINE_GOLDEN")) EcritOctets(Donnees + nom, octets);
    EXPECT_EQ(LitOctets(Donnees + nom), octets) << nom;
  }

  std::vector<std::string> FichiersDuDossier() const {
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(Dossier)) noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
  }

  TReglages R;
};

TEST_F(FormatNatif, UneFicheDonneLeFichierDe276Octets) {
  auto f = Questionnaire();
  f->AjouteFicheDeuxChamps("France", "Paris");
  const std::string attendu = Ligne("Capitales") + EnteteQuestionnaire(1, 1) + Pied(0, 0, 1, 1) + Ligne("France") +
                              Ligne("Paris") + Pied(1, 0, 0, 0);
  ASSERT_EQ(attendu.size(), 276u);
  EXPECT_EQ(OctetsFichierNatif(*f, R), attendu);
  CompareAuFichier("une_fiche.kqq", attendu);

  const std::string chemin = Dossier + "/une.kqq";
  EcritFichierNatif(*f, chemin, true, R);
  EXPECT_EQ(LitOctets(chemin), attendu);
  f->FFlux.reset();
  EXPECT_EQ(DetecteFormat(chemin, EVarianteDetection::Complete, R), 'n');
}

TEST_F(FormatNatif, QuestionnaireVideAvecSesMotsIgnoresFait199Octets) {
  auto f = Questionnaire();
  f->FAvecMotsIgnores = true;
  f->FMotsIgnores = "le la les";
  const std::string attendu = Ligne("Capitales") + EnteteQuestionnaire(2, 1) + Ligne("le la les") + Pied(0, 0, 0, 0);
  ASSERT_EQ(attendu.size(), 199u);
  EXPECT_EQ(OctetsFichierNatif(*f, R), attendu);
  CompareAuFichier("questionnaire_vide.kqq", attendu);

  auto lu = LitFichierNatifOctets(attendu, true, EVarianteModele::Complet, R);
  EXPECT_TRUE(lu->FAvecMotsIgnores);
  EXPECT_EQ(lu->FMotsIgnores, "le la les");
  EXPECT_EQ(lu->GetNombreFiches(), 0);
}

TEST_F(FormatNatif, LectureComplete) {
  auto f = Questionnaire();
  f->FOuVisible = "ou";
  f->FPonctuation = ".,;";
  f->FReposerErreurs = true;
  f->FPhonetique = true;
  f->FCorrection = false;
  f->FNombreQuestions = 12;
  f->FSuivreOrdre = true;
  f->FDifferencierCasse = true;
  f->FBriderEntree = true;
  f->FTemps = 30;
  f->SetFragmenteur('#');
  f->SetAlternateur('|');
  f->SetCommentaire('[');
  f->SetTroncature('^');
  f->AjouteFicheDeuxChamps("Allemagne", "Berlin");
  f->AjouteFicheDeuxChamps("Italie", "Rome ; Roma");
  const std::string chemin = Dossier + "/q.kqq";
  EcritFichierNatif(*f, chemin, true, R);
  f.reset();

  auto lu = LitFichierNatif(chemin, false, true, EVarianteModele::Complet, R);
  EXPECT_EQ(lu->FType, 'Q');
  EXPECT_EQ(lu->FFormat, 'n');
  EXPECT_EQ(lu->FTitre, "Capitales");
  EXPECT_EQ(lu->FSignature, "Moi");
  EXPECT_EQ(lu->FVersionCreation, "7.8");
  EXPECT_EQ(lu->FCodePage, 1252);
  EXPECT_EQ(lu->FOuVisible, "ou");
  EXPECT_EQ(lu->FPonctuation, ".,;");
  EXPECT_TRUE(lu->FReposerErreurs);
  EXPECT_TRUE(lu->FPhonetique);
  EXPECT_FALSE(lu->FCorrection);
  EXPECT_EQ(lu->FNombreQuestions, 12);
  EXPECT_TRUE(lu->FSuivreOrdre);
  EXPECT_FALSE(lu->FMotAMot);
  EXPECT_TRUE(lu->FDifferencierCasse);
  EXPECT_TRUE(lu->FBriderEntree);
  EXPECT_EQ(lu->FTemps, 30);
  EXPECT_EQ(lu->FFragmenteur, "#");
  EXPECT_EQ(lu->FAlternateur, '|');
  EXPECT_EQ(lu->FCommentaire, '[');
  EXPECT_EQ(lu->FTroncature, '^');
  EXPECT_FALSE(lu->FAvecChamp0);
  ASSERT_EQ(lu->GetNombreFiches(), 2);
  EXPECT_EQ(lu->Fiche(1).Champ1, "Italie");
  EXPECT_EQ(lu->Fiche(1).Champ2, "Rome ; Roma");
  EXPECT_FALSE(lu->FModifie);
  EXPECT_FALSE(lu->FModifiable);
  EXPECT_EQ(lu->FNomFichier, chemin);
  ASSERT_NE(lu->FFlux, nullptr);
  // Read-only: others may read the file, nobody may write it.
  EXPECT_NO_THROW(TFlux::Ouvre(chemin, EModeOuverture::Lecture));
  EXPECT_THROW(TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture), EFOpenError);
  lu.reset();

  auto modifiable = LitFichierNatif(chemin, true, true, EVarianteModele::Complet, R);
  EXPECT_TRUE(modifiable->FModifiable);
  EXPECT_THROW(TFlux::Ouvre(chemin, EModeOuverture::Lecture), EFOpenError);
}

TEST_F(FormatNatif, ChargementDeCanevas) {
  auto f = Questionnaire();
  f->FMotAMot = true;
  f->SetAlternateur('|');
  f->AjouteFicheDeuxChamps("a", "b");
  const std::string chemin = Dossier + "/q.kqq";
  EcritFichierNatif(*f, chemin, true, R);
  f.reset();

  auto lu = LitFichierNatif(chemin, true, false, EVarianteModele::Complet, R);
  EXPECT_EQ(lu->FType, 'Q');
  EXPECT_EQ(lu->FIdChamp1, "Q");
  EXPECT_TRUE(lu->FMotAMot);
  EXPECT_EQ(lu->FAlternateur, '|');
  EXPECT_EQ(lu->GetNombreFiches(), 0);
  EXPECT_EQ(lu->FTitre, "");
  EXPECT_EQ(lu->FSignature, "");
  EXPECT_EQ(lu->FVersionCreation, "");
  EXPECT_EQ(lu->FNomFichier, "");
  EXPECT_EQ(lu->FFlux, nullptr);
  EXPECT_TRUE(lu->FModifiable);
  EXPECT_FALSE(lu->FModifie);
  // The file was closed: it can be opened for writing at once.
  EXPECT_NO_THROW(TFlux::Ouvre(chemin, EModeOuverture::LectureEcriture));
}

// What a field becomes through a save and a load.
TEST_F(FormatNatif, AllerRetourDesChamps) {
  const std::string soixanteEtUn(61, 'x');
  std::string longue;
  for (int i = 0; i < 300; ++i) longue += "mot" + std::to_string(i) + " ";
  std::string lignes252;
  for (int i = 0; i < 252; ++i) lignes252 += std::string(60, 'a' + i % 26);
  // A CR LF that falls at the end of a stored line: "aaa…" (58) + two spaces + CR LF.
  const std::string finDeLigne = std::string(58, 'a') + "  \r\nsuite" + std::string(60, 'b');
  struct Cas {
    std::string texte, attendu;
  } cas[] = {
      {"Paris", "Paris"},
      {"mot  \r\nautre", "mot  \r\nautre"},  // short: the spaces before the CR LF stay
      {soixanteEtUn, std::string(60, 'x') + " x"},
      {finDeLigne, std::string(58, 'a') + "\r\nsuite" + std::string(54, 'b') + " " + std::string(6, 'b')},
      {"un\ndeux", "un\r\ndeux"},  // a lone LF comes back as CR LF
      {"\r\ndebut", "\r\ndebut"},
      {"", ""},
  };
  auto f = std::make_unique<TFichierX>('R', 'n', EVarianteModele::Complet, R);
  for (const auto& c : cas) f->AjouteFicheDeuxChamps("x", c.texte);
  f->AjouteFicheDeuxChamps("x", lignes252);
  auto lu = LitFichierNatifOctets(OctetsFichierNatif(*f, R), true, EVarianteModele::Complet, R);
  ASSERT_EQ(lu->GetNombreFiches(), static_cast<int>(std::size(cas)) + 1);
  for (std::size_t i = 0; i < std::size(cas); ++i)
    EXPECT_EQ(lu->Fiche(static_cast<int>(i)).Champ2, cas[i].attendu) << "cas " << i;
  // More than 251 lines: the first 251 are kept.
  std::string attendu;
  for (int i = 0; i < 251; ++i) attendu += (i ? " " : "") + std::string(60, 'a' + i % 26);
  EXPECT_EQ(lu->Fiche(static_cast<int>(std::size(cas))).Champ2, attendu);
}

TEST_F(FormatNatif, DecoupageDesLignes) {
  DebutsLignes d;
  EXPECT_EQ(DecoupeLignes(std::string(61, 'x'), d), 2);
  EXPECT_EQ(d[0], 0u);
  EXPECT_EQ(d[1], 60u);
  EXPECT_EQ(d[2], 61u);
  // The break point may be the 61st character.
  const std::string t = std::string(60, 'a') + " " + std::string(5, 'b');
  EXPECT_EQ(DecoupeLignes(t, d), 2);
  EXPECT_EQ(d[1], 61u);
  EXPECT_EQ(CompteLignes(""), 0);
  EXPECT_EQ(CompteLignes(std::string(60 * 300, 'z')), 251);
}

TEST_F(FormatNatif, OctetsDuScoreEtDuTemps) {
  struct Cas {
    int score, octet, relu;
  } scores[] = {{50, 10, 50}, {33, 33, 33}, {7, 1, 5}, {130, 25, 125}, {0, 0, 0}, {125, 25, 125}};
  for (const auto& c : scores) {
    auto f = Questionnaire();
    f->FScoreSatisfaisant = static_cast<std::uint8_t>(c.score);
    const std::string o = OctetsFichierNatif(*f, R);
    EXPECT_EQ(static_cast<unsigned char>(o[61 + 55]), c.octet) << c.score;
    EXPECT_EQ(LitFichierNatifOctets(o, true, EVarianteModele::Complet, R)->FScoreSatisfaisant, c.relu) << c.score;
  }
  struct Temps {
    int temps, relu;
  } temps[] = {{61, 0}, {65, 65}, {60, 60}, {0, 0}, {254, 0}, {255, 255}};
  for (const auto& c : temps) {
    auto f = Questionnaire();
    f->FTemps = static_cast<std::uint8_t>(c.temps);
    EXPECT_EQ(LitFichierNatifOctets(OctetsFichierNatif(*f, R), true, EVarianteModele::Complet, R)->FTemps, c.relu)
        << c.temps;
  }
}

TEST_F(FormatNatif, OctetsDesDrapeaux) {
  auto f = Questionnaire();
  f->FMotAMot = f->FDifferencierCasse = true;
  const std::string o = OctetsFichierNatif(*f, R);
  EXPECT_EQ(o[61 + 29], 'O');
  EXPECT_EQ(o[61 + 31], 'O');
  EXPECT_EQ(o[61 + 28], 'N');
  // J, O, S, T and Y are read as true (upper case only); PHONETIQUE and CORRECTION are stored
  // inverted.
  for (char c : std::string("JOSTY")) {
    std::string s = o;
    s[61 + 24] = c;
    s[61 + 25] = c;
    auto lu = LitFichierNatifOctets(s, true, EVarianteModele::Complet, R);
    EXPECT_TRUE(lu->FReposerErreurs) << c;
    EXPECT_FALSE(lu->FPhonetique) << c;
  }
  for (char c : std::string("oNn\x01")) {
    std::string s = o;
    s[61 + 24] = c;
    s[61 + 25] = c;
    auto lu = LitFichierNatifOctets(s, true, EVarianteModele::Complet, R);
    EXPECT_FALSE(lu->FReposerErreurs) << c;
    EXPECT_TRUE(lu->FPhonetique) << c;
  }
  // A file of another type carries no quiz bytes, and they are not read.
  TFichierX d('D', 'n', EVarianteModele::Complet, R);
  d.FMotAMot = true;
  std::string od = OctetsFichierNatif(d, R);
  EXPECT_EQ(od[61 + 29], '\0');
  od[61 + 29] = 'O';
  EXPECT_FALSE(LitFichierNatifOctets(od, true, EVarianteModele::Complet, R)->FMotAMot);
}

TEST_F(FormatNatif, OctetDuSeparateur) {
  struct Cas {
    char type;
    std::string separateur;
    char octet;
    std::string relu;
  } cas[] = {
      {'D', "|", '|', "|"},
      {'E', "\r\n", '\0', "\r\n"},  // the type's default comes back
      {'D', "==", '\0', "|"},       // a separator of several characters is lost
      {'Q', "", ' ', ""},
      {'Q', "#", '#', "#"},
  };
  for (const auto& c : cas) {
    TFichierX f(c.type, 'n', EVarianteModele::Complet, R);
    f.FFragmenteur = c.separateur;
    const std::string o = OctetsFichierNatif(f, R);
    EXPECT_EQ(o[61 + 30], c.octet) << c.type << c.separateur;
    EXPECT_EQ(LitFichierNatifOctets(o, true, EVarianteModele::Complet, R)->FFragmenteur, c.relu) << c.type;
  }
}

TEST_F(FormatNatif, FichierKQEnPageOem) {
  auto f = Questionnaire();
  f->AjouteFicheDeuxChamps("x", "y");
  std::string o = OctetsFichierNatif(*f, R);
  // Title "\x82t\x82" (850: "été"), card fields in 850 too.
  o.replace(0, 61, Ligne("\x82t\x82"));
  o[62] = 'K';
  o.replace(138, 61, Ligne("\x85 la"));  // "à la"
  auto lu = LitFichierNatifOctets(o, true, EVarianteModele::Complet, R);
  EXPECT_EQ(lu->FTitre, "été"_a);
  EXPECT_EQ(lu->Fiche(0).Champ1, "à la"_a);
  EXPECT_EQ(lu->FOuVisible, "ou");
}

TEST_F(FormatNatif, EnteteCourtSansCodePage) {
  auto f = Questionnaire();
  f->FCodePage = 1250;
  std::string o = OctetsFichierNatif(*f, R);
  EXPECT_EQ(LitFichierNatifOctets(o, true, EVarianteModele::Complet, R)->FCodePage, 1250);
  o[61] = 57;
  EXPECT_EQ(LitFichierNatifOctets(o, true, EVarianteModele::Complet, R)->FCodePage, ansi::GetACP());
  o[61] = 32;
  EXPECT_THROW(LitFichierNatifOctets(o, true, EVarianteModele::Complet, R), ErreurIdInvalide);
}

TEST_F(FormatNatif, FichiersRefuses) {
  auto message = [&](const std::string& octets, EVarianteModele v = EVarianteModele::Complet) {
    try {
      LitFichierNatifOctets(octets, true, v, R);
    } catch (const ErreurIdInvalide& e) {
      return e.Message();
    }
    return std::string("accepté");
  };
  auto f = Questionnaire();
  f->AjouteFicheDeuxChamps("a", "b");
  const std::string bon = OctetsFichierNatif(*f, R);
  std::string signature = bon;
  signature[62] = 'X';
  std::string lignes = bon;
  lignes[61 + 32] = 1;
  lignes[61 + 33] = 0;
  std::string zero = bon;
  zero[61 + 32] = 0;
  zero[61 + 33] = 0;
  const std::string invalide = "Pas un fichier natif d'Orvaline valide !";
  EXPECT_EQ(message(signature), invalide);
  EXPECT_EQ(message(lignes), invalide);
  EXPECT_EQ(message(zero), invalide);
  EXPECT_EQ(message(""), invalide);
  EXPECT_EQ(message(bon.substr(0, 64)), invalide);
  EXPECT_EQ(message(bon), "accepté");

  TFichierX notes('N', 'n', EVarianteModele::Complet, R);
  EXPECT_EQ(message(OctetsFichierNatif(notes, R), EVarianteModele::Questionnaire),
            "Ce fichier n'est pas un questionnaire !");
}

TEST_F(FormatNatif, FichierIntrouvable) {
  EXPECT_THROW(LitFichierNatif(Dossier + "/absent.kqq", false, true, EVarianteModele::Complet, R), EFOpenError);
}

// A header that lies: counts, chains and record numbers come from the file and are not trusted.
TEST_F(FormatNatif, EnteteHostile) {
  TFichierX f('R', 'n', EVarianteModele::Complet, R);
  f.AjouteFicheDeuxChamps("un", "AAAAAAAAAA");
  f.AjouteFicheDeuxChamps("deux", "BB");
  f.AjouteFicheDeuxChamps("trois", "CCC");
  const std::string bon = OctetsFichierNatif(f, R);
  const std::size_t taille = 138;
  ASSERT_EQ(bon.size(), 4 * taille);
  auto fixe = [&](std::string s, std::size_t record, int mot, std::int32_t v) {
    s.replace(record * taille + 122 + 4 * static_cast<std::size_t>(mot), 4, Mot(v));
    return s;
  };
  auto champs = [&](const std::string& octets) {
    auto lu = LitFichierNatifOctets(octets, true, EVarianteModele::Complet, R);
    std::string s;
    for (const auto& fiche : lu->FFiches) s += fiche->Champ1 + "=" + fiche->Champ2 + ";";
    return std::make_pair(s, lu->FFiches.capacity());
  };
  struct Cas {
    const char* nom;
    std::string octets;
    std::string attendu;
  } cas[] = {
      {"intact", bon, "un=AAAAAAAAAA;deux=BB;trois=CCC;"},
      {"nombre énorme", fixe(bon, 0, 2, 0x7FFFFFFF), "un=AAAAAAAAAA;deux=BB;trois=CCC;"},
      {"nombre négatif", fixe(bon, 0, 2, -5), "un=AAAAAAAAAA;deux=BB;trois=CCC;"},
      {"premier hors du fichier", fixe(bon, 0, 3, 4), ""},
      {"premier très loin", fixe(bon, 0, 3, 0x7FFFFFFF), ""},
      {"premier négatif", fixe(bon, 0, 3, -1), ""},
      {"boucle sur soi", fixe(bon, 1, 3, 1), "un=AAAAAAAAAA;"},
      {"boucle", fixe(bon, 3, 3, 2), "un=AAAAAAAAAA;deux=BB;trois=CCC;"},
      {"retour au début", fixe(bon, 2, 3, 1), "un=AAAAAAAAAA;deux=BB;"},
      {"suivant négatif", fixe(bon, 1, 3, -7), "un=AAAAAAAAAA;"},
      {"suivant hors du fichier", fixe(bon, 1, 3, 9), "un=AAAAAAAAAA;"},
      {"enregistrement zéro", fixe(bon, 1, 3, 0), "un=AAAAAAAAAA;"},
      // Cut inside the field-2 line of card 2, after one of its two characters: nothing of an
      // earlier record shows through, and the chain ends there.
      {"tronqué", bon.substr(0, 2 * taille + 61 + 2), "un=AAAAAAAAAA;deux=B;"},
      {"tronqué avant le champ 2", bon.substr(0, 2 * taille + 61), "un=AAAAAAAAAA;deux=;"},
      {"tronqué dans l'en-tête", bon.substr(0, 100), ""},
  };
  for (const auto& c : cas) {
    const auto [texte, capacite] = champs(c.octets);
    EXPECT_EQ(texte, c.attendu) << c.nom;
    EXPECT_LE(capacite, 4u) << c.nom;
  }
  // A huge count in a file of one record reserves nothing.
  TFichierX vide('R', 'n', EVarianteModele::Complet, R);
  const std::string seul = fixe(OctetsFichierNatif(vide, R).substr(0, taille), 0, 2, 0x7FFFFFFF);
  EXPECT_EQ(champs(seul).second, 0u);
}

// The element-name letters of the header are checked like any other element name, so that an
// XML save of the file is readable.
TEST_F(FormatNatif, LettresDesElementsVerifiees) {
  auto f = Questionnaire();
  f->AjouteFicheDeuxChamps("a", "b");
  std::string o = OctetsFichierNatif(*f, R);
  o[61 + 6] = '1';
  o[61 + 7] = '<';
  auto lu = LitFichierNatifOctets(o, true, EVarianteModele::Complet, R);
  EXPECT_EQ(lu->FIdChamp1, "Q");
  EXPECT_EQ(lu->FIdChamp2, "R");
  const std::string xml = OctetsFichierXML(*lu, R);
  EXPECT_NE(xml.find("<Q>a</Q>"), std::string::npos);
  auto relu = LitFichierXMLOctets(xml, true, EVarianteModele::Complet, R);
  ASSERT_EQ(relu->GetNombreFiches(), 1);
  EXPECT_EQ(relu->Fiche(0).Champ2, "b");

  o[61 + 6] = 'X';
  o[61 + 7] = '_';
  lu = LitFichierNatifOctets(o, true, EVarianteModele::Complet, R);
  EXPECT_EQ(lu->FIdChamp1, "X");
  EXPECT_EQ(lu->FIdChamp2, "_");
}

// A creation version whose major number is 32 or more is written as unknown, so that the file
// stays recognisable.
TEST_F(FormatNatif, OctetsDeVersion) {
  struct Cas {
    std::string version;
    int majeure, mineure;
    std::string relue;
  } cas[] = {
      {"7.8", 7, 8, "7.8"},       {"31.200", 31, 200, "31.200"}, {"32.1", 0, 0, ""},
      {"300.1", 0, 0, ""},        {"-1.5", 0, 0, ""},            {"6", 0, 0, ""},
      {"1.x", 1, 0, "1.0"},       {"", 0, 0, ""},                {"260.3", 4, 3, "4.3"},
  };
  for (const auto& c : cas) {
    auto f = Questionnaire();
    f->FVersionCreation = c.version;
    const std::string o = OctetsFichierNatif(*f, R);
    EXPECT_EQ(static_cast<unsigned char>(o[64]), c.majeure) << c.version;
    EXPECT_EQ(static_cast<unsigned char>(o[65]), c.mineure) << c.version;
    EXPECT_EQ(DetecteFormatOctets(o, "q.kqq", EVarianteDetection::Complete, R), 'n') << c.version;
    EXPECT_EQ(LitFichierNatifOctets(o, true, EVarianteModele::Complet, R)->FVersionCreation, c.relue) << c.version;
  }
}

TEST_F(FormatNatif, VarianteDuJoueur) {
  auto f = Questionnaire();
  f->FTitre = "  Capitales  ";
  f->FCodePage = 1250;
  f->FMotAMot = true;
  f->AjouteFicheDeuxChamps("France", "Paris");
  const std::string chemin = Dossier + "/q.kqq";
  EcritFichierNatif(*f, chemin, true, R);
  f->FFlux.reset();

  // Asked for writing, the player still opens the file read-only.
  auto lu = LitFichierNatif(chemin, true, true, EVarianteModele::Questionnaire, R);
  EXPECT_EQ(lu->Variante(), EVarianteModele::Questionnaire);
  EXPECT_EQ(lu->FTitre, "  Capitales  ");
  EXPECT_EQ(lu->FSignature, "Moi");
  EXPECT_EQ(lu->FVersionCreation, "");
  EXPECT_EQ(lu->FCodePage, ansi::GetACP());
  EXPECT_TRUE(lu->FMotAMot);
  EXPECT_EQ(lu->FOuVisible, "ou");
  ASSERT_EQ(lu->GetNombreFiches(), 1);
  EXPECT_EQ(lu->Fiche(0).Champ2, "Paris");
  EXPECT_FALSE(lu->FModifiable);
  EXPECT_NO_THROW(TFlux::Ouvre(chemin, EModeOuverture::Lecture));

  TFichierX notes('N', 'n', EVarianteModele::Complet, R);
  EcritFichierNatif(notes, Dossier + "/n.kqn", true, R);
  notes.FFlux.reset();
  try {
    LitFichierNatif(Dossier + "/n.kqn", false, true, EVarianteModele::Questionnaire, R);
    ADD_FAILURE() << "accepté";
  } catch (const ErreurIdInvalide& e) {
    EXPECT_EQ(e.Message(), "Ce fichier n'est pas un questionnaire !");
  }
}

TEST_F(FormatNatif, EnregistrementQuiEchoueNePerdRien) {
  for (bool nouveau : {false, true}) {
    SCOPED_TRACE(nouveau ? "nouveau" : "réécriture");
    const std::string source = Dossier + "/source.kqr";
    const std::string cible = nouveau ? Dossier + "/cible.kqr" : source;
    TFichierX depart('R', 'n', EVarianteModele::Complet, R);
    depart.AjouteFicheDeuxChamps("a", "b");
    EcritFichierNatif(depart, source, true, R);
    depart.FFlux.reset();
    if (nouveau) EcritOctets(cible, "ancien contenu");
    auto f = LitFichierNatif(source, true, true, EVarianteModele::Complet, R);
    const std::string avant = LitOctets(cible);
    for (int i = 0; i < 100; ++i) f->AjouteFicheDeuxChamps("fiche", std::to_string(i));
    const TFlux* flux = f->FFlux.get();
    {
      LimiteTailleFichiers limite(4096);
      EXPECT_THROW(EcritFichierNatif(*f, cible, nouveau, R), EWriteError);
    }
    EXPECT_EQ(LitOctets(cible), avant);
    EXPECT_EQ(f->FFlux.get(), flux);
    EXPECT_EQ(f->FNomFichier, source);
    EXPECT_EQ(f->FFormat, 'n');
    EXPECT_TRUE(f->FModifie);
    const std::vector<std::string> restants =
        nouveau ? std::vector<std::string>{"cible.kqr", "source.kqr"} : std::vector<std::string>{"source.kqr"};
    EXPECT_EQ(FichiersDuDossier(), restants);
    // The stream kept is still the card file's: the same save succeeds afterwards.
    EcritFichierNatif(*f, cible, nouveau, R);
    EXPECT_EQ(LitOctets(cible), OctetsFichierNatif(*f, R));
    EXPECT_NE(f->FFlux.get(), flux);
    EXPECT_EQ(f->FNomFichier, cible);
    EXPECT_FALSE(f->FModifie);
    EXPECT_TRUE(f->FModifiable);
    // The new file is held open and locked.
    EXPECT_THROW(TFlux::Ouvre(cible, EModeOuverture::Lecture), EFOpenError);
    f.reset();
    fs::remove(source);
    fs::remove(cible);
  }
}

TEST_F(FormatNatif, EnregistrementParUnLienGardeLesDroits) {
  const std::string reel = Dossier + "/reel.kqr";
  const std::string lien = Dossier + "/lien.kqr";
  EcritOctets(reel, "ancien");
  fs::permissions(reel, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("reel.kqr", lien);
  TFichierX f('R', 'n', EVarianteModele::Complet, R);
  f.AjouteFicheDeuxChamps("a", "b");
  EcritFichierNatif(f, lien, true, R);
  EXPECT_TRUE(fs::is_symlink(lien));
  EXPECT_EQ(LitOctets(reel), OctetsFichierNatif(f, R));
  EXPECT_EQ(fs::status(reel).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(f.FNomFichier, lien);
}

TEST_F(FormatNatif, CibleVerrouilleeParUnAutre) {
  const std::string cible = Dossier + "/autre.kqr";
  EcritOctets(cible, "tenu ailleurs");
  auto autre = TFlux::Ouvre(cible, EModeOuverture::LectureEcriture);
  TFichierX f('R', 'x', EVarianteModele::Complet, R);
  f.AjouteFicheDeuxChamps("a", "b");
  EXPECT_THROW(EcritFichierNatif(f, cible, true, R), EFCreateError);
  EXPECT_EQ(LitOctets(cible), "tenu ailleurs");
  EXPECT_EQ(f.FFormat, 'x');
  EXPECT_EQ(f.FNomFichier, "");
  EXPECT_EQ(f.FFlux, nullptr);
}

// "Save as" onto the file already open (Nouveau true, as for a rewrite): the card file's own lock
// is not taken for another program's, in either format.
TEST_F(FormatNatif, EnregistrerSousLeNomDuFichierOuvert) {
  const std::string chemin = Dossier + "/ouvert.kqr";
  {
    TFichierX f('R', 'n', EVarianteModele::Complet, R);
    f.AjouteFicheDeuxChamps("a", "b");
    EcritFichierNatif(f, chemin, true, R);
  }
  auto ouvert = LitFichierNatif(chemin, true, true, EVarianteModele::Complet, R);
  ouvert->AjouteFicheDeuxChamps("c", "d");
  ASSERT_NO_THROW(EcritFichierNatif(*ouvert, chemin, true, R));
  ASSERT_NO_THROW(EcritFichierXML(*ouvert, chemin, true, R));
  EXPECT_EQ(ouvert->FFormat, 'x');
  EXPECT_THROW(TFlux::Ouvre(chemin, EModeOuverture::Lecture), EFOpenError);
  ouvert.reset();
  auto relu = LitFichierXML(chemin, false, true, EVarianteModele::Complet, R);
  EXPECT_EQ(relu->GetNombreFiches(), 2);
}

// The seeds of the native fuzzer are files of our writer; ORVALINE_GRAINES=1 writes them again.
TEST_F(FormatNatif, GrainesDuFuzzer) {
  const std::string dossier = std::string(ORVALINE_SOURCE_DIR) + "/fuzz/corpus/natif/";
  std::vector<std::pair<std::string, std::string>> graines;
  {
    auto f = Questionnaire();
    f->FAvecMotsIgnores = true;
    f->FMotsIgnores = "le la les";
    f->FReposerErreurs = true;
    f->AjouteFicheDeuxChamps("France", "Paris ; Lutèce"_a);
    f->AjouteFicheDeuxChamps("Question\r\nsur deux lignes", std::string(130, 'r'));
    graines.emplace_back("questionnaire.kqq", OctetsFichierNatif(*f, R));
    std::string oem = graines.back().second;
    oem[62] = 'K';
    graines.emplace_back("oem.kqq", oem);
  }
  for (char type : std::string("DELMNRV")) {
    TFichierX f(type, 'n', EVarianteModele::Complet, R);
    f.SetTitre("Type " + std::string(1, type));
    f.AjouteFicheDeuxChamps("un", "a\r\nb");
    f.AjouteFicheDeuxChamps("deux", "c | d");
    graines.emplace_back(std::string("type_") + type + ".kq" + static_cast<char>(type - 'A' + 'a'),
                         OctetsFichierNatif(f, R));
  }
  if (std::getenv("ORVALINE_GRAINES")) {
    fs::create_directories(dossier);
    for (const auto& [nom, octets] : graines) EcritOctets(dossier + nom, octets);
  }
  for (const auto& [nom, octets] : graines) {
    EXPECT_EQ(LitOctets(dossier + nom), octets) << nom;
    EXPECT_NO_THROW(LitFichierNatifOctets(octets, true, EVarianteModele::Complet, R)) << nom;
  }
}

}  // namespace
