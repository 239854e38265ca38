#include "editor/fenetres/KorDlgEntete.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

TDlgEntete::TDlgEntete(QWidget* parent) : TDlgEditionDe(parent, QStringLiteral("En-téte du fichier"), 9) {
  GBEntete = new QGroupBox(QStringLiteral("En-tête"), this);
  auto* formulaire = new QFormLayout(GBEntete);
  ETitre = EditionSansLimite(GBEntete);
  MDescription = new QPlainTextEdit(GBEntete);
  MDescription->setTabChangesFocus(true);
  ESignature = EditionSansLimite(GBEntete);
  formulaire->addRow(QStringLiteral("Titre :"), ETitre);
  formulaire->addRow(QStringLiteral("Description :"), MDescription);
  formulaire->addRow(QStringLiteral("Auteur :"), ESignature);
  Corps()->addWidget(GBEntete);
  connect(ETitre, &QLineEdit::textChanged, this, &TDlgEntete::ChangeEntete);
  connect(MDescription, &QPlainTextEdit::textChanged, this, &TDlgEntete::ChangeEntete);
  connect(ESignature, &QLineEdit::textChanged, this, &TDlgEntete::ChangeEntete);
  OrdreDesControles({ETitre, MDescription, ESignature});
  resize(460, 300);
}

void TDlgEntete::Affiche() {
  if (!FLogique) return;
  FixeTexte(ETitre, FLogique->ETitre);
  FixeTexte(MDescription, FLogique->MDescription);
  FixeTexte(ESignature, FLogique->ESignature);
  GBEntete->setEnabled(FLogique->GBEnteteActif);
}

void TDlgEntete::ChangeEntete() {
  if (!FLogique) return;
  FLogique->ETitre = ansi::DepuisQString(ETitre->text());
  FLogique->MDescription = ansi::DepuisMemo(MDescription->toPlainText());
  FLogique->ESignature = ansi::DepuisQString(ESignature->text());
  FLogique->ChangeEntete();
}
