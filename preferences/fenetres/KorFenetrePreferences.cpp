#include "preferences/fenetres/KorFenetrePreferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "platform/Ansi.h"
#include "platform/bureau/Boites.h"

namespace {

// The previews show a font at its size, up to what their row can hold.
constexpr int TailleApercuMax = 16;

QLabel* Libelle(const QString& texte, QWidget* parent) {
  auto* libelle = new QLabel(texte, parent);
  libelle->setTextFormat(Qt::PlainText);
  libelle->setWordWrap(true);
  return libelle;
}

// A note under a control: the same, greyed.
QLabel* Note(const QString& texte, QWidget* parent) {
  QLabel* note = Libelle(texte, parent);
  note->setForegroundRole(QPalette::PlaceholderText);
  return note;
}

QVBoxLayout* Colonne(QWidget* onglet) {
  auto* colonne = new QVBoxLayout(onglet);
  colonne->setContentsMargins(8, 6, 8, 6);
  colonne->setSpacing(3);
  return colonne;
}

// A label and its edit, the label above.
QLineEdit* EditionSous(QVBoxLayout* colonne, QWidget* onglet, const QString& libelle) {
  colonne->addWidget(Libelle(libelle, onglet));
  auto* edition = EditionSansLimite(onglet);
  colonne->addWidget(edition);
  return edition;
}

// A label and its edit on one row: short values.
QLineEdit* EditionADroite(QFormLayout* formulaire, QWidget* onglet, const QString& libelle,
                          int largeur = 0) {
  auto* edition = EditionSansLimite(onglet);
  if (largeur > 0) edition->setFixedWidth(largeur);
  auto* libelleEdition = Libelle(libelle, onglet);
  libelleEdition->setWordWrap(false);
  libelleEdition->setBuddy(edition);
  formulaire->addRow(libelleEdition, edition);
  return edition;
}

QFormLayout* Formulaire(QVBoxLayout* colonne) {
  auto* formulaire = new QFormLayout;
  formulaire->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  formulaire->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  formulaire->setVerticalSpacing(4);
  colonne->addLayout(formulaire);
  return formulaire;
}


unsigned Modificateurs(Qt::KeyboardModifiers m) {
  unsigned resultat = 0;
  if (m & Qt::ControlModifier) resultat |= EModificateur::Ctrl;
  if (m & Qt::ShiftModifier) resultat |= EModificateur::Maj;
  if (m & Qt::AltModifier) resultat |= EModificateur::Alt;
  if (m & Qt::MetaModifier) resultat |= EModificateur::Meta;
  return resultat;
}

}  // namespace

TCaseACocher::TCaseACocher(const QString& texte, QWidget* parent) : QCheckBox(texte, parent) {
  QSizePolicy politique(QSizePolicy::Preferred, QSizePolicy::Preferred);
  politique.setHeightForWidth(true);
  setSizePolicy(politique);
}

int TCaseACocher::LargeurCase() const {
  return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
         style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

int TCaseACocher::HauteurLigne() const {
  return std::max(style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this), fontMetrics().height()) + 2;
}

QRect TCaseACocher::ZoneTexte(int largeur) const {
  const QRect zone(LargeurCase(), 0, std::max(1, largeur - LargeurCase()), 0);
  return fontMetrics().boundingRect(zone.adjusted(0, 0, 0, 10000), Qt::TextWordWrap, text());
}

QSize TCaseACocher::sizeHint() const {
  return {LargeurCase() + fontMetrics().horizontalAdvance(text()) + 2, HauteurLigne()};
}

QSize TCaseACocher::minimumSizeHint() const { return {LargeurCase() + 60, HauteurLigne()}; }

int TCaseACocher::heightForWidth(int largeur) const {
  const int lignes = ZoneTexte(largeur).height();
  return std::max(HauteurLigne(), lignes + HauteurLigne() - fontMetrics().height());
}

