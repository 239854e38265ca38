#include "player/KorVerification.h"

#include <algorithm>
#include <stdexcept>

#include "cards/KorOutils.h"
#include "platform/Locale.h"

namespace {

bool EstDelimiteur(char c, const std::string& delimiteurs) {
  return delimiteurs.find(c) != std::string::npos;
}

bool EgauxSelonLocale(const std::string& a, const std::string& b, bool ignoreCasse) {
  return CompareStringA(a, b, ignoreCasse) == CSTR_EQUAL;
}

// Every occurrence of motif, found left to right without overlap, replaced by remplacement.
// One pass over the original text: what is put in is never searched again, so the
// replacement ends whatever the two texts hold.
std::string Remplace(const std::string& texte, const std::string& motif, const std::string& remplacement) {
  std::string resultat;
  std::size_t i = 0;
  for (;;) {
    const std::size_t p = texte.find(motif, i);
    if (p == std::string::npos) break;
    resultat.append(texte, i, p - i);
    resultat += remplacement;
    i = p + motif.size();
  }
  resultat.append(texte, i, std::string::npos);
  return resultat;
}

}  // namespace

TStringTokenizer::TStringTokenizer(const std::string& texte, const std::string& delimiteurs)
    : FTexte(texte), FDelimiteurs(delimiteurs) {
  std::size_t i = 0;
  const std::size_t n = texte.size();
  for (;;) {
    while (i < n && EstDelimiteur(texte[i], delimiteurs)) ++i;
    if (i >= n) break;
    std::size_t j = i;
    while (j < n && !EstDelimiteur(texte[j], delimiteurs)) ++j;
    FJetons.push_back(texte.substr(i, j - i));
    i = j;
  }
}

std::string TStringTokenizer::NextToken() { return FJetons.at(static_cast<std::size_t>(FCurseur++)); }

void TStringTokenizer::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TStringTokenizer::Delete");
  FJetons.erase(FJetons.begin() + index);
}

TContexteVerification ContexteDuQuestionnaire(const TFichierX& quiz, const TReglages& r) {
  TContexteVerification c;
  c.OuVisible = quiz.FOuVisible;
  c.OuCache = quiz.FFragmenteur;
  if (c.OuVisible.empty() && !c.OuCache.empty()) c.OuVisible = "zzz";
  c.CarAlternateur = quiz.FAlternateur;
  // The closing character is written only for an opening one that has a partner; without
  // one the file has no remarks, and both stay a space rather than an unset value.
  char debut = ' ';
  char fin = 0;
  quiz.DelimiteursCommentaire(debut, fin);
  if (fin == 0) {
    c.CarDebutCommentaire = ' ';
    c.CarFinCommentaire = ' ';
  } else {
    c.CarDebutCommentaire = debut;
    c.CarFinCommentaire = fin;
  }
  c.CarTroncature = quiz.FTroncature;
  c.DelimiteursMots = Blancs + quiz.FPonctuation;
  c.TexteMotsIgnores = RetireCommentaires(c, quiz.GetMotsIgnores(r));
  c.ListeMotsIgnores = TStringTokenizer(c.TexteMotsIgnores, c.DelimiteursMots);
  return c;
}

bool EstConjonction(const TContexteVerification& c, const std::string& mot) {
  return EgauxSelonLocale(mot, c.OuVisible, true);
}

bool EstMotIgnore(const TContexteVerification& c, const std::string& mot) {
  for (int i = 0; i < c.ListeMotsIgnores.Count(); ++i)
    if (EgauxSelonLocale(c.ListeMotsIgnores.Strings(i), mot, true)) return true;
  return false;
}

void RetireMotsIgnores(const TContexteVerification& c, TStringTokenizer& jetons) {
  if (c.ListeMotsIgnores.Count() == 0) return;
  int i = 0;
  while (i < jetons.Count()) {
    if (EstMotIgnore(c, jetons.Strings(i)))
      jetons.Delete(i);
    else
      ++i;
  }
}

std::string RetireCommentaires(const TContexteVerification& c, const std::string& texte) {
  std::string r = texte;
  if (c.CarDebutCommentaire != ' ') {
    for (;;) {
      const std::size_t p = r.find(c.CarDebutCommentaire);
      if (p == std::string::npos) break;
      const std::size_t q = r.find(c.CarFinCommentaire, p + 1);
      if (q == std::string::npos) break;
      r.erase(p, q - p + 1);
    }
  }
  return Rogne(r);
}

