#!/usr/bin/env python3
"""Checks the layering of the sources under a root: which folder's headers each folder includes,
and that the logic folders include no header of Qt's widgets, GUI or printing modules.

Lowest first: platform < cards < exchange, player, scoresheet, preferences < editor (which uses
exchange) < programs. platform/bureau and every <folder>/fenetres are widget layers: they may
include their own folder and what it may include, and the desktop services of platform/bureau.

Usage: verifie_couches.py ROOT QT_INCLUDE_DIR. Prints each fault and exits 1 when there is one.
"""
import os
import re
import sys

# What each logic folder may include besides itself.
DEPENDANCES = {
    "platform": set(),
    "cards": {"platform"},
    "exchange": {"cards", "platform"},
    "player": {"cards", "platform"},
    "scoresheet": {"cards", "platform"},
    "preferences": {"cards", "platform"},
    "editor": {"exchange", "cards", "platform"},
}
MODULES_FENETRES = ("QtWidgets", "QtGui", "QtPrintSupport")
INCLUSION = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def couche(chemin):
    """(folder, widget layer) of a path relative to the root, or None outside the folders."""
    parties = chemin.split("/")
    if len(parties) < 2 or parties[0] not in DEPENDANCES and parties[0] != "programs":
        return None
    fenetre = len(parties) > 2 and (parties[1] == "fenetres" or (parties[0], parties[1]) == ("platform", "bureau"))
    return parties[0], fenetre


def permis(source, cible):
    dossier, fenetre = source
    autre, autre_fenetre = cible
    if dossier == "programs" or autre == dossier and (fenetre or not autre_fenetre):
        return True
    if autre == "platform" and autre_fenetre:
        return fenetre  # the desktop services, to widget layers only
    return not autre_fenetre and autre in DEPENDANCES.get(dossier, set())


def module_qt(entete, qt):
    """The Qt widget, GUI or printing module that holds this header, if any."""
    if "/" in entete:
        module = entete.split("/")[0]
        return module if module in MODULES_FENETRES else None
    for module in MODULES_FENETRES:
        if os.path.isfile(os.path.join(qt, module, entete)):
            return module
    return None


def fautes(racine, qt):
    for dossier in sorted(list(DEPENDANCES) + ["programs"]):
        for base, _, fichiers in os.walk(os.path.join(racine, dossier)):
            for nom in sorted(fichiers):
                if not nom.endswith((".h", ".cpp")):
                    continue
                relatif = os.path.relpath(os.path.join(base, nom), racine).replace(os.sep, "/")
                source = couche(relatif)
                with open(os.path.join(base, nom), encoding="utf-8", errors="replace") as f:
                    for numero, ligne in enumerate(f, 1):
                        m = INCLUSION.match(ligne)
                        if not m:
                            continue
                        genre, entete = m.groups()
                        ou = f"{relatif}:{numero}: "
                        if genre == '"' and "/" in entete:
                            cible = couche(entete)
                            if cible and not permis(source, cible):
                                yield ou + f"{source[0]}{'/fenetres' if source[1] else ''} includes {entete}, a layer it may not use"
                        elif genre == "<" and not source[1] and source[0] != "programs":
                            module = module_qt(entete, qt)
                            if module:
                                yield ou + f"logic folder {source[0]} includes the {module} header {entete}"


def main():
    racine, qt = sys.argv[1], sys.argv[2]
    if not os.path.isfile(os.path.join(qt, "QtWidgets", "QWidget")):
        print(f"no Qt headers in {qt}")
        return 2
    trouvees = list(fautes(racine, qt))
    for faute in trouvees:
        print(faute)
    print(f"{len(trouvees)} layering faults")
    return 1 if trouvees else 0


if __name__ == "__main__":
    sys.exit(main())