void TCaseACocher::paintEvent(QPaintEvent*) {
  QStylePainter peintre(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  // The indicator faces the first line; the caption runs on beside it.
  option.rect = QRect(0, 0, width(), HauteurLigne());
  option.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
  peintre.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
  const int marge = (HauteurLigne() - fontMetrics().height()) / 2;
  const QRect texte(LargeurCase(), marge, width() - LargeurCase(), height() - marge);
  style()->drawItemText(&peintre, texte, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, palette(), isEnabled(),
                        text(), QPalette::WindowText);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = ZoneTexte(width()).translated(0, marge).adjusted(-2, 0, 2, 0);
    peintre.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

TRadioGroup::TRadioGroup(const QString& titre, const QStringList& elements, Qt::Orientation sens,
                         QWidget* parent)
    : QWidget(parent) {
  auto* disposition = new QVBoxLayout(this);
  disposition->setContentsMargins(0, 0, 0, 0);
  Cadre = new QGroupBox(titre, this);
  disposition->addWidget(Cadre);
  auto* boutons = new QBoxLayout(sens == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, Cadre);
  boutons->setSpacing(sens == Qt::Vertical ? 2 : 16);
  Boutons = new QButtonGroup(this);
  for (int i = 0; i < elements.size(); ++i) {
    auto* bouton = new QRadioButton(elements[i], Cadre);
    Boutons->addButton(bouton, i);
    boutons->addWidget(bouton);
  }
  connect(Boutons, &QButtonGroup::idToggled, this, [this](int, bool coche) {
    if (coche) emit Change();
  });
}

int TRadioGroup::ItemIndex() const { return Boutons->checkedId(); }

void TRadioGroup::FixeItemIndex(int indice) {
  if (QAbstractButton* bouton = Boutons->button(indice)) {
    bouton->setChecked(true);
    return;
  }
  // No item: the group lets none be checked only while it is not exclusive.
  Boutons->setExclusive(false);
  for (QAbstractButton* b : Boutons->buttons()) b->setChecked(false);
  Boutons->setExclusive(true);
}

TKorPref::TKorPref(TReglages& reglages, QWidget* parent) : QWidget(parent), Preferences(*this, reglages) {
  setWindowTitle(QStringLiteral("KorPrefer v7.8.2"));
  // A fixed single border with the system menu and a minimise button only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

  auto* disposition = new QVBoxLayout(this);
  disposition->setContentsMargins(4, 4, 4, 4);
  disposition->setSpacing(4);
  PageControl = new QTabWidget(this);
  PageControl->setUsesScrollButtons(false);
  disposition->addWidget(PageControl, 1);
  ConstruitJeu();
  ConstruitEditeur();

  auto* panneau = new QHBoxLayout;
  panneau->addStretch();
  BOK = new QPushButton(QStringLiteral("OK"), this);
  BOK->setDefault(true);
  BAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
  Baide = new QPushButton(QStringLiteral("Aide"), this);
  BDefaut = new QPushButton(QStringLiteral("Défaut"), this);
  for (QPushButton* b : {BOK, BAnnuler, Baide, BDefaut}) panneau->addWidget(b);
  disposition->addLayout(panneau);

  connect(BOK, &QPushButton::clicked, this, [this] { Preferences.BOKClick(); });
  connect(BAnnuler, &QPushButton::clicked, this, [this] { Ferme(); });
  connect(Baide, &QPushButton::clicked, this, &TKorPref::BaideClick);
  RelieToucheAide(*this, [this] { BaideClick(); });
  connect(BDefaut, &QPushButton::clicked, this, [this] { Preferences.BDefautClick(); });

  // Every change of a control, the program's own included: the logic tells them apart.
  for (QLineEdit* e : {Egood, Ebad, EMean, Eignor, EConj, EPonct, EHost})
    connect(e, &QLineEdit::textChanged, this, [this] { Preferences.ModifieJeu(); });
  for (QCheckBox* c : {CBPref, CBCtrlAltP, CBCtrlA, CBMaxHun, CBRepUnf})
    connect(c, &QCheckBox::toggled, this, [this] { Preferences.ModifieJeu(); });
  connect(CBMenu, &QCheckBox::toggled, this, [this] { Preferences.CBMenuClick(); });
  for (QCheckBox* c : {CBNouvFiche, CBDimOrig, CBTypeUnique, CBTexte})
    connect(c, &QCheckBox::toggled, this, [this] { Preferences.ModifieEditeur(); });
  for (TRadioGroup* g : {RGXmlUtf, RGRetour, RGCsvUtf})
    connect(g, &TRadioGroup::Change, this, [this] { Preferences.ModifieEditeur(); });
  for (QLineEdit* e : {EXslFil, EMcqOr, EMcqFra, ECsvTyp, EComma})
    connect(e, &QLineEdit::textChanged, this, [this] { Preferences.ModifieEditeur(); });
  connect(CBMcqFormat, &QComboBox::currentIndexChanged, this, [this] { Preferences.ModifieEditeur(); });
  connect(EListeTypes, &QLineEdit::textChanged, this, [this] { Preferences.EListeTypesChange(); });
  for (const auto& c : CasesTypes) {
    const ECase caseType = c.Case;
    connect(Case(caseType), &QCheckBox::toggled, this, [this, caseType] { Preferences.CBTypeClick(caseType); });
  }
  connect(BPolice, &QPushButton::clicked, this, [this] { Preferences.BPoliceClick(); });
  connect(BPoliceL, &QPushButton::clicked, this, [this] { Preferences.BPoliceLClick(); });

  BoiteMessage = [this](QMessageBox::Icon icone, const QString& titre, const QString& texte,
                        QMessageBox::StandardButtons boutons) {
    return BoiteMessageStandard(this, icone, titre, texte, boutons);
  };
  DialogueFont = [this](QFont& police) {
    bool ok = false;
    const QFont choisie = QFontDialog::getFont(&ok, police, this);
    if (ok) police = choisie;
    return ok;
  };

  setFixedSize(LargeurPreferences, HauteurPreferences);
  if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
    const QRect zone = ecran->availableGeometry();
    move(zone.center() - QPoint(width() / 2, height() / 2));
  }
}

TKorPref::~TKorPref() {
  if (QWindow* fenetre = windowHandle()) fenetre->removeEventFilter(this);
}

void TKorPref::ConstruitJeu() {
  TSMessages = new QWidget;
  auto* messages = Colonne(TSMessages);
  Egood = EditionSous(messages, TSMessages,
                      QStringLiteral("Commentaire de fin de partie si le score dépasse le seuil :"));
  Ebad = EditionSous(messages, TSMessages,
                     QStringLiteral("Commentaire de fin de partie si le score est en deçà du seuil :"));
  EMean = EditionSous(messages, TSMessages,
                      QStringLiteral("Commentaire de fin de partie si le score est à peu près égal au seuil :"));
  messages->addStretch();
  PageControl->addTab(TSMessages, QStringLiteral("Messages"));

  TSOptions = new QWidget;
  auto* options = Colonne(TSOptions);
  Eignor = EditionSous(options, TSOptions,
                       QStringLiteral("Mots ignorés lorsque l'option \"comparaison mot à mot\" est désactivée :"));
  options->addSpacing(4);
  auto* formulaire = Formulaire(options);
  EConj = EditionADroite(formulaire, TSOptions, QStringLiteral("Conjonction (entre les réponses admises) :"), 120);
  EPonct = EditionADroite(formulaire, TSOptions, QStringLiteral("Ponctuation (délimiteurs de mots) :"), 120);
  options->addSpacing(6);
  options->addWidget(Note(QStringLiteral("Ces options sont celles données aux nouveaux fichiers."), TSOptions));
  options->addStretch();
  PageControl->addTab(TSOptions, QStringLiteral("Options"));

  TSMenus = new QWidget;
  auto* menus = Colonne(TSMenus);
  menus->setSpacing(6);
  CBMenu = new TCaseACocher(QStringLiteral("Afficher la barre de menu"), TSMenus);
  CBPref = new TCaseACocher(QStringLiteral("Afficher le menu \"Préférences\""), TSMenus);
  CBCtrlAltP = new TCaseACocher(
      QStringLiteral("Ctrl-Alt-P permet de basculer afficher/masquer le menu \"Préférences\""), TSMenus);
  CBCtrlA = new TCaseACocher(
      QStringLiteral("Ctrl+A permet au candidat de forcer l'acceptation d'une réponse fausse"), TSMenus);
  menus->addWidget(CBMenu);
  // The three options hang under the menu bar's box: they work only with the bar.
  for (QCheckBox* c : {CBPref, CBCtrlAltP, CBCtrlA}) {
    auto* retrait = new QHBoxLayout;
    retrait->addSpacing(style()->pixelMetric(QStyle::PM_IndicatorWidth));
    retrait->addWidget(c, 1);
    menus->addLayout(retrait);
  }
  menus->addStretch();
  PageControl->addTab(TSMenus, QStringLiteral("Menus"));

  TSFeuilleNotes = new QWidget;
  auto* feuille = Colonne(TSFeuilleNotes);
  EHost = EditionSous(
      feuille, TSFeuilleNotes,
      QStringLiteral("Nom de l'ordinateur hôte où la Feuille de Notes (KorServer) est exécutée :"));
  feuille->addWidget(Note(QStringLiteral("Laisser blanc si la Feuille de Notes n'est pas exécutée."), TSFeuilleNotes));
  feuille->addSpacing(8);
  CBMaxHun = new TCaseACocher(QStringLiteral("Noter les parties complètes sur 100"), TSFeuilleNotes);
  CBRepUnf = new TCaseACocher(QStringLiteral("Rapporter aussi les parties interrompues"), TSFeuilleNotes);
  feuille->addWidget(CBMaxHun);
  feuille->addWidget(CBRepUnf);
  feuille->addStretch();
  PageControl->addTab(TSFeuilleNotes, QStringLiteral("Feuille de Notes"));

  FTextes = {{ETexte::Egood, Egood}, {ETexte::Ebad, Ebad},     {ETexte::EMean, EMean}, {ETexte::Eignor, Eignor},
             {ETexte::EConj, EConj}, {ETexte::EPonct, EPonct}, {ETexte::EHost, EHost}};
  FCases = {{ECase::CBMenu, CBMenu},     {ECase::CBPref, CBPref},     {ECase::CBCtrlAltP, CBCtrlAltP},
            {ECase::CBCtrlA, CBCtrlA},   {ECase::CBMaxHun, CBMaxHun}, {ECase::CBRepUnf, CBRepUnf}};
}

void TKorPref::ConstruitAffichage() {
  TSAffichage = new QWidget;
  auto* affichage = Colonne(TSAffichage);
  auto apercu = [this, affichage](const QString& libelle, QLineEdit*& edition, QPushButton*& bouton) {
    affichage->addWidget(Libelle(libelle, TSAffichage));
    auto* ligne = new QHBoxLayout;
    edition = EditionSansLimite(TSAffichage);
    edition->setReadOnly(true);
    edition->setFocusPolicy(Qt::NoFocus);
    bouton = new QPushButton(QStringLiteral("Définir"), TSAffichage);
    ligne->addWidget(edition, 1);
    ligne->addWidget(bouton);
    affichage->addLayout(ligne);
  };
  apercu(QStringLiteral("Police d'affichage des champs :"), EPolice, BPolice);
  apercu(QStringLiteral("Police d'affichage des listes :"), EPoliceL, BPoliceL);
  affichage->addSpacing(6);
  CBNouvFiche = new TCaseACocher(QStringLiteral("Nouvelle fiche quand un nouveau fichier est créé"), TSAffichage);
  CBDimOrig = new TCaseACocher(QStringLiteral("Remettre les dimensions originales de l'éditeur"), TSAffichage);
  affichage->addWidget(CBNouvFiche);
  affichage->addWidget(CBDimOrig);
  affichage->addStretch();
  PageControl->addTab(TSAffichage, QStringLiteral("Affichage"));
}

void TKorPref::ConstruitTypes() {
  TSTypes = new QWidget;
  auto* types = Colonne(TSTypes);
  auto* formulaireTypes = Formulaire(types);
  EListeTypes = EditionADroite(formulaireTypes, TSTypes, QStringLiteral("Liste des types utilisés ::"));
  types->addWidget(Note(QStringLiteral("Les types sont représentés par une lettre majuscule."), TSTypes));
  GBTypes = new QGroupBox(QStringLiteral("Types utilisés"), TSTypes);
  auto* grille = new QGridLayout(GBTypes);
  grille->setVerticalSpacing(2);
  CBRepertoire = new TCaseACocher(QStringLiteral("Répertoire (R)"), GBTypes);
  CBNotes = new TCaseACocher(QStringLiteral("Notes (N)"), GBTypes);
  CBFourreTout = new TCaseACocher(QStringLiteral("Fourre-Tout (F)"), GBTypes);
  CBQuestionnaire = new TCaseACocher(QStringLiteral("Questionnaire (Q)"), GBTypes);
  CBQCM = new TCaseACocher(QStringLiteral("QCM (M)"), GBTypes);
  CBListes = new TCaseACocher(QStringLiteral("Listes (L)"), GBTypes);
  QCheckBox* const ordre[] = {CBRepertoire, CBNotes, CBFourreTout, CBQuestionnaire, CBQCM, CBListes};
  for (int i = 0; i < 6; ++i) grille->addWidget(ordre[i], i % 2, i / 2);
  types->addWidget(GBTypes);
  CBTypeUnique = new TCaseACocher(QStringLiteral("Restriction au premier type de la liste"), TSTypes);
  types->addWidget(CBTypeUnique);
  types->addStretch();
  PageControl->addTab(TSTypes, QStringLiteral("Types"));
}

void TKorPref::ConstruitXml() {
  TSXML = new QWidget;
  auto* xml = Colonne(TSXML);
  auto* groupes = new QHBoxLayout;
  RGXmlUtf = new TRadioGroup(QStringLiteral("Encodage des caractères"),
                             {QStringLiteral("ANSI"), QStringLiteral("UTF-8")}, Qt::Vertical, TSXML);
  RGRetour = new TRadioGroup(QStringLiteral("Retours à la ligne"), {QStringLiteral("CRLF"), QStringLiteral("LF")},
                             Qt::Vertical, TSXML);
  groupes->addWidget(RGXmlUtf, 1);
  groupes->addWidget(RGRetour, 1);
  xml->addLayout(groupes);
  xml->addSpacing(4);
  EXslFil = EditionSous(xml, TSXML, QStringLiteral("Nom du fichier XSL associé aux nouveaux fichiers  :"));
  xml->addWidget(Note(QStringLiteral("Laisser blanc si pas de fichier XSL associé."), TSXML));
  xml->addStretch();
  PageControl->addTab(TSXML, QStringLiteral("XML"));
}

void TKorPref::ConstruitMoodle() {
  TSMoodle = new QWidget;
  auto* moodle = Colonne(TSMoodle);
  auto* formulaireMoodle = Formulaire(moodle);
  CBMcqFormat = new QComboBox(TSMoodle);
  for (const char* format : FormatsMoodle) CBMcqFormat->addItem(QString::fromUtf8(format));
  auto* libelleFormat = Libelle(QStringLiteral("Format des fiches privilégié :"), TSMoodle);
  libelleFormat->setWordWrap(false);
  libelleFormat->setBuddy(CBMcqFormat);
  formulaireMoodle->addRow(libelleFormat, CBMcqFormat);
  EMcqOr = EditionADroite(formulaireMoodle, TSMoodle, QStringLiteral("Séparateur de réponses :"), 120);
  EMcqFra = EditionADroite(formulaireMoodle, TSMoodle,
                           QStringLiteral("Nombre de séparateurs pour les nouvelles fiches: :"), 60);
  moodle->addStretch();
  PageControl->addTab(TSMoodle, QStringLiteral("Moodle"));
}

void TKorPref::ConstruitCsv() {
  TSCsv = new QWidget;
  auto* csv = Colonne(TSCsv);
  auto* haut = new QHBoxLayout;
  CBTexte = new TCaseACocher(QStringLiteral("Autoriser l'exportation en Texte"), TSCsv);
  haut->addWidget(CBTexte, 1);
  RGCsvUtf = new TRadioGroup(QStringLiteral("Encodage des caractères"),
                             {QStringLiteral("ANSI"), QStringLiteral("UTF-8")}, Qt::Horizontal, TSCsv);
  haut->addWidget(RGCsvUtf);
  csv->addLayout(haut);
  csv->addSpacing(4);
  ECsvTyp = EditionADroite(Formulaire(csv), TSCsv, QStringLiteral("Liste des types admis pour le format CSV ::"));
  csv->addWidget(Note(QStringLiteral("Les types sont représentés par une lettre majuscule."), TSCsv));
  csv->addSpacing(4);
  EComma = EditionADroite(Formulaire(csv), TSCsv, QStringLiteral("Séparateur CSV :"), 60);
  LComma = Note(QString(), TSCsv);
  csv->addWidget(LComma);
  csv->addStretch();
  PageControl->addTab(TSCsv, QStringLiteral("Texte/CSV"));
}

void TKorPref::ConstruitEditeur() {
  ConstruitAffichage();
  ConstruitTypes();
  ConstruitXml();
  ConstruitMoodle();
  ConstruitCsv();

  FTextes.insert({{ETexte::EListeTypes, EListeTypes},
                  {ETexte::EXslFil, EXslFil},
                  {ETexte::EMcqOr, EMcqOr},
                  {ETexte::EMcqFra, EMcqFra},
                  {ETexte::ECsvTyp, ECsvTyp},
                  {ETexte::EComma, EComma},
                  {ETexte::LComma, LComma}});
  FCases.insert({{ECase::CBNouvFiche, CBNouvFiche},
                 {ECase::CBDimOrig, CBDimOrig},
                 {ECase::CBTypeUnique, CBTypeUnique},
                 {ECase::CBTexte, CBTexte},
                 {ECase::CBRepertoire, CBRepertoire},
                 {ECase::CBNotes, CBNotes},
                 {ECase::CBFourreTout, CBFourreTout},
                 {ECase::CBQuestionnaire, CBQuestionnaire},
                 {ECase::CBQCM, CBQCM},
                 {ECase::CBListes, CBListes}});
}

void TKorPref::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!FPremierAffichage) return;
  FPremierAffichage = false;
  // Key preview: the window's own key events come here before any control's.
  if (QWindow* fenetre = windowHandle()) fenetre->installEventFilter(this);
  Preferences.FormShow();
}

