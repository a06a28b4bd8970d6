#!/usr/bin/env python3
"""Checks the shipped language file resources/tarvik.xml.

Usage: scripts/check_tarvik_xml.py [path/to/tarvik.xml]

The file must be well-formed UTF-8 XML with the language list JAZYKY (CZ, EN,
SK, DE, FR, ES, flag indices 0 to 5, each with exactly three children: name,
version, author) and one section per window plus Obecne. Every key that the
program looks up must be there, with one plain-text child per translated
language (EN, SK, DE, FR, ES, in that order) and no CZ child: Czech is the
built-in default. Access keys ("&") and trailing "..." follow the Czech
captions, the access keys of the tool bar commands do not collide, and the
catalogue texts end without punctuation because the program appends its own.

Prints the number of keys per section and exits with 1 when anything is wrong.
Standard library only.
"""

import sys
from pathlib import Path
from xml.dom import minidom
from xml.parsers.expat import ExpatError

DECLARATION = '<?xml version="1.0" encoding="UTF-8"?>'

# Code, flag index, display name; the order is the order of the language dialog.
LANGUAGES = [
    ("CZ", "0", "Čeština"),
    ("EN", "1", "English"),
    ("SK", "2", "Slovenčina"),
    ("DE", "3", "Deutsch"),
    ("FR", "4", "Français"),
    ("ES", "5", "Español"),
]
TRANSLATED = ["EN", "SK", "DE", "FR", "ES"]

