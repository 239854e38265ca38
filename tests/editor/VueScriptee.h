#pragma once
// A scripted editor window: it keeps what the editor shows, answers the message boxes and the
// dialogs from queues the test fills, and types like a user (the modified flags).

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../Outils.h"
#include "cards/KorXml.h"
#include "editor/KorFiche.h"

class TVueScriptee : public IVueFiche {
 public:
  struct TMessage {
    std::string Texte;
    std::string Titre;
    EGenreMessage Icone;
    EBoutons Boutons;
  };

  std::array<std::string, 3> Textes;
  std::array<bool, 3> Modifies{};
  std::array<bool, 3> Actifs{};
  std::array<bool, 3> LecturesSeules{};
  std::array<std::string, 3> Etiquettes;
  std::array<TEtatItem, NombreItems> Items;
  std::string TitreFenetre;
  TDisposition Disposition;
  int ContexteAide = 0;
  std::optional<ECibleFocus> Focus;
  bool FenetreFermee = false;
  std::string Date = "10/12/2026 13:45:00";

  // Answers, in order; an empty queue answers Annuler (and fails the test when a box was not expected).
  std::deque<EBouton> Reponses;
  std::vector<TMessage> Messages;
  std::deque<std::optional<TChoixOuverture>> Ouvertures;
  std::deque<std::optional<TChoixSauvegarde>> Sauvegardes;
  std::deque<std::optional<int>> Nouveaux;
  // What the last dialogs were given.
  std::vector<TFiltre> FiltresOuverture, FiltresSauvegarde;
  std::string ExtensionOuverture, ExtensionSauvegarde, NomPropose, DossierDeDepart;
  std::vector<std::string> TypesNouveau;

  static std::size_t I(EChamp c) { return static_cast<std::size_t>(c); }
  const TEtatItem& Item(EItem item) const { return Items[static_cast<std::size_t>(item)]; }

  // The user types a whole new text into an edit.
  void Tape(EChamp champ, const std::string& texte) {
    Textes[I(champ)] = texte;
    Modifies[I(champ)] = true;
  }

  void FixeTexte(EChamp champ, const std::string& texte) override { Textes[I(champ)] = texte; }
  std::string Texte(EChamp champ) const override { return Textes[I(champ)]; }
  bool Modifie(EChamp champ) const override { return Modifies[I(champ)]; }
  void FixeModifie(EChamp champ, bool modifie) override { Modifies[I(champ)] = modifie; }
  void FixeActif(EChamp champ, bool actif) override { Actifs[I(champ)] = actif; }
  void FixeLectureSeule(EChamp champ, bool l) override { LecturesSeules[I(champ)] = l; }
  void FixeEtiquette(EChamp champ, const std::string& texte) override { Etiquettes[I(champ)] = texte; }
  void DonneFocus(ECibleFocus cible) override { Focus = cible; }
  void FixeItem(EItem item, const TEtatItem& etat) override { Items[static_cast<std::size_t>(item)] = etat; }
  void FixeTitreFenetre(const std::string& titre) override { TitreFenetre = titre; }
  void FixeDisposition(const TDisposition& d) override { Disposition = d; }
  void FixeContexteAide(int contexte) override { ContexteAide = contexte; }
  EBouton Message(const std::string& texte, const std::string& titre, EGenreMessage icone, EBoutons boutons) override {
    Messages.push_back({texte, titre, icone, boutons});
    if (Reponses.empty()) {
      ADD_FAILURE() << "unexpected message box: " << texte;
      return EBouton::Annuler;
    }
    const EBouton r = Reponses.front();
    Reponses.pop_front();
    return r;
  }
  bool DialogueOuvrir(const std::vector<TFiltre>& filtres, const std::string& extension, const std::string& dossier,
                      TChoixOuverture& choix) override {
    FiltresOuverture = filtres;
    ExtensionOuverture = extension;
    DossierDeDepart = dossier;
    if (Ouvertures.empty()) {
      ADD_FAILURE() << "unexpected open dialog";
      return false;
    }
    const auto r = Ouvertures.front();
    Ouvertures.pop_front();
    if (r) choix = *r;
    return r.has_value();
  }
  bool DialogueSauver(const std::vector<TFiltre>& filtres, const std::string& extension, const std::string& propose,
                      TChoixSauvegarde& choix) override {
    FiltresSauvegarde = filtres;
    ExtensionSauvegarde = extension;
    NomPropose = propose;
    if (Sauvegardes.empty()) {
      ADD_FAILURE() << "unexpected save dialog";
      return false;
    }
    const auto r = Sauvegardes.front();
    Sauvegardes.pop_front();
    if (r) choix = *r;
    return r.has_value();
  }
  bool DialogueNouveau(const std::vector<std::string>& types, int& index) override {
    TypesNouveau = types;
    if (Nouveaux.empty()) {
      ADD_FAILURE() << "unexpected new-file dialog";
      return false;
    }
    const auto r = Nouveaux.front();
    Nouveaux.pop_front();
    if (r) index = *r;
    return r.has_value();
  }
  std::string DateHeure() const override { return Date; }
  void FermeFenetre() override { FenetreFermee = true; }

