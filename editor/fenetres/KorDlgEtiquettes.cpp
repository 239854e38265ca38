#include "editor/fenetres/KorDlgEtiquettes.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

TDlgEtiquettes::TDlgEtiquettes(QWidget* parent) : TDlgEditionDe(parent, QStringLiteral("Étiquettes des champs"), 0) {
  GBEtiquettes = new QGroupBox(QStringLiteral("Étiquettes"), this);
  auto* formulaire = new QFormLayout(GBEtiquettes);
  EEtiquette0 = EditionSansLimite(GBEtiquettes);
  EEtiquette1 = EditionSansLimite(GBEtiquettes);
  EEtiquette2 = EditionSansLimite(GBEtiquettes);
  formulaire->addRow(QStringLiteral("Champ 0 :"), EEtiquette0);
  formulaire->addRow(QStringLiteral("Champ 1 :"), EEtiquette1);
  formulaire->addRow(QStringLiteral("Champ 2 :"), EEtiquette2);
  Corps()->addWidget(GBEtiquettes);
  for (QLineEdit* e : {EEtiquette0, EEtiquette1, EEtiquette2})
    connect(e, &QLineEdit::textChanged, this, &TDlgEtiquettes::EEtiquetteChange);
  OrdreDesControles({EEtiquette0, EEtiquette1, EEtiquette2});
  resize(360, sizeHint().height());
}

void TDlgEtiquettes::Affiche() {
  if (!FLogique) return;
  FixeTexte(EEtiquette0, FLogique->EEtiquette0);
  FixeTexte(EEtiquette1, FLogique->EEtiquette1);
  FixeTexte(EEtiquette2, FLogique->EEtiquette2);
}

void TDlgEtiquettes::EEtiquetteChange() {
  if (!FLogique) return;
  FLogique->EEtiquette0 = ansi::DepuisQString(EEtiquette0->text());
  FLogique->EEtiquette1 = ansi::DepuisQString(EEtiquette1->text());
  FLogique->EEtiquette2 = ansi::DepuisQString(EEtiquette2->text());
  FLogique->EEtiquetteChange();
}
