#include "exchange/KorFormatsEchange.h"

#include "exchange/KorCrd.h"
#include "exchange/KorCsv.h"
#include "exchange/KorMoodle.h"

namespace {

const TFormat Echanges[] = {
    {*IdentiteFormat('c'), [](const std::string& chemin, const TOuverture& o, const TReglages& r) {
       return LitFichierCrd(chemin, o.Ecriture, r);
     },
     [](TFichierX& f, const std::string& chemin, bool nouveau, const TReglages&) { EcritFichierCrd(f, chemin, nouveau); },
     // Cardfile keeps its cards in index order: only the sorted types go there.
     [](const TFichierX& f, const TReglages&) { return f.EstTypeTrie(); }, FormatJamais},
    {*IdentiteFormat('m'),
     [](const std::string& chemin, const TOuverture& o, const TReglages& r) {
       return LitFichierMoodle(chemin, o.Ecriture, r);
     },
     EcritFichierMoodle, [](const TFichierX& f, const TReglages&) { return f.FType == 'M'; },
     // A questionnaire goes out as a quiz of short answers.
     [](const TFichierX& f, const TReglages&) { return f.FType == 'Q'; }},
    {*IdentiteFormat('s'),
     [](const std::string& chemin, const TOuverture& o, const TReglages& r) {
       return LitFichierCSV(chemin, o.TypeCSV, o.Ecriture, r);
     },
     [](TFichierX& f, const std::string& chemin, bool nouveau, const TReglages& r) {
       EcritFichierCSV(f, 's', chemin, nouveau, r);
     },
     [](const TFichierX& f, const TReglages& r) { return EstTypeCSV(f.FType, r); },
     FormatJamais},
    {*IdentiteFormat('t'), nullptr,
     [](TFichierX& f, const std::string& chemin, bool nouveau, const TReglages& r) {
       EcritFichierCSV(f, 't', chemin, nouveau, r);
     },
     FormatJamais,
     // The items of field 2 go one a line: only without a separator, or with line breaks.
     [](const TFichierX& f, const TReglages&) { return f.FFragmenteur.empty() || f.FFragmenteur == "\r\n"; }},
};

}  // namespace

std::span<const TFormat> FormatsEchange() { return Echanges; }

const TFormat* ChercheFormat(char lettre) {
  if (const TFormat* carte = FormatCarte(lettre)) return carte;
  for (const TFormat& f : Echanges)
    if (f.Lettre() == lettre) return &f;
  return nullptr;
}