  // Printing, clipboard, fonts, stay on top, help.
  std::deque<bool> Impressions;  // the print dialog's answers
  std::vector<std::vector<std::string>> Imprimes;
  std::string ErreurImpression;  // what the next print job fails with
  std::string PressePapiers;
  struct TPolice {
    std::string Nom;
    std::int32_t Taille;
  };
  std::deque<std::optional<TPolice>> Polices;  // the font dialog's answers
  std::vector<TPolice> PolicesProposees;       // what the font dialog was opened on
  std::vector<std::string> PolicesAppliquees;  // "Champs choisie", "Liste Nom 12", ...
  bool AvantPlan = false;
  std::vector<int> Aides;

  bool DialogueImpression() override {
    if (Impressions.empty()) {
      ADD_FAILURE() << "unexpected print dialog";
      return false;
    }
    const bool r = Impressions.front();
    Impressions.pop_front();
    return r;
  }
  std::string Imprime(const std::vector<std::string>& lignes) override {
    Imprimes.push_back(lignes);
    return ErreurImpression;
  }
  // A memo shows the lines of its text (no wrapping here).
  std::vector<std::string> LignesAffichees(EChamp champ) const override {
    std::vector<std::string> lignes;
    const std::string& texte = Textes[I(champ)];
    if (texte.empty()) return lignes;
    std::size_t debut = 0, fin;
    while ((fin = texte.find("\r\n", debut)) != std::string::npos) {
      lignes.push_back(texte.substr(debut, fin - debut));
      debut = fin + 2;
    }
    lignes.push_back(texte.substr(debut));
    return lignes;
  }
  void FixePressePapiers(const std::string& texte) override { PressePapiers = texte; }
  bool DialoguePolice(EPolice, std::string& nom, std::int32_t& taille) override {
    PolicesProposees.push_back({nom, taille});
    if (Polices.empty()) {
      ADD_FAILURE() << "unexpected font dialog";
      return false;
    }
    const auto r = Polices.front();
    Polices.pop_front();
    if (r) {
      nom = r->Nom;
      taille = r->Taille;
    }
    return r.has_value();
  }
  void AppliquePoliceChoisie(EPolice police) override {
    PolicesAppliquees.push_back(police == EPolice::Champs ? "Champs choisie" : "Liste choisie");
  }
  void AppliquePolice(EPolice police, const std::string& nom, std::int32_t taille) override {
    PolicesAppliquees.push_back((police == EPolice::Champs ? "Champs " : "Liste ") + nom + " " +
                                std::to_string(taille));
  }
  void FixeAvantPlan(bool avantPlan) override { AvantPlan = avantPlan; }
  void AfficheAide(int contexte) override { Aides.push_back(contexte); }
};

// A card file of that type written as an XML card file at chemin, with these cards (field 0,
// field 1, field 2), and what retouche changes in it before it is written.
inline void EcritFichierEssai(const std::string& chemin, char type,
                              const std::vector<std::array<std::string, 3>>& fiches, TReglages& r,
                              const std::function<void(TFichierX&)>& retouche = {}) {
  TFichierX f(type, 'x', EVarianteModele::Complet, r);
  f.InitNouveauFichier(r);
  for (const auto& c : fiches) f.AjouteFiche(c[0], c[1], c[2]);
  if (retouche) retouche(f);
  EcritFichierXML(f, chemin, true, r);
}