# Every key of every section with its built-in Czech text. None: the Czech text
# is composed at run time (the save indicator's hint).
KEYS = {
    "Obecne": [
        ("rsCHYBA", "Chyba"),
        ("rsNELZEDOREGISTRU", "Při zápisu hodnot nastavení do registru došlo k chybě"),
        ("rsNELZEZEREGISTRU", "Při čtení hodnot nastavení z registru došlo k chybě"),
        ("rsNEVYBRANAPOLOZKA", "Není vybrána žádná položka"),
        ("rsVAROVANI", "Varování"),
        ("rsSMAZATPOLOZKU", "Smazat označenou položku"),
        ("rsINFORMACE", "Informace"),
        ("rsNELZESMAZAT", "Ze seznamu nelze smazat poslední položku"),
        ("rsNEDEFSOUBORY", "Nepodařilo se nalézt soubor s defaultními typy souborů"),
        ("rsPOTVRZENI", "Potvrzení"),
        ("rsULOZITSOUBOR", "Uložit změněný soubor"),
        ("rsULOZENO", "Soubor je uložen"),
        ("rsNEULOZENO", "Soubor není uložen"),
        ("rsBLOKYJSOU", "Program již NC bloky obsahuje"),
        ("rsBLOKYNEJSOU", "Program neobsahuje žádné NC bloky"),
        ("rsBLOKYNEJSOUVYBRANE", "Výběr neobsahuje žádné NC bloky"),
        ("rsBLOKYODSTRANIT", "Nejdříve NC bloky odstraňte"),
        ("rsBLOKYNOVE", "Můžete zavést nové NC bloky"),
        ("rsNENISOUBOR", "Není otevřený žádný soubor"),
        ("rsRADKU", "Počet řádků"),
        ("rsZNAKU", "Počet znaků"),
        ("rsBLOKU", "Počet NC bloků"),
    ],
    "HlavniForm": [
        ("gbxNcBloky", "NC bloky"),
        ("lblZacitOd", "Začít od"),
        ("lblPrirustek", "Přírůstek"),
        ("lblMaximum", "Maximum"),
        ("rbtCislovatOdZacatku", "Po překročení maxima číslovat bloky od začátku"),
        ("rbtPonechatMaximum", "Po překročení maxima ponechat pro každý blok maximální hodnotu"),
        ("chkBlokPredKomentar",
         "Vkládat bloky před znak komentáře (platí pouze pro zavedení nových bloků)"),
        ("chkBlokPredProgram",
         "Vkládat bloky před znak začátku programu (platí pouze pro zavedení nových bloků)"),
        ("chkBlokPredKoncem",
         "Vkládat bloky před znak konce programu (platí pouze pro zavedení nových bloků)"),
        ("tshProgram", "NC program"),
        ("tshPuvodni", "Původní program"),
        ("speZacitOd-H", "Zvolte číslo prvního NC bloku"),
        ("spePrirustek-H", "Zvolte velikost přírůstku mezi NC bloky"),
        ("speMaximum-H", "Zvolte číslo maximálního NC bloku"),
        ("shpStavUlozeni-H", None),
        ("aKonec", "&Konec"),
        ("aKonec-H", "Ukončení aplikace"),
        ("aOtevrit", "&Otevřít..."),
        ("aOtevrit-H", "Otevře existující CNC soubor"),
        ("aUlozit", "&Uložit"),
        ("aUlozit-H", "Uloží změněný CNC soubor"),
        ("aZavest", "&Zavést"),
        ("aZavest-H", "Zavede v CNC souboru nové bloky"),
        ("aPrecislovat", "&Přečíslovat"),
        ("aPrecislovat-H", "Přečísluje bloky v CNC souboru"),
        ("aOdstranit", "O&dstranit"),
        ("aOdstranit-H", "Odstraní všechny bloky z CNC souboru"),
        ("aNastaveni", "&Nastavení..."),
        ("aNastaveni-H", "Možnosti nastavení aplikace"),
        ("aJazyk", "&Jazyk..."),
        ("aJazyk-H", "Umožní zvolit jazyk prostředí aplikace"),
        ("aOAplikaci", "O &aplikaci..."),
        ("aOAplikaci-H", "Zobrazí informace o aplikaci"),
    ],
    "OAplikaciForm": [
        ("lblPopis", "Operace s CNC bloky NC programu"),
        ("btnZavrit", "Zavřít"),
    ],
    "JazykForm": [
        ("JazykForm", "Výběr jazyka aplikace"),
        ("btnOK", "OK"),
        ("btnStorno", "Storno"),
        ("livJazyk0", "Jazyk"),
        ("livJazyk1", "Název"),
        ("livJazyk2", "Verze"),
        ("livJazyk3", "Autor"),
    ],
    "NastaveniForm": [
        ("NastaveniForm", "Nastavení"),
        ("tshSoubory", "Typy souborů"),
        ("livSoubory0", "Název"),
        ("livSoubory1", "Přípona"),
        ("livSoubory2", "Hlavní"),
        ("livSoubory3", "Vedlejší"),
        ("livSoubory4", "Začátek"),
        ("livSoubory5", "Konec"),
        ("livSoubory6", "Komentář"),
        ("btnPridat", "Přidat..."),
        ("btnPridat-H", "Přidá do seznamu nový typ souboru"),
        ("btnUpravit", "Upravit..."),
        ("btnUpravit-H", "Upraví označený typ souboru"),
        ("btnSmazat", "Smazat"),
        ("btnSmazat-H", "Smaže označený typ souboru"),
        ("sbtNahoru", ""),
        ("sbtNahoru-H", "Posune označenou položku nahoru"),
        ("sbtDolu", ""),
        ("sbtDolu-H", "Posune označenou položku dolů"),
        ("btnOK", "OK"),
        ("btnStorno", "Storno"),
    ],
    "TypSouboruForm": [
        ("TypSouboruForm", "Nastavení typu souboru"),
        ("lblNazev", "Název typu CNC souboru"),
        ("edtNazev-H", "Zadejte název typy CNC souboru"),
        ("lblPripona", "Přípona CNC souboru"),
        ("edtPripona-H", "Zadejte příponu CNC souboru"),
        ("lblHlavniZnak", "Znak hlavního bloku"),
        ("edtHlavniZnak-H", "Vyberte znak hlavního NC bloku"),
        ("sbtHlavniZnak", "..."),
        ("sbtHlavniZnak-H", "Vyberte znak hlavního NC bloku"),
        ("lblVedlejsiZnak", "Znak vedlejšího bloku"),
        ("edtVedlejsiZnak-H", "Vyberte znak vedlejšího NC bloku"),
        ("sbtVedlejsiZnak", "..."),
        ("sbtVedlejsiZnak-H", "Vyberte znak vedlejšího NC bloku"),
        ("lblZacatek", "Označení začátku programu"),
        ("edtZacatek-H", "Zadejte označení začátku NC programu"),
        ("lblKonec", "Označení konce programu"),
        ("edtKonec-H", "Zadejte označení konce NC programu"),
        ("lblKomentar", "Znak začátku komentáře"),
        ("edtKomentar-H", "Vyberte znak začátku komentáře"),
        ("sbtKomentar", "..."),
        ("sbtKomentar-H", "Vyberte znak začátku komentáře"),
        ("btnOK", "OK"),
        ("btnStorno", "Storno"),
    ],
    "ASCIIForm": [
        ("ASCIIForm", "Tabulka ASCII znaků"),
        ("livASCII0", "Znak"),
        ("btnOK", "OK"),
        ("btnStorno", "Storno"),
    ],
}

