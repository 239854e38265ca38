#include "editor/KorFicheCommandes.h"

#include <algorithm>
#include <utility>

#include "cards/KorFichierX.h"
#include "cards/KorInit.h"
#include "platform/Ansi.h"

namespace {

const std::string CRLF = "\r\n";

}  // namespace

std::string Indente(const std::string& texte) { return "      " + texte; }

std::vector<std::string> LignesImpression(const std::string& titre,
                                          const std::vector<std::string>& lignesQuestion,
                                          const std::vector<std::string>& lignesReponse) {
  std::vector<std::string> lignes;
  lignes.reserve(lignesQuestion.size() + lignesReponse.size() + 3);
  lignes.push_back(Indente(titre));
  lignes.emplace_back();
  for (const std::string& l : lignesQuestion) lignes.push_back(Indente(l));
  lignes.emplace_back();
  for (const std::string& l : lignesReponse) lignes.push_back(Indente(l));
  return lignes;
}

std::string TexteFichePressePapiers(const std::string& titre, const std::string& question,
                                    const std::string& reponse, bool avecChamp0, bool sansChamp1) {
  std::string texte = reponse;
  if (!sansChamp1) texte = question + CRLF + CRLF + texte;
  if (avecChamp0 && !titre.empty()) texte = titre + CRLF + CRLF + texte;
  return texte;
}

std::string TexteListePressePapiers(const TFichierX& fichier) {
  std::string texte;
  for (int i = 0; i < fichier.GetNombreFiches(); ++i) texte += fichier.GetTitreFiche(i) + CRLF;
  return texte;
}

std::string TexteProprietes(const TFichierX& fichier) {
  return "Type : "_a + fichier.GetNomType() + CRLF + CRLF + "Format : "_a + fichier.GetNomFormat() +
         CRLF + CRLF + "Nombre de fiches : "_a + std::to_string(fichier.GetNombreFiches());
}

std::string TexteAPropos(char typeCourant) {
  return "Orvaline : micro Base de Données"_a + CRLF + "KorEdit, version " + VersionFormat + CRLF +
         CRLF + "Type : " + NomDeType(typeCourant);
}

int TaillePoliceAffichee(std::int32_t taille, int parDefaut) {
  if (taille <= 0) return parDefaut;
  return static_cast<int>(std::clamp<std::int32_t>(taille, TaillePoliceMin, TaillePoliceMax));
}

std::optional<TFichierDemarrage> FichierAuDemarrage(const std::vector<std::string>& arguments,
                                                    const TReglages& r, int nombreInstances) {
  if (!arguments.empty()) return TFichierDemarrage{arguments.front(), true};
  if (r.OuvrirAuDemarrage && r.FichierOuvertEnQuittant && nombreInstances == 1 && !r.FichierOuvert.empty())
    return TFichierDemarrage{r.FichierOuvert, false};
  return std::nullopt;
}

std::optional<std::string> FichierDeLigneCommande(const std::vector<std::string>& arguments,
                                                  const std::string* nomOuvert) {
  if (arguments.empty()) return std::nullopt;
  if (nomOuvert && *nomOuvert == arguments.front()) return std::nullopt;
  return arguments.front();
}

TFileLigneCommande::TFileLigneCommande(FDialogueOuvert dialogueOuvert, FExecute execute)
    : FDialogueModal(std::move(dialogueOuvert)), FExecution(std::move(execute)) {}

void TFileLigneCommande::Recoit(std::vector<std::string> arguments) {
  FEnAttente = std::move(arguments);
  Reprend();
}

void TFileLigneCommande::Reprend() {
  // A command line that comes while one is being acted on (its save question is open, for
  // instance) waits for the end of that one.
  if (FEnCours) return;
  while (FEnAttente && !FDialogueModal()) {
    const std::vector<std::string> arguments = std::move(*FEnAttente);
    FEnAttente.reset();
    struct TEnCours {
      bool& f;
      explicit TEnCours(bool& drapeau) : f(drapeau) { f = true; }
      ~TEnCours() { f = false; }
    } enCours(FEnCours);
    FExecution(arguments);
  }
}
