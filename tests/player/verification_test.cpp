// The answer checker: tokenizer, remarks, ignored words, word and answer comparison, the
// phonetic code, and the check context filled from a questionnaire.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/KorFichierX.h"
#include "platform/Ansi.h"
#include "platform/Locale.h"
#include "player/KorVerification.h"
#include "EnFrancais.h"

namespace {

std::string A(const char* utf8) { return ansi::Utf8VersAnsi(utf8); }

// The context of a questionnaire made with the default settings.
TContexteVerification ContexteDefaut() {
  TContexteVerification c;
  c.OuVisible = "ou";
  c.OuCache = ";";
  c.CarAlternateur = '/';
  c.CarTroncature = '*';
  c.CarDebutCommentaire = '(';
  c.CarFinCommentaire = ')';
  c.DelimiteursMots = Blancs + "!\"',-.:;?";
  c.TexteMotsIgnores = "un une des le la les l de du et";
  c.ListeMotsIgnores = TStringTokenizer(c.TexteMotsIgnores, c.DelimiteursMots);
  return c;
}

void MotsIgnores(TContexteVerification& c, const std::string& mots) {
  c.TexteMotsIgnores = mots;
  c.ListeMotsIgnores = TStringTokenizer(mots, c.DelimiteursMots);
}

std::vector<std::string> Jetons(TStringTokenizer t) {
  std::vector<std::string> v;
  while (t.HasMoreTokens()) v.push_back(t.NextToken());
  return v;
}

using V = std::vector<std::string>;

TEST(TStringTokenizer, RunsOfNonDelimiters) {
  EXPECT_EQ(Jetons(TStringTokenizer("  a,b  c ", " ,")), (V{"a", "b", "c"}));
  EXPECT_EQ(Jetons(TStringTokenizer("", " ")), V{});
  EXPECT_EQ(Jetons(TStringTokenizer(" ,, ", " ,")), V{});
  EXPECT_EQ(Jetons(TStringTokenizer(" a b ", "")), V{" a b "});
  // The no-break space is one byte, and a delimiter among the blanks.
  EXPECT_EQ(Jetons(TStringTokenizer("rouge\xA0noir", Blancs)), (V{"rouge", "noir"}));
  // Bytes above 127 that are not delimiters stay inside words.
  EXPECT_EQ(Jetons(TStringTokenizer(A("Été\tà"), Blancs)), (V{A("Été"), A("à")}));
}

TEST(TStringTokenizer, CursorAndDelete) {
  TStringTokenizer t("un deux trois", " ");
  EXPECT_EQ(t.Texte(), "un deux trois");
  EXPECT_EQ(t.NextToken(), "un");
  EXPECT_EQ(t.NextToken(), "deux");
  t.Reset();
  EXPECT_EQ(t.NextToken(), "un");
  t.Delete(1);
  ASSERT_EQ(t.Count(), 2);
  EXPECT_EQ(t.Strings(1), "trois");
  EXPECT_EQ(t.NextToken(), "trois");
  EXPECT_FALSE(t.HasMoreTokens());
  EXPECT_THROW(t.Delete(2), std::out_of_range);
}

TEST(RetireCommentaires, RemarksAndTrim) {
  const auto c = ContexteDefaut();
  EXPECT_EQ(RetireCommentaires(c, "Paris (capitale)"), "Paris");
  EXPECT_EQ(RetireCommentaires(c, "Paris (capitale"), "Paris (capitale");
  // The first closing character after the first opening one ends the remark.
  EXPECT_EQ(RetireCommentaires(c, "(a (b) c) d"), "c) d");
  EXPECT_EQ(RetireCommentaires(c, "(a) b (c) d (e"), "b  d (e");
  EXPECT_EQ(RetireCommentaires(c, ") a ("), ") a (");
  // Control characters go at both ends; the no-break space stays.
  EXPECT_EQ(RetireCommentaires(c, " \t\r\n(x) y\r\n"), "y");
  EXPECT_EQ(RetireCommentaires(c, "\xA0y "), "\xA0y");

  auto crochets = c;
  crochets.CarDebutCommentaire = '[';
  crochets.CarFinCommentaire = ']';
  EXPECT_EQ(RetireCommentaires(crochets, "[a] b (c)"), "b (c)");
  auto aucun = c;
  aucun.CarDebutCommentaire = ' ';
  aucun.CarFinCommentaire = ' ';
  EXPECT_EQ(RetireCommentaires(aucun, " a (b) c "), "a (b) c");
}

TEST(MotsIgnores, IgnoringCaseInPlace) {
  const auto c = ContexteDefaut();
  EXPECT_TRUE(EstMotIgnore(c, "LE"));
  EXPECT_TRUE(EstMotIgnore(c, "l"));
  EXPECT_FALSE(EstMotIgnore(c, "les2"));
  TStringTokenizer t("Le la Chat de LA la souris les", " ");
  RetireMotsIgnores(c, t);
  EXPECT_EQ(Jetons(t), (V{"Chat", "souris"}));

  auto sans = c;
  MotsIgnores(sans, "");
  TStringTokenizer u("le chat", " ");
  RetireMotsIgnores(sans, u);
  EXPECT_EQ(u.Count(), 2);
  EXPECT_FALSE(EstMotIgnore(sans, "le"));
}

TEST(EstConjonction, IgnoresCase) {
  const auto c = ContexteDefaut();
  EXPECT_TRUE(EstConjonction(c, "OU"));
  EXPECT_TRUE(EstConjonction(c, "ou"));
  EXPECT_FALSE(EstConjonction(c, A("où")));
}

TEST(Soundex, Codes) {
  EXPECT_EQ(Soundex("Robert", 10), "R163000000");
  EXPECT_EQ(Soundex("Rupert", 10), "R163000000");
  EXPECT_EQ(Soundex("abc", 10), "A120000000");
  // An accented first letter is kept as it is: these two codes differ.
  EXPECT_EQ(Soundex(A("École"), 10), A("É240000000"));
  EXPECT_EQ(Soundex(A("école"), 10), A("é240000000"));
  EXPECT_EQ(Soundex("", 10), "");
  // H and W are transparent: the same digit does not come again across them.
  EXPECT_EQ(Soundex("Ashcraft", 10), "A261300000");
  EXPECT_EQ(Soundex("Tymczak", 10), "T522000000");
  EXPECT_EQ(Soundex("Pfister", 10), "P236000000");
  // A vowel, or any non-letter, lets a digit come again.
  EXPECT_EQ(Soundex("Honeyman", 10), "H555000000");
  EXPECT_EQ(Soundex("b1b", 10), "B100000000");
  EXPECT_EQ(Soundex(A("bébé"), 10), "B100000000");
  EXPECT_EQ(Soundex("1abc", 10), "1120000000");
  // The code stops at its length.
  EXPECT_EQ(Soundex("Bcdfgjklmnprstvxz", 10), "B231245162");
  EXPECT_EQ(Soundex("abc", 4), "A120");
}

// Variations of the context, from the default one.
using Variante = void (*)(TContexteVerification&);
void Defaut(TContexteVerification&) {}
void EtLeIgnores(TContexteVerification& c) { MotsIgnores(c, "et le"); }
void OuIgnore(TContexteVerification& c) { MotsIgnores(c, "ou le"); }
void SansOuVisible(TContexteVerification& c) { c.OuVisible = "zzz"; }
void SansOuCache(TContexteVerification& c) { c.OuCache.clear(); }
void OuCacheEgalOuVisible(TContexteVerification& c) { c.OuCache = "ou"; }
void OuCacheDansOuVisible(TContexteVerification& c) { c.OuCache = "o"; }
void AlternateurBarre(TContexteVerification& c) { c.CarAlternateur = '|'; }
void SansAlternateur(TContexteVerification& c) { c.CarAlternateur = ' '; }
void TroncatureChapeau(TContexteVerification& c) { c.CarTroncature = '^'; }
void SansTroncature(TContexteVerification& c) { c.CarTroncature = ' '; }
void Crochets(TContexteVerification& c) {
  c.CarDebutCommentaire = '[';
  c.CarFinCommentaire = ']';
}
void SansRemarques(TContexteVerification& c) {
  c.CarDebutCommentaire = ' ';
  c.CarFinCommentaire = ' ';
}

struct Options {
  bool Phonetique = false;
  bool Casse = false;
  bool MotAMot = false;
};
constexpr Options Tolerant{};
constexpr Options Casse{false, true, false};
constexpr Options MotAMot{false, false, true};
constexpr Options Phonetique{true, false, false};
constexpr Options PhonetiqueCasse{true, true, false};

struct Cas {
  const char* Attendue;  // UTF-8 in the table, 1252 when checked
  const char* Tapee;
  Options Opt;
  Variante Contexte;
  bool Juste;
  const char* Affichee;  // nullptr: not looked at
};

const Cas LesCas[] = {
    // Case: ignored unless the questionnaire distinguishes it; accents are letters of their own.
    {"Paris", "paris", Tolerant, Defaut, true, "Paris"},
    {"Paris", "paris", Casse, Defaut, false, nullptr},
    {"Paris", "Paris", Casse, Defaut, true, nullptr},
    {"Élève", "éLÈVE", Tolerant, Defaut, true, nullptr},
    {"Élève", "élève", Casse, Defaut, false, nullptr},
    {"élève", "eleve", Tolerant, Defaut, false, nullptr},
    // Words split at blanks (the no-break space among them) and at the punctuation.
    {"rouge noir", "noir,rouge", Tolerant, Defaut, true, nullptr},
    {"rouge noir", "rouge\xC2\xA0noir", MotAMot, Defaut, true, nullptr},
    {"rouge noir", "rouge_noir", Tolerant, Defaut, false, nullptr},
    // Nothing to match: an empty expected answer, or one of remarks, conjunctions, ignored words.
    {"", "x", Tolerant, Defaut, false, ""},
    {"", "", MotAMot, Defaut, false, nullptr},
    {"(capitale)", "capitale", Tolerant, Defaut, false, "(capitale)"},
    {"ou", "ou", Tolerant, Defaut, false, nullptr},
    {"le la", "le", Tolerant, Defaut, false, nullptr},
    {"ou ou", "x", MotAMot, Defaut, false, nullptr},
    // Nothing typed, or only delimiters and ignored words.
    {"Paris", "", Tolerant, Defaut, false, nullptr},
    {"Paris", " , ; ", Tolerant, Defaut, false, nullptr},
    {"Paris", "le la", Tolerant, Defaut, false, nullptr},
    // Ignored words, any order and word by word.
    {"rouge et noir", "noir, rouge", Tolerant, EtLeIgnores, true, "rouge et noir"},
    {"rouge et noir", "le noir et le rouge et le blanc", Tolerant, EtLeIgnores, true, nullptr},
    {"rouge et noir", "rouge", Tolerant, EtLeIgnores, false, nullptr},
    {"rouge et noir", "rouge noir", MotAMot, EtLeIgnores, true, nullptr},
    {"rouge et noir", "le rouge noir", MotAMot, EtLeIgnores, true, nullptr},
    {"rouge et noir", "noir rouge", MotAMot, EtLeIgnores, false, nullptr},
    {"rouge et noir", "rouge noir blanc", MotAMot, EtLeIgnores, false, nullptr},
    // In any order one typed word may serve several expected words.
    {"noir noir", "noir", Tolerant, Defaut, true, nullptr},
    {"noir noir", "noir", MotAMot, Defaut, false, nullptr},
    // Hidden and visible admitted answers.
    {"Paris;Lutèce", "Paris", Tolerant, Defaut, true, "Paris"},
    {"Paris;Lutèce", "lutèce", Tolerant, Defaut, true, "Paris"},
    {"Paris;Lutèce", "Lyon", Tolerant, Defaut, false, "Paris"},
    {"Paris ou Lutèce", "Paris", Tolerant, Defaut, true, "Paris ou Lutèce"},
    {"Paris ou Lutèce", "lutèce", Tolerant, Defaut, true, nullptr},
    {"Paris OU Lutèce", "Lutèce", MotAMot, Defaut, true, nullptr},
    {"Paris ou Lutèce", "Paris ou Lutèce", MotAMot, Defaut, false, nullptr},
    {"Paris ou Lutèce", "Paris ou Lutèce", Tolerant, Defaut, true, nullptr},
    {"Paris (capitale) ; Lutèce", "Lutèce", Tolerant, Defaut, true, "Paris (capitale)"},
    {"Lutèce ; Paris ou Lyon", "Lyon", Tolerant, Defaut, true, "Lutèce"},
    {"ou Paris ou ou Lyon ou", "Lyon", MotAMot, Defaut, true, nullptr},
    {";Paris", "Paris", Tolerant, Defaut, true, ""},
    {"Paris;Lutèce", "Lutèce", Tolerant, SansOuVisible, true, "Paris"},
    {"Paris;Lutèce", "Lutèce", Tolerant, SansOuCache, false, "Paris;Lutèce"},
    {"Paris;Lutèce", "Lutèce Paris", Tolerant, SansOuCache, true, nullptr},
    // A conjunction that is also an ignored word separates nothing.
    {"Paris ou Lyon", "Paris", Tolerant, OuIgnore, false, nullptr},
    {"Paris ou Lyon", "Lyon Paris", Tolerant, OuIgnore, true, nullptr},
    {"Paris;Lyon", "Lyon", Tolerant, OuIgnore, false, "Paris"},
    // The hidden separator may be, or be part of, the conjunction: one pass, which ends.
    {"Paris ou Lyon", "Lyon", MotAMot, OuCacheEgalOuVisible, true, "Paris"},
    {"Paris o Nice", "Nice", MotAMot, OuCacheDansOuVisible, true, "Paris"},
    // Alternative spellings inside a word.
    {"couleur/colour", "couleur", Tolerant, Defaut, true, "couleur/colour"},
    {"couleur/colour", "COLOUR", Tolerant, Defaut, true, nullptr},
    {"couleur/colour", "color", Tolerant, Defaut, false, nullptr},
    {"la couleur/colour rouge", "rouge colour", Tolerant, Defaut, true, nullptr},
    {"couleur|colour", "colour", Tolerant, AlternateurBarre, true, nullptr},
    {"couleur/colour", "colour", Tolerant, SansAlternateur, false, nullptr},
    {"couleur/colour", "couleur/colour", Tolerant, SansAlternateur, true, nullptr},
    {"bonj*/salut", "salut", Tolerant, Defaut, true, nullptr},
    // Truncation.
    {"bonj*", "bonjour", Tolerant, Defaut, true, "bonj*"},
    {"bonj*", "bonjournée", Tolerant, Defaut, true, nullptr},
    {"bonj*", "BONJ", Tolerant, Defaut, true, nullptr},
    {"bonj*", "bonsoir", Tolerant, Defaut, false, nullptr},
    {"bonj*", "bon", Tolerant, Defaut, false, nullptr},
    {"bonj*", "bonj", Casse, Defaut, true, nullptr},
    {"bonj*", "Bonjour", Casse, Defaut, false, nullptr},
    {"bonj*ignoré", "bonjour", Tolerant, Defaut, true, nullptr},
    {"*", "x y", Tolerant, Defaut, true, nullptr},
    {"*", "x", MotAMot, Defaut, true, nullptr},
    {"*", "x y", MotAMot, Defaut, false, nullptr},
    {"*", "", Tolerant, Defaut, false, nullptr},
    {"*", "", MotAMot, Defaut, false, nullptr},
    {"bonj^", "bonjour", Tolerant, TroncatureChapeau, true, nullptr},
    {"bonj*", "bonjour", Tolerant, TroncatureChapeau, false, nullptr},
    {"bonj*", "bonjour", Tolerant, SansTroncature, false, nullptr},
    {"bonj*", "bonj*", Tolerant, SansTroncature, true, nullptr},
    // Remarks: removed from the expected answer only, closed or not, nested.
    {"Paris (capitale)", "Paris", MotAMot, Defaut, true, "Paris (capitale)"},
    {"Paris (la capitale) de France", "France Paris", Tolerant, Defaut, true, nullptr},
    {"Paris (capitale", "Paris", Tolerant, Defaut, false, nullptr},
    {"Paris (capitale", "Paris (capitale", MotAMot, Defaut, true, nullptr},
    {"(a (b) c) d", "c) d", MotAMot, Defaut, true, nullptr},
    {"(a (b) c) d", "d", Tolerant, Defaut, false, nullptr},
    {"Paris", "Paris (capitale)", Tolerant, Defaut, true, nullptr},
    {"Paris", "Paris (capitale)", MotAMot, Defaut, false, nullptr},
    {"Paris [capitale]", "Paris", MotAMot, Crochets, true, nullptr},
    {"Paris (capitale)", "Paris", MotAMot, Crochets, false, nullptr},
    {"Paris (capitale)", "Paris", MotAMot, SansRemarques, false, nullptr},
    // The phonetic code: case plays no part but in an accented first letter.
    {"Robert", "Rupert", Phonetique, Defaut, true, nullptr},
    {"Robert", "rupert", PhonetiqueCasse, Defaut, true, nullptr},
    {"Robert", "Rupert", Tolerant, Defaut, false, nullptr},
    {"École", "école", Phonetique, Defaut, false, nullptr},
    {"École", "Écolle", Phonetique, Defaut, true, nullptr},
    {"abc", "Apc", Phonetique, Defaut, true, nullptr},
    {"Rob*", "Rupture", Phonetique, Defaut, true, nullptr},
    {"Jean Dupont", "Dupond Jean", Phonetique, Defaut, true, nullptr},
};

TEST(CompareReponse, EveryTolerance) {
  for (const Cas& cas : LesCas) {
    auto c = ContexteDefaut();
    cas.Contexte(c);
    const std::string attendue = A(cas.Attendue);
    const std::string tapee = A(cas.Tapee);
    SCOPED_TRACE(std::string("attendue «") + cas.Attendue + "», tapée «" + cas.Tapee + "»");
    EXPECT_EQ(CompareReponse(c, attendue, tapee, cas.Opt.Phonetique, cas.Opt.Casse, cas.Opt.MotAMot), cas.Juste);
    if (cas.Affichee) {
      EXPECT_EQ(ReponseAffichee(c, attendue), A(cas.Affichee));
    }
  }
}

TEST(CompareMot, TruncationAgainstShortWords) {
  const auto c = ContexteDefaut();
  // A typed word shorter than the kept prefix never matches, also phonetically.
  EXPECT_FALSE(CompareMot(c, "bonj*", "bon", false, false));
  EXPECT_FALSE(CompareMot(c, "bonj*", "", false, false));
  EXPECT_FALSE(CompareMot(c, "Rob*", "Ro", true, false));
  EXPECT_FALSE(CompareMot(c, "bona*", "bon", true, false));  // both codes would be B500000000
  // A mark in first position keeps nothing: any word, the empty one included, matches.
  EXPECT_TRUE(CompareMot(c, "*x", "", false, false));
  // Each alternative has its own prefix.
  EXPECT_TRUE(CompareMot(c, "bonjour*/bo*", "bon", false, false));
}

// The typed words looked up by an expected word, as the any-order comparison does it.
struct Recherche {
  const char* Tapee;    // UTF-8 in the table, 1252 when looked up
  const char* Attendu;
  Options Opt;          // MotAMot plays no part
  Variante Contexte;
  int Premier;          // index of the first typed word accepted, -1 for none
};

const Recherche LesRecherches[] = {
    {"noir rouge Rouge rouge", "rouge", Tolerant, Defaut, 1},
    {"noir rouge Rouge rouge", "Rouge", Casse, Defaut, 2},
    {"noir rouge", "blanc", Tolerant, Defaut, -1},
    {"", "blanc", Tolerant, Defaut, -1},
    // The locale's equality, not the bytes': an ignorable soft hyphen, ² as 2 when case is ignored.
    {"x a\xC2\xAD" "b", "ab", Casse, Defaut, 1},
    {"x 2", "²", Tolerant, Defaut, 1},
    {"x 2", "²", Casse, Defaut, -1},
    // Alternatives: the first typed word that any one of them accepts.
    {"colour couleur", "couleur/colour", Tolerant, Defaut, 0},
    {"x couleur colour", "colour/couleur", Tolerant, Defaut, 1},
    {"couleur/colour", "couleur/colour", Tolerant, SansAlternateur, 0},
    // Truncation: each alternative its own prefix; a word shorter than it never matches.
    {"bo bon bonjour", "bonj*", Tolerant, Defaut, 2},
    {"bo bon bonjour", "bonjour*/bo*", Tolerant, Defaut, 0},
    {"b bo", "bon*", Tolerant, Defaut, -1},
    {"x y", "*", Tolerant, Defaut, 0},
    {"x y", "*/x", Tolerant, Defaut, 0},
    {"x BONJOUR", "bonj*", Casse, Defaut, -1},
    {"x BONJOUR bonjour", "bonj*", Tolerant, Defaut, 1},
    {"x bonjour", "bonj^", Tolerant, TroncatureChapeau, 1},
    {"x bonjour bonj*", "bonj*", Tolerant, SansTroncature, 2},
    // Phonetic codes, of the prefix too.
    {"Dupont Rupert", "Robert", Phonetique, Defaut, 1},
    {"Ro Rupture", "Rob*", Phonetique, Defaut, 1},
    {"école", "École", Phonetique, Defaut, -1},
    {"x ROBERT", "robert", PhonetiqueCasse, Defaut, 1},
};

TEST(TMotsTapes, FirstTypedWordAcceptedEitherWay) {
  for (const Recherche& r : LesRecherches) {
    auto c = ContexteDefaut();
    r.Contexte(c);
    const TStringTokenizer tapes(A(r.Tapee), c.DelimiteursMots);
    const std::string attendu = A(r.Attendu);
    SCOPED_TRACE(std::string("tapée «") + r.Tapee + "», attendu «" + r.Attendu + "»");
    int parCompareMot = -1;
    for (int i = 0; i < tapes.Count() && parCompareMot < 0; ++i)
      if (CompareMot(c, attendu, tapes.Strings(i), r.Opt.Phonetique, r.Opt.Casse)) parCompareMot = i;
    EXPECT_EQ(parCompareMot, r.Premier);
    for (auto methode : {TMotsTapes::EMethode::ParPaires, TMotsTapes::EMethode::ParIndex}) {
      TMotsTapes recherche(c, tapes, r.Opt.Phonetique, r.Opt.Casse, methode);
      EXPECT_EQ(recherche.PremierAccepte(attendu), r.Premier);
      EXPECT_EQ(recherche.PremierAccepte(attendu), r.Premier);  // the same once its index is built
    }
  }
}

// Long answers take the lookups by key: the verdicts of each pair compared.
TEST(CompareReponse, LongAnswersInAnyOrder) {
  auto c = ContexteDefaut();
  std::vector<std::string> mots;
  for (int k = 0; k < 400; ++k) mots.push_back(A("mot") + std::string(1, static_cast<char>('a' + k % 26)) +
                                               std::string(1, static_cast<char>('a' + k / 26)));
  std::string attendue, inverse, sansLeDernier, majuscules;
  for (std::size_t i = 0; i < mots.size(); ++i) {
    attendue += mots[i] + (i % 7 == 0 ? " le, " : " ");
    const std::string& m = mots[mots.size() - 1 - i];
    inverse += m + " la ";
    if (i > 0) sansLeDernier += m + " ";
    std::string maj = m;
    for (char& x : maj) x = static_cast<char>(std::toupper(static_cast<unsigned char>(x)));
    majuscules += maj + " ";
  }
  EXPECT_TRUE(CompareReponse(c, attendue, inverse, false, false, false));
  EXPECT_FALSE(CompareReponse(c, attendue, sansLeDernier, false, false, false));
  EXPECT_TRUE(CompareReponse(c, attendue, majuscules, false, false, false));
  EXPECT_FALSE(CompareReponse(c, attendue, majuscules, false, true, false));
  EXPECT_TRUE(CompareReponse(c, attendue, inverse, true, false, false));
  EXPECT_FALSE(CompareReponse(c, attendue, inverse, false, false, true));
  // One typed word for many expected ones; a long list of admitted answers.
  EXPECT_TRUE(CompareReponse(c, attendue + " ; " + attendue, inverse, false, false, false));
  std::string admises = "rien";
  for (const auto& m : mots) admises += " ; " + m + " " + m + "*";
  EXPECT_TRUE(CompareReponse(c, admises, sansLeDernier, false, false, false));
  EXPECT_FALSE(CompareReponse(c, admises, "x y z", false, false, false));
}

// Few words are compared with each ignored word, many looked up by key: the same words go.
TEST(MotsIgnores, ShortAndLongAnswersLoseTheSameWords) {
  auto c = ContexteDefaut();
  MotsIgnores(c, A("un une des le la les l de du et ²"));
  const std::string texte = A("LE l\xC2\xAD" "e La là 2 Le\x01 lé");
  const V restants = {A("là"), A("lé")};
  TStringTokenizer court(texte, " ");
  RetireMotsIgnores(c, court);
  EXPECT_EQ(Jetons(court), restants);
  std::string long_;
  V restantsLong;
  for (int i = 0; i < 200; ++i) {
    long_ += texte + " ";
    restantsLong.insert(restantsLong.end(), restants.begin(), restants.end());
  }
  TStringTokenizer t(long_, " ");
  RetireMotsIgnores(c, t);
  EXPECT_EQ(Jetons(t), restantsLong);
  for (const auto& mot : V{A("LE"), A("l\xC2\xAD" "e"), "2", "Le\x01"}) EXPECT_TRUE(EstMotIgnore(c, mot));
}

TEST(ContexteDuQuestionnaire, FromTheFile) {
  TReglages r;
  TFichierX quiz('Q', 'x', EVarianteModele::Questionnaire, r);
  auto c = ContexteDuQuestionnaire(quiz, r);
  EXPECT_EQ(c.OuVisible, r.Conjonction);
  EXPECT_EQ(c.OuCache, ";");
  EXPECT_EQ(c.CarAlternateur, '/');
  EXPECT_EQ(c.CarTroncature, '*');
  EXPECT_EQ(c.CarDebutCommentaire, '(');
  EXPECT_EQ(c.CarFinCommentaire, ')');
  EXPECT_EQ(c.DelimiteursMots, Blancs + r.Ponctuation);
  EXPECT_EQ(c.TexteMotsIgnores, r.MotsIgnores);
  EXPECT_EQ(c.ListeMotsIgnores.Count(), 10);

  // The file's own ignored words lose their remarks; its punctuation adds to the blanks.
  quiz.FAvecMotsIgnores = true;
  quiz.FMotsIgnores = " le (article) la ";
  quiz.FPonctuation = "+";
  quiz.FCommentaire = '[';
  c = ContexteDuQuestionnaire(quiz, r);
  EXPECT_EQ(c.CarFinCommentaire, ']');
  EXPECT_EQ(c.TexteMotsIgnores, "le (article) la");
  quiz.FCommentaire = '(';
  c = ContexteDuQuestionnaire(quiz, r);
  EXPECT_EQ(c.TexteMotsIgnores, "le  la");
  EXPECT_EQ(Jetons(c.ListeMotsIgnores), (V{"le", "la"}));
  EXPECT_EQ(c.DelimiteursMots, Blancs + "+");
  EXPECT_TRUE(CompareReponse(c, "chat+chien", "le chien la chat", false, false, false));

  // A hidden separator without a visible conjunction gets a conjunction of its own.
  quiz.FOuVisible.clear();
  EXPECT_EQ(ContexteDuQuestionnaire(quiz, r).OuVisible, "zzz");
  quiz.FFragmenteur.clear();
  EXPECT_EQ(ContexteDuQuestionnaire(quiz, r).OuVisible, "");
}

TEST(ContexteDuQuestionnaire, NoRemarksGiveBothCharactersAValue) {
  TReglages r;
  TFichierX quiz('Q', 'x', EVarianteModele::Questionnaire, r);
  for (char sans : {' ', '\0'}) {
    quiz.FCommentaire = sans;
    const auto c = ContexteDuQuestionnaire(quiz, r);
    EXPECT_EQ(c.CarDebutCommentaire, ' ');
    EXPECT_EQ(c.CarFinCommentaire, ' ');
    EXPECT_EQ(RetireCommentaires(c, "a (b) c"), "a (b) c");
    EXPECT_FALSE(CompareReponse(c, "a (b)", "(b) a", false, false, true));
    EXPECT_TRUE(CompareReponse(c, "a (b)", "a (b)", false, false, true));
  }
}

}  // namespace
