#include "editor/fenetres/KorDlgOptions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

namespace {

void FixeCoche(QCheckBox* boite, bool coche) {
  const QSignalBlocker bloque(boite);
  boite->setChecked(coche);
}

}  // namespace

TDlgOptions::TDlgOptions(QWidget* parent) : TDlgEditionDe(parent, QStringLiteral("Options du Questionnaire"), 23) {
  GBOptions = new QGroupBox(QStringLiteral("Options"), this);
  auto* colonne = new QVBoxLayout(GBOptions);
  auto boite = [this, colonne](const QString& texte) {
    auto* b = new QCheckBox(texte, GBOptions);
    colonne->addWidget(b);
    return b;
  };
  CBRepose = boite(QStringLiteral("Reposer la question lorsque la réponse est fausse"));
  CBOrdre = boite(QStringLiteral("Poser les questions dans l'ordre du fichier"));
  CBBriderEntree = boite(QStringLiteral("Prévenir l'usage accidentel de la touche Entrée"));
  CBMotAMot = boite(QStringLiteral("Comparaison mot à mot des réponses"));
  CBDiffMaj = boite(QStringLiteral("Distinguer minuscules/majuscules"));
  CBPhonetique = boite(QStringLiteral("Comparaison phonétique des réponses"));
  CBCorrection = boite(QStringLiteral("Forcer le candidat à corriger ses fautes"));
  auto* formulaire = new QFormLayout;
  ETemps = EditionSansLimite(GBOptions);
  ENbreQuestions = EditionSansLimite(GBOptions);
  ESeuil = EditionSansLimite(GBOptions);
  formulaire->addRow(QStringLiteral("Temps de réponse (en secondes) :"), ETemps);
  formulaire->addRow(QStringLiteral("Nombre de questions à poser :"), ENbreQuestions);
  formulaire->addRow(QStringLiteral("Seuil de score satisfaisant (en %) : "), ESeuil);
  colonne->addLayout(formulaire);
  Corps()->addWidget(GBOptions);

  for (QCheckBox* b : {CBRepose, CBOrdre, CBBriderEntree, CBMotAMot, CBDiffMaj, CBCorrection})
    connect(b, &QCheckBox::toggled, this, &TDlgOptions::ChangeOptions);
  connect(CBPhonetique, &QCheckBox::toggled, this, &TDlgOptions::CBPhonetiqueClick);
  for (QLineEdit* e : {ETemps, ENbreQuestions, ESeuil})
    connect(e, &QLineEdit::textChanged, this, &TDlgOptions::ChangeOptions);
  OrdreDesControles({CBRepose, CBOrdre, CBBriderEntree, CBMotAMot, CBDiffMaj, CBPhonetique, CBCorrection, ETemps,
                     ENbreQuestions, ESeuil});
}

void TDlgOptions::Affiche() {
  if (!FLogique) return;
  const TLogiqueOptions& l = *FLogique;
  FixeCoche(CBRepose, l.CBRepose);
  FixeCoche(CBOrdre, l.CBOrdre);
  FixeCoche(CBBriderEntree, l.CBBriderEntree);
  FixeCoche(CBMotAMot, l.CBMotAMot);
  FixeCoche(CBDiffMaj, l.CBDiffMaj);
  FixeCoche(CBPhonetique, l.CBPhonetique);
  FixeCoche(CBCorrection, l.CBCorrection);
  FixeTexte(ETemps, l.ETemps);
  FixeTexte(ENbreQuestions, l.ENbreQuestions);
  FixeTexte(ESeuil, l.ESeuil);
  CBDiffMaj->setEnabled(l.CBDiffMajActif);
  GBOptions->setEnabled(l.GBOptionsActif);
}

void TDlgOptions::Lit() {
  TLogiqueOptions& l = *FLogique;
  l.CBRepose = CBRepose->isChecked();
  l.CBOrdre = CBOrdre->isChecked();
  l.CBBriderEntree = CBBriderEntree->isChecked();
  l.CBMotAMot = CBMotAMot->isChecked();
  l.CBDiffMaj = CBDiffMaj->isChecked();
  l.CBPhonetique = CBPhonetique->isChecked();
  l.CBCorrection = CBCorrection->isChecked();
  l.ETemps = ansi::DepuisQString(ETemps->text());
  l.ENbreQuestions = ansi::DepuisQString(ENbreQuestions->text());
  l.ESeuil = ansi::DepuisQString(ESeuil->text());
}

void TDlgOptions::ChangeOptions() {
  if (!FLogique) return;
  Lit();
  FLogique->ChangeOptions();
}

void TDlgOptions::CBPhonetiqueClick() {
  if (!FLogique) return;
  Lit();
  FLogique->CBPhonetiqueClick();
  Affiche();
}