bool TKorPref::eventFilter(QObject* objet, QEvent* event) {
  if (event->type() == QEvent::KeyPress && objet == windowHandle()) {
    const auto* touche = static_cast<QKeyEvent*>(event);
    // The key goes on to the control that has the focus.
    Preferences.FormKeyDown(touche->key(), Modificateurs(touche->modifiers()));
  }
  return QWidget::eventFilter(objet, event);
}

QLineEdit* TKorPref::Edition(ETexte controle) const {
  return qobject_cast<QLineEdit*>(FTextes.at(controle));
}

QCheckBox* TKorPref::Case(ECase controle) const { return FCases.at(controle); }

std::string TKorPref::Texte(ETexte controle) const {
  if (const QLineEdit* e = Edition(controle)) return ansi::DepuisQString(e->text());
  return ansi::DepuisQString(static_cast<const QLabel*>(FTextes.at(controle))->text());
}

void TKorPref::FixeTexte(ETexte controle, const std::string& texte) {
  if (QLineEdit* e = Edition(controle))
    e->setText(ansi::VersQString(texte));
  else
    static_cast<QLabel*>(FTextes.at(controle))->setText(ansi::VersQString(texte));
}

bool TKorPref::Coche(ECase controle) const { return Case(controle)->isChecked(); }

