#include "player/fenetres/KorPref.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

namespace {

QLineEdit* Champ(QVBoxLayout* disposition, QWidget* parent, const QString& libelle) {
  auto* etiquette = new QLabel(libelle, parent);
  etiquette->setTextFormat(Qt::PlainText);
  disposition->addWidget(etiquette);
  auto* edition = EditionSansLimite(parent);
  disposition->addWidget(edition);
  return edition;
}

QLabel* Remarque(QWidget* parent, const QString& texte) {
  auto* remarque = new QLabel(texte, parent);
  remarque->setTextFormat(Qt::PlainText);
  QFont italique = remarque->font();
  italique.setItalic(true);
  remarque->setFont(italique);
  return remarque;
}

// An edit and the button after it, on one line.
QHBoxLayout* Ligne(QLineEdit* edition, QPushButton* bouton) {
  auto* ligne = new QHBoxLayout;
  bouton->setAutoDefault(false);
  ligne->addWidget(edition, 1);
  ligne->addWidget(bouton);
  return ligne;
}

// Which control shows which value of the rules.
const struct {
  QLineEdit* TFormPreferences::*Edition;
  std::string TPrefJeu::*Valeur;
} Editions[] = {
    {&TFormPreferences::Egood, &TPrefJeu::MessageBon},   {&TFormPreferences::Ebad, &TPrefJeu::MessageMauvais},
    {&TFormPreferences::EMean, &TPrefJeu::MessageMoyen}, {&TFormPreferences::Eor, &TPrefJeu::Conjonction},
    {&TFormPreferences::Exdelim, &TPrefJeu::Ponctuation}, {&TFormPreferences::Eignor, &TPrefJeu::MotsIgnores},
    {&TFormPreferences::EHost, &TPrefJeu::Hote}};
const struct {
  QCheckBox* TFormPreferences::*Case;
  bool TPrefJeu::*Valeur;
} Cases[] = {{&TFormPreferences::CBMaxHun, &TPrefJeu::NoteSur100},
             {&TFormPreferences::CBRepUnf, &TPrefJeu::RapporteInterrompues},
             {&TFormPreferences::CBMenuFichier, &TPrefJeu::MenuFichierEnPartie},
             {&TFormPreferences::CBMenuPartie, &TPrefJeu::MenuPartieEnPartie}};

}  // namespace

TFormPreferences::TFormPreferences(QWidget* parent, TReglages& reglages, TClientResultats& client)
    : QDialog(parent), FReglages(reglages), FClient(client) {
  setWindowTitle(QStringLiteral("Préférences"));
  setModal(true);
  auto* disposition = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  disposition->addWidget(PageControl1);
  PageControl1->addTab(PageMessages(), QStringLiteral("Messages"));
  PageControl1->addTab(PageOptions(), QStringLiteral("Options"));
  PageControl1->addTab(PageFeuille(), QStringLiteral("Feuille de Notes"));
  PageControl1->addTab(PageAffichage(), QStringLiteral("Affichage"));

  auto* bas = new QHBoxLayout;
  bas->addStretch();
  BOK = new QPushButton(QStringLiteral("OK"), this);
  BOK->setDefault(true);
  BAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
  BAnnuler->setAutoDefault(false);
  bas->addWidget(BOK);
  bas->addWidget(BAnnuler);
  disposition->addLayout(bas);
  connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);

  for (const auto& e : Editions)
    connect(this->*e.Edition, &QLineEdit::textChanged, this, &TFormPreferences::EditeurChange);
  for (const auto& c : Cases) connect(this->*c.Case, &QCheckBox::toggled, this, &TFormPreferences::EditeurChange);
  connect(BPolice, &QPushButton::clicked, this, &TFormPreferences::BPoliceClick);
  connect(BTestCon, &QPushButton::clicked, this, &TFormPreferences::BTestConClick);

  NommeEtOrdonne();

  DialoguePolice = [this](QFont& police) {
    bool ok = false;
    const QFont choisie = QFontDialog::getFont(&ok, police, this, QStringLiteral("Police"));
    if (ok) police = choisie;
    return ok;
  };
  Message = [this](QMessageBox::Icon icone, const QString& texte) {
    QMessageBox(icone, TitreBoite(icone), texte, QMessageBox::Ok, this).exec();
  };
  setFixedSize(520, 330);
}

