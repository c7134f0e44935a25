#!/usr/bin/env python3
"""Makes the source files of the sample product under build/samples/files.

The sample distribution needs files of realistic kinds and sizes, but we don't
keep megabytes of binaries in the repository: this script makes them, always
the same bytes for the same seed. Texts are Catalan word lists, grammar rules
and help topics in Windows-1252; programs and libraries are stand-ins with an
"MZ" header whose body compresses about as well as real code does.

    samples/make-payload.py [OUTPUT-FOLDER]      (default build/samples/files)
"""
import os
import random
import struct
import sys
import zlib

SEED = 19990501

# Stems and endings from which the word lists and the texts are made.
NOUNS = """casa cosa home dona nen nena llibre paraula frase text oració verb nom adjectiu
article pronom adverbi preposició conjunció lletra accent punt coma guió diccionari gramàtica
ortografia correcció error regla exemple document pàgina línia paràgraf carpeta arxiu programa
ordinador teclat pantalla finestra menú botó opció ajuda usuari entitat llengua idioma català
escola mestre alumne ciutat poble carrer plaça país terra aigua mar muntanya riu bosc arbre
flor fruita pa vi llet formatge taula cadira porta paret sostre cuina dia nit setmana mes any
hora minut temps vida món gent família pare mare fill filla germà germana amic amiga feina
treball empresa oficina client factura carta missatge correu telèfon viatge tren cotxe camí
pregunta resposta problema solució idea pensament història cultura música cançó teatre festa""".split()
ADJECTIVES = """bo dolent gran petit nou vell llarg curt alt baix ample estret clar fosc blanc negre
vermell verd blau groc ràpid lent fàcil difícil correcte incorrecte català general especial
normal comú propi lliure ple buit fort feble calent fred dolç amarg net brut ric pobre jove""".split()
VERBS_AR = """parlar cantar ballar treballar estudiar escoltar mirar trobar portar passar pensar
tornar deixar quedar comprar pagar tancar entrar explicar revisar corregir_no canviar
acceptar instal·lar esborrar copiar configurar comprovar marcar ignorar afegir_no substituir_no
analitzar buscar donar agafar arribar començar continuar demanar desitjar""".split()
VERBS_IR = """dormir sentir servir seguir vestir obrir cosir collir tossir""".split()
VERBS_INC = """corregir afegir substituir construir destruir llegir escollir definir oferir
patir preferir permetre_no dividir repartir sortir_no""".split()
SYLLABLES = """ba be bi bo bu ca ce ci co cu da de di do du fa fe fi fo ga ge gi go la le li lo
lu ma me mi mo mu na ne ni no nu pa pe pi po pu ra re ri ro ru sa se si so su ta te ti to tu
va ve vi vo xa xe ll ny tx ig ix ssa ça ço nt rt st ls rs""".split()
SUFFIXES = "ció tat ment dor dora ble ista isme ada ós osa er era ari ària al ar ell eta et".split()


