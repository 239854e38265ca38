// The main window's share of printing, the clipboard, the fonts, stay on top and help.

#include <QFontDialog>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QTableView>
#include <QPrintDialog>
#include <QPrinter>

#include "editor/fenetres/KorFenetreFiche.h"
#include "editor/fenetres/KorFicheBureau.h"
#include "editor/fenetres/KorImpression.h"
#include "editor/fenetres/KorListe.h"
#include "platform/Ansi.h"
#include "platform/bureau/Aide.h"

namespace {

// The sizes of the settings' defaults, for a size of 0 or less.
constexpr int TailleChampsParDefaut = 10;
constexpr int TailleListeParDefaut = 12;

}  // namespace

void TFormFiche::CreeDialoguesCommandes() {
  BoiteImpression = [this](QPrinter& imprimante) {
    QPrintDialog dialogue(&imprimante, this);
    return dialogue.exec() == QDialog::Accepted;
  };
  BoitePolice = [this](QFont& police) {
    bool ok = false;
    const QFont choisie = QFontDialog::getFont(&ok, police, this, QStringLiteral("Police"));
    if (ok) police = choisie;
    return ok;
  };
}

bool TFormFiche::DialogueImpression() {
  if (!BoiteImpression) return false;
  // Made on the first print: most runs never print, and a printer costs memory and start-up time.
  if (!Imprimante) {
    Imprimante = std::make_unique<QPrinter>();
    FixeMargesImpression(*Imprimante);
  }
  return BoiteImpression(*Imprimante);
}

std::string TFormFiche::Imprime(const std::vector<std::string>& lignes) {
  // The printer draws in the field font as the edits show it.
  return ansi::DepuisQString(ImprimeLignes(*Imprimante, MQuestion->font(), lignes));
}

std::vector<std::string> TFormFiche::LignesAffichees(EChamp champ) const {
  switch (champ) {
    case EChamp::MQuestion: return ::LignesAffichees(*MQuestion);
    case EChamp::MReponse: return ::LignesAffichees(*MReponse);
    case EChamp::ETitre: break;
  }
  return {Texte(EChamp::ETitre)};
}

void TFormFiche::FixePressePapiers(const std::string& texte) { CopiePressePapiers(texte); }

bool TFormFiche::DialoguePolice(EPolice, std::string& nom, std::int32_t& taille) {
  // The dialog opens on the setting's name and size; its other attributes stay as last chosen.
  QFont police = FPoliceDialogue;
  if (!nom.empty()) police.setFamily(ansi::VersQString(nom));
  if (taille > 0) police.setPointSize(taille);
  if (!BoitePolice || !BoitePolice(police)) return false;
  FPoliceDialogue = police;
  RetientPolice(police, nom, taille);
  return true;
}

void TFormFiche::AppliquePoliceChoisie(EPolice police) {
  if (police == EPolice::Champs)
    AppliquePoliceChamps(FPoliceDialogue);
  else
    AppliquePoliceListe(FPoliceDialogue);
}

void TFormFiche::AppliquePolice(EPolice police, const std::string& nom, std::int32_t taille) {
  if (police == EPolice::Champs)
    AppliquePoliceChamps(PoliceAffichable(nom, taille, TailleChampsParDefaut, QFont::TypeWriter));
  else
    AppliquePoliceListe(PoliceAffichable(nom, taille, TailleListeParDefaut, QFont::SansSerif));
}

void TFormFiche::AppliquePoliceChamps(const QFont& police) {
  ETitre->setFont(police);
  MQuestion->setFont(police);
  MReponse->setFont(police);
}

void TFormFiche::AppliquePoliceListe(const QFont& police) {
  PoliceListe = police;
  if (Liste) Liste->LBListe->setFont(police);
}

void TFormFiche::FixeAvantPlan(bool avantPlan) { ::FixeAvantPlan(*this, avantPlan); }

void TFormFiche::AfficheAide(int contexte) {
  if (!Aide.AfficheContexte(contexte)) BoiteMessage(QMessageBox::Warning, {}, Aide.MessageEchec(), QMessageBox::Ok);
}
