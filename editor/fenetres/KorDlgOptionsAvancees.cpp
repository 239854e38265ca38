#include "editor/fenetres/KorDlgOptionsAvancees.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

TDlgOptionsAvancees::TDlgOptionsAvancees(QWidget* parent)
    : TDlgEditionDe(parent, QStringLiteral("Options avancées du Questionnaire"), 24) {
  GBOptions = new QGroupBox(QStringLiteral("Options"), this);
  auto* colonne = new QVBoxLayout(GBOptions);
  auto edition = [this, colonne](const QString& libelle) {
    colonne->addWidget(new QLabel(libelle, GBOptions));
    auto* e = EditionSansLimite(GBOptions);
    colonne->addWidget(e);
    return e;
  };
  EOu = edition(QStringLiteral("Conjonction devant chaque réponse alternative visible :"));
  ECarOu = edition(QStringLiteral("Caractère devant chaque réponse alternative cachée :"));
  EXDelim = edition(QStringLiteral("Ponctuation (délimiteurs de mots) : "));
  auto* ligne = new QHBoxLayout;
  LMIg = new QLabel(QStringLiteral("Mots ignorés dans les réponses  :"), GBOptions);
  CBMIgDefaut = new QCheckBox(QStringLiteral("défaut"), GBOptions);
  CBMIgDefaut->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
  ligne->addWidget(LMIg);
  ligne->addStretch();
  ligne->addWidget(CBMIgDefaut);
  colonne->addLayout(ligne);
  EMotsIgnores = EditionSansLimite(GBOptions);
  colonne->addWidget(EMotsIgnores);
  Corps()->addWidget(GBOptions);

  for (QLineEdit* e : {EOu, ECarOu, EXDelim, EMotsIgnores})
    connect(e, &QLineEdit::textChanged, this, &TDlgOptionsAvancees::ChangeOptionsAvancees);
  connect(CBMIgDefaut, &QCheckBox::toggled, this, &TDlgOptionsAvancees::CBMIgDefautClick);
  OrdreDesControles({EOu, ECarOu, EXDelim, EMotsIgnores});
  resize(420, height());
}

void TDlgOptionsAvancees::Affiche() {
  if (!FLogique) return;
  const TLogiqueOptionsAvancees& l = *FLogique;
  FixeTexte(EOu, l.EOu);
  FixeTexte(ECarOu, l.ECarOu);
  FixeTexte(EXDelim, l.EXDelim);
  FixeTexte(EMotsIgnores, l.EMotsIgnores);
  {
    const QSignalBlocker bloque(CBMIgDefaut);
    CBMIgDefaut->setChecked(l.CBMIgDefaut);
  }
  EMotsIgnores->setEnabled(l.EMotsIgnoresActif);
  GBOptions->setEnabled(l.GBOptionsActif);
}

void TDlgOptionsAvancees::Lit() {
  TLogiqueOptionsAvancees& l = *FLogique;
  l.EOu = ansi::DepuisQString(EOu->text());
  l.ECarOu = ansi::DepuisQString(ECarOu->text());
  l.EXDelim = ansi::DepuisQString(EXDelim->text());
  l.EMotsIgnores = ansi::DepuisQString(EMotsIgnores->text());
  l.CBMIgDefaut = CBMIgDefaut->isChecked();
}

void TDlgOptionsAvancees::ChangeOptionsAvancees() {
  if (!FLogique) return;
  Lit();
  FLogique->ChangeOptionsAvancees();
}

void TDlgOptionsAvancees::CBMIgDefautClick() {
  if (!FLogique) return;
  Lit();
  FLogique->CBMIgDefautClick();
  Affiche();
}