def words(rng):
    """Every form of the word list: (form, category, lemma)."""
    out = []
    for n in NOUNS:
        out.append((n, "NOM.S", n))
        plural = n[:-1] + "es" if n.endswith("a") else n + ("os" if n[-1] in "sçx" else "s")
        out.append((plural, "NOM.P", n))
    for a in ADJECTIVES:
        fem = a[:-1] + "a" if a[-1] in "aeo" else a + "a"
        for form, cat in ((a, "ADJ.MS"), (fem, "ADJ.FS"), (a + "s", "ADJ.MP"), (fem[:-1] + "es", "ADJ.FP")):
            out.append((form, cat, a))
    persons = ("1S", "2S", "3S", "1P", "2P", "3P")
    tenses_ar = (("IP", ("o", "es", "a", "em", "eu", "en")),
                 ("II", ("ava", "aves", "ava", "àvem", "àveu", "aven")),
                 ("IF", ("aré", "aràs", "arà", "arem", "areu", "aran")),
                 ("SP", ("i", "is", "i", "em", "eu", "in")),
                 ("CO", ("aria", "aries", "aria", "aríem", "aríeu", "arien")))
    for v in VERBS_AR:
        if v.endswith("_no"):
            continue
        stem = v[:-2]
        out.append((v, "V.INF", v))
        out.append((stem + "at", "V.PART.MS", v))
        out.append((stem + "ada", "V.PART.FS", v))
        out.append((stem + "ant", "V.GER", v))
        for tense, endings in tenses_ar:
            for p, e in zip(persons, endings):
                out.append((stem + e, "V." + tense + p, v))
    for v in VERBS_IR + VERBS_INC:
        if v.endswith("_no"):
            continue
        stem = v[:-2]
        inc = v in VERBS_INC
        present = (("eixo", "eixes", "eix", "im", "iu", "eixen") if inc else
                   ("o", "s", "", "im", "iu", "en"))
        out.append((v, "V.INF", v))
        out.append((stem + "it", "V.PART.MS", v))
        for p, e in zip(persons, present):
            out.append((stem + e, "V.IP" + p, v))
        for p, e in zip(persons, ("iré", "iràs", "irà", "irem", "ireu", "iran")):
            out.append((stem + e, "V.IF" + p, v))
    # Rarer words of the lexicon: made from Catalan syllables and endings.
    seen = {w for w, _, _ in out}
    while len(out) < 60000:
        w = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 3))) + rng.choice(SUFFIXES)
        if w in seen:
            continue
        seen.add(w)
        cat = "NOM.S" if w.endswith(("ció", "tat", "ment", "isme")) else rng.choice(("NOM.S", "ADJ.MS", "ADV"))
        out.append((w, cat, w))
    return out


def sentence(rng):
    n = rng.randint(6, 16)
    parts = []
    for i in range(n):
        pick = rng.random()
        if pick < 0.35:
            parts.append(rng.choice(("el", "la", "els", "les", "un", "una", "de", "a", "en", "per", "amb", "que", "i")))
        elif pick < 0.65:
            parts.append(rng.choice(NOUNS))
        elif pick < 0.8:
            parts.append(rng.choice(ADJECTIVES))
        else:
            v = rng.choice(VERBS_AR)
            parts.append(v.replace("_no", ""))
    s = " ".join(parts)
    return s[0].upper() + s[1:] + rng.choice((".", ".", ".", ";", ":"))


def paragraph(rng, sentences):
    return " ".join(sentence(rng) for _ in range(sentences))


def cp1252(text):
    return text.replace("\n", "\r\n").encode("cp1252")


def code_bytes(rng, size, opcodes):
    """Machine-code stand-in: short byte sequences drawn with a skewed
    distribution, with addresses that vary, so zlib gets about half of it."""
    out = bytearray()
    while len(out) < size:
        op = opcodes[min(int(rng.expovariate(0.04)), len(opcodes) - 1)]
        out += op
        if rng.random() < 0.3:
            out += struct.pack("<I", 0x401000 + rng.randrange(0x40000))
    return bytes(out[:size])