# Captions that are empty in every language (picture-only buttons).
EMPTY = {("NastaveniForm", "sbtNahoru"), ("NastaveniForm", "sbtDolu")}

# Tool bar commands: their access keys must differ within each language.
COMMANDS = ["aKonec", "aOtevrit", "aUlozit", "aZavest", "aPrecislovat",
            "aOdstranit", "aNastaveni", "aJazyk", "aOAplikaci"]


def significant(node):
    """Child nodes that count: everything except whitespace-only text."""
    return [c for c in node.childNodes
            if not (c.nodeType == c.TEXT_NODE and not c.data.strip())]


def describe(node):
    if node.nodeType == node.ELEMENT_NODE:
        return f"element <{node.tagName}>"
    if node.nodeType == node.COMMENT_NODE:
        return "a comment"
    if node.nodeType in (node.TEXT_NODE, node.CDATA_SECTION_NODE):
        return f"text {node.data.strip()[:30]!r}"
    return f"node type {node.nodeType}"


def element_text(el, where, errors):
    """The text of an element that may hold only one text or CDATA node."""
    children = el.childNodes
    if not children:
        return ""
    if len(children) != 1 or children[0].nodeType not in (
            el.TEXT_NODE, el.CDATA_SECTION_NODE):
        errors.append(f"{where}: must hold plain text only, holds "
                      + ", ".join(describe(c) for c in children))
        return None
    return children[0].data


def access_keys(text):
    """Positions of single '&' (an access key marker; '&&' is a literal '&')."""
    keys, i = [], 0
    while i < len(text):
        if text[i] == "&":
            if text[i + 1:i + 2] == "&":
                i += 2
                continue
            keys.append(i)
        i += 1
    return keys


def check_jazyky(jazyky, errors):
    for c in significant(jazyky):
        if c.nodeType != c.ELEMENT_NODE:
            errors.append(f"JAZYKY: {describe(c)} between the languages; keep only elements")
    langs = [c for c in jazyky.childNodes if c.nodeType == c.ELEMENT_NODE]
    found = [l.tagName for l in langs]
    expected = [code for code, _, _ in LANGUAGES]
    if found != expected:
        errors.append(f"JAZYKY: languages {found}, expected {expected} in that order")
    for el in langs:
        ocekavano = next((s for s in LANGUAGES if s[0] == el.tagName), None)
        where = f"JAZYKY/{el.tagName}"
        if ocekavano and el.getAttribute("index") != ocekavano[1]:
            errors.append(f"{where}: index {el.getAttribute('index')!r}, expected {ocekavano[1]!r}")
        # The reader takes the name, version and author by position among all
        # child nodes, so anything but three elements would shift them.
        parts = significant(el)
        if len(parts) != 3 or any(p.nodeType != p.ELEMENT_NODE for p in parts):
            errors.append(f"{where}: must hold exactly three elements (name, version, author), holds "
                          + ", ".join(describe(p) for p in parts))
            continue
        texts = [element_text(p, f"{where}/{p.tagName}", errors) for p in parts]
        if ocekavano and texts[0] != ocekavano[2]:
            errors.append(f"{where}: name {texts[0]!r}, expected {ocekavano[2]!r}")
        for label, t in zip(("name", "version", "author"), texts):
            if t is not None and not t.strip():
                errors.append(f"{where}: empty {label}")


