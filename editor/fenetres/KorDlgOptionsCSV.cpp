#include "editor/fenetres/KorDlgOptionsCSV.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

TDlgOptionsCSV::TDlgOptionsCSV(QWidget* parent)
    : TDlgEditionDe(parent, QStringLiteral("Options des fichiers CSV"), 11, false) {
  RGEncodage = new QGroupBox(QStringLiteral("Encodage des caractères"), this);
  auto* radios = new QVBoxLayout(RGEncodage);
  RBAnsi = new QRadioButton(QStringLiteral("ANSI"), RGEncodage);
  RBUtf8 = new QRadioButton(QStringLiteral("UTF-8"), RGEncodage);
  radios->addWidget(RBAnsi);
  radios->addWidget(RBUtf8);
  FGroupe = new QButtonGroup(this);
  FGroupe->addButton(RBAnsi, 0);
  FGroupe->addButton(RBUtf8, 1);
  GBComma = new QGroupBox(QStringLiteral("Séparateur des champs"), this);
  auto* ligne = new QVBoxLayout(GBComma);
  EComma = EditionSansLimite(GBComma);
  ligne->addWidget(EComma);
  Corps()->addWidget(RGEncodage);
  Corps()->addWidget(GBComma);
  // A click on the encoding already chosen changes nothing.
  connect(FGroupe, &QButtonGroup::idToggled, this, [this](int, bool choisi) {
    if (choisi) Changement();
  });
  connect(EComma, &QLineEdit::textChanged, this, &TDlgOptionsCSV::Changement);
  OrdreDesControles({RBAnsi, RBUtf8, EComma});
  resize(320, sizeHint().height());
}

void TDlgOptionsCSV::Affiche() {
  if (!FLogique) return;
  {
    const QSignalBlocker bloque(FGroupe);
    (FLogique->RGEncodage == 1 ? RBUtf8 : RBAnsi)->setChecked(true);
  }
  FixeTexte(EComma, FLogique->EComma);
}

std::string TDlgOptionsCSV::Refus() const { return FLogique ? FLogique->Refus() : std::string(); }

void TDlgOptionsCSV::Changement() {
  if (!FLogique) return;
  FLogique->RGEncodage = FGroupe->checkedId() == 1 ? 1 : 0;
  FLogique->EComma = ansi::DepuisQString(EComma->text());
  FLogique->Changement();
}
