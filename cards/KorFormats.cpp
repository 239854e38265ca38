#include "cards/KorFormats.h"

#include "cards/KorNatif.h"
#include "cards/KorOutils.h"
#include "cards/KorXml.h"

bool FormatToujours(const TFichierX&, const TReglages&) { return true; }
bool FormatJamais(const TFichierX&, const TReglages&) { return false; }

namespace {

const TFormat Cartes[] = {
    {*IdentiteFormat('n'),
     [](const std::string& chemin, const TOuverture& o, const TReglages& r) {
       return LitFichierNatif(chemin, o.Ecriture, o.Complet, o.Variante, r);
     },
     EcritFichierNatif, FormatToujours, FormatJamais},
    {*IdentiteFormat('x'),
     [](const std::string& chemin, const TOuverture& o, const TReglages& r) {
       return LitFichierXML(chemin, o.Ecriture, o.Complet, o.Variante, r);
     },
     EcritFichierXML, FormatToujours, FormatJamais},
};

}  // namespace

std::span<const TFormat> FormatsCartes() { return Cartes; }

const TFormat* FormatCarte(char lettre) {
  for (const TFormat& f : Cartes)
    if (f.Lettre() == lettre) return &f;
  return nullptr;
}

std::unique_ptr<TFichierX> LitFichierCarte(const std::string& chemin, const TOuverture& ouverture,
                                           const TReglages& r) {
  const bool joueur = ouverture.Variante == EVarianteModele::Questionnaire;
  const TFormat* format =
      FormatCarte(DetecteFormat(chemin, joueur ? EVarianteDetection::Joueur : EVarianteDetection::Complete, r));
  if (!format) throw ErreurIdInvalide(joueur ? "Ce fichier n'est pas un questionnaire !" : "Fichier non reconnu !");
  return format->Lit(chemin, ouverture, r);
}