def program(rng, size, name, strings):
    """An executable or library stand-in with an MZ header, a DOS stub, a PE
    signature, a code section, a string table, data and packed resources."""
    head = bytearray(0x80)
    head[0:2] = b"MZ"
    struct.pack_into("<HHHH", head, 2, 0x90, 3, 0, 4)
    struct.pack_into("<I", head, 0x3C, 0x80)
    stub = b"\x0e\x1f\xba\x0e\x00\xb4\x09\xcd\x21\xb8\x01\x4c\xcd\x21This program cannot be run in DOS mode.\r\r\n$"
    head[0x40:0x40 + len(stub)] = stub
    pe = b"PE\0\0" + struct.pack("<HHIIIHH", 0x14C, 4, 0x3740A000 + rng.randrange(0xFFFF), 0, 0, 0xE0,
                                 0x210E if name.lower().endswith(".dll") else 0x010F)
    body = bytearray(head + pe + bytes(0x400 - len(head) - len(pe)))
    opcodes = [bytes(rng.randrange(256) for _ in range(rng.randint(1, 6))) for _ in range(160)]
    code = code_bytes(rng, size * 45 // 100, opcodes)
    table = bytearray()
    while len(table) < size * 15 // 100:
        table += rng.choice(strings).encode("cp1252") + b"\0"
    data = bytearray(size * 12 // 100)
    for _ in range(len(data) // 64):
        i = rng.randrange(len(data) - 8)
        data[i:i + 4] = struct.pack("<I", rng.randrange(1 << 32))
    resources = rng.randbytes(size - len(body) - len(code) - len(table) - len(data))
    return bytes(body + code + table + data + resources)[:size]


def help_file(rng, size, title):
    """A help-file stand-in: the help magic, a topic index and compressed
    topic text (here: Catalan text with packed stretches)."""
    out = bytearray(struct.pack("<IIII", 0x00035F3F, 0x10, 0xFFFFFFFF, size))
    out += ("|SYSTEM\0" + title + "\0").encode("cp1252")
    topic = 0
    while len(out) < size:
        topic += 1
        out += cp1252("\n#%d %s: %s\n" % (topic, title, sentence(rng)))
        out += cp1252(paragraph(rng, rng.randint(3, 8)) + "\n")
        out += rng.randbytes(rng.randint(200, 900))
    return bytes(out[:size])


def template(rng, size, title):
    """A document-template stand-in: the compound-file signature, 512-byte
    sectors, macro text and mostly empty space."""
    out = bytearray(b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(504))
    macro = ("Sub MAIN\n  ' %s\n  Ortavel.Revisa\nEnd Sub\n" % title)
    while len(out) < size:
        kind = rng.random()
        if kind < 0.4:
            out += bytes(512)
        elif kind < 0.7:
            out += cp1252(macro + paragraph(rng, 2) + "\n").ljust(512, b"\0")[:512]
        else:
            out += rng.randbytes(512)
    return bytes(out[:size])


def bitmap(width, height):
    """The button picture of the writing-tools entry: a real 16-colour BMP."""
    row = ((width * 4 + 31) // 32) * 4
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in (
        (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
        (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
        (255, 0, 255), (0, 255, 255), (255, 255, 255)))
    pixels = bytearray()
    for y in range(height):
        line = bytearray()
        for x in range(0, width, 2):
            def colour(px):
                edge = px in (0, width - 1) or y in (0, height - 1)
                tick = abs((height - 1 - y) - (px - 2) // 2) < 2 and 3 < px < width - 3
                return 0 if edge else 12 if tick else 7
            line.append(colour(x) << 4 | colour(x + 1))
        pixels += line.ljust(row, b"\0")
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + palette + bytes(pixels)


def lexicon(rng, forms):
    """The compiled lexicon: a header, a sorted index of fixed records and
    the forms packed as length-prefixed strings with category codes."""
    cats = sorted({c for _, c, _ in forms})
    blob = bytearray(b"OVLEX40\x1a" + struct.pack("<III", len(forms), len(cats), SEED))
    for c in cats:
        blob += c.encode("ascii").ljust(12, b"\0")
    index = bytearray()
    strings = bytearray()
    for form, cat, lemma in sorted(forms):
        index += struct.pack("<IHH", len(strings), cats.index(cat), rng.randrange(65536))
        f = form.encode("cp1252")
        strings += bytes([len(f)]) + f
    # Frequency and transition tables of the tagger: numbers with little order.
    tables = rng.randbytes(len(forms) * 10)
    return bytes(blob + index + strings + tables)


RULE_TOPICS = {
    "concordanca.rgl": ("CONC", "Concordança de gènere i nombre", "ART.{g}.{n} + NOM.{h}.{n}"),
    "preposicions.rgl": ("PREP", "Ús de les preposicions", "V.INF + PREP[{w}]"),
    "barbarismes.rgl": ("BARB", "Barbarismes i castellanismes", "MOT[{w}]"),
    "puntuacio.rgl": ("PUNT", "Signes de puntuació", "PUNT[{p}] + PUNT[{p}]"),
    "pronoms.rgl": ("PRON", "Pronoms febles", "PRON[{w}] + V.{t}"),
}


def rules(rng, name, count):
    code, title, pattern = RULE_TOPICS[name]
    lines = ["; Ortavel 4.0 Català - regles de %s" % title.lower(), "; Format: REGLA, patró, missatge, suggeriment", ""]
    for i in range(1, count + 1):
        w = rng.choice(NOUNS + ADJECTIVES)
        lines += [
            "REGLA %s-%04d" % (code, i),
            "  descripcio = %s: %s" % (title, sentence(rng)),
            "  patro = " + pattern.format(g=rng.choice("MF"), h=rng.choice("MF"), n=rng.choice("SP"), w=w,
                                          p=rng.choice(",.;:"), t=rng.choice(("IP3S", "INF", "GER"))),
            "  missatge = Possible errada: ''%%1'' %s." % rng.choice(
                ("no concorda amb ''%2''", "no és correcte en aquest context", "és un barbarisme",
                 "s'escriu d'una altra manera", "sobra")),
            "  suggeriment = %s" % rng.choice(NOUNS),
            "  nivell = %d" % rng.randint(1, 3),
            "FI",
            "",
        ]
    return cp1252("\n".join(lines))


def make(out):
    rng = random.Random(SEED)
    forms = words(rng)
    messages = ["Ortavel 4.0 Català", "Corrector Gramatical de Català", "Revisió gramatical del document",
                "No s'ha trobat el diccionari", "Paraula desconeguda", "Canviar", "Ignorar", "Ignorar-ho tot",
                "Afegir al diccionari", "Suggeriments:", "Errada de concordança", "ovgram32.dll", "ovmorf32.dll",
                "GetProcAddress", "LoadLibraryA", "WritePrivateProfileStringA", "RegOpenKeyExA", "CreateWindowExA",
                "DdeInitializeA", "OvRevisaText", "OvObreDiccionari", "OvTancaDiccionari", "OvSuggeriments",
                "WPOV", "/WTAPI", "%s: %d errades", "Manual.hlp", "wvcommca.dat"]
    files = {}

    def put(path, data):
        files[path] = data

    # The checker and its libraries (the second uninstall stage is built
    # with the installer: samples/uninsta).
    put("prog/ovca40.exe", program(rng, 812 * 1024, "ovca40.exe", messages))
    put("prog/ovgram32.dll", program(rng, 655 * 1024, "ovgram32.dll", messages))
    put("prog/ovmorf32.dll", program(rng, 418 * 1024, "ovmorf32.dll", messages))
    put("prog/ovintf32.dll", program(rng, 146 * 1024, "ovintf32.dll", messages))
    put("prog/wvcommca.dat", b"WVCOMM\x1a\x04" + rng.randbytes(40 * 1024) + bytes(8 * 1024))
    put("sys/ovctl32.dll", program(rng, 92 * 1024, "ovctl32.dll", messages))
    # The checker's messages for every program, kept in the Windows folder.
    put("sys/ovcamsg.dll", program(rng, 24 * 1024, "ovcamsg.dll", messages))
    # The user's dictionary and the terms to ignore start almost empty.
    put("prog/ovusuca4.dbc", cp1252("; Diccionari de l'usuari - Ortavel 4.0 Català\n"))
    put("prog/ovsalca4.dbc", cp1252("; Termes a ignorar - Ortavel 4.0 Català\n" +
                                    "".join("%s\n" % w for w in ("Bramo", "Ortavel", "WordPerfect", "Windows"))))
    put("prog/llegiu.txt", cp1252(
        "ORTAVEL 4.0 CATALÀ - LLEGIU-ME\n\n"
        "Aquest arxiu conté informació d'última hora que no figura al manual.\n\n"
        + "\n\n".join(paragraph(rng, 5) for _ in range(12)) + "\n"))

    # Lexicon, word lists and grammar rules.
    put("data/ovca40.lex", lexicon(rng, forms))
    lines = ["; Ortavel 4.0 Català - diccionari general", "; forma;categoria;lema"]
    lines += ["%s;%s;%s" % f for f in sorted(forms)]
    put("data/ovca40.dic", cp1252("\n".join(lines) + "\n"))
    verbs = [f for f in forms if f[1].startswith("V.")]
    put("data/verbs.dic", cp1252("\n".join("%s;%s;%s" % f for f in verbs) + "\n"))
    put("data/sinonims.dat", cp1252("\n".join(
        "%s=%s" % (rng.choice(NOUNS), ",".join(rng.sample(NOUNS, 4))) for _ in range(9000)) + "\n"))
    put("data/ovca40.tag", b"OVTAG40\x1a" + rng.randbytes(300 * 1024))
    for name, count in (("concordanca.rgl", 900), ("preposicions.rgl", 700), ("barbarismes.rgl", 1200),
                        ("puntuacio.rgl", 250), ("pronoms.rgl", 500)):
        put("data/regles/" + name, rules(rng, name, count))

    # Help.
    for name, title, size in (("Manual.hlp", "Manual del Ortavel", 286 * 1024),
                              ("ManualCa.hlp", "Manual del corrector", 164 * 1024),
                              ("ManualEs.hlp", "Manual del corrector (castellà)", 158 * 1024),
                              ("ovcagr40.hlp", "Gramàtica catalana", 241 * 1024),
                              ("ovesgr40.hlp", "Gramàtica castellana", 97 * 1024),
                              ("problemes.hlp", "Problemes i Solucions", 52 * 1024),
                              ("problemas.hlp", "Problemes i Solucions (castellà)", 49 * 1024)):
        put("help/" + name, help_file(rng, size, title))
    put("help/Manual.cnt", cp1252(":Base Manual.hlp\n:Title Manual del Ortavel\n" + "".join(
        "1 %s\n2 %s=TEMA_%d\n" % (sentence(rng)[:40], sentence(rng)[:50], i) for i in range(60))))

    # Word-processor connections: macros, templates, button picture, the
    # WordPerfect 8 extension library.
    put("config/ovca40.wcm", cp1252("// Ortavel 4.0 Català - macro de WordPerfect 5.x\nApplication(WP;WPWP;Default)\n"
                                    "DDEInitiate(\"WPOV\";\"Revisar\")\n" + paragraph(rng, 30) + "\n"))
    put("config/ovwp6ca.wcm", cp1252("// Ortavel 4.0 Català - barra de WordPerfect 6.x\nApplication(WordPerfect;\"WordPerfect\";Default)\n"
                                     + paragraph(rng, 40) + "\n"))
    put("config/ovca40.bmp", bitmap(24, 22))
    put("config/ovca40us.dot", template(rng, 38 * 1024, "Word 6.0/7.0 (Startup)"))
    put("config/ovca40es.dot", template(rng, 38 * 1024, "Word 6.0/7.0 (Inicio)"))
    put("config/ovca4097.dot", template(rng, 61 * 1024, "Word 97"))
    put("config/ovca4000.dot", template(rng, 67 * 1024, "Word 2000"))
    put("config/ovca40.smm", cp1252("' Ortavel 4.0 Català - macro d'Ami Pro 3.x\nFUNCTION Ortavel()\n"
                                    "  Exec(\"ovca40.exe /AMIPRO\")\nEND FUNCTION\n" + paragraph(rng, 20) + "\n"))
    put("config/ovca40.lss", cp1252("' Ortavel 4.0 Català - script de Word Pro 97\nSub Initialize\n"
                                    "  Shell \"ovca40.exe /WORDPRO\"\nEnd Sub\n" + paragraph(rng, 20) + "\n"))
    put("wp8/WpDll4ca.dll", program(rng, 124 * 1024, "WpDll4ca.dll", messages + ["WordPerfect 8 Third Party"]))
    put("wp8/ovwp8ca.wcm", cp1252("// Ortavel 4.0 Català - WordPerfect 8\n" + paragraph(rng, 25) + "\n"))

    total = 0
    for path, data in sorted(files.items()):
        full = os.path.join(out, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        old = None
        if os.path.exists(full):
            with open(full, "rb") as f:
                old = f.read()
        # Unchanged files keep their times, so make-disks.sh can tell that
        # nothing needs rebuilding.
        if old != data:
            with open(full, "wb") as f:
                f.write(data)
        total += len(data)
    return files, total


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "samples", "files")
    files, total = make(out)
    packed = sum(len(zlib.compress(d)) for d in files.values())
    print("%d files, %d bytes (%d bytes with zlib) in %s" % (len(files), total, packed, os.path.normpath(out)))


if __name__ == "__main__":
    main()
