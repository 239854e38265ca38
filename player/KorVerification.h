#pragma once
// The answer checker: does a typed answer match the expected answer of a questionnaire card,
// under the tolerances of the questionnaire's options, and which text is shown as the answer.
// Texts are 1252 bytes, one byte a character; characters compare as unsigned char.
// The checker keeps no state: everything it reads comes from the check context, a value
// filled from the open questionnaire (ContexteDuQuestionnaire) and passed to every call.

#include <string>
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

  const std::string& Texte() const { return FTexte; }
  const std::string& Delimiteurs() const { return FDelimiteurs; }

 private:
  std::string FTexte;
  std::string FDelimiteurs;
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
TContexteVerification ContexteDuQuestionnaire(const TFichierX& quiz, const TReglages& r = Reglages());

bool EstConjonction(const TContexteVerification& c, const std::string& mot);
bool EstMotIgnore(const TContexteVerification& c, const std::string& mot);
// Deletes the ignored words from the tokenizer's list; the others keep their order.
void RetireMotsIgnores(const TContexteVerification& c, TStringTokenizer& jetons);
// The text without its remarks, trimmed of characters 0-32 at both ends.
std::string RetireCommentaires(const TContexteVerification& c, const std::string& texte);
bool CompareMot(const TContexteVerification& c, const std::string& attendu, const std::string& tape,
                bool phonetique, bool differencierCasse);
// The game passes the card's Champ2, the typed text, FPhonetique, FDifferencierCasse, FMotAMot.
bool CompareReponse(const TContexteVerification& c, const std::string& attendue, const std::string& tapee,
                    bool phonetique, bool differencierCasse, bool motAMot);
// The expected answer as shown: without its hidden admitted answers, trimmed.
std::string ReponseAffichee(const TContexteVerification& c, const std::string& attendue);
// The phonetic code of a word, padded with "0" to longueur characters.
std::string Soundex(const std::string& mot, int longueur);