def check_text(section, key, czech, lang, text, errors):
    where = f"{section}/{key}/{lang}"
    if (section, key) in EMPTY:
        if text:
            errors.append(f"{where}: must be empty (the button shows only a picture)")
        return
    if not text.strip():
        errors.append(f"{where}: empty text")
        return
    if text != text.strip():
        errors.append(f"{where}: leading or trailing whitespace")
    if any(ord(ch) < 32 for ch in text):
        errors.append(f"{where}: control character or line break")
    if "|" in text:
        errors.append(f"{where}: '|' splits a hint into short and long part; not allowed")
    if czech is None:
        return
    if czech.endswith("...") != text.endswith("..."):
        errors.append(f"{where}: '...' must follow the Czech text {czech!r}")
    if len(access_keys(czech)) != len(access_keys(text)):
        errors.append(f"{where}: access keys '&' must follow the Czech text {czech!r}")
    for i in access_keys(text):
        if not text[i + 1:i + 2].isalnum():
            errors.append(f"{where}: '&' must precede a letter or digit")
    if section == "Obecne" and text[-1] in ".!?:;,":
        errors.append(f"{where}: the program adds its own punctuation after {key}")


def check_section(section, el, texts, errors):
    for c in significant(el):
        if c.nodeType != c.ELEMENT_NODE:
            errors.append(f"{section}: {describe(c)} between the keys; keep only elements")
    expected = dict(KEYS[section])
    seen = set()
    for key_el in (c for c in el.childNodes if c.nodeType == c.ELEMENT_NODE):
        key = key_el.tagName
        if key in seen:
            errors.append(f"{section}/{key}: duplicate key; only the first is read")
            continue
        seen.add(key)
        if key not in expected:
            errors.append(f"{section}/{key}: unknown key")
            continue
        children = significant(key_el)
        names = [c.tagName if c.nodeType == c.ELEMENT_NODE else None for c in children]
        if "CZ" in names:
            errors.append(f"{section}/{key}: CZ child; Czech is the built-in default")
        if names != TRANSLATED:
            errors.append(f"{section}/{key}: children "
                          + ", ".join(describe(c) for c in children)
                          + f"; expected elements {TRANSLATED}")
        for c in children:
            if c.nodeType != c.ELEMENT_NODE or c.tagName not in TRANSLATED:
                continue
            text = element_text(c, f"{section}/{key}/{c.tagName}", errors)
            if text is None:
                continue
            texts[(section, key, c.tagName)] = text
            check_text(section, key, expected[key], c.tagName, text, errors)
    for key in expected:
        if key not in seen:
            errors.append(f"{section}/{key}: missing")
    return len(seen)


def check_command_keys(texts, errors):
    for lang in TRANSLATED:
        used = {}
        for cmd in COMMANDS:
            text = texts.get(("HlavniForm", cmd, lang))
            if not text:
                continue
            for i in access_keys(text):
                letter = text[i + 1:i + 2].casefold()
                if letter in used:
                    errors.append(f"HlavniForm/{cmd}/{lang}: access key '{text[i + 1]}' "
                                  f"also used by {used[letter]}")
                used[letter] = cmd


def check(path):
    errors = []
    raw = path.read_bytes()
    try:
        source = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        return [f"not UTF-8: {e}"], {}
    if not source.startswith(DECLARATION):
        errors.append(f"the file must begin with {DECLARATION}")
    try:
        doc = minidom.parseString(raw)
    except ExpatError as e:
        return errors + [f"not well-formed XML: {e}"], {}

    root = doc.documentElement
    tops = [c for c in root.childNodes if c.nodeType == c.ELEMENT_NODE]
    names = [c.tagName for c in tops]
    counts = {}
    texts = {}
    for name in ["JAZYKY", *KEYS]:
        if names.count(name) != 1:
            errors.append(f"{name}: found {names.count(name)} times under the root, expected once")
    for el in tops:
        if el.tagName == "JAZYKY":
            check_jazyky(el, errors)
        elif el.tagName in KEYS:
            if el.tagName not in counts:
                counts[el.tagName] = check_section(el.tagName, el, texts, errors)
        else:
            errors.append(f"<{el.tagName}>: unknown section")
    check_command_keys(texts, errors)
    return errors, counts


def main(argv):
    default = Path(__file__).resolve().parent.parent / "resources" / "tarvik.xml"
    path = Path(argv[1]) if len(argv) > 1 else default
    if not path.is_file():
        print(f"{path}: no such file", file=sys.stderr)
        return 1
    errors, counts = check(path)
    for section in KEYS:
        if section in counts:
            print(f"{section}: {counts[section]} keys")
    if counts:
        print(f"total: {sum(counts.values())} keys")
    for e in errors:
        print(f"error: {e}", file=sys.stderr)
    if errors:
        print(f"{path}: {len(errors)} error(s)", file=sys.stderr)
        return 1
    print(f"{path}: OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