void TKorPref::FixeCoche(ECase controle, bool coche) { Case(controle)->setChecked(coche); }

void TKorPref::ActiveCase(ECase controle, bool active) { Case(controle)->setEnabled(active); }

int TKorPref::Indice(EChoix controle) const {
  switch (controle) {
    case EChoix::RGXmlUtf: return RGXmlUtf->ItemIndex();
    case EChoix::RGRetour: return RGRetour->ItemIndex();
    case EChoix::RGCsvUtf: return RGCsvUtf->ItemIndex();
    case EChoix::CBMcqFormat: return CBMcqFormat->currentIndex();
  }
  return -1;
}

void TKorPref::FixeIndice(EChoix controle, int indice) {
  switch (controle) {
    case EChoix::RGXmlUtf: RGXmlUtf->FixeItemIndex(indice); break;
    case EChoix::RGRetour: RGRetour->FixeItemIndex(indice); break;
    case EChoix::RGCsvUtf: RGCsvUtf->FixeItemIndex(indice); break;
    case EChoix::CBMcqFormat: CBMcqFormat->setCurrentIndex(indice); break;
  }
}

void TKorPref::AffichePolice(EApercu apercu, const std::string& nom, int taille) {
  QLineEdit* edition = apercu == EApercu::EPolice ? EPolice : EPoliceL;
  QFont police(ansi::VersQString(nom));
  if (taille > 0) police.setPointSize(std::min(taille, TailleApercuMax));
  edition->setFont(police);
  edition->setText(ansi::VersQString(nom));
  edition->setCursorPosition(0);
}