bool CompareMot(const TContexteVerification& c, const std::string& attendu, const std::string& tape,
                bool phonetique, bool differencierCasse) {
  const TStringTokenizer alternatives(attendu, std::string(1, c.CarAlternateur));
  bool resultat = false;
  for (int k = 0; k < alternatives.Count() && !resultat; ++k) {
    std::string a = alternatives.Strings(k);
    std::string t = tape;
    const std::size_t p = a.find(c.CarTroncature);
    if (c.CarTroncature != ' ' && p != std::string::npos) {
      // A typed word shorter than the kept prefix cannot begin with it.
      if (t.size() < p) continue;
      a.resize(p);
      t.resize(p);
    }
    if (phonetique)
      resultat = Soundex(a, 10) == Soundex(t, 10);
    else
      resultat = EgauxSelonLocale(a, t, !differencierCasse);
  }
  return resultat;
}

bool CompareReponse(const TContexteVerification& c, const std::string& attendue, const std::string& tapee,
                    bool phonetique, bool differencierCasse, bool motAMot) {
  std::string e = RetireCommentaires(c, attendue);
  if (!c.OuCache.empty()) e = Remplace(e, c.OuCache, " " + c.OuVisible + " ");
  TStringTokenizer E(e, c.DelimiteursMots);
  TStringTokenizer T(tapee, c.DelimiteursMots);
  // Before the conjunctions are looked for: an ignored conjunction separates nothing.
  RetireMotsIgnores(c, E);
  RetireMotsIgnores(c, T);

  bool resultat = false;
  do {
    std::vector<std::string> groupe;
    while (E.HasMoreTokens()) {
      std::string mot = E.NextToken();
      if (EstConjonction(c, mot)) break;
      groupe.push_back(std::move(mot));
    }
    if (groupe.empty()) continue;
    if (motAMot) {
      if (T.Count() != static_cast<int>(groupe.size())) {
        resultat = false;
      } else {
        T.Reset();
        resultat = true;
        for (std::size_t i = 0; i < groupe.size() && resultat; ++i)
          resultat = CompareMot(c, groupe[i], T.NextToken(), phonetique, differencierCasse);
      }
    } else {
      resultat = true;
      for (std::size_t i = 0; i < groupe.size() && resultat; ++i) {
        T.Reset();
        resultat = false;
        while (T.HasMoreTokens() && !resultat)
          resultat = CompareMot(c, groupe[i], T.NextToken(), phonetique, differencierCasse);
      }
    }
  } while (!resultat && E.HasMoreTokens());
  return resultat;
}

std::string ReponseAffichee(const TContexteVerification& c, const std::string& attendue) {
  std::string r = attendue;
  if (!c.OuCache.empty()) {
    const std::size_t p = r.find(c.OuCache);
    if (p != std::string::npos) r.resize(p);
  }
  return Rogne(r);
}

namespace {

constexpr int Transparent = -1;

// American Soundex values; every character that is not an ASCII letter counts as a vowel.
int ValeurSoundex(char c) {
  switch (c) {
    case 'B': case 'F': case 'P': case 'V':
    case 'b': case 'f': case 'p': case 'v':
      return 1;
    case 'C': case 'G': case 'J': case 'K': case 'Q': case 'S': case 'X': case 'Z':
    case 'c': case 'g': case 'j': case 'k': case 'q': case 's': case 'x': case 'z':
      return 2;
    case 'D': case 'T': case 'd': case 't':
      return 3;
    case 'L': case 'l':
      return 4;
    case 'M': case 'N': case 'm': case 'n':
      return 5;
    case 'R': case 'r':
      return 6;
    case 'H': case 'W': case 'h': case 'w':
      return Transparent;
    default:
      return 0;
  }
}

}  // namespace

std::string Soundex(const std::string& mot, int longueur) {
  if (mot.empty()) return {};
  const auto taille = static_cast<std::size_t>(std::max(longueur, 1));
  std::string code;
  char premier = mot[0];
  if (premier >= 'a' && premier <= 'z') premier = static_cast<char>(premier - 'a' + 'A');
  code += premier;
  int precedent = ValeurSoundex(mot[0]);
  for (std::size_t i = 1; i < mot.size() && code.size() < taille; ++i) {
    const int v = ValeurSoundex(mot[i]);
    if (v > 0 && v != precedent) code += static_cast<char>('0' + v);
    if (v != Transparent) precedent = v;
  }
  if (code.size() < taille) code.append(taille - code.size(), '0');
  return code;
}
