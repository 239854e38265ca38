#include "editor/KorEntete.h"

#include "cards/KorOutils.h"
#include "platform/Ansi.h"

std::string NomFeuilleStyle(const std::string& saisie) {
  std::string nom = Rogne(saisie);
  if (nom.empty()) return nom;
  // The extension starts at the last point after the last folder or drive separator.
  const auto point = nom.find_last_of(".\\/:");
  if (point != std::string::npos && nom[point] == '.') nom.erase(point);
  return nom + ".xsl";
}

std::string TitreFeuilleStyle() { return "Feuille de style"; }
std::string InviteFeuilleStyle() { return "Nom du fichier :"; }

std::string QuestionCanevas() {
  return "Voulez-vous que la fiche courante devienne le canevas ?\r\n"
         "Cliquez sur \"Abandonner\" pour effacer le canevas.";
}

std::string QuestionSuppressionCanevas() { return "Voulez-vous vraiment supprimer le canevas ?"; }