QWidget* TFormPreferences::PageMessages() {
  auto* page = new QWidget;
  auto* d = new QVBoxLayout(page);
  Egood = Champ(d, page, QStringLiteral("Commentaire de fin de partie si le score dépasse le seuil :"));
  Ebad = Champ(d, page, QStringLiteral("Commentaire de fin de partie si le score est en deçà du seuil :"));
  EMean = Champ(d, page, QStringLiteral("Commentaire de fin de partie si le score est à peu près égal au seuil :"));
  d->addStretch();
  return page;
}

QWidget* TFormPreferences::PageOptions() {
  auto* page = new QWidget;
  auto* d = new QVBoxLayout(page);
  Eor = Champ(d, page, QStringLiteral("Conjonction (entre les réponses) :"));
  Exdelim = Champ(d, page, QStringLiteral("Ponctuation (délimiteurs de mots) :"));
  Eignor = Champ(d, page, QStringLiteral("Mots ignorés lorsque l'option \"mot à mot\" est désactivée :"));
  LRemOptions = Remarque(page, QStringLiteral("Ces options sont celles par défaut.\n"
                                              "Elles sont outrepassées par celles du questionnaire."));
  LRemOptions->setAlignment(Qt::AlignCenter);
  d->addWidget(LRemOptions);
  d->addStretch();
  return page;
}

QWidget* TFormPreferences::PageFeuille() {
  auto* page = new QWidget;
  auto* d = new QVBoxLayout(page);
  auto* lHote = new QLabel(
      QStringLiteral("Nom de l'ordinateur sur lequel la Feuille de Notes (KorServer) est exécutée :"), page);
  lHote->setTextFormat(Qt::PlainText);
  d->addWidget(lHote);
  EHost = EditionSansLimite(page);
  BTestCon = new QPushButton(QStringLiteral("Test"), page);
  d->addLayout(Ligne(EHost, BTestCon));
  LRemHote = Remarque(page, QStringLiteral("Cet ordinateur => entrez \"localhost\".  Aucun => laissez le champ vide."));
  d->addWidget(LRemHote);
  CBMaxHun = new QCheckBox(QStringLiteral("Noter les parties complètes sur 100"), page);
  CBRepUnf = new QCheckBox(QStringLiteral("Rapporter aussi les parties interrompues"), page);
  d->addWidget(CBMaxHun);
  d->addWidget(CBRepUnf);
  d->addStretch();
  return page;
}

QWidget* TFormPreferences::PageAffichage() {
  auto* page = new QWidget;
  auto* d = new QVBoxLayout(page);
  d->addWidget(new QLabel(QStringLiteral("Police d'affichage des champs :"), page));
  EPolice = EditionSansLimite(page);
  EPolice->setReadOnly(true);
  BPolice = new QPushButton(QStringLiteral("Définir"), page);
  d->addLayout(Ligne(EPolice, BPolice));
  CBMenuFichier = new QCheckBox(QStringLiteral("Menu \"Fichier\" visible pendant la partie"), page);
  CBMenuPartie = new QCheckBox(QStringLiteral("Menu \"Partie\" visible pendant la partie"), page);
  d->addWidget(CBMenuFichier);
  d->addWidget(CBMenuPartie);
  d->addStretch();
  return page;
}

std::vector<std::vector<QWidget*>> TFormPreferences::ControlesParOnglet() const {
  return {{Egood, Ebad, EMean},
          {Eor, Exdelim, Eignor},
          {EHost, BTestCon, CBMaxHun, CBRepUnf},
          {EPolice, BPolice, CBMenuFichier, CBMenuPartie}};
}

