#include "player/KorVerification.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <unordered_set>

#include "cards/KorOutils.h"
#include "platform/Locale.h"

namespace {

bool EgauxSelonLocale(std::string_view a, std::string_view b, bool ignoreCasse) {
  return CompareStringA(a, b, ignoreCasse) == CSTR_EQUAL;
}

// Calls f on each alternative of an expected word (its non-empty runs between alternative
// characters) in order, until f returns true; true when one did.
template <class F>
bool UneAlternative(const TContexteVerification& c, std::string_view mot, F&& f) {
  const std::size_t n = mot.size();
  std::size_t i = 0;
  for (;;) {
    while (i < n && mot[i] == c.CarAlternateur) ++i;
    if (i >= n) return false;
    const std::size_t j = std::min(mot.find(c.CarAlternateur, i), n);
    if (f(mot.substr(i, j - i))) return true;
    i = j;
  }
}

// Where the truncation mark cuts an alternative; npos when it has none.
std::size_t Coupure(const TContexteVerification& c, std::string_view alternative) {
  return c.CarTroncature == ' ' ? std::string_view::npos : alternative.find(c.CarTroncature);
}

}  // namespace

TStringTokenizer::TStringTokenizer(const std::string& texte, const std::string& delimiteurs) : FTexte(texte) {
  std::array<bool, 256> delimiteur{};
  for (char d : delimiteurs) delimiteur[static_cast<unsigned char>(d)] = true;
  const auto estDelimiteur = [&](char c) { return delimiteur[static_cast<unsigned char>(c)]; };
  std::size_t i = 0;
  const std::size_t n = texte.size();
  for (;;) {
    while (i < n && estDelimiteur(texte[i])) ++i;
    if (i >= n) break;
    std::size_t j = i;
    while (j < n && !estDelimiteur(texte[j])) ++j;
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

namespace {

// Computing a word's key and looking it up costs about as much as eight comparisons of two
// short words: below that many comparisons a key, comparing each pair is the cheaper way.
constexpr std::size_t CoutCle = 8;

bool ParCles(std::size_t comparaisons, std::size_t cles) { return comparaisons > CoutCle * cles; }

// Takes the ignored words out of lists of tokens: each token compared with each ignored word
// when that makes few comparisons, else by its key among the ignored words' (computed once).
class TFiltreMotsIgnores {
 public:
  explicit TFiltreMotsIgnores(const TContexteVerification& c) : FContexte(c) {}

  void Retire(TStringTokenizer& jetons) {
    const auto k = static_cast<std::size_t>(FContexte.ListeMotsIgnores.Count());
    const auto n = static_cast<std::size_t>(jetons.Count());
    if (k == 0) return;
    if (!ParCles(n * k, n + (FCles ? 0 : k))) {
      jetons.DeleteIf([&](const std::string& mot) { return EstMotIgnore(FContexte, mot); });
      return;
    }
    if (!FCles) {
      FCles.emplace();
      for (std::size_t i = 0; i < k; ++i)
        FCles->insert(CleLocale(FContexte.ListeMotsIgnores.Strings(static_cast<int>(i)), true));
    }
    jetons.DeleteIf([&](const std::string& mot) { return FCles->count(CleLocale(mot, true)) > 0; });
  }

 private:
  const TContexteVerification& FContexte;
  std::optional<std::unordered_set<std::string>> FCles;
};

}  // namespace

void RetireMotsIgnores(const TContexteVerification& c, TStringTokenizer& jetons) {
  TFiltreMotsIgnores(c).Retire(jetons);
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

bool CompareMot(const TContexteVerification& c, std::string_view attendu, std::string_view tape, bool phonetique,
                bool differencierCasse) {
  return UneAlternative(c, attendu, [&](std::string_view a) {
    std::string_view t = tape;
    const std::size_t p = Coupure(c, a);
    if (p != std::string_view::npos) {
      // A typed word shorter than the kept prefix cannot begin with it.
      if (t.size() < p) return false;
      a = a.substr(0, p);
      t = t.substr(0, p);
    }
    if (phonetique) return Soundex(a, 10) == Soundex(t, 10);
    return EgauxSelonLocale(a, t, !differencierCasse);
  });
}

TMotsTapes::TMotsTapes(const TContexteVerification& c, const TStringTokenizer& mots, bool phonetique,
                       bool differencierCasse, EMethode methode)
    : FContexte(c), FMots(mots), FPhonetique(phonetique), FDifferencierCasse(differencierCasse), FMethode(methode) {}

// Two words are equal to CompareMot's comparison exactly when their forms are equal.
std::string TMotsTapes::Forme(std::string_view mot) const {
  return FPhonetique ? Soundex(mot, 10) : CleLocale(mot, !FDifferencierCasse);
}

const std::unordered_map<std::string, int>& TMotsTapes::Index(std::size_t coupure) {
  const auto [it, nouveau] = FIndex.try_emplace(coupure);
  if (nouveau) {
    for (int i = 0; i < FMots.Count(); ++i) {
      std::string_view t = FMots.Strings(i);
      if (coupure != std::string_view::npos) {
        if (t.size() < coupure) continue;
        t = t.substr(0, coupure);
      }
      it->second.try_emplace(Forme(t), i);
    }
  }
  return it->second;
}

int TMotsTapes::PremierAccepte(std::string_view attendu) {
  if (FMethode == EMethode::ParPaires) {
    for (int i = 0; i < FMots.Count(); ++i)
      if (CompareMot(FContexte, attendu, FMots.Strings(i), FPhonetique, FDifferencierCasse)) return i;
    return -1;
  }
  // CompareMot tries the alternatives on each typed word in turn: the first word any one accepts.
  int premier = -1;
  UneAlternative(FContexte, attendu, [&](std::string_view a) {
    const std::size_t p = Coupure(FContexte, a);
    const auto& index = Index(p);
    const auto it = index.find(Forme(a.substr(0, p)));
    if (it != index.end() && (premier < 0 || it->second < premier)) premier = it->second;
    return premier == 0;
  });
  return premier;
}

bool CompareReponse(const TContexteVerification& c, const std::string& attendue, const std::string& tapee,
                    bool phonetique, bool differencierCasse, bool motAMot) {
  std::string e = RetireCommentaires(c, attendue);
  if (!c.OuCache.empty()) RemplaceTout(e, c.OuCache, " " + c.OuVisible + " ");
  TStringTokenizer E(e, c.DelimiteursMots);
  TStringTokenizer T(tapee, c.DelimiteursMots);
  // Before the conjunctions are looked for: an ignored conjunction separates nothing.
  TFiltreMotsIgnores ignores(c);
  ignores.Retire(E);
  ignores.Retire(T);

  std::optional<TMotsTapes> tapes;  // for the any-order comparison, built once
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
      if (!tapes) {
        const auto e = static_cast<std::size_t>(E.Count()), t = static_cast<std::size_t>(T.Count());
        tapes.emplace(c, T, phonetique, differencierCasse,
                      ParCles(e * t, e + t) ? TMotsTapes::EMethode::ParIndex : TMotsTapes::EMethode::ParPaires);
      }
      resultat = true;
      for (std::size_t i = 0; i < groupe.size() && resultat; ++i) resultat = tapes->PremierAccepte(groupe[i]) >= 0;
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

std::string Soundex(std::string_view mot, int longueur) {
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