bool TKorPref::DialoguePolice(std::string& nom, int& taille) {
  QFont police(ansi::VersQString(nom));
  if (taille > 0) police.setPointSize(taille);
  if (!DialogueFont(police)) return false;
  nom = ansi::DepuisQString(police.family());
  taille = police.pointSize() > 0 ? police.pointSize() : QFontInfo(police).pointSize();
  return true;
}

void TKorPref::AfficheOnglets(bool modeJeu) {
  // One redraw once every tab is in place.
  setUpdatesEnabled(false);
  for (QWidget* onglet : {TSMessages, TSMenus, TSOptions, TSFeuilleNotes})
    PageControl->setTabVisible(PageControl->indexOf(onglet), modeJeu);
  for (QWidget* onglet : {TSAffichage, TSTypes, TSXML, TSCsv, TSMoodle})
    PageControl->setTabVisible(PageControl->indexOf(onglet), !modeJeu);
  PageControl->setCurrentWidget(modeJeu ? TSMessages : TSTypes);
  setUpdatesEnabled(true);
}

void TKorPref::DonneFocusOK() { BOK->setFocus(); }

void TKorPref::MessageErreur(const std::string& texte) {
  BoiteMessage(QMessageBox::Critical, TitreBoite(QMessageBox::Critical), ansi::VersQString(texte), QMessageBox::Ok);
}

bool TKorPref::Confirme(const std::string& texte) {
  return BoiteMessage(QMessageBox::Question, TitreBoite(QMessageBox::Question), ansi::VersQString(texte),
                      QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void TKorPref::Ferme() { close(); }

void TKorPref::BaideClick() {
  if (!Aide.AfficheContexte(0))
    BoiteMessage(QMessageBox::Warning, TitreBoite(QMessageBox::Warning), Aide.MessageEchec(), QMessageBox::Ok);
}