void TFormPreferences::NommeEtOrdonne() {
  auto* onglets = PageControl1->findChild<QTabBar*>();
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  onglets->setObjectName(QStringLiteral("Onglets"));
  const std::pair<QWidget*, const char*> noms[] = {
      {Egood, "Egood"},       {Ebad, "Ebad"},         {EMean, "EMean"},       {Eor, "Eor"},
      {Exdelim, "Exdelim"},   {Eignor, "Eignor"},     {EHost, "EHost"},       {BTestCon, "BTestCon"},
      {CBMaxHun, "CBMaxHun"}, {CBRepUnf, "CBRepUnf"}, {EPolice, "EPolice"},   {BPolice, "BPolice"},
      {CBMenuFichier, "CBMenuFichier"}, {CBMenuPartie, "CBMenuPartie"}, {BOK, "BOK"}, {BAnnuler, "BAnnuler"}};
  for (const auto& [controle, nom] : noms) controle->setObjectName(QLatin1String(nom));
  // Tab walks the tabs, the shown page's controls in reading order, then OK and Annuler.
  std::vector<QWidget*> ordre{onglets};
  for (const auto& onglet : ControlesParOnglet()) ordre.insert(ordre.end(), onglet.begin(), onglet.end());
  ordre.push_back(BOK);
  ordre.push_back(BAnnuler);
  for (std::size_t i = 1; i < ordre.size(); ++i) setTabOrder(ordre[i - 1], ordre[i]);
}

void TFormPreferences::Affiche() {
  for (const auto& e : Editions) (this->*e.Edition)->setText(ansi::VersQString(Logique.*e.Valeur));
  for (const auto& c : Cases) (this->*c.Case)->setChecked(Logique.*c.Valeur);
}

void TFormPreferences::Lit() {
  for (const auto& e : Editions) Logique.*e.Valeur = ansi::DepuisQString((this->*e.Edition)->text());
  for (const auto& c : Cases) Logique.*c.Valeur = (this->*c.Case)->isChecked();
}

bool TFormPreferences::Execute(const QFont& policeChamps) {
  // The filling's own change notifications do not count: FormShow clears the flags after it.
  Logique.Remplit(FReglages);
  Affiche();
  EPolice->setFont(policeChamps);
  EPolice->setText(EPolice->font().family());
  if (exec() != QDialog::Accepted) return false;
  Lit();
  Logique.Stocke(FReglages);
  return true;
}

void TFormPreferences::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Logique.FormShow();
  // The dialog reopens on the tab last shown, with the focus on that page's first control.
  ControlesParOnglet()[static_cast<std::size_t>(std::max(0, PageControl1->currentIndex()))].front()->setFocus();
}

void TFormPreferences::done(int resultat) {
  const EResultatDialogue fin =
      Logique.FormCloseQuery(resultat == QDialog::Accepted ? EResultatDialogue::OK : EResultatDialogue::Annuler);
  QDialog::done(fin == EResultatDialogue::OK ? QDialog::Accepted : QDialog::Rejected);
}

void TFormPreferences::EditeurChange() { Logique.Changement(); }

void TFormPreferences::BPoliceClick() {
  QFont police = EPolice->font();
  // The dialog opens on the family the fields show, which is another one when the family asked
  // for is not installed: OK without a choice then keeps the fields as they are.
  police.setFamily(QFontInfo(police).family());
  if (!DialoguePolice(police)) return;
  EPolice->setFont(police);
  EPolice->setText(police.family());
  Logique.ChoisitPolice(ansi::DepuisQString(police.family()),
                        police.pointSize() > 0 ? police.pointSize() : QFontInfo(police).pointSize());
}

void TFormPreferences::BTestConClick() {
  Lit();
  const TMessageTest message = Logique.TestConnexion(FClient);
  Message(message.Etablie ? QMessageBox::Information
          : message.Avertissement ? QMessageBox::Warning
                                  : QMessageBox::Critical,
          ansi::VersQString(message.Texte));
}
