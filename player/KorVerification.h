#pragma once
// The answer checker: does a typed answer match the expected answer of a questionnaire card,
// under the tolerances of the questionnaire's options, and which text is shown as the answer.
// Texts are 1252 bytes, one byte a character; characters compare as unsigned char.
// The checker keeps no state: everything it reads comes from the check context, a value
// filled from the open questionnaire (ContexteDuQuestionnaire) and passed to every call.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"

// Blanks: space, CR, LF, tab and the no-break space (byte 160), in this order.
inline const std::string Blancs = std::string(" \r\n\t\xA0", 5);

// The non-empty runs of non-delimiter characters of a text, in text order, with a read cursor.
class TStringTokenizer {
 public:
  TStringTokenizer() = default;
  // A character of the text is a delimiter when it occurs anywhere in delimiteurs.
  TStringTokenizer(const std::string& texte, const std::string& delimiteurs);

  bool HasMoreTokens() const { return FCurseur < Count(); }
  // The token at the cursor, which then moves on; only while HasMoreTokens().
  std::string NextToken();
  void Reset() { FCurseur = 0; }

  int Count() const { return static_cast<int>(FJetons.size()); }
  const std::string& Strings(int index) const { return FJetons.at(static_cast<std::size_t>(index)); }
  // Deletes one token; the following ones move down one place.
  void Delete(int index);
  // Deletes, in one pass, every token the predicate holds for; the others keep their order.
  template <class FPredicat>
  void DeleteIf(FPredicat&& predicat) {
    std::erase_if(FJetons, predicat);
  }

  const std::string& Texte() const { return FTexte; }

 private:
  std::string FTexte;
  std::vector<std::string> FJetons;
  int FCurseur = 0;
};

// What the checker knows of the open questionnaire.
struct TContexteVerification {
  std::string OuVisible;            // visible conjunction word between admitted answers
  std::string OuCache;              // hidden separator of admitted answers; may be empty
  char CarAlternateur = ' ';        // between alternative spellings of a word; space = none
  char CarTroncature = ' ';         // truncation mark; space = none
  char CarDebutCommentaire = ' ';   // opens a remark; space = no remarks
  char CarFinCommentaire = ' ';     // closes a remark
  std::string DelimiteursMots = Blancs;  // Blancs followed by the questionnaire's punctuation
  std::string TexteMotsIgnores;     // the ignored words as one text, remarks removed
  TStringTokenizer ListeMotsIgnores;  // TexteMotsIgnores split at DelimiteursMots
};

// The context of a questionnaire, as it is filled when the questionnaire is opened.
TContexteVerification ContexteDuQuestionnaire(const TFichierX& quiz, const TReglages& r);

bool EstConjonction(const TContexteVerification& c, const std::string& mot);
bool EstMotIgnore(const TContexteVerification& c, const std::string& mot);
// Deletes the ignored words from the tokenizer's list; the others keep their order.
void RetireMotsIgnores(const TContexteVerification& c, TStringTokenizer& jetons);
// The text without its remarks, trimmed of characters 0-32 at both ends.
std::string RetireCommentaires(const TContexteVerification& c, const std::string& texte);
bool CompareMot(const TContexteVerification& c, std::string_view attendu, std::string_view tape, bool phonetique,
                bool differencierCasse);
// The typed words of an answer, looked up by the expected words of the any-order comparison.
// Either each typed word is compared in turn, or each one's form is computed once (its phonetic
// code, or its key for the locale comparison; the same cut to a truncation's prefix) and looked
// up by the expected word's: the same answers, in a time that grows with the number of words
// rather than with its square. Holds the context and the words by reference.
class TMotsTapes {
 public:
  enum class EMethode { ParPaires, ParIndex };
  TMotsTapes(const TContexteVerification& c, const TStringTokenizer& mots, bool phonetique, bool differencierCasse,
             EMethode methode);
  // The index of the first typed word that CompareMot accepts for the expected word; -1 when none.
  int PremierAccepte(std::string_view attendu);

 private:
  std::string Forme(std::string_view mot) const;
  // Where each form first comes among the typed words cut to their first `coupure` characters
  // (npos: whole words); the words shorter than that are left out. Built at its first use.
  const std::unordered_map<std::string, int>& Index(std::size_t coupure);

  const TContexteVerification& FContexte;
  const TStringTokenizer& FMots;
  bool FPhonetique;
  bool FDifferencierCasse;
  EMethode FMethode;
  std::unordered_map<std::size_t, std::unordered_map<std::string, int>> FIndex;
};
// The game passes the card's Champ2, the typed text, FPhonetique, FDifferencierCasse, FMotAMot.
bool CompareReponse(const TContexteVerification& c, const std::string& attendue, const std::string& tapee,
                    bool phonetique, bool differencierCasse, bool motAMot);
// The expected answer as shown: without its hidden admitted answers, trimmed.
std::string ReponseAffichee(const TContexteVerification& c, const std::string& attendue);
// The phonetic code of a word, padded with "0" to longueur characters.
std::string Soundex(std::string_view mot, int longueur);
